// Saving and previewing onto disks that fail: full, or changing under the
// program. Whatever happens, the user is told, the old page is intact byte for
// byte, and no temporary file is left behind.
//
// A full disk is a small tmpfs mounted for the test when the test may mount
// (as root); otherwise a file-size limit (RLIMIT_FSIZE) makes writes fail the
// same way, part of the way through.

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "FakePlatform.h"
#include "GuiTestMain.h"
#include "QtFiles.h"
#include "TestRecords.h"
#include "Unit1.h"
#include "page/PageWriter.h"

using fichelia::FileChoice;
using fichelia::testing::FakePlatform;

namespace {

using fichelia::testing::fileBytes;
using fichelia::testing::writeBytes;

// A folder where a page of a few hundred kilobytes does not fit.
class FullDisk {
public:
    explicit FullDisk(const QString& folder) : m_folder(folder) {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullDisk() {
        end();
        if (m_mounted) {
            ::umount(m_folder.toLocal8Bit().constData());
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }

    // Without a mount, writes past 64 kB fail from here on, as on a full disk.
    void begin() {
        if (m_mounted) {
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        m_limited = true;
    }
    void end() {
        if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
            m_limited = false;
        }
    }

private:
    QString m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_saved{};
};

} // namespace

class TestFailingDisk : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<TForm1> form;

    QString pathIn(const QString& name) const { return folder->filePath(name); }

    QStringList entries(const QString& path) const {
        return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Enough contacts for a page of about 300 kB.
    void fillDirectory() {
        std::vector<annuaire> contacts;
        for (int i = 0; i < 2000; ++i) {
            contacts.push_back(fichelia::testing::contact("Contact " + std::to_string(i), std::string(80, 'x')));
        }
        form->directory().addAll(std::move(contacts));
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        platform = std::make_unique<FakePlatform>();
        form = std::make_unique<TForm1>(*platform, std::make_unique<fichelia::DirectoryList>(
                                                       fichelia::testing::rootCollator()));
        fillDirectory();
    }
    void cleanup() {
        form.reset();
        platform.reset();
        folder.reset();
    }

    void saveOntoAFullDisk_saysSoAndKeepsTheOldPage() {
        const QString disk = pathIn("disque");
        FullDisk full(disk);
        const QByteArray oldPage(20000, 'o');
        writeBytes(disk + "/annuaire.html", oldPage);
        full.begin();
        platform->fileChoices.push_back(FileChoice{disk + "/annuaire.html", 1});
        QTest::mouseClick(form->Button5, Qt::LeftButton);
        full.end();
        QCOMPARE(platform->messages.size(), 1u);
        QVERIFY2(platform->messages[0].contains(QStringLiteral("annuaire.html")), qPrintable(platform->messages[0]));
        QCOMPARE(fileBytes(disk + "/annuaire.html"), oldPage);
        QCOMPARE(entries(disk), QStringList{"annuaire.html"});
        if (full.mounted()) {
            QVERIFY(platform->messages[0].contains(QStringLiteral("le disque est plein")));
        }
    }

    void previewOntoFullDisks_saysSoOpensNothingAndKeepsTheOldPreview() {
        const QString disk = pathIn("disque");
        FullDisk full(disk);
        writeBytes(disk + "/tmp.html", "ancien aperçu");
        platform->executableFolderPath = disk;
        platform->cacheFolderPath = disk;
        full.begin();
        QTest::mouseClick(form->Button4, Qt::LeftButton);
        full.end();
        QVERIFY(platform->openedFiles.empty());
        QCOMPARE(platform->messages.size(), 1u);
        QCOMPARE(fileBytes(disk + "/tmp.html"), QByteArray("ancien aperçu"));
        QCOMPARE(entries(disk), QStringList{"tmp.html"});
    }

    void aFileThatVanishesAfterTheDialog_isWrittenAnew() {
        writeBytes(pathIn("annuaire.html"), "ancienne page");
        platform->afterFileDialog = [this] { QFile::remove(pathIn("annuaire.html")); };
        platform->fileChoices.push_back(FileChoice{pathIn("annuaire.html"), 1});
        QTest::mouseClick(form->Button5, Qt::LeftButton);
        QVERIFY(platform->messages.empty());
        QCOMPARE(fileBytes(pathIn("annuaire.html")).size(),
                 static_cast<qsizetype>(fichelia::BuildDirectoryPage(form->directory()).size()));
        QCOMPARE(entries(folder->path()), QStringList{"annuaire.html"});
    }

    void aFolderRemovedAfterTheDialog_saysSoAndLeavesNothing() {
        QVERIFY(QDir().mkpath(pathIn("site")));
        platform->afterFileDialog = [this] { QDir(pathIn("site")).removeRecursively(); };
        platform->fileChoices.push_back(FileChoice{pathIn("site/annuaire"), 1});
        QTest::mouseClick(form->Button5, Qt::LeftButton);
        QCOMPARE(platform->messages.size(), 1u);
        QVERIFY(platform->messages[0].contains(QStringLiteral("n'existe pas")));
        QVERIFY(entries(folder->path()).isEmpty());

        // The same for the preview's folders.
        platform->executableFolderPath = pathIn("parti");
        platform->cacheFolderPath = pathIn("parti-aussi");
        QTest::mouseClick(form->Button4, Qt::LeftButton);
        QCOMPARE(platform->messages.size(), 2u);
        QVERIFY(platform->openedFiles.empty());
        QVERIFY(entries(folder->path()).isEmpty());
    }
};

FICHELIA_GUI_TEST_MAIN(TestFailingDisk)
#include "FailingDiskTest.moc"
