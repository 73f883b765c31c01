// The contacts of dropped files without a window: the files are TSV in the
// fake disk, the box is the fake's.

#include "commands/ImportCommands.h"

#include <chrono>
#include <iostream>

#include <gtest/gtest.h>

#include "Fakes.h"
#include "TestRecords.h"

using fichelia::Contact;

namespace {

// A TSV line of our format: name and address, the other fields empty.
std::string line(const std::string& name, const std::string& address = "") {
    return name + "\t" + address + "\t\t\t\t\t\t\n";
}

class ImportCommandsTest : public ::testing::Test {
protected:
    fichelia::testing::FakeDialogs dialogs;
    fichelia::testing::FakeFiles files;
    fichelia::ImportCommands commands{dialogs, files};
    std::unique_ptr<fichelia::DirectoryList> list = fichelia::testing::listOf({});

    // Puts each text on the fake disk as 1.tsv, 2.tsv... and drops them all.
    void drop(const std::vector<std::string>& texts) {
        QStringList paths;
        for (const std::string& text : texts) {
            paths << QStringLiteral("/d/%1.tsv").arg(paths.size() + 1);
            files.files[paths.back()] = text;
        }
        commands.addFiles(*list, paths);
    }

    // The last box: its summary, then its details.
    QString box() const { return dialogs.reports.back().summary + "\n" + dialogs.reports.back().details; }

    std::vector<std::string> listed() const {
        std::vector<std::string> entries;
        for (int i = 0; i < list->count(); ++i) {
            entries.push_back(list->recordAt(i).name + "|" + list->recordAt(i).address);
        }
        return entries;
    }

    // The last box's details, file by file: each run of listed lines as its
    // length and kind (h: a namesake, l: a line left out), and "+N" for
    // "… et N autre(s)".
    std::vector<std::string> listedPerFile() const {
        std::vector<std::string> files;
        char kind = 0;
        int run = 0;
        const auto add = [&files](const std::string& token) {
            files.back().append(files.back().empty() ? "" : " ").append(token);
        };
        for (const QString& text : dialogs.reports.back().details.split(QLatin1Char('\n'))) {
            const char now = text.startsWith(QStringLiteral("    homonyme")) ? 'h'
                             : text.startsWith(QStringLiteral("    ligne"))  ? 'l'
                                                                             : 0;
            if (now != kind && run > 0) {
                add(std::to_string(run) + kind);
                run = 0;
            }
            kind = now;
            if (now != 0) {
                ++run;
            } else if (text.startsWith(QStringLiteral("    … et "))) {
                std::string more(1, '+'); // appended, not prepended: mingw's -O3 warns wrongly on an insert
                more += text.section(QLatin1Char(' '), 6, 6).toStdString();
                add(more);
            } else if (text.startsWith(QStringLiteral("« "))) {
                files.emplace_back();
            }
        }
        if (run > 0) {
            add(std::to_string(run) + kind);
        }
        return files;
    }
};

} // namespace

TEST_F(ImportCommandsTest, aContactAlreadyThereIsNotAddedAgainAndANamesakeIsAddedAndNamed) {
    struct Case {
        const char* what;
        std::string inList; // TSV lines
        std::vector<std::string> dropped;
        std::vector<std::string> listed; // "name|address", in list order
        const char* box;                 // the summary, then the details
    };
    const Case cases[] = {
        {"the same book dropped again",
         line("Albert", "1 rue") + line("Martin", "2 rue"),
         {line("Martin", "2 rue") + line("Albert", "1 rue")},
         {"Albert|1 rue", "Martin|2 rue"},
         "Aucun contact n'a été ajouté : la liste les contient déjà.\n"
         "« 1.tsv » : 2 contacts\n"
         "    2 contacts déjà présents, non ajoutés"},
        {"two books sharing a contact",
         "",
         {line("Albert") + line("Bruno"), line("Bruno") + line("Claude")},
         {"Albert|", "Bruno|", "Claude|"},
         "3 contacts ont été ajoutés à la liste.\n"
         "1 contact déjà présent n'a pas été ajouté.\n"
         "« 1.tsv » : 2 contacts\n"
         "« 2.tsv » : 2 contacts\n"
         "    1 contact déjà présent, non ajouté"},
        {"one contact three times in a book",
         "",
         {line("Albert") + line("Albert") + line("Albert")},
         {"Albert|"},
         "1 contact a été ajouté à la liste.\n"
         "2 contacts déjà présents n'ont pas été ajoutés.\n"
         "« 1.tsv » : 3 contacts\n"
         "    2 contacts déjà présents, non ajoutés"},
        {"a namesake of a listed contact",
         line("Dupont", "1 rue"),
         {line("Dupont", "2 rue") + line("Martin")},
         {"Dupont|1 rue", "Dupont|2 rue", "Martin|"},
         "2 contacts ont été ajoutés à la liste.\n"
         "1 homonyme a été ajouté : il porte le nom d'un autre contact, sans lui être identique.\n"
         "« 1.tsv » : 2 contacts\n"
         "    homonyme ajouté : Dupont"},
        {"namesakes and a repeat in one book",
         "",
         {line("Durand", "a") + line("Durand", "b") + line("Durand", "a") + line("Durand", "c")},
         {"Durand|a", "Durand|b", "Durand|c"},
         "3 contacts ont été ajoutés à la liste.\n"
         "1 contact déjà présent n'a pas été ajouté.\n"
         "2 homonymes ont été ajoutés : ils portent le nom d'autres contacts, sans leur être identiques.\n"
         "« 1.tsv » : 4 contacts\n"
         "    1 contact déjà présent, non ajouté\n"
         "    homonyme ajouté : Durand\n"
         "    homonyme ajouté : Durand"},
        {"contacts without a name, which are no namesakes",
         "",
         {line("", "a") + line("", "b")},
         {"|a", "|b"},
         "2 contacts ont été ajoutés à la liste.\n"
         "« 1.tsv » : 2 contacts"},
        {"a repeat of a contact earlier in the drop, in the next book",
         line("Albert"),
         {line("Bruno", "x"), line("Bruno", "x") + line("Albert")},
         {"Albert|", "Bruno|x"},
         "1 contact a été ajouté à la liste.\n"
         "2 contacts déjà présents n'ont pas été ajoutés.\n"
         "« 1.tsv » : 1 contact\n"
         "« 2.tsv » : 2 contacts\n"
         "    2 contacts déjà présents, non ajoutés"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list = fichelia::testing::listOf({});
        if (!c.inList.empty()) {
            drop({c.inList});
        }
        dialogs.reports.clear();
        drop(c.dropped);
        EXPECT_EQ(listed(), c.listed);
        ASSERT_EQ(dialogs.reports.size(), 1u);
        EXPECT_EQ(box(), QString::fromUtf8(c.box));
        EXPECT_TRUE(dialogs.reports.back().details.startsWith(QStringLiteral("« 1.tsv »")));
        EXPECT_EQ(dialogs.busyDepth, 0);
    }
}

// Each file lists at most ten lines of each kind, then how many more there
// were: a long list cuts neither the other kinds nor the other files.
TEST_F(ImportCommandsTest, detailsListTenLinesOfEachKindInEachFile) {
    // The contact `name`, `namesakes` more of that name, and `unread` rows of
    // one field, which cannot be read.
    const auto book = [](const std::string& name, int namesakes, int unread) {
        std::string text = line(name);
        for (int i = 0; i < namesakes; ++i) {
            text += line(name, std::to_string(i));
        }
        for (int i = 0; i < unread; ++i) {
            text += "illisible\n";
        }
        return text;
    };
    struct Case {
        const char* what;
        std::vector<std::string> dropped;
        std::vector<std::string> listed; // by file, as listedPerFile() says it
    };
    const Case cases[] = {
        {"ten of each", {book("Albert", 10, 10)}, {"10h 10l"}},
        {"eleven of each", {book("Albert", 11, 11)}, {"10h +1 10l +1"}},
        {"one kind long, the other short", {book("Albert", 3, 25)}, {"3h 10l +15"}},
        {"two files", {book("Albert", 0, 12), book("Bruno", 11, 0)}, {"10l +2", "10h +1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list = fichelia::testing::listOf({});
        drop(c.dropped);
        ASSERT_EQ(dialogs.reports.size(), 1u);
        EXPECT_EQ(listedPerFile(), c.listed);
        dialogs.reports.clear();
    }
}

// The summary counts what all the files left out, and a refused file, first,
// last or alone, keeps every contact of the drop out of the list.
TEST_F(ImportCommandsTest, theSummaryCountsEveryFileAndARefusedFileAddsNothing) {
    // A card with a site that would run code and two values without a field.
    const auto card = [](const std::string& name) {
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name +
               "\r\nURL:javascript:alert(1)\r\nBDAY:2000-01-01\r\nBDAY:2001-01-01\r\nEND:VCARD\r\n";
    };
    const std::string pdf = "%PDF-1.4\n1 0 obj\n";
    const char* const refused = "Aucun contact n'a été ajouté : la liste n'a pas été modifiée.\n"
                                "1 fichier refusé, pour les raisons dites ci-dessous.";
    const char* const others = "\nLes contacts des autres fichiers n'ont pas été ajoutés non plus : déposez-les "
                               "sans celui-ci pour les ajouter.";
    struct Case {
        const char* what;
        std::vector<std::string> dropped;
        int listed;
        std::string summary;
    };
    const Case cases[] = {
        {"values and sites of two files", {card("Alice"), card("Bruno")}, 2,
         "2 contacts ont été ajoutés à la liste.\n"
         "Laissé de côté : 2 adresses de site qui feraient exécuter du code, 4 valeurs sans champ."},
        // A file that holds no contact is refused, as the tool refuses it.
        {"an empty file", {""}, 0, refused},
        {"empty files", {"", ""}, 0,
         "Aucun contact n'a été ajouté : la liste n'a pas été modifiée.\n"
         "2 fichiers refusés, pour les raisons dites ci-dessous."},
        {"a file refused alone", {pdf}, 0, refused},
        {"a file refused first", {pdf, line("Albert")}, 0, std::string(refused) + others},
        {"a file refused in the middle", {line("Albert"), pdf, line("Bruno")}, 0, std::string(refused) + others},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list = fichelia::testing::listOf({});
        dialogs.reports.clear();
        drop(c.dropped);
        EXPECT_EQ(list->count(), c.listed);
        ASSERT_EQ(dialogs.reports.size(), 1u);
        EXPECT_EQ(dialogs.reports.back().summary, QString::fromStdString(c.summary));
    }
}

// Two contacts are the same only when all eight fields are: one that differs
// in any one of them is added, as a namesake.
TEST_F(ImportCommandsTest, aContactDifferingInAnyOneFieldIsAdded) {
    const Contact base("Dupont", "1 rue", "01", "06", "02", "d@x.fr", "http://d.example/", "ami");
    list = fichelia::testing::listOf({base});
    for (const fichelia::RecordField& field : fichelia::kRecordFields) {
        SCOPED_TRACE(std::string(field.name));
        Contact other = base;
        (other.*field.text).append("2");
        std::string text;
        for (const fichelia::RecordField& each : fichelia::kRecordFields) {
            text.append(other.*each.text).append(&each == &fichelia::kRecordFields.back() ? "\n" : "\t");
        }
        const int before = list->count();
        drop({text});
        EXPECT_EQ(list->count(), before + 1);
        drop({text});
        EXPECT_EQ(list->count(), before + 1);
    }
    EXPECT_EQ(dialogs.reports.back().summary, QStringLiteral("Aucun contact n'a été ajouté : la liste le contient déjà."));
}

// 50,000 contacts dropped twice: the second drop, which finds every one of
// them already there, takes no longer than a few times the first, which adds
// them (a scan of the list for each contact would take hundreds of times).
TEST_F(ImportCommandsTest, fiftyThousandContactsAlreadyThereAreFoundInLinearTime) {
    constexpr int kCount = 50'000;
    std::string text;
    for (int i = 0; i < kCount; ++i) {
        text.append(line("Contact " + std::to_string(i % 1000), "rue " + std::to_string(i)));
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    drop({text});
    const auto first = Clock::now() - start;
    ASSERT_EQ(list->count(), kCount);
    drop({text});
    const auto second = Clock::now() - start - first;
    EXPECT_EQ(list->count(), kCount);
    EXPECT_EQ(dialogs.reports.back().summary, QStringLiteral("Aucun contact n'a été ajouté : la liste les contient déjà."));
    const double ratio = std::chrono::duration<double>(second) / std::chrono::duration<double>(first);
    std::cout << "second drop / first drop: " << ratio << '\n';
    EXPECT_LT(ratio, 4.0);
}
