// The open, save and preview commands without a window: the user, the disk
// and the desktop are played by the fakes, the disk in memory.

#include "commands/PageCommands.h"

#include <QDir>
#include <gtest/gtest.h>

#include "AllocationLimit.h"
#include "Fakes.h"
#include "TestRecords.h"
#include "page/PageWriter.h"

using fichelia::Contact;
using fichelia::Error;
using fichelia::FileChoice;
using fichelia::testing::contact;
using Dialog = fichelia::testing::FakeDialogs::Dialog;

namespace {

const QStringList kFilters = {"Fichier HTML (*.html)", "Fichier HTM (*.htm)"};
const QString kUnchanged = QStringLiteral("\nLa liste n'a pas été modifiée.");

std::vector<Contact> records(const fichelia::DirectoryList& list) {
    std::vector<Contact> result;
    for (int i = 0; i < list.count(); ++i) {
        result.push_back(list.recordAt(i));
    }
    return result;
}

class PageCommandsTest : public ::testing::Test {
protected:
    fichelia::testing::FakeDialogs dialogs;
    fichelia::testing::FakeFiles files;
    fichelia::testing::FakeDesktop desktop;
    fichelia::PageCommands commands{dialogs, files, desktop};
    std::unique_ptr<fichelia::DirectoryList> list = fichelia::testing::listOf(
        {Contact("Martin", "1 rue Haute", "01", "06", "02", "m@x.fr", "http://martin.example/", "ami"),
         Contact("Lefèvre", "Écoles", "", "", "", "", "", "l'été \"chaud\""),
         Contact("Łukasz 😀", "</script>", "\\", "\"", "&amp;", "<b>", "", "")});

    std::string page() const { return fichelia::BuildDirectoryPage(*list); }

    void save(const QString& chosen, int filter = 1) {
        dialogs.fileChoices.push_back(FileChoice{chosen, filter});
        commands.save(*list);
    }
    void open(const QString& path) {
        dialogs.fileChoices.push_back(FileChoice{path, 1});
        commands.open(*list);
    }
    void TearDown() override { EXPECT_EQ(dialogs.busyDepth, 0); }
};

} // namespace

TEST(PageExtension, isAddedWhenTheNameEndsInNeitherHtmNorHtml) {
    struct Case {
        const char* chosen;
        int filter;
        const char* saved;
    };
    const Case cases[] = {
        {"/sites/annuaire", 1, "/sites/annuaire.html"},
        {"/sites/annuaire", 2, "/sites/annuaire.htm"},
        {"/s/page.html", 2, "/s/page.html"},
        {"/s/page.HTML", 1, "/s/page.HTML"},
        {"/s/page.Htm", 1, "/s/page.Htm"},
        {"/s/page.htm", 2, "/s/page.htm"},
        {"/s/page.txt", 1, "/s/page.txt.html"},
        {"/s/page.txt", 2, "/s/page.txt.htm"},
        {"/s/page.", 1, "/s/page..html"},
        {"/s/page.htmx", 1, "/s/page.htmx.html"},
        {"/s/page.shtml", 1, "/s/page.shtml.html"},
        {"/s/page.xhtm", 2, "/s/page.xhtm.htm"},
        {"/mes.sites/annuaire", 1, "/mes.sites/annuaire.html"},
        {"/x.html/annuaire", 1, "/x.html/annuaire.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fichelia::withPageExtension(QString::fromUtf8(c.chosen), c.filter), QString::fromUtf8(c.saved));
    }
}

TEST_F(PageCommandsTest, saveWritesThePageBytesAndAsksEveryTimeFromScratch) {
    save("/s/annuaire");
    save("/s/second.htm", 2);
    EXPECT_EQ(files.files, (std::map<QString, std::string>{{"/s/annuaire.html", page()}, {"/s/second.htm", page()}}));
    EXPECT_EQ(dialogs.dialogs, std::vector<Dialog>(2, Dialog{true, "Fichier Annuaire Web", kFilters, 1}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GT(dialogs.busyCount, 0);
    EXPECT_EQ(list->count(), 3);

    dialogs.fileChoices.clear();
    commands.save(*list); // cancelled
    EXPECT_EQ(files.files.size(), 2u);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PageCommandsTest, saveAsksBeforeReplacingAFileTheExtensionLeadsTo) {
    files.files["/s/annuaire.html"] = "à garder";
    for (const bool answer : {false, true}) {
        dialogs.answers = {answer};
        save("/s/annuaire");
        EXPECT_EQ(files.files["/s/annuaire.html"], answer ? page() : "à garder");
    }
    EXPECT_EQ(dialogs.questions,
              std::vector<QString>(
                  2, QStringLiteral("Le fichier « annuaire.html » existe déjà.\nVoulez-vous le remplacer ?")));
    save("/s/annuaire.html"); // the dialog asked about this one itself
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

// Refused at once, before any question, when the name is a folder's.
TEST_F(PageCommandsTest, saveToAFoldersNameIsRefusedAtOnce) {
    files.folders.insert("/s/dirx.html");
    save("/s/dirx");
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(dialogs.messages, std::vector<QString>{QStringLiteral(
                                    "Impossible d'enregistrer l'annuaire dans « /s/dirx.html » : c'est un dossier.")});
    EXPECT_TRUE(files.files.empty());
}

// The message names the file and the reason, and says the file is unchanged
// only when there was one.
TEST_F(PageCommandsTest, saveThatFailsSaysWhyAndLeavesTheFileAsItWas) {
    struct Case {
        bool fileThere;
        Error error;
        QString reason;
    };
    const Case cases[] = {{true, Error::DiskFull, "le disque est plein"},
                          {true, Error::ReadOnlyFile, "le fichier est en lecture seule"},
                          {false, Error::FolderNotFound, "le dossier n'existe pas"},
                          {false, Error::AccessDenied, "l'accès est refusé"}};
    for (const Case& c : cases) {
        files.files.clear();
        if (c.fileThere) {
            files.files["/s/a.html"] = "ancienne page";
        }
        files.failingWrites["/s/a.html"] = c.error;
        dialogs.answers = {true};
        dialogs.messages.clear();
        save("/s/a.html");
        const QString expected = "Impossible d'enregistrer l'annuaire dans « /s/a.html » : " + c.reason + "." +
                                 (c.fileThere ? "\nLe fichier n'a pas été modifié." : "");
        EXPECT_EQ(dialogs.messages, std::vector<QString>{expected});
        EXPECT_EQ(files.files.count("/s/a.html"), c.fileThere ? 1u : 0u);
    }
}

TEST_F(PageCommandsTest, openGivesASavedListBackAndNeverMerges) {
    save("/s/annuaire.html");
    const auto saved = records(*list);
    ASSERT_TRUE(list->replaceAll({contact("Autre")}));
    list->select(0);
    for (int time = 0; time < 2; ++time) {
        open("/s/annuaire.html");
        EXPECT_EQ(records(*list), saved);
        EXPECT_EQ(list->selectedPosition(), -1);
    }
    EXPECT_EQ(dialogs.dialogs.back(), (Dialog{false, "Fichier Annuaire Web", kFilters, 1}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GT(dialogs.busyCount, 0);
}

// A page with damaged lines: the user is asked, in words that count them and
// name the first, whether to open the others. "Non" changes nothing.
TEST_F(PageCommandsTest, openOfAPageWithDamagedLinesAsksWhetherToOpenTheReadableContacts) {
    const std::string whole = "remplirTabFournisseur(0,\"Dupont\",\"rue\",\"\",\"\",\"\",\"\",\"\",\"\");\n";
    const std::string cut = "remplirTabFournisseur(1,\"Dur\n";
    const std::string seven = "remplirTabFournisseur(2,\"Sept\",\"\",\"\",\"\",\"\",\"\",\"\");\n";
    files.files["/s/un.html"] = "<html>\n" + whole + whole + cut + "</html>";
    files.files["/s/deux.html"] = "<html>\n" + whole + seven + whole + cut + "</html>";
    files.files["/s/seul.html"] = "<html>\n" + seven + whole + "</html>";
    struct Case {
        QString path;
        QString question;
        std::size_t readable;
    };
    const Case cases[] = {
        {"/s/un.html", "La ligne 4 de cette page n'a pas pu être lue.\nOuvrir les 2 contacts lisibles ?", 2},
        {"/s/deux.html",
         "2 lignes de cette page n'ont pas pu être lues (la première est la ligne 3).\nOuvrir les 2 contacts "
         "lisibles ?",
         2},
        {"/s/seul.html", "La ligne 2 de cette page n'a pas pu être lue.\nOuvrir le seul contact lisible ?", 1},
    };
    list->select(1);
    const auto before = records(*list);
    for (const Case& c : cases) {
        dialogs.questions.clear();
        dialogs.answers = {false};
        open(c.path);
        EXPECT_EQ(dialogs.questions, std::vector<QString>{c.question});
        EXPECT_EQ(records(*list), before) << "Non";
        EXPECT_EQ(list->selectedPosition(), 1);

        dialogs.answers = {true};
        open(c.path);
        EXPECT_EQ(records(*list), std::vector<Contact>(c.readable, Contact("Dupont", "rue", "", "", "", "", "", "")));
        EXPECT_EQ(list->selectedPosition(), -1);
        ASSERT_TRUE(list->replaceAll(before));
        list->select(1);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// A file that is no directory page (a PDF, a vCard, a text), or a page none of
// whose contacts can be read, is refused with a message; the list stays.
TEST_F(PageCommandsTest, openOfAFileThatIsNoPageSaysSoAndKeepsTheList) {
    files.files["/s/doc.pdf"] = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    files.files["/s/carte.vcf"] = "BEGIN:VCARD\nVERSION:3.0\nFN:Martin\nEND:VCARD\n";
    files.files["/s/notes.txt"] = "Martin, 1 rue Haute\n";
    files.files["/s/html.html"] = "<html><body>Pas un annuaire</body></html>\n";
    files.files["/s/illisible.html"] = "<html>\nremplirTabFournisseur(0,\"Dur\n</html>";
    const std::pair<QString, QString> cases[] = {
        {"/s/doc.pdf", "Impossible d'ouvrir « /s/doc.pdf » : ce fichier n'est pas un annuaire Web."},
        {"/s/carte.vcf", "Impossible d'ouvrir « /s/carte.vcf » : ce fichier n'est pas un annuaire Web."},
        {"/s/notes.txt", "Impossible d'ouvrir « /s/notes.txt » : ce fichier n'est pas un annuaire Web."},
        {"/s/html.html", "Impossible d'ouvrir « /s/html.html » : ce fichier n'est pas un annuaire Web."},
        {"/s/illisible.html", "Impossible d'ouvrir l'annuaire « /s/illisible.html » : aucun de ses contacts n'a pu "
                              "être lu.\nLa ligne 2 de cette page n'a pas pu être lue."},
    };
    list->select(2);
    const auto before = records(*list);
    for (const auto& [path, message] : cases) {
        dialogs.messages.clear();
        open(path);
        EXPECT_EQ(dialogs.messages, std::vector<QString>{message + kUnchanged});
        EXPECT_EQ(records(*list), before);
        EXPECT_EQ(list->selectedPosition(), 2);
    }
    EXPECT_TRUE(dialogs.questions.empty());
    // A page of no contacts is a page: it empties the list.
    ASSERT_TRUE(list->replaceAll({}));
    save("/s/vide.html");
    ASSERT_TRUE(list->replaceAll(before));
    dialogs.messages.clear();
    open("/s/vide.html");
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PageCommandsTest, openCancelledChangesNothing) {
    list->select(1);
    const auto before = records(*list);
    commands.open(*list);
    EXPECT_EQ(records(*list), before);
    EXPECT_EQ(list->selectedPosition(), 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Whatever keeps the page from being read whole, the user is told why and the
// list, its selection included, stays as it was.
TEST_F(PageCommandsTest, openOfAPageThatCannotBeReadWholeKeepsTheList) {
    files.files["/s/a.html"] = page() + "\nremplirTabFournisseur(0,\"" + std::string(2'000'000, 'n') + "\");\n";
    files.folders.insert("/s/dossier.html");
    files.failingOpens["/s/verrou.html"] = Error::AccessDenied;
    struct Case {
        QString path;
        std::optional<std::size_t> failAfter;
        bool memoryRunsOut;
        QString message;
    };
    const Case cases[] = {
        {"/s/parti.html", {}, false, "Impossible d'ouvrir l'annuaire « /s/parti.html » : le fichier n'existe pas."},
        {"/s/dossier.html", {}, false, "Impossible d'ouvrir l'annuaire « /s/dossier.html » : c'est un dossier."},
        {"/s/verrou.html", {}, false, "Impossible d'ouvrir l'annuaire « /s/verrou.html » : l'accès est refusé."},
        {"/s/a.html", 3000, false, "Impossible de lire l'annuaire « /s/a.html » jusqu'au bout : la lecture a échoué."},
        {"/s/a.html",
         {},
         true,
         "Impossible de lire l'annuaire « /s/a.html » jusqu'au bout : la mémoire est insuffisante."},
    };
    list->select(2);
    const auto before = records(*list);
    for (const Case& c : cases) {
        dialogs.messages.clear();
        files.readFailsAfter = c.failAfter;
        std::optional<fichelia::testing::AllocationLimit> limit;
        if (c.memoryRunsOut) {
            limit.emplace(1 << 20);
        }
        open(c.path);
        limit.reset();
        EXPECT_EQ(dialogs.messages, std::vector<QString>{c.message + kUnchanged});
        EXPECT_EQ(records(*list), before);
        EXPECT_EQ(list->selectedPosition(), 2);
    }
}

TEST_F(PageCommandsTest, openOfMoreThanTheListCanTakeShowsTheErrorBoxAndKeepsTheList) {
    save("/s/annuaire.html");
    fichelia::DirectoryList small(fichelia::testing::rootCollator(), 2);
    ASSERT_TRUE(small.add(contact("Seul")));
    dialogs.fileChoices.push_back(FileChoice{"/s/annuaire.html", 1});
    commands.open(small);
    EXPECT_EQ(dialogs.errors, std::vector<QString>{QStringLiteral("Impossible d'insérer une ligne.")});
    ASSERT_EQ(small.count(), 1);
    EXPECT_EQ(small.recordAt(0).name, "Seul");
}

TEST_F(PageCommandsTest, previewWritesBesideTheExecutableElseInTheCacheFolderAndOpensIt) {
    desktop.executableFolderPath = "/bin";
    desktop.cacheFolderPath = "/cache";
    files.files["/bin/tmp.html"] = std::string(200000, 'x'); // an earlier, longer preview
    commands.preview(*list);
    EXPECT_EQ(files.files["/bin/tmp.html"], page());
    EXPECT_EQ(desktop.openedFiles, std::vector<QString>{"/bin/tmp.html"});

    files.failingWrites["/bin/tmp.html"] = Error::AccessDenied;
    commands.preview(*list);
    EXPECT_EQ(files.files["/cache/tmp.html"], page());
    EXPECT_EQ(desktop.openedFiles, (std::vector<QString>{"/bin/tmp.html", "/cache/tmp.html"}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.dialogs.empty());
}

TEST_F(PageCommandsTest, previewThatNoBrowserOpensSaysWhereThePreviewIs) {
    desktop.executableFolderPath = "/bin";
    desktop.filesOpen = false;
    commands.preview(*list);
    EXPECT_EQ(files.files["/bin/tmp.html"], page());
    EXPECT_EQ(desktop.openedFiles, std::vector<QString>{"/bin/tmp.html"});
    // The path as the system writes it: \bin\tmp.html on Windows.
    const QString shown = QDir::toNativeSeparators("/bin/tmp.html");
    EXPECT_EQ(dialogs.messages, std::vector<QString>{"Aucun navigateur Web n'a pu s'ouvrir pour montrer l'aperçu.\n"
                                                     "L'aperçu est dans « " + shown + " » : ouvrez ce fichier avec "
                                                     "votre navigateur."});
}

TEST_F(PageCommandsTest, previewThatCannotBeWrittenAnywhereSaysWhyAndOpensNothing) {
    desktop.executableFolderPath = "/bin";
    desktop.cacheFolderPath = "/cache";
    files.failingWrites["/bin/tmp.html"] = Error::AccessDenied;
    files.failingWrites["/cache/tmp.html"] = Error::DiskFull;
    commands.preview(*list);
    EXPECT_TRUE(desktop.openedFiles.empty());
    EXPECT_EQ(dialogs.messages, std::vector<QString>{"Impossible d'écrire l'aperçu de l'annuaire.\n"
                                                     "« /bin/tmp.html » : l'accès est refusé ;\n"
                                                     "« /cache/tmp.html » : le disque est plein."});
}
