#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "Files.h"
#include "ToolRun.h"

using fichelia::testing::dataFile;
using fichelia::testing::readBytes;
using fichelia::testing::runPageTool;
using fichelia::testing::utf8Path;

// Also the proof, in the Windows build under Wine, that the Windows tool
// writes the very pages of the Linux one.
TEST(FicheliaPageTool, writeGivesTheGoldenPagesAndReadGivesTheContactsBack) {
    for (const std::string name : {"empty", "three", "twelve"}) {
        SCOPED_TRACE(name);
        const std::string golden = readBytes(dataFile("page_" + name + ".html"));
        // An empty input gives an empty page only when TSV is asked for.
        const std::vector<std::string> write =
            name == "empty" ? std::vector<std::string>{"write", "--from", "tsv"} : std::vector<std::string>{"write"};
        const auto written = runPageTool(write, readBytes(dataFile("contacts_" + name + ".tsv")));
        ASSERT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(written.out, golden);

        const auto read = runPageTool({"read"}, golden);
        ASSERT_EQ(read.status, 0) << read.err;
        EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'),
                  std::count(golden.begin(), golden.end(), '\n') - 1); // a line per contact, and two others
        EXPECT_EQ(runPageTool(write, read.out).out, golden);
    }
    EXPECT_EQ(runPageTool({"read"}, readBytes(dataFile("page_twelve.html"))).out.rfind(
                  "Bernard\t1 avenue Jean Jaurès\t01 00 00 00 00\t06 00 00 00 00\t\tbernard@exemple.fr\t"
                  "http://bernard.example/\tContact n°1\nDubois\t",
                  0),
              0u);
}

// Names given on the command line are Unicode on every system, whatever
// Windows' code page.
TEST(FicheliaPageTool, readsFilesWhoseNamesHoldAnyLetter) {
    const auto folder = fichelia::testing::freshTemporaryFolder() / u8"Annuaires é Ł";
    std::filesystem::create_directory(folder);
    const auto contacts = folder / u8"contacts é Ł.tsv";
    const auto page = folder / u8"annuaire é Ł.html";
    std::ofstream(contacts, std::ios::binary) << readBytes(dataFile("contacts_twelve.tsv"));
    std::ofstream(page, std::ios::binary) << readBytes(dataFile("page_twelve.html"));

    const auto written = runPageTool({"write", utf8Path(contacts)}, "");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, readBytes(page));
    const auto read = runPageTool({"read", utf8Path(page)}, "");
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, runPageTool({"read"}, readBytes(page)).out);
    std::filesystem::remove_all(folder.parent_path());
}

// Standard input and output carry bytes: on Windows too, a Ctrl-Z (0x1A) does
// not end the input, and no CR comes before a LF.
TEST(FicheliaPageTool, awkwardTextsSurviveWriteThenRead) {
    const std::string tsv = "Ł\\\\\"</script>\t\\t\\n\\r\x1A\t\t\t\t\t😀\t\"c\"\n";
    const auto written = runPageTool({"write", "--site", "https://x.example/a"}, tsv);
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("href=\"https://x.example/a\""), std::string::npos);
    const auto read = runPageTool({"read"}, written.out);
    EXPECT_EQ(read.out, tsv);
}

// Exit status 1: the contacts of the whole record lines are written, and each
// line that could not be read is named on standard error with its file. A
// --template fills nothing: no contact is made of anything but its line.
TEST(FicheliaPageTool, readWritesTheReadableContactsAndNamesEachDamagedLine) {
    const std::string page = "<html>\nremplirTabFournisseur(0,\"x\",\"y\");\n"
                             "remplirTabFournisseur(1,\"a\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n"
                             "remplirTabFournisseur(2,\"b\" + alert(1),\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n</html>";
    const auto read = runPageTool({"read", "--template", "N\tA\tT\tG\tF\tM\tS\tC"}, page);
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.out, "a\t\t\t\t\t\t\t\n");
    const std::string why = "laissée de côté : ligne de contact illisible (coupée, valeur jamais fermée, pas huit "
                            "valeurs ou autre chose entre elles)\n";
    EXPECT_EQ(read.err,
              "fichelia-page: entrée standard, ligne 2 " + why + "fichelia-page: entrée standard, ligne 4 " + why);

    const std::filesystem::path file = fichelia::testing::freshTemporaryFolder() / "abime.html";
    std::ofstream(file, std::ios::binary) << page;
    const auto fromFile = runPageTool({"read", "--to", "csv", utf8Path(file)}, "");
    EXPECT_EQ(fromFile.status, 1);
    EXPECT_NE(fromFile.out.find("a;"), std::string::npos);
    EXPECT_NE(fromFile.err.find(utf8Path(file) + ", ligne 4 laissée de côté"), std::string::npos) << fromFile.err;
    std::filesystem::remove_all(file.parent_path());
}

// Exit status 1: the page is written without the lines that could not be
// read, each named on standard error; 2: no page at all.
TEST(FicheliaPageTool, badLinesAreSkippedWithTheirLineAndStatusOneNothingUsableIsStatusTwo) {
    const auto badCount = runPageTool({"write"}, "a\t\t\t\t\t\t\t\nb\tc\n\t\t\\q\t\t\t\t\t\n");
    EXPECT_EQ(badCount.status, 1);
    EXPECT_EQ(runPageTool({"read"}, badCount.out).out, "a\t\t\t\t\t\t\t\n");
    EXPECT_NE(badCount.err.find("ligne 2 laissée de côté : 2 champs au lieu de 8\n"), std::string::npos)
        << badCount.err;
    EXPECT_NE(badCount.err.find("ligne 3 laissée de côté : séquence d'échappement inconnue dans le champ 3"),
              std::string::npos)
        << badCount.err;

    const auto badUtf8 = runPageTool({"write", "--from", "tsv"}, "\xE9t\xE9\t\t\t\t\t\t\t\n");
    EXPECT_EQ(badUtf8.status, 2);
    EXPECT_TRUE(badUtf8.out.empty());
    EXPECT_EQ(badUtf8.err, "fichelia-page: ligne 1 laissée de côté : texte UTF-8 invalide\n"
                           "fichelia-page: aucun contact n'a pu être lu\nfichelia-page: aucune page écrite\n");

    EXPECT_EQ(runPageTool({"write", "--site", "a\"b"}, "").status, 2);
    EXPECT_EQ(runPageTool({"read", "--template", "a"}, "").status, 2);
    EXPECT_EQ(runPageTool({}, "").status, 2);
    EXPECT_EQ(runPageTool({"frobnicate"}, "").status, 2);
    const auto help = runPageTool({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("fichelia-page write"), std::string::npos);
}

TEST(FicheliaPageTool, windowsLineEndsInTheInputAreAccepted) {
    const auto written = runPageTool({"write"}, "a\t\t\t\t\t\t\t\r\nb\t\t\t\t\t\t\tfin\r\n");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(runPageTool({"read"}, written.out).out, "a\t\t\t\t\t\t\t\nb\t\t\t\t\t\t\tfin\n");
}

TEST(FicheliaPageTool, pagesComeBackOutAsVCardOrCsvAndGoBackInUnchanged) {
    // (A record without a name does not come back: a card or row with nothing to name it is skipped.)
    const std::string awkwardTsv =
        "Ł\\\\\"</script>; a,b\t1 rue\t=SOMME(A1)\t\t\t\t😀 http://x.fr/?a=1;b=2\t\"c\"\\n2e\n";
    const auto awkward = runPageTool({"write", "--from", "tsv"}, awkwardTsv);
    ASSERT_EQ(awkward.status, 0) << awkward.err;
    for (const std::string& page : {readBytes(dataFile("page_twelve.html")), awkward.out}) {
        for (const std::string format : {"vcard", "csv"}) {
            SCOPED_TRACE(format);
            const auto out = runPageTool({"read", "--to", format}, page);
            ASSERT_EQ(out.status, 0) << out.err;
            const auto back = runPageTool({"write", "--from", format}, out.out);
            ASSERT_EQ(back.status, 0) << back.err;
            EXPECT_TRUE(back.err.empty()) << back.err;
            EXPECT_EQ(back.out, page);
            EXPECT_EQ(runPageTool({"write"}, out.out).out, page); // found as such by auto
        }
    }
    const auto csv = runPageTool({"read", "--to", "csv", "--separator", ","}, awkward.out);
    EXPECT_EQ(csv.out, "\xEF\xBB\xBFNom,Adresse,Tél,GSM,Fax,Mail,Site,Commentaire\r\n"
                       "\"Ł\\\"\"</script>; a,b\",1 rue,'=SOMME(A1),,,,😀 http://x.fr/?a=1;b=2,\"\"\"c\"\"\n2e\"\r\n");
}

TEST(FicheliaPageTool, importsFromFilesReportRefusedSitesAndWhatWasLeftOut) {
    const auto written = runPageTool({"write", dataFile("phone_v21.vcf")}, "");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out.find("JavaScript:"), std::string::npos);
    EXPECT_NE(written.out.find("Andr\xE9 Lef\xE8vre"), std::string::npos);
    EXPECT_NE(written.err.find("ligne 24 : adresse de site laissée de côté"), std::string::npos) << written.err;
    EXPECT_NE(written.err.find("JavaScript:alert(1)"), std::string::npos);
    EXPECT_NE(written.err.find("  1 × date de naissance\n  1 × photo\n"), std::string::npos) << written.err;

    // The Excel export that TSV refused: Windows-1252 TABs, with a quoted cell.
    const auto excel = runPageTool({"write"}, "Lef\xE8vre\t\"1 rue\t2e\"\t\t\t\t\t\t\n");
    ASSERT_EQ(excel.status, 0) << excel.err;
    EXPECT_EQ(runPageTool({"read"}, excel.out).out, "Lefèvre\t1 rue\\t2e\t\t\t\t\t\t\n");
    const auto separated = runPageTool({"write", "--from", "csv", "--separator", "tab"}, "a,b\tc\n");
    EXPECT_EQ(runPageTool({"read"}, separated.out).out, "a,b\tc\t\t\t\t\t\t\n");
}

TEST(FicheliaPageTool, malformedImportsAndOptionsAreRefusedWithoutAPage) {
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string message;
    } cases[] = {
        {{"write", "--from", "csv"}, "Nom;Mail\n\"Dupont;d@x.fr\n", "ligne 2 : guillemet ouvert jamais refermé"},
        {{"write"}, "BEGIN:VCARD\nFN:a\n", "ligne 1 : carte laissée de côté : carte commencée ici sans END:VCARD"},
        {{"write", "--from", "ldif"},
         "dn: cn=a\ncn:: ???\n",
         "ligne 2 : entrée laissée de côté : valeur base64 invalide pour cn"},
        {{"write"}, "%PDF-1.5\n%\xE2\xE3\n", "ce fichier est un document PDF, pas un carnet d'adresses"},
        {{"write"}, "", "le fichier ne contient aucun contact"},
        {{"write"}, "\xEF\xBB\xBF\r\n\r\n", "le fichier ne contient aucun contact"},
        {{"write"}, "Prénom;Nom;Mail\r\n", "le fichier ne contient aucun contact"},
        {{"write"}, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", "fichier iCalendar (un agenda), pas un carnet"},
        {{"write"}, "Ceci est une licence.\nElle permet, sans garantie, de copier.\n",
         "ce fichier n'est pas un carnet d'adresses"},
        {{"write", "/nulle/part.vcf"}, "", "impossible d'ouvrir /nulle/part.vcf"},
        {{"write", "--from", "vcf"}, "", "format --from inconnu"},
        {{"write", "--separator", ":"}, "", "séparateur refusé"},
        {{"read", "--to", "ldif"}, "", "format --to inconnu"},
        {{"write", "--to", "csv"}, "", "inattendue pour write"},
        {{"write", "a", "b"}, "", "un seul fichier"},
        {{"read", "--bavard"}, "", "option inconnue"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const auto result = runPageTool(c.arguments, c.input);
        EXPECT_NE(result.status, 0);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

// -o puts the output in place only when whole: a refused input or an
// unwritable place leaves the file byte for byte, and nothing else in its
// folder; a temporary file that a killed run left behind goes with the next
// run (that process, 4194305, cannot exist: it is above any pid_max).
TEST(FicheliaPageTool, outputFileIsReplacedWholeOrLeftAsItWas) {
    namespace fs = std::filesystem;
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const fs::path page = folder / "annuaire.html";
    const std::string old = "ancienne page";
    std::ofstream(page, std::ios::binary) << old;
    std::ofstream(folder / ".fichelia-4194305-0.tmp", std::ios::binary) << "reste d'un arrêt brutal";
    const auto entries = [&folder] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(utf8Path(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::string pagePath = utf8Path(page);
    const std::string good = readBytes(dataFile("contacts_twelve.tsv"));
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string message;
    } refused[] = {
        {{"write", "--from", "tsv", "-o", pagePath}, "a\tb\n", 2, "ligne 1"},
        {{"write", "--output", pagePath, "--from", "csv"}, "Nom\n\"x\n", 2, "guillemet"},
        {{"write", "-o", utf8Path(folder / "absent" / "a.html")}, good, 3, "le dossier n'existe pas"},
        {{"write", "-o", utf8Path(folder)}, good, 3, "c'est un dossier"},
        {{"read", "-o", pagePath, dataFile("phone_v21.vcf")}, "", 2, "n'est pas une page d'annuaire"},
        {{"read", "-o", ""}, "", 2, "nom de fichier manquant"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.message);
        const auto result = runPageTool(c.arguments, c.input);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_TRUE(readBytes(page) == old);
    }

    const auto written = runPageTool({"write", "-o", pagePath}, good);
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_TRUE(written.out.empty());
    EXPECT_TRUE(readBytes(page) == readBytes(dataFile("page_twelve.html")));
    EXPECT_EQ(entries(), std::vector<std::string>{"annuaire.html"});

    const fs::path contacts = folder / "contacts.tsv";
    const auto read = runPageTool({"read", pagePath, "-o", utf8Path(contacts)}, "");
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(readBytes(contacts), runPageTool({"read", pagePath}, "").out);
    fs::remove_all(folder);
}

TEST(FicheliaPageTool, readRefusesWhatIsNoDirectoryPage) {
    for (const std::string format : {"tsv", "csv"}) {
        const auto notAPage = runPageTool({"read", "--to", format, dataFile("phone_v21.vcf")}, "");
        EXPECT_EQ(notAPage.status, 2);
        EXPECT_TRUE(notAPage.out.empty());
        EXPECT_EQ(notAPage.err, "fichelia-page: ce fichier n'est pas une page d'annuaire (aucune ligne "
                                "remplirTabFournisseur)\n");
    }
    EXPECT_EQ(runPageTool({"read", "--to", "csv", dataFile("page_empty.html")}, "").status, 0);
}

// The memory promises hold for the tool as shipped: AddressSanitizer's own
// allocator and shadow memory would be measured too.
#if !defined(_WIN32) && !defined(FICHELIA_SANITIZED)
// One line of 64 MB, no address book: refused having read it once, in at most
// three times its size (with the tool's own few megabytes).
TEST(FicheliaPageTool, aHugeSingleLineTakesAtMostThreeTimesItsSize) {
    const std::string line(64 << 20, 'Q');
    const auto written = runPageTool({"write"}, line);
    EXPECT_EQ(written.status, 2) << written.err;
    EXPECT_NE(written.err.find("pas un carnet d'adresses"), std::string::npos) << written.err;
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(static_cast<std::size_t>(usage.ru_maxrss) * 1024, 3 * line.size() + (16 << 20));
}

// One card holding a value of 64 MB, written as a page: the file, its record
// and the page's line are never all held at once, nor any of them twice.
TEST(FicheliaPageTool, aHugeValueIsWrittenInAtMostThreeTimesItsSize) {
    const auto folder = fichelia::testing::freshTemporaryFolder();
    const std::string value(64 << 20, 'Q');
    std::ofstream(folder / "grand.vcf", std::ios::binary) << "BEGIN:VCARD\nFN:a\nNOTE:" << value << "\nEND:VCARD\n";
    const auto written =
        runPageTool({"write", utf8Path(folder / "grand.vcf"), "-o", utf8Path(folder / "grand.html")}, "");
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_GT(std::filesystem::file_size(folder / "grand.html"), value.size());
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(static_cast<std::size_t>(usage.ru_maxrss) * 1024, 3 * value.size() + (16 << 20));
    std::filesystem::remove_all(folder);
}
#endif

// What write says beside the page, and its status.
TEST(FicheliaPageTool, aPageWithWhatWasLeftOutOrReadOtherwise) {
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string message; // empty: nothing said
    } cases[] = {
        {{"write", "--from", "tsv"}, "", 0, ""}, // an empty page, asked for
        {{"write"}, "BEGIN:VCARD\nFN:a\nLABEL:1 rue\nParis\nEND:VCARD\n", 1,
         "ligne 4 laissée de côté : ligne sans « : »"},
        {{"write"}, "Nom;Tel\nLefèvre;1\nH\xE9l\xE8ne;2\n", 0,
         "ligne 3 : texte qui n'est pas de l'UTF-8, lu en Windows-1252"},
        {{"write"}, "dn: ou=a\nobjectClass: organizationalUnit\n\ndn: cn=b\ncn: b\nmail: b@x.fr\n", 0,
         "1 × entrée qui n'est pas une personne (« organizationalUnit »)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const auto result = runPageTool(c.arguments, c.input);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_FALSE(result.out.empty());
        if (c.message.empty()) {
            EXPECT_TRUE(result.err.empty()) << result.err;
        } else {
            EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        }
    }
}

// An output that is the input itself, under any of its names, would replace
// it: refused before anything is read or written, the file left byte for byte.
TEST(FicheliaPageTool, anOutputThatIsTheInputIsRefusedUnderAnyName) {
    namespace fs = std::filesystem;
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const fs::path page = folder / "annuaire.html";
    const fs::path book = folder / "carnet.vcf";
    const std::string pageBytes = readBytes(dataFile("page_twelve.html"));
    const std::string bookBytes = readBytes(dataFile("phone_v21.vcf"));
    std::ofstream(page, std::ios::binary) << pageBytes;
    std::ofstream(book, std::ios::binary) << bookBytes;
    fs::create_hard_link(page, folder / "lien.html");
    std::vector<std::vector<std::string>> cases = {
        {"read", utf8Path(page), "-o", utf8Path(page)},
        {"read", utf8Path(page), "-o", utf8Path(folder / "lien.html")},
        {"read", utf8Path(page), "--output", utf8Path(folder / "." / "annuaire.html")},
        {"write", utf8Path(book), "-o", utf8Path(book)},
    };
#ifndef _WIN32
    fs::create_symlink("carnet.vcf", folder / "lien.vcf");
    cases.push_back({"write", utf8Path(folder / "lien.vcf"), "-o", utf8Path(book)});
    cases.push_back({"write", utf8Path(book), "-o", utf8Path(folder / "lien.vcf")});
#endif
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.back());
        const auto result = runPageTool(arguments, "");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "fichelia-page: " + arguments.back() +
                                  " est le fichier d'entrée lui-même, la sortie le remplacerait ; rien n'a été écrit\n");
        EXPECT_TRUE(readBytes(page) == pageBytes);
        EXPECT_TRUE(readBytes(book) == bookBytes);
    }
    // Also when the input comes on standard input.
    EXPECT_EQ(fichelia::testing::runPageToolFrom({"read", "-o", utf8Path(page)}, page).status, 2);
    EXPECT_EQ(fichelia::testing::runPageToolFrom({"write", "-o", utf8Path(book)}, book).status, 2);
    EXPECT_TRUE(readBytes(page) == pageBytes);
    EXPECT_TRUE(readBytes(book) == bookBytes);
    // Another file is written as asked.
    EXPECT_EQ(runPageTool({"read", utf8Path(page), "-o", utf8Path(folder / "contacts.tsv")}, "").status, 0);
    fs::remove_all(folder);
}

// An input that cannot be read whole never reaches -o's file: status 3, the
// reason said, the good page there before kept byte for byte, nothing left
// beside it.
TEST(FicheliaPageTool, anInputThatCannotBeReadLeavesTheOutputAsItWas) {
    namespace fs = std::filesystem;
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const fs::path page = folder / "annuaire.html";
    const std::string good = readBytes(dataFile("page_twelve.html"));
    std::ofstream(page, std::ios::binary) << good;
    fs::create_directory(folder / "contacts");
    const std::string missing = utf8Path(folder / "parti.vcf");
    struct Case {
        std::vector<std::string> commands;
        std::string input;
        std::string message;
    };
    std::vector<Case> cases = {
        {{"write", "read"}, utf8Path(folder / "contacts"), utf8Path(folder / "contacts") + " est un dossier"},
        {{"write", "read"}, missing, "impossible d'ouvrir " + missing + " : fichier introuvable"},
    };
#ifdef __linux__
    // A file that opens and then fails to read: EIO at the first read.
    cases.push_back({{"write"}, "/proc/self/mem", "impossible de lire /proc/self/mem : la lecture a échoué"});
#endif
    for (const auto& c : cases) {
        for (const std::string& command : c.commands) {
            SCOPED_TRACE(command + " " + c.input);
            const auto result = runPageTool({command, c.input, "-o", utf8Path(page)}, "");
            EXPECT_EQ(result.status, 3);
            EXPECT_EQ(result.err, "fichelia-page: " + c.message + "\n");
            EXPECT_TRUE(readBytes(page) == good);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
        }
    }
    fs::remove_all(folder);
}

// "-" is standard input as the input, standard output as -o.
TEST(FicheliaPageTool, aDashIsStandardInputOrStandardOutput) {
    const std::string tsv = readBytes(dataFile("contacts_twelve.tsv"));
    const std::string golden = readBytes(dataFile("page_twelve.html"));
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"write", "-"}, {"write", "-o", "-"}, {"write", "-", "--output", "-"}}) {
        const auto written = runPageTool(arguments, tsv);
        EXPECT_EQ(written.status, 0) << written.err;
        EXPECT_TRUE(written.out == golden);
    }
    const auto read = runPageTool({"read", "-", "-o", "-"}, golden);
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, runPageTool({"read"}, golden).out);
}

// The footer link follows the contacts' rule: no address that runs code.
TEST(FicheliaPageTool, aSiteThatWouldRunCodeIsRefused) {
    for (const std::string site : {"javascript:alert(1)", "JavaScript:x", "vbscript:x", "data:text/html,x",
                                   "\x01javascript:x", "java\tscript:x"}) {
        SCOPED_TRACE(site);
        const auto result = runPageTool({"write", "--site", site}, "a\t\t\t\t\t\t\t\n");
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(result.err.rfind("fichelia-page: adresse --site refusée", 0), 0u) << result.err;
    }
    for (const std::string site : {"https://exemple.fr/", "mailto:a@exemple.fr", "exemple.fr/javascript:x"}) {
        EXPECT_EQ(runPageTool({"write", "--site", site}, "a\t\t\t\t\t\t\t\n").status, 0) << site;
    }
}

// A usage error is one French line and where to find help, never the whole
// help; the help, whole or of one command, is French and fits 80 columns.
TEST(FicheliaPageTool, usageErrorsAreOneLineAndTheHelpFitsEightyColumns) {
    const struct {
        std::vector<std::string> arguments;
        std::string line;
    } errors[] = {
        {{}, "commande manquante"},
        {{"frobnicate"}, "commande inconnue : frobnicate"},
        {{"write", "--bavard"}, "option inconnue : --bavard"},
        {{"read", "-o"}, "valeur manquante après -o"},
        {{"write", "--from", "vcf"}, "format --from inconnu : vcf (tsv, csv, vcard, ldif, auto)"},
    };
    for (const auto& e : errors) {
        const auto result = runPageTool(e.arguments, "");
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(result.err, "fichelia-page: " + e.line + "\nEssayez « fichelia-page --help »\n");
    }
    const auto whole = runPageTool({"--help"}, "");
    const auto write = runPageTool({"write", "--from", "vcf", "--help"}, "");
    const auto read = runPageTool({"read", "-h"}, "");
    for (const auto* help : {&whole, &write, &read}) {
        EXPECT_EQ(help->status, 0);
        EXPECT_TRUE(help->err.empty());
        EXPECT_NE(help->out.find("Code de sortie :"), std::string::npos);
        std::size_t start = 0;
        while (start < help->out.size()) {
            const std::size_t end = help->out.find('\n', start);
            const std::string line = help->out.substr(start, end - start);
            // Columns are characters: UTF-8 continuation bytes take none.
            const auto columns = std::count_if(line.begin(), line.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            });
            EXPECT_LE(columns, 80) << line;
            start = end + 1;
        }
    }
    EXPECT_NE(whole.out.find("\nwrite : lit des contacts"), std::string::npos);
    EXPECT_NE(whole.out.find("\nread : lit une page"), std::string::npos);
    EXPECT_NE(write.out.find("\nwrite : lit des contacts"), std::string::npos);
    EXPECT_EQ(write.out.find("\nread : lit une page"), std::string::npos);
    EXPECT_EQ(read.out.find("\nwrite : lit des contacts"), std::string::npos);
    EXPECT_NE(read.out.find("\nread : lit une page"), std::string::npos);
}
