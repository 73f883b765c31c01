#include "page/PageWriter.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AllocationLimit.h"
#include "Files.h"
#include "TestRecords.h"
#include "page/PageItems.h"

using fichelia::BuildDirectoryPage;
using fichelia::Contact;
using fichelia::testing::contact;
using fichelia::testing::listOf;

namespace {

std::vector<std::string> splitLines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = page.find('\n'); lf != std::string::npos; lf = page.find('\n', start)) {
        lines.push_back(page.substr(start, lf - start + 1));
        start = lf + 1;
    }
    lines.push_back(page.substr(start));
    return lines;
}

std::string recordLine(const Contact& record, int index = 0) {
    std::string line;
    fichelia::page::appendRecordLine(line, index, record);
    return line;
}

std::string value(std::string_view text) {
    std::string out;
    fichelia::page::appendScriptValue(out, text);
    return out;
}

} // namespace

// The golden pages were checked by hand against the page's item tables.
TEST(PageWriter, smallDirectoriesGiveTheGoldenPagesByteForByte) {
    for (const char* name : {"empty", "three", "twelve"}) {
        auto list = listOf(fichelia::testing::contactsFromTsv(std::string("contacts_") + name + ".tsv"));
        EXPECT_EQ(BuildDirectoryPage(*list), fichelia::testing::readBytes(fichelia::testing::dataFile(
                                                 std::string("page_") + name + ".html")))
            << name;
    }
}

TEST(PageWriter, pageHasItsFixedShape) {
    EXPECT_EQ(fichelia::page::kPageItems.size(), 266u);
    for (int n : {0, 1, 9, 10, 11, 120}) {
        std::vector<Contact> records;
        for (int i = 0; i < n; ++i) {
            records.push_back(contact("Nom " + std::to_string(1000 + i)));
        }
        auto list = listOf(records);
        const std::string page = BuildDirectoryPage(*list);
        const auto lines = splitLines(page);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(n + 2)) << n;
        EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), n + 1);
        EXPECT_EQ(page.find('\r'), std::string::npos);
        EXPECT_EQ(lines.front().rfind("<html><head><script language=\"JavaScript\">var nombreDeFournisseurs=" +
                                          std::to_string(n) + ";var c=0;",
                                      0),
                  0u);
        for (int i = 0; i < n; ++i) {
            const std::string prefix = "remplirTabFournisseur(" + std::to_string(i) + ",\"Nom " + std::to_string(1000 + i);
            EXPECT_EQ(lines[static_cast<std::size_t>(i + 1)].rfind(prefix, 0), 0u) << i;
        }
        const std::string& last = lines.back();
        EXPECT_EQ(last.rfind("function montreMoiLesInfos(index){", 0), 0u);
        EXPECT_EQ(std::count(last.begin(), last.end(), '\t'), 25);
        EXPECT_TRUE(page.ends_with("</center></body></html>"));
        EXPECT_EQ(last.find("remplirTabFournisseur("), std::string::npos);
        EXPECT_NE(page.find("<a href=\"https://fichelia.example/\"><font color=\"#999999\">Fichelia</font>"),
                  std::string::npos);
        EXPECT_EQ(BuildDirectoryPage(*list), page) << "the same list gives the same bytes";
    }
}

TEST(PageWriter, recordLineCarriesTheTextsWithCommentaireBeforeSite) {
    const Contact record("Nom", "Adresse", "Tel", "Gsm", "Fax", "Mail", "Site", "Commentaire");
    const std::string line = recordLine(record, 10);
    EXPECT_EQ(line, "remplirTabFournisseur(10,\"Nom\",\"Adresse\",\"Tel\",\"Gsm\",\"Fax\",\"Mail\",\"Commentaire\","
                    "\"Site\");\n");
    EXPECT_EQ(line.size(), 49 + 2 + 38u); // 49 + digits of the index + the texts' bytes
    EXPECT_EQ(recordLine(Contact(), 0), "remplirTabFournisseur(0,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n");
}

TEST(PageWriter, windows1252TextsGoInAsTheirBytes) {
    EXPECT_EQ(value("Lefèvre à Noël"), "Lef\xE8vre \xE0 No\xEBl");
    EXPECT_EQ(value("5 € œuvre … Š"), "5 \x80 \x9Cuvre \x85 \x8A");
    EXPECT_EQ(value("l'été & <b>gras</b>"), "l'\xE9t\xE9 & <b>gras<\\/b>");
    EXPECT_EQ(value("\ttab et /slash/ et <"), "\ttab et /slash/ et <");
    EXPECT_EQ(value("\u0081\u008D\u008F\u0090\u009D"), "\x81\x8D\x8F\x90\x9D");
}

TEST(PageWriter, escapesWhatWouldBreakTheScriptOrTheLine) {
    EXPECT_EQ(value("dit \"oui\""), "dit \\x22oui\\x22");
    EXPECT_EQ(value("C:\\dossier\\n"), "C:\\\\dossier\\\\n");
    EXPECT_EQ(value("</script><script>alert(1)</script>"), "<\\/script><script>alert(1)<\\/script>");
    EXPECT_EQ(value("<!--<script>"), "\\x3C!--<script>");
    EXPECT_EQ(value("a\nb\rc"), "a\\x0Ab\\x0Dc");
    EXPECT_EQ(value(std::string("\0\x1A\x1F\x7F", 4)), "\\x00\\x1A\\x1F\\x7F");
    EXPECT_EQ(value("Łódź"), "\\u0141\xF3" "d\\u017A");
    EXPECT_EQ(value("Ωμέγα"), "\\u03A9\\u03BC\\u03AD\\u03B3\\u03B1");
    EXPECT_EQ(value("中"), "\\u4E2D");
    EXPECT_EQ(value("😀"), "\\uD83D\\uDE00");
    EXPECT_EQ(value("\u0080\u2028"), "\\u0080\\u2028");
    EXPECT_EQ(value("bad \xFF byte"), "bad \\uFFFD byte");
}

TEST(PageWriter, noTextCanAddOrRemoveAQuoteOrALineOfTheRecord) {
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const Contact record = fichelia::testing::awkwardContact(random);
        const std::string line = recordLine(record, i);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 16);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        EXPECT_EQ(line.find('\0'), std::string::npos);
        EXPECT_EQ(line.find("</"), std::string::npos);
        EXPECT_EQ(line.find("<!"), std::string::npos);
        EXPECT_TRUE(line.ends_with("\");\n"));
    }
}

// The ASCII page's fixed pieces: a Windows-1252 byte beyond ASCII is the
// script's \uXXXX between <script> and </script>, HTML's &#NNN; elsewhere
// (0x80-0x9F are not Latin-1: 0x80 is the euro sign, 0x89 the per mille sign).
TEST(AsciiPage, fixedPiecesSayTheirAccentsInTheScriptsOrTheHtmlsWay) {
    const struct {
        std::string_view windows1252;
        bool inScriptBefore;
        std::string_view ascii;
        bool inScriptAfter;
    } cases[] = {
        {"T\xE9l. ", false, "T&#233;l. ", false},
        {"alert(\"Aucune entr\xE9" "e \xE0 \x80\x89\");", true, R"(alert("Aucune entr\u00E9e \u00E0 \u20AC\u2030");)", true},
        {"<p>\xE9</p><script>x=\"\xE9\";</script>\xE9", false, R"(<p>&#233;</p><script>x="\u00E9";</script>&#233;)", false},
        {"</script><b>\xE9", true, "</script><b>&#233;", false},
    };
    for (const auto& c : cases) {
        bool inScript = c.inScriptBefore;
        EXPECT_EQ(fichelia::page::asciiPiece(c.windows1252, inScript), c.ascii);
        EXPECT_EQ(inScript, c.inScriptAfter) << c.ascii;
    }
    const auto list = listOf({contact("Zoé"), contact("Ångström 😀")});
    const std::string page = BuildDirectoryPage(*list, fichelia::kPublisherAddress, fichelia::PageBytes::Ascii);
    EXPECT_NE(page.find(R"(remplirTabFournisseur(1,"Zo\u00E9",)"), std::string::npos);
    EXPECT_NE(page.find(R"(remplirTabFournisseur(0,"\u00C5ngstr\u00F6m \uD83D\uDE00",)"), std::string::npos);
    EXPECT_NE(page.find(">T&#233;l. </font>"), std::string::npos);
    EXPECT_EQ(BuildDirectoryPage(*list), BuildDirectoryPage(*list, fichelia::kPublisherAddress));
}

// The tool writes pages of records it sorted itself, in pieces: the same page.
TEST(PageWriter, pagesOfSortedRecordsAndPagesInPiecesAreTheListsPage) {
    std::vector<Contact> records;
    for (int i = 0; i < 3000; ++i) {
        records.push_back(contact("Nom " + std::to_string(7919 * i % 3000), std::to_string(i)));
    }
    auto list = listOf(records);
    const auto order = fichelia::listOrder(records, *fichelia::testing::rootCollator());
    const std::string page = BuildDirectoryPage(*list, "https://x.example/");
    EXPECT_EQ(BuildDirectoryPage(records, order, "https://x.example/"), page);
    std::string pieces;
    int calls = 0;
    const auto collect = [&](std::string_view piece) {
        pieces += piece;
        return ++calls > 0;
    };
    EXPECT_TRUE(fichelia::WriteDirectoryPage(records, order, "https://x.example/", fichelia::PageBytes::Windows1252,
                                             collect));
    EXPECT_EQ(pieces, page);
    EXPECT_GT(calls, 2);
    pieces.clear();
    EXPECT_TRUE(fichelia::WriteDirectoryPage(records, order, "https://x.example/", fichelia::PageBytes::Ascii, collect));
    EXPECT_EQ(pieces, BuildDirectoryPage(*list, "https://x.example/", fichelia::PageBytes::Ascii));
    // Packed records, whose lines are made on two threads, give the same page.
    fichelia::PackedRecords packed;
    for (const Contact& record : records) {
        packed.add(record);
    }
    for (const auto bytes : {fichelia::PageBytes::Windows1252, fichelia::PageBytes::Ascii}) {
        pieces.clear();
        EXPECT_TRUE(fichelia::WriteDirectoryPage(packed, order, "https://x.example/", bytes, collect));
        EXPECT_EQ(pieces, BuildDirectoryPage(*list, "https://x.example/", bytes));
    }
    // A failed write stops the writing at once, wherever it comes.
    for (const int failing : {1, 2, 3, 4, 7}) {
        calls = 0;
        const auto failAt = [&](std::string_view) { return ++calls != failing; };
        EXPECT_FALSE(fichelia::WriteDirectoryPage(packed, order, "https://x.example/", fichelia::PageBytes::Windows1252,
                                                  failAt));
        EXPECT_EQ(calls, failing);
    }
}

// Memory running out on the helper thread, which makes every other block of
// record lines, ends the writing with std::bad_alloc: never a page without them.
TEST(PageWriter, memoryRunningOutOnTheHelperThreadIsNeverAShortPage) {
    fichelia::PackedRecords packed;
    std::vector<std::uint32_t> order;
    for (std::uint32_t i = 0; i < 512; ++i) {
        // The second block of 256 lines, the helper's, is too large to be had.
        packed.add(contact("Nom " + std::to_string(i), std::string(i < 256 ? 1 : 400, 'a')));
        order.push_back(i);
    }
    std::string page;
    page.reserve(1 << 20);
    const fichelia::testing::AllocationLimit limit(200'000);
    EXPECT_THROW(fichelia::WriteDirectoryPage(packed, order, "https://x.example/", fichelia::PageBytes::Windows1252,
                                              [&page](std::string_view piece) {
                                                  page += piece;
                                                  return true;
                                              }),
                 std::bad_alloc);
}

// Records packed side by side come back as they went in, however long their
// texts (a length of 128 bytes or more takes two bytes, a record larger than
// a block has one of its own), and appending moves them over in order.
TEST(PageWriter, packedRecordsComeBackAsTheyWentIn) {
    const std::vector<Contact> records = {
        {},
        contact("Zoé", "12 rue de la Paix"),
        Contact("n", std::string(127, 'a'), std::string(128, 'b'), std::string(16384, 'c'), "", "m", "s",
                std::string(3 << 20, 'd')),
        contact(std::string(300, 'e'), "after the large one"),
    };
    fichelia::PackedRecords first;
    fichelia::PackedRecords second;
    for (std::size_t i = 0; i < records.size(); ++i) {
        (i < 2 ? first : second).add(records[i]);
    }
    first.append(std::move(second));
    EXPECT_TRUE(second.empty());
    ASSERT_EQ(first.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(first.at(i), fichelia::page::textsOf(records[i])) << i;
        EXPECT_EQ(first.name(i), records[i].name);
    }
}
