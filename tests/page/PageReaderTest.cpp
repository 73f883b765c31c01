#include "page/PageReader.h"

#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AllocationLimit.h"
#include "Files.h"
#include "TestRecords.h"

using fichelia::Contact;
using fichelia::ParseDirectoryLine;

namespace {

const Contact kForm("FormNom", "FormAdresse", "FormTel", "FormGsm", "FormFax", "FormMail", "FormSite", "FormComm");

std::vector<Contact> readAll(const std::string& bytes, const Contact& templateRecord = kForm) {
    fichelia::MemoryByteSource source(bytes);
    std::vector<Contact> records;
    EXPECT_TRUE(fichelia::ReadDirectoryPage(source, templateRecord,
                                            [&](Contact&& record) { records.push_back(std::move(record)); }));
    return records;
}

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
    EXPECT_EQ(readAll("remplirTabFournisseur(0,\"No\rm\",\"A\r\rdr\");\n")[0].name, "Nom");
    // A lone CR is no line break: the second marker is inside the first line.
    EXPECT_EQ(readAll(kLine + "\r" + kLine + "\n").size(), 1u);
    // The last line counts without a LF.
    EXPECT_EQ(readAll("<html>\n" + kLine), std::vector<Contact>(1, kLineRecord));
    // Nothing after the first Ctrl-Z is seen; the line it cuts still counts.
    EXPECT_EQ(readAll(kLine + "\n" + kLine + "\x1A\n" + kLine + "\n").size(), 2u);
    EXPECT_EQ(readAll("\x1A" + kLine + "\n").size(), 0u);
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
    const auto records = readAll(std::string("remplirTabFournisseur(0,\"Nom\",\"Adr\0ess\",\"Tel\");\n", 48) + kLine);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], Contact("Nom", "", "FormTel", "FormGsm", "FormFax", "FormMail", "FormSite", "FormComm"));
    EXPECT_EQ(records[1], kLineRecord);
    EXPECT_TRUE(readAll(std::string("remplirTab\0Fournisseur(0,\"a\");\n", 31)).empty());
}

TEST(PageReader, missingValuesComeFromTheTemplate) {
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0);", kForm), kForm) << "no quote: a copy of the form";
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0);", Contact()), Contact());
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0,\"", kForm),
              Contact("", "FormAdresse", "FormTel", "FormGsm", "FormFax", "FormMail", "FormSite", "FormComm"));
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0,\"A\",\"B\",\"C\",\"D\",\"E\");", kForm),
              Contact("A", "B", "C", "D", "E", "", "FormSite", "FormComm"));
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0,\"\",\"B\",\"C\",\"D\",\"E\",\"F\",\"G\",\"H\");", kForm),
              Contact("", "B", "C", "D", "E", "F", "H", "G"));
    EXPECT_EQ(*ParseDirectoryLine(
                  "remplirTabFournisseur(0,\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\");", kForm),
              Contact("1", "2", "3", "4", "5", "6", "8", "7"))
        << "values past the eighth are dropped";
    EXPECT_FALSE(ParseDirectoryLine("<html>", kForm).has_value());
}

TEST(PageReader, anInnerQuoteShiftsTheLaterValuesAsItAlwaysDid) {
    // The quote ends "Le " early; the two bytes after it are passed over.
    EXPECT_EQ(*ParseDirectoryLine("remplirTabFournisseur(0,\"Le \"Chat\",\"Adr\",\"T\");", kForm),
              Contact("Le ", "at", "Adr", "T", "", "FormMail", "FormSite", "FormComm"));
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

TEST(PageReader, undoesTheWritersEscapesAndNothingElse) {
    const auto nom = [](const std::string& value) {
        return ParseDirectoryLine("remplirTabFournisseur(0,\"" + value + "\",\"\");", Contact())->name;
    };
    EXPECT_EQ(nom("a\\\\b"), "a\\b");
    EXPECT_EQ(nom("\\x22oui\\x22"), "\"oui\"");
    EXPECT_EQ(nom("<\\/script>"), "</script>");
    EXPECT_EQ(nom("\\x3C!--"), "<!--");
    EXPECT_EQ(nom("\\x0A\\x0d\\x00"), std::string("\n\r\0", 3));
    EXPECT_EQ(nom("\\u0141\xF3" "d\\u017A"), "Łódź");
    EXPECT_EQ(nom("\\uD83D\\uDE00"), "😀");
    EXPECT_EQ(nom("\\u00e9"), "é");
    // Half a UTF-16 pair, unknown escapes and broken ones stay as they stand.
    EXPECT_EQ(nom("\\uD83D"), "\\uD83D");
    EXPECT_EQ(nom("\\uDE00x"), "\\uDE00x");
    EXPECT_EQ(nom("\\uD83D\\u0041"), "\\uD83DA");
    EXPECT_EQ(nom("\\n\\t\\'\\q"), "\\n\\t\\'\\q");
    EXPECT_EQ(nom("\\x4"), "\\x4");
    EXPECT_EQ(nom("\\xZZ\\u12"), "\\xZZ\\u12");
    EXPECT_EQ(nom("fin\\"), "fin\\");
    // Entities and bytes are taken as they are, decoded from Windows-1252.
    EXPECT_EQ(nom("&amp;&eacute;\xE9\x80\x81"), "&amp;&eacute;é€\u0081");
}

TEST(PageReader, handsEachRecordOverBeforeReadingOn) {
    const std::string page = kLine + "\n" + std::string(200000, 'x') + "\n" + kLine + "\n";
    FailingSource source(page, std::string::npos);
    std::vector<std::size_t> readWhenHanded;
    ASSERT_TRUE(
        fichelia::ReadDirectoryPage(source, kForm, [&](Contact&&) { readWhenHanded.push_back(source.position()); }));
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
            fichelia::ReadDirectoryPage(source, kForm, [&](Contact&& record) { records.push_back(std::move(record)); });
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
        const auto read = fichelia::ReadDirectoryPage(source, kForm, [&](Contact&&) { ++records; });
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error(), fichelia::Error::OutOfMemory);
        EXPECT_EQ(records, page == longLine ? 0u : 1u);
    }
    const std::string twoLines = kLine + "\n" + kLine + "\n";
    fichelia::MemoryByteSource source(twoLines);
    std::size_t records = 0;
    const auto read = fichelia::ReadDirectoryPage(source, kForm, [&](Contact&&) {
        if (++records == 2) {
            throw std::bad_alloc();
        }
    });
    EXPECT_EQ(read.error(), fichelia::Error::OutOfMemory);
}
