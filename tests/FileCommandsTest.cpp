// Open, save and preview through the window, with real files in a temporary
// folder and the dialogs answered by FakePlatform.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "FakePlatform.h"
#include "Files.h"
#include "GuiTestMain.h"
#include "QtFiles.h"
#include "PageFiles.h"
#include "TestRecords.h"
#include "Unit1.h"
#include "page/PageWriter.h"

using fichelia::FileChoice;
using fichelia::testing::FakePlatform;

namespace {

using fichelia::testing::fileBytes;
using fichelia::testing::writeBytes;

std::vector<annuaire> records(fichelia::DirectoryList& list) {
    std::vector<annuaire> result;
    for (int i = 0; i < list.count(); ++i) {
        result.push_back(list.recordAt(i));
    }
    return result;
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<TForm1> form;

    QString pathIn(const QString& name) const { return folder->filePath(name); }

    // The folder's files, the hidden ones (a left-over temporary file) included.
    QStringList filesInFolder() const {
        return QDir(folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    void save(const QString& chosen, int filter = 1) {
        platform->fileChoices.push_back(FileChoice{chosen, filter});
        QTest::mouseClick(form->Button5, Qt::LeftButton);
    }

    void open(const QString& path) {
        platform->fileChoices.push_back(FileChoice{path, 1});
        QTest::mouseClick(form->Button6, Qt::LeftButton);
    }

    void addSampleContacts() {
        auto& list = form->directory();
        list.add(annuaire("Martin", "1 rue Haute", "01", "06", "02", "m@x.fr", "http://martin.example/", "ami"));
        list.add(annuaire("Lefèvre", "Écoles", "", "", "", "", "", "l'été \"chaud\""));
        list.add(annuaire("Łukasz 😀", "</script>", "\\", "\"", "&amp;", "<b>", "", ""));
    }

    QStringList formTexts() const {
        return {form->Edit1->text(), form->Edit2->text(), form->Edit3->text(), form->Edit4->text(),
                form->Edit5->text(), form->Edit6->text(), form->Edit7->text(), form->Edit8->text()};
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        platform = std::make_unique<FakePlatform>();
        form = std::make_unique<TForm1>(*platform, std::make_unique<fichelia::DirectoryList>(
                                                       fichelia::testing::rootCollator()));
        form->show();
    }
    void cleanup() {
        form.reset();
        platform.reset();
        folder.reset();
    }

    void extensionRule_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension, HTML") << "/sites/annuaire" << 1 << "/sites/annuaire.html";
        QTest::newRow("no extension, HTM") << "/sites/annuaire" << 2 << "/sites/annuaire.htm";
        QTest::newRow("html kept") << "/s/page.html" << 2 << "/s/page.html";
        QTest::newRow("HTML any case") << "/s/page.HTML" << 1 << "/s/page.HTML";
        QTest::newRow("Htm any case") << "/s/page.Htm" << 1 << "/s/page.Htm";
        QTest::newRow("htm with filter 2") << "/s/page.htm" << 2 << "/s/page.htm";
        QTest::newRow("other extension kept") << "/s/page.txt" << 1 << "/s/page.txt.html";
        QTest::newRow("other extension, HTM") << "/s/page.txt" << 2 << "/s/page.txt.htm";
        QTest::newRow("final dot") << "/s/page." << 1 << "/s/page..html";
        QTest::newRow("htmx") << "/s/page.htmx" << 1 << "/s/page.htmx.html";
        QTest::newRow("shtml") << "/s/page.shtml" << 1 << "/s/page.shtml.html";
        QTest::newRow("xhtm") << "/s/page.xhtm" << 2 << "/s/page.xhtm.htm";
        QTest::newRow("dot in a folder") << "/mes.sites/annuaire" << 1 << "/mes.sites/annuaire.html";
        QTest::newRow("folder named .html") << "/x.html/annuaire" << 1 << "/x.html/annuaire.html";
    }
    void extensionRule() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, saved);
        QCOMPARE(fichelia::withPageExtension(chosen, filter), saved);
    }

    void save_writesExactlyThePageBytes_andAsksEachTimeFromScratch() {
        addSampleContacts();
        save(pathIn("annuaire"));
        save(pathIn("second.htm"), 2);
        const std::string page = fichelia::BuildDirectoryPage(form->directory());
        QCOMPARE(fileBytes(pathIn("annuaire.html")), QByteArray::fromStdString(page));
        QCOMPARE(fileBytes(pathIn("second.htm")), QByteArray::fromStdString(page));
        QCOMPARE(platform->dialogs.size(), 2u);
        for (const auto& dialog : platform->dialogs) {
            QVERIFY(dialog.save);
            QCOMPARE(dialog.title, QStringLiteral("Fichier Annuaire Web"));
            QCOMPARE(dialog.filters, (QStringList{"Fichier HTML (*.html)", "Fichier HTM (*.htm)"}));
            QCOMPARE(dialog.selectedFilter, 1);
        }
        QVERIFY(platform->messages.empty());
        QCOMPARE(filesInFolder(), (QStringList{"annuaire.html", "second.htm"}));
        QCOMPARE(form->directory().count(), 3);
    }

    void save_ofAnEmptyList_writesACompletePage() {
        save(pathIn("vide.html"));
        QCOMPARE(fileBytes(pathIn("vide.html")),
                 QByteArray::fromStdString(fichelia::testing::readBytes(fichelia::testing::dataFile("page_empty.html"))));
    }

    void save_cancelled_touchesNoFile() {
        writeBytes(pathIn("annuaire.html"), "ancienne page");
        addSampleContacts();
        QTest::mouseClick(form->Button5, Qt::LeftButton); // no answer queued: cancelled
        QCOMPARE(platform->dialogs.size(), 1u);
        QCOMPARE(fileBytes(pathIn("annuaire.html")), QByteArray("ancienne page"));
        QCOMPARE(filesInFolder(), QStringList{"annuaire.html"});
        QVERIFY(platform->messages.empty());
    }

    void save_overAnExistingPage_replacesItWhole() {
        writeBytes(pathIn("annuaire.html"), QByteArray(100000, 'x'));
        save(pathIn("annuaire.html"));
        QCOMPARE(fileBytes(pathIn("annuaire.html")),
                 QByteArray::fromStdString(fichelia::BuildDirectoryPage(form->directory())));
        QCOMPARE(filesInFolder(), QStringList{"annuaire.html"});
    }

    void save_toANameTheExtensionLeadsTo_asksBeforeReplacingIt() {
        writeBytes(pathIn("annuaire.html"), "page à garder");
        platform->answers = {false};
        save(pathIn("annuaire"));
        QCOMPARE(platform->questions.size(), 1u);
        QVERIFY(platform->questions[0].contains(QStringLiteral("« annuaire.html » existe déjà")));
        QCOMPARE(fileBytes(pathIn("annuaire.html")), QByteArray("page à garder"));

        platform->answers = {true};
        save(pathIn("annuaire"));
        QCOMPARE(fileBytes(pathIn("annuaire.html")),
                 QByteArray::fromStdString(fichelia::BuildDirectoryPage(form->directory())));
    }

    void save_thatCannotWrite_saysSoAndLeavesTheOldPageIntact_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a read-only file") << "read-only file";
        QTest::newRow("a name that is a folder") << "folder";
        QTest::newRow("a folder that does not exist") << "missing folder";
        QTest::newRow("a read-only folder") << "read-only folder";
    }
    void save_thatCannotWrite_saysSoAndLeavesTheOldPageIntact() {
        QFETCH(QString, kind);
        addSampleContacts();
        QString target = pathIn("annuaire.html");
        writeBytes(target, "ancienne page");
        if (kind == "read-only file") {
            QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else if (kind == "folder") {
            target = pathIn("dossier.html");
            QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("dossier.html")));
        } else if (kind == "missing folder") {
            target = pathIn("parti/annuaire.html");
        } else if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(folder->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            platform->failingWrites[target] = QStringLiteral("l'accès est refusé"); // root writes anywhere
        }
        const QStringList before = filesInFolder();
        save(target);
        QFile::setPermissions(folder->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(platform->messages.size(), 1u);
        QVERIFY2(platform->messages[0].startsWith(QStringLiteral("Impossible d'enregistrer l'annuaire dans « %1 »")
                                                      .arg(target)),
                 qPrintable(platform->messages[0]));
        QCOMPARE(fileBytes(pathIn("annuaire.html")), QByteArray("ancienne page"));
        QCOMPARE(filesInFolder(), before);
        QCOMPARE(platform->busyDepth, 0);
    }

    void save_toAPathLongerThan259Characters_works() {
        QString deep = folder->path();
        while (deep.size() < 300) {
            deep += QStringLiteral("/un-dossier-au-nom-assez-long");
        }
        QVERIFY(QDir().mkpath(deep));
        save(deep + QStringLiteral("/annuaire"));
        QVERIFY(QFile::exists(deep + QStringLiteral("/annuaire.html")));
        QVERIFY(platform->messages.empty());
    }

    void open_ofASavedPage_givesTheSameListBack() {
        addSampleContacts();
        const auto saved = records(form->directory());
        save(pathIn("annuaire.html"));
        form->directory().removeAll();
        form->directory().add(fichelia::testing::contact("Autre"));

        open(pathIn("annuaire.html"));
        QCOMPARE(records(form->directory()), saved);
        open(pathIn("annuaire.html")); // never merged
        QCOMPARE(records(form->directory()), saved);
        QCOMPARE(form->ListBox1->model()->rowCount(), 3);
        QCOMPARE(platform->dialogs.back().title, QStringLiteral("Fichier Annuaire Web"));
        QCOMPARE(platform->dialogs.back().filters, (QStringList{"Fichier HTML (*.html)", "Fichier HTM (*.htm)"}));
        QCOMPARE(platform->dialogs.back().selectedFilter, 1);
        QVERIFY(!platform->dialogs.back().save);
        QVERIFY(platform->messages.empty());
        QVERIFY(platform->busyCount > 0);
        QCOMPARE(platform->busyDepth, 0);
    }

    void open_leavesTheFormAsItWasAndUsesItForMissingFields() {
        addSampleContacts();
        QTest::mouseClick(form->ListBox1->viewport(), Qt::LeftButton, {},
                          form->ListBox1->visualRect(form->ListBox1->model()->index(0, 0)).center());
        const QStringList typed = {"N", "A", "T", "G", "F", "M", "S", "C"};
        QLineEdit* fields[] = {form->Edit1, form->Edit2, form->Edit3, form->Edit4,
                               form->Edit5, form->Edit6, form->Edit7, form->Edit8};
        for (int i = 0; i < 8; ++i) {
            fields[i]->setText(typed[i]);
        }
        writeBytes(pathIn("partiel.htm"), "<html>\nremplirTabFournisseur(0,\"Dupont\",\"rue\");\n"
                                          "remplirTabFournisseur(1);\nremplirTabFournisseur(2,\"\",\"x\");\n");
        open(pathIn("partiel.htm"));
        QCOMPARE(records(form->directory()),
                 (std::vector<annuaire>{annuaire("", "x", "", "G", "F", "M", "S", "C"),
                                        annuaire("Dupont", "rue", "", "G", "F", "M", "S", "C"),
                                        annuaire("N", "A", "T", "G", "F", "M", "S", "C")}));
        QCOMPARE(formTexts(), typed);
        QCOMPARE(form->directory().selectedPosition(), -1);
        QVERIFY(form->ListBox1->selectionModel()->selectedRows().isEmpty());
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        QCOMPARE(platform->messages, std::vector<QString>{QStringLiteral("Vous devez sélectionner un nom dans la liste")});
    }

    void open_ofAFileWithoutRecordLines_emptiesTheList() {
        addSampleContacts();
        writeBytes(pathIn("autre.html"), "<html><body>Pas un annuaire</body></html>\n");
        open(pathIn("autre.html"));
        QCOMPARE(form->directory().count(), 0);
        QVERIFY(platform->messages.empty());
    }

    void open_cancelled_changesNothing() {
        addSampleContacts();
        form->directory().select(1);
        form->Edit1->setText(QStringLiteral("tapé"));
        QTest::mouseClick(form->Button6, Qt::LeftButton);
        QCOMPARE(form->directory().count(), 3);
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(form->Edit1->text(), QStringLiteral("tapé"));
    }

    void open_ofAFileThatCannotBeRead_saysSoAndKeepsTheList() {
        addSampleContacts();
        const auto before = records(form->directory());
        // Gone between the dialog and the reading.
        open(pathIn("disparu.html"));
        QCOMPARE(platform->messages.size(), 1u);
        QVERIFY(platform->messages[0].startsWith(
            QStringLiteral("Impossible d'ouvrir l'annuaire « %1 »").arg(pathIn("disparu.html"))));
        QCOMPARE(records(form->directory()), before);

        // A folder opens but cannot be read.
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("dossier.html")));
        open(pathIn("dossier.html"));
        QCOMPARE(platform->messages.size(), 2u);
        QCOMPARE(records(form->directory()), before);

        // A read that breaks down half way.
        save(pathIn("annuaire.html"));
        form->directory().removeAll();
        form->directory().add(fichelia::testing::contact("Seul"));
        platform->readFailsAfter = 100;
        open(pathIn("annuaire.html"));
        QCOMPARE(platform->messages.size(), 3u);
        QVERIFY(platform->messages[2].contains(QStringLiteral("jusqu'au bout")));
        QCOMPARE(form->directory().count(), 1);
        QCOMPARE(form->directory().recordAt(0).nom, "Seul");
        QCOMPARE(platform->busyDepth, 0);
    }

    void preview_writesBesideTheExecutableAndOpensIt() {
        addSampleContacts();
        platform->executableFolderPath = pathIn("bin");
        platform->cacheFolderPath = pathIn("cache");
        QVERIFY(QDir().mkpath(pathIn("bin")));
        QVERIFY(QDir().mkpath(pathIn("cache")));
        writeBytes(pathIn("bin/tmp.html"), QByteArray(200000, 'x')); // an earlier, longer preview
        QTest::mouseClick(form->Button4, Qt::LeftButton);
        const std::string page = fichelia::BuildDirectoryPage(form->directory());
        QCOMPARE(fileBytes(pathIn("bin/tmp.html")), QByteArray::fromStdString(page));
        QCOMPARE(platform->openedFiles, std::vector<QString>{pathIn("bin/tmp.html")});
        QVERIFY(!QFile::exists(pathIn("cache/tmp.html")));
        QVERIFY(platform->messages.empty());
        QVERIFY(platform->dialogs.empty());

        // The same bytes as a save at the same moment.
        save(pathIn("annuaire.html"));
        QCOMPARE(fileBytes(pathIn("annuaire.html")), fileBytes(pathIn("bin/tmp.html")));
    }

    void preview_fallsBackToTheCacheFolder_andSaysSoWhenNothingCanBeWritten() {
        platform->executableFolderPath = pathIn("lecture-seule");
        platform->cacheFolderPath = pathIn("cache");
        QVERIFY(QDir().mkpath(pathIn("cache")));
        platform->failingWrites[pathIn("lecture-seule/tmp.html")] = QStringLiteral("l'accès est refusé");
        QTest::mouseClick(form->Button4, Qt::LeftButton);
        QCOMPARE(platform->openedFiles, std::vector<QString>{pathIn("cache/tmp.html")});
        QVERIFY(QFile::exists(pathIn("cache/tmp.html")));
        QVERIFY(platform->messages.empty());

        platform->failingWrites[pathIn("cache/tmp.html")] = QStringLiteral("le disque est plein");
        writeBytes(pathIn("cache/tmp.html"), "ancien aperçu");
        QTest::mouseClick(form->Button4, Qt::LeftButton);
        QCOMPARE(platform->openedFiles.size(), 1u); // nothing opened, no stale page shown
        QCOMPARE(platform->messages.size(), 1u);
        QVERIFY(platform->messages[0].startsWith(QStringLiteral("Impossible d'écrire l'aperçu de l'annuaire.")));
        QVERIFY(platform->messages[0].contains(QStringLiteral("le disque est plein")));
    }
};

FICHELIA_GUI_TEST_MAIN(TestFileCommands)
#include "FileCommandsTest.moc"
