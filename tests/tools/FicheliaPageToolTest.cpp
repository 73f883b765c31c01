#include <gtest/gtest.h>

#include "Files.h"
#include "ToolRun.h"

using fichelia::testing::dataFile;
using fichelia::testing::readBytes;
using fichelia::testing::runPageTool;

TEST(FicheliaPageTool, writeGivesTheGoldenPageAndReadGivesTheContactsBack) {
    const auto written = runPageTool("write", readBytes(dataFile("contacts_twelve.tsv")));
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, readBytes(dataFile("page_twelve.html")));

    const auto read = runPageTool("read", written.out);
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out.rfind("Bernard\t1 avenue Jean Jaurès\t01 00 00 00 00\t06 00 00 00 00\t\tbernard@exemple.fr\t"
                             "http://bernard.example/\tContact n°1\nDubois\t",
                             0),
              0u);
    EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'), 12);
}

TEST(FicheliaPageTool, awkwardTextsSurviveWriteThenRead) {
    const std::string tsv = "Ł\\\\\"</script>\t\\t\\n\\r\t\t\t\t\t😀\t\"c\"\n";
    const auto written = runPageTool("write --site https://x.example/a", tsv);
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("href=\"https://x.example/a\""), std::string::npos);
    const auto read = runPageTool("read", written.out);
    EXPECT_EQ(read.out, tsv);
}

TEST(FicheliaPageTool, readFillsMissingFieldsFromTheTemplate) {
    const auto read = runPageTool("read --template 'N\tA\tT\tG\tF\tM\tS\tC'",
                                  "remplirTabFournisseur(0,\"x\",\"y\");\nremplirTabFournisseur(1);\n");
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "x\ty\t\tG\tF\tM\tS\tC\nN\tA\tT\tG\tF\tM\tS\tC\n");
}

TEST(FicheliaPageTool, malformedInputIsRefusedWithItsLineNumberAndNoPage) {
    const auto badCount = runPageTool("write", "a\t\t\t\t\t\t\t\nb\tc\n");
    EXPECT_EQ(badCount.status, 2);
    EXPECT_TRUE(badCount.out.empty());
    EXPECT_NE(badCount.err.find("ligne 2"), std::string::npos) << badCount.err;
    EXPECT_NE(badCount.err.find("2 champ(s) au lieu de 8"), std::string::npos) << badCount.err;

    const auto badUtf8 = runPageTool("write --from tsv", "\xE9t\xE9\t\t\t\t\t\t\t\n");
    EXPECT_EQ(badUtf8.status, 2);
    EXPECT_NE(badUtf8.err.find("ligne 1"), std::string::npos);
    EXPECT_NE(badUtf8.err.find("UTF-8"), std::string::npos);

    const auto badEscape = runPageTool("write", "ok\t\t\t\t\t\t\t\n\t\t\\q\t\t\t\t\t\n");
    EXPECT_EQ(badEscape.status, 2);
    EXPECT_TRUE(badEscape.out.empty());
    EXPECT_NE(badEscape.err.find("ligne 2"), std::string::npos);

    EXPECT_EQ(runPageTool("write --site 'a\"b'", "").status, 2);
    EXPECT_EQ(runPageTool("read --template 'a'", "").status, 2);
    EXPECT_EQ(runPageTool("", "").status, 2);
    EXPECT_EQ(runPageTool("frobnicate", "").status, 2);
    const auto help = runPageTool("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("fichelia-page write"), std::string::npos);
}

TEST(FicheliaPageTool, windowsLineEndsInTheInputAreAccepted) {
    const auto written = runPageTool("write", "a\t\t\t\t\t\t\t\r\nb\t\t\t\t\t\t\tfin\r\n");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(runPageTool("read", written.out).out, "a\t\t\t\t\t\t\t\nb\t\t\t\t\t\t\tfin\n");
}
