// The Qt implementations through Windows itself (under Wine): pages written and
// read back under any name, and the window's logo and preview through
// Windows' own ShellExecute, with the test's stand-in browser (OpenedLog.exe,
// named handler of http, https and .html by the test fixture) recording what
// it was asked to open.

#include <string>
#include <string_view>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Fakes.h"
#include "GuiTestMain.h"
#include "window/PictureBox.h"
#include "TestRecords.h"
#include "window/MainWindow.h"
#include "commands/qt/QtDesktop.h"
#include "commands/qt/QtFiles.h"

using fichelia::MainWindow;

class TestQtWindows : public QObject {
    Q_OBJECT

private:
    QTemporaryDir logFolder;
    QString logPath;
    fichelia::testing::FakeDialogs dialogs;
    fichelia::QtFiles files;
    fichelia::QtDesktop desktop;
    std::unique_ptr<MainWindow> form;

    // What the stand-in browser was asked to open, once it has been started.
    QStringList opened() const {
        QFile log(logPath);
        if (!log.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static QString previewBesideTheProgram() {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/tmp.html");
    }

private slots:
    void initTestCase() {
        QVERIFY(logFolder.isValid());
        logPath = logFolder.filePath(QStringLiteral("opened.txt"));
        qputenv("FICHELIA_OPENED_LOG", QDir::toNativeSeparators(logPath).toLocal8Bit());
    }
    void init() {
        QFile::remove(logPath);
        form = std::make_unique<MainWindow>(dialogs, files, desktop, fichelia::testing::listOf({}));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        QDir(previewBesideTheProgram()).removeRecursively();
        QFile::remove(previewBesideTheProgram());
    }

    // Windows file names are Unicode whatever the system's code page.
    void files_replaceThenRead_underAnyName_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("ASCII") << QStringLiteral("annuaire.html");
        QTest::newRow("accents") << QStringLiteral("Annuaire é à ç.html");
        QTest::newRow("Polish, Greek, Chinese") << QStringLiteral("Łódź Ωμέγα 通讯录.html");
    }
    void files_replaceThenRead_underAnyName() {
        QFETCH(QString, name);
        const QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(name);
        for (const std::string_view bytes :
             {std::string_view("old page, longer than the new one\n"), std::string_view("new page\r\n\x1A\n")}) {
            QVERIFY(files.replace(path, bytes));
            QCOMPARE(files.kind(path), fichelia::Files::Kind::File);
            auto source = files.openForReading(path);
            QVERIFY(source);
            std::string read(64, '\0');
            const auto count = (*source)->read(read.data(), read.size());
            QVERIFY(count);
            read.resize(*count);
            QCOMPARE(read, std::string(bytes));
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{name});
    }

    void logo_asksWindowsToOpenThePublishersAddress() {
        QTest::mouseClick(form->logoPicture, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(opened(), QStringList{QStringLiteral("https://fichelia.example/")}, 20000);
    }

    // The preview goes beside the program; where it cannot be written there
    // (a program under Program Files, here a folder in the way), it goes to
    // the user's cache folder. Either way Windows opens it.
    void preview_goesBesideTheProgramOrElseToTheUsersCacheFolder_data() {
        QTest::addColumn<bool>("besideBlocked");
        QTest::newRow("beside the program") << false;
        QTest::newRow("folder in the way") << true;
    }
    void preview_goesBesideTheProgramOrElseToTheUsersCacheFolder() {
        QFETCH(bool, besideBlocked);
        if (besideBlocked) {
            QVERIFY(QDir().mkpath(previewBesideTheProgram()));
        }
        QVERIFY(form->directory().add(fichelia::testing::contact("Lefèvre")));
        QTest::mouseClick(form->previewButton, Qt::LeftButton);
        QVERIFY(dialogs.messages.empty());

        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QVERIFY(cache.startsWith(QDir::homePath()));
        const QString expected = besideBlocked ? cache + QStringLiteral("/tmp.html") : previewBesideTheProgram();
        QTRY_COMPARE_WITH_TIMEOUT(opened().size(), 1, 20000);
        QCOMPARE(QDir::fromNativeSeparators(opened().constFirst()).toLower(), expected.toLower());
        QFile page(expected);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("\"Lef\xE8vre\""));
    }
};

FICHELIA_GUI_TEST_MAIN(TestQtWindows)
#include "QtWindowsTest.moc"
