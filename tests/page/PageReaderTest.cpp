#include "page/PageReader.h"

#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AllocationLimit.h"
#include "Files.h"
#include "TestRecords.h"

using fichelia::Contact;
using fichelia::LineKind;
using fichelia::ParseDirectoryLine;

namespace {

// What a reading gave: its records and its damaged lines.
struct Reading {
    std::vector<Contact> records;
    std::vector<long> damaged;
};

Reading read(const std::string& bytes) {
    fichelia::MemoryByteSource source(bytes);
    Reading reading;
    const auto result = fichelia::ReadDirectoryPage(
        source, [&](Contact&& record) { reading.records.push_back(std::move(record)); },
        [&](long line) { reading.damaged.push_back(line); });
    EXPECT_TRUE(result);
    if (result) {
        EXPECT_EQ(result->damagedLines, static_cast<long>(reading.damaged.size()));
        EXPECT_EQ(result->firstDamagedLine, reading.damaged.empty() ? 0 : reading.damaged.front());
    }
    return reading;
}

std::vector<Contact> readAll(const std::string& bytes) {
    return read(bytes).records;
}

// A contact form filled in: nothing of it may ever show in a record.
const Contact kForm("FormNom", "FormAdresse", "FormTel", "FormGsm", "FormFax", "FormMail", "FormSite", "FormComm");

const std::string kLine = "remplirTabFournisseur(0,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");";
const Contact kLineRecord("Nom", "Adr", "Tel", "Gsm", "Fax", "Mail", "Site", "Comm");

// Hands out its bytes in small chunks and fails at a given point, as a disk
// would (never, when that point lies past the end).
class FailingSource : public fichelia::ByteSource {
public:
    FailingSource(std::string bytes, std::size_t failAt) : m_bytes(std::move(bytes)), m_failAt(failAt) {}
    fichelia::Result<std::size_t> read(char* buffer, std::size_t size) override {
        if (m_pos == m_failAt) {
            return fichelia::Error::ReadFailed;
        }
        const std::size_t count = std::min({size, std::size_t{7}, m_failAt - m_pos, m_bytes.size() - m_pos});
        std::copy_n(m_bytes.data() + m_pos, count, buffer);
        m_pos += count;
        return count;
    }
    std::size_t position() const { return m_pos; }

private:
    std::string m_bytes;
    std::size_t m_failAt;
    std::size_t m_pos = 0;
};

} // namespace

TEST(PageReader, readsTheRecordsOfAGoldenPageInFileOrder) {
    const auto records = readAll(fichelia::testing::readBytes(fichelia::testing::dataFile("page_three.html")));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], Contact("arnaud", "", "", "", "", "", "", ""));
    EXPECT_EQ(records[1], Contact("Dupont & Fils", "3 place d'Armes", "04 91 00 00 00", "", "",
                                  "contact@dupont.example", "", "Remise de 5 % à partir de 100 €"));
    EXPECT_EQ(records[2].name, "Lefèvre");
    EXPECT_EQ(records[2].site, "http://www.lefevre.example/");
    EXPECT_EQ(records[2].comment, "Fournisseur de papier, livraison le mardi");
}

TEST(PageReader, lineEndingsAndTheByteFilter) {
    EXPECT_EQ(readAll(kLine + "\n" + kLine + "\n"), std::vector<Contact>(2, kLineRecord));
    EXPECT_EQ(readAll(kLine + "\r\n" + kLine + "\r\n"), std::vector<Contact>(2, kLineRecord));
    EXPECT_EQ(readAll("\r" + kLine + "\r\r\n"), std::vector<Contact>(1, kLineRecord)) << "CRs vanish wherever they are";
    EXPECT_EQ(readAll("remplirTabFournisseur(0,\"No\rm\",\"A\r\rdr\",\"\",\"\",\"\",\"\",\"\",\"\");\n")[0].name,
              "Nom");
    // A lone CR is no line break: the second marker is inside the first line,
    // which does not end where the writer ends it.
    EXPECT_EQ(read(kLine + "\r" + kLine + "\n").damaged, std::vector<long>{1});
    // The last line counts without a LF.
    EXPECT_EQ(readAll("<html>\n" + kLine), std::vector<Contact>(1, kLineRecord));
    // Nothing after the first Ctrl-Z is seen; the line it cuts still counts.
    EXPECT_EQ(readAll(kLine + "\n" + kLine + "\x1A\n" + kLine + "\n").size(), 2u);
    EXPECT_EQ(readAll("\x1A" + kLine + "\n").size(), 0u);
    // Also when the data comes in small pieces, as from a pipe.
    FailingSource pieces(kLine + "\n" + kLine + "\x1A\n" + kLine + "\n" + kLine + "\n", std::string::npos);
    std::size_t records = 0;
    ASSERT_TRUE(fichelia::ReadDirectoryPage(pieces, [&records](Contact&&) { ++records; }));
    EXPECT_EQ(records, 2u);
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll("\n\n\r\r\r").empty());
    EXPECT_TRUE(readAll("<html>\nfunction montreMoiLesInfos(index){}\n</html>").empty());
}

TEST(PageReader, onlyLinesStartingWithTheExactMarkerAreRecords) {
    EXPECT_TRUE(readAll(" " + kLine + "\n").empty());
    EXPECT_TRUE(readAll("\t" + kLine + "\n").empty());
    EXPECT_TRUE(readAll("RemplirTabFournisseur(0,\"a\");\n").empty());
    EXPECT_TRUE(readAll("x; " + kLine + "\n").empty()) << "the marker further along does not count";
    EXPECT_TRUE(readAll("remplirTabFournisseur\n").empty());
    EXPECT_TRUE(readAll(fichelia::testing::readBytes(fichelia::testing::dataFile("page_empty.html"))).empty())
        << "line 1 holds the marker only inside the function's definition";
}

TEST(PageReader, aNulHidesTheRestOfItsLine) {
    const auto reading = read(std::string("remplirTabFournisseur(0,\"Nom\",\"Adr\0ess\",\"Tel\");\n", 48) + kLine);
    EXPECT_EQ(reading.records, std::vector<Contact>{kLineRecord});
    EXPECT_EQ(reading.damaged, std::vector<long>{1});
    EXPECT_TRUE(readAll(std::string("remplirTab\0Fournisseur(0,\"a\");\n", 31)).empty());
    // Nor does a value continued past a NUL take the lines after it.
    const auto continued = read("remplirTabFournisseur(0,\"a\\\n" + std::string("b\\\0x\n", 5) +
                                "c\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n");
    EXPECT_TRUE(continued.records.empty());
    EXPECT_EQ(continued.damaged, std::vector<long>{1});
}

// A record line that does not end as the writer ends it gives no record: the
// reading names its line and goes on with the next one.
TEST(PageReader, damagedLinesGiveNoRecordAndAreNamed) {
    const std::string whole =
        "remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");";
    const struct {
        std::string line;
        const char* why;
    } cases[] = {
        {"remplirTabFournisseur(", "cut after the marker"},
        {"remplirTabFournisseur(3", "cut in the index"},
        {"remplirTabFournisseur(3,", "cut before the first value"},
        {"remplirTabFournisseur(3,\"No", "cut inside the first value"},
        {whole.substr(0, whole.find("Mail") + 2), "cut inside the sixth value"},
        {whole.substr(0, whole.size() - 3), "cut after the last value's text"},
        {whole.substr(0, whole.size() - 2), "cut before the closing parenthesis"},
        {whole.substr(0, whole.size() - 1), "cut before the semicolon"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site);",
         "unclosed string"},
        {"remplirTabFournisseur(3,\"Nom\" + alert(1),\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");",
         "code between values"},
        {whole + "alert(1);", "code after the line"},
        {"remplirTabFournisseur(3,\"Le \"Chat\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");",
         "a bare quote inside a value"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\");", "7 values"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\",\"9\");",
         "9 values"},
        {"remplirTabFournisseur(3);", "no value"},
        {"remplirTabFournisseur(\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");", "no index"},
        {"remplirTabFournisseur(,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\");",
         "an empty index"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"Site\\x4\");",
         "a broken \\x escape"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"\\u{110000}\");",
         "a \\u{} beyond Unicode"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"\\u{}\");",
         "an empty \\u{}"},
        {"remplirTabFournisseur(3,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Comm\",\"\\u{4G}\");",
         "a \\u{} holding a letter that is no hex digit"},
    };
    for (const auto& c : cases) {
        // The damaged line is the third of the file, between two whole ones.
        const auto reading = read("<html>\n" + kLine + "\n" + c.line + "\n" + kLine + "\n</html>");
        EXPECT_EQ(reading.records, std::vector<Contact>(2, kLineRecord)) << c.why;
        EXPECT_EQ(reading.damaged, std::vector<long>{3}) << c.why;
        Contact record = kLineRecord;
        EXPECT_EQ(ParseDirectoryLine(c.line, record), LineKind::Damaged) << c.why;
        EXPECT_EQ(record, Contact()) << c.why;
    }
    // Spaces and TABs between the values and the marks around them are no damage, nor single quotes.
    Contact record;
    EXPECT_EQ(ParseDirectoryLine(
                  "remplirTabFournisseur( 3 ,\t\"Nom\" , 'Adr','Tel','Gsm','Fax','Mail','Comm','Site' ) ; ", record),
              LineKind::Record);
    EXPECT_EQ(record, kLineRecord);
    EXPECT_EQ(ParseDirectoryLine("<html>", record), LineKind::Other);
}

// A damaged line is named by its number, whatever ends the lines and however
// the data comes in pieces.
TEST(PageReader, aDamagedLineIsNamedByItsNumberWhateverEndsTheLines) {
    for (const std::string end : {"\n", "\r\n"}) {
        const std::string page =
            "<html>" + end + kLine + end + "<p>" + end + "remplirTabFournisseur(0,\"x\");" + end + kLine + end;
        EXPECT_EQ(read(page).damaged, std::vector<long>{4});
        FailingSource pieces(page, std::string::npos);
        std::vector<long> damaged;
        ASSERT_TRUE(fichelia::ReadDirectoryPage(pieces, [](Contact&&) {}, [&](long line) { damaged.push_back(line); }));
        EXPECT_EQ(damaged, std::vector<long>{4});
    }
}

// A page cut in the middle of a record line: the records before the cut, and
// the cut line named.
TEST(PageReader, aPageCutInsideARecordLineNamesThatLine) {
    const std::string page = "<html>\n" + kLine + "\n" + kLine + "\n" + kLine + "\n</html>";
    const std::size_t thirdLine = std::string("<html>\n").size() + kLine.size() + 1;
    for (std::size_t cut = thirdLine + fichelia::page::kRecordMarker.size(); cut < thirdLine + kLine.size(); cut += 5) {
        const auto reading = read(page.substr(0, cut));
        EXPECT_EQ(reading.records.size(), 1u) << cut;
        EXPECT_EQ(reading.damaged, std::vector<long>{3}) << cut;
    }
}

// However the contact form may be filled in, a line never takes its texts:
// the reader has no form to take them from, and a record comes whole from
// its line or not at all.
TEST(PageReader, aRecordIsNeverMadeUpFromAnythingButItsLine) {
    Contact record = kForm;
    EXPECT_EQ(ParseDirectoryLine("remplirTabFournisseur(0,\"A\",\"B\",\"C\",\"D\",\"E\");", record), LineKind::Damaged);
    EXPECT_EQ(record, Contact());
    record = kForm;
    EXPECT_EQ(ParseDirectoryLine(kLine, record), LineKind::Record);
    EXPECT_EQ(record, kLineRecord);
}

TEST(PageReader, longLinesAreReadWhole) {
    for (std::size_t length : {1000u, 1021u, 1022u, 1023u, 1024u, 2000u, 5000u, 1000000u}) {
        const std::string nom(length, 'n');
        const std::string line = "remplirTabFournisseur(0,\"" + nom + "\",\"a\",\"t\",\"g\",\"f\",\"m\",\"c\",\"s\");\n";
        const auto records = readAll(line + line);
        ASSERT_EQ(records.size(), 2u) << length;
        EXPECT_EQ(records[1], Contact(nom, "a", "t", "g", "f", "m", "s", "c")) << length;
    }
}

// Every escape of a script string, undone as a browser undoes it.
TEST(PageReader, undoesEveryEscapeAsABrowserDoes) {
    const auto nom = [](const std::string& value) {
        Contact record;
        const std::string line = "remplirTabFournisseur(0,\"" + value + "\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");";
        EXPECT_EQ(ParseDirectoryLine(line, record), LineKind::Record) << value;
        return record.name;
    };
    const struct {
        std::string value;
        std::string text;
    } cases[] = {
        {"a\\\\b", "a\\b"},
        {"\\\"oui\\\"", "\"oui\""},
        {"l\\'eau", "l'eau"},
        {"\\x22oui\\x22", "\"oui\""},
        {"<\\/script>", "</script>"},
        {"\\x3C!--", "<!--"},
        {"\\n\\r\\t\\b\\f\\v", "\n\r\t\b\f\v"},
        {"\\0", std::string(1, '\0')},
        {"\\08", std::string("\0" "8", 2)},
        {"\\101\\1012\\7\\48\\377", "AA2\a" "\x04" "8\u00FF"},
        {"\\8\\9", "89"},
        {"\\x0A\\x0d\\x00", std::string("\n\r\0", 3)},
        {"\\u0141\xF3" "d\\u017A", "Łódź"},
        {"\\u00e9", "é"},
        {"\\uD83D\\uDE00", "😀"},
        {"\\u{1F600}\\u{e9}\\u{000041}", "😀éA"},
        {"\\uD83D", "\uFFFD"},
        {"\\uDE00x", "\uFFFDx"},
        {"\\uD83D\\u0041", "\uFFFDA"},
        {"\\q\\/\\\xE9", "q/é"},
        {"fin\\\ncontinu\\\nee", "fincontinuee"},
        {"&amp;&eacute;\xE9\x80\x81", "&amp;&eacute;é€\u0081"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nom(c.value), c.text) << c.value;
    }
}

// A value continued by a backslash at the end of its line goes on into the
// next line; the record is named by its first line.
TEST(PageReader, aBackslashAtTheEndOfALineContinuesTheValue) {
    const std::string continued =
        "remplirTabFournisseur(0,\"Nom\",\"Adr\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Co\\\nmm\",\"Site\");";
    auto reading = read("<html>\n" + continued + "\n" + kLine + "\n</html>");
    EXPECT_EQ(reading.records, std::vector<Contact>(2, kLineRecord));
    EXPECT_TRUE(reading.damaged.empty());
    // A record line is never swallowed into the value of the line before it.
    reading = read("<html>\nremplirTabFournisseur(0,\"Nom\\\n" + kLine + "\n</html>");
    EXPECT_EQ(reading.records, std::vector<Contact>{kLineRecord});
    EXPECT_EQ(reading.damaged, std::vector<long>{2});
    // Continued past the end of the data, or by a line the backslash does not open.
    EXPECT_EQ(read("<html>\nremplirTabFournisseur(0,\"Nom\\\n").damaged, std::vector<long>{2});
    EXPECT_EQ(read("\n\nremplirTabFournisseur(0,\"Nom\",\n\"Adr\",\"\",\"\",\"\",\"\",\"\",\"\");\n").damaged,
              std::vector<long>{3});
}

// A field written with a line break (the writer's \x0A) reads back on one
// line; one broken over two lines of the file, as old pages had them, is a
// damaged line that the browser refuses as well.
TEST(PageReader, aFieldOnTwoLines) {
    auto reading = read("remplirTabFournisseur(0,\"Dupont\\x0A& Fils\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n");
    ASSERT_EQ(reading.records.size(), 1u);
    EXPECT_EQ(reading.records[0].name, "Dupont\n& Fils");
    reading = read("<html>\nremplirTabFournisseur(0,\"Dupont\n& Fils\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n" + kLine);
    EXPECT_EQ(reading.records, std::vector<Contact>{kLineRecord});
    EXPECT_EQ(reading.damaged, std::vector<long>{2});
}

// Whether the data is a page at all: the record marker somewhere in it.
TEST(PageReader, aPageIsDataThatHoldsTheRecordMarker) {
    const auto isPage = [](const std::string& bytes) {
        fichelia::MemoryByteSource source(bytes);
        const auto reading = fichelia::ReadDirectoryPage(source, [](Contact&&) {});
        return reading && reading->isPage;
    };
    EXPECT_TRUE(isPage(fichelia::testing::readBytes(fichelia::testing::dataFile("page_empty.html"))));
    EXPECT_TRUE(isPage("<html>\n" + kLine));
    EXPECT_TRUE(isPage(std::string(100000, 'x') + "remplirTabFournisseur(" + std::string(100000, 'x')))
        << "also across the reader's chunks";
    EXPECT_FALSE(isPage("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"));
    EXPECT_FALSE(isPage("BEGIN:VCARD\nVERSION:3.0\nFN:Martin\nEND:VCARD\n"));
    EXPECT_FALSE(isPage("Martin\t1 rue\t\t\t\t\t\t\n"));
    EXPECT_FALSE(isPage(""));
    EXPECT_FALSE(isPage("remplirTabFournisseur"));
}

TEST(PageReader, handsEachRecordOverBeforeReadingOn) {
    const std::string page = kLine + "\n" + std::string(200000, 'x') + "\n" + kLine + "\n";
    FailingSource source(page, std::string::npos);
    std::vector<std::size_t> readWhenHanded;
    ASSERT_TRUE(fichelia::ReadDirectoryPage(source, [&](Contact&&) { readWhenHanded.push_back(source.position()); }));
    ASSERT_EQ(readWhenHanded.size(), 2u);
    EXPECT_LT(readWhenHanded[0], kLine.size() + 10);
}

// Wherever in the second line the disk fails, that line is not handed over:
// only the first record comes, and the error says why the reading ended.
TEST(PageReader, aReadErrorEndsTheReadingWithoutTheLineUnderWay) {
    const std::string page = kLine + "\n" + kLine + "\n";
    for (std::size_t failAt = kLine.size() + 1; failAt < page.size(); ++failAt) {
        FailingSource source(page, failAt);
        std::vector<Contact> records;
        const auto read =
            fichelia::ReadDirectoryPage(source, [&](Contact&& record) { records.push_back(std::move(record)); });
        ASSERT_FALSE(read.ok()) << failAt;
        EXPECT_EQ(read.error(), fichelia::Error::ReadFailed);
        EXPECT_EQ(records.size(), 1u) << "failing at byte " << failAt;
    }
}

// Memory running out in the reader (a line too long to hold) or in the
// receiver (keeping a record) ends the reading with OutOfMemory.
TEST(PageReader, runningOutOfMemoryEndsTheReadingWithAnError) {
    const std::string longLine = "remplirTabFournisseur(0,\"" + std::string(2'000'000, 'n') + "\");\n";
    for (const std::string& page : {longLine, kLine + "\r\n" + longLine}) {
        fichelia::MemoryByteSource source(page);
        std::size_t records = 0;
        const fichelia::testing::AllocationLimit limit(1 << 20);
        const auto read = fichelia::ReadDirectoryPage(source, [&](Contact&&) { ++records; });
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error(), fichelia::Error::OutOfMemory);
        EXPECT_EQ(records, page == longLine ? 0u : 1u);
    }
    const std::string twoLines = kLine + "\n" + kLine + "\n";
    fichelia::MemoryByteSource source(twoLines);
    std::size_t records = 0;
    const auto read = fichelia::ReadDirectoryPage(source, [&](Contact&&) {
        if (++records == 2) {
            throw std::bad_alloc();
        }
    });
    EXPECT_EQ(read.error(), fichelia::Error::OutOfMemory);
}
