#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/CsvContacts.h"

using fichelia::Contact;
using fichelia::exchange::appendCsvContact;
using fichelia::exchange::appendCsvHeader;
using fichelia::exchange::findCsvSeparator;
using fichelia::exchange::readCsvContacts;

TEST(CsvContacts, separatorIsTheOneTheFirstLineUsesMostOutsideQuotes) {
    EXPECT_EQ(findCsvSeparator("a;b;c\n1,2,3,4,5"), ';');
    EXPECT_EQ(findCsvSeparator("\"a;b;c\",d,e\n"), ',');
    EXPECT_EQ(findCsvSeparator("a\tb\tc,d\n"), '\t');
    EXPECT_EQ(findCsvSeparator("\"multi\nligne;;;\";x"), ';');
    EXPECT_EQ(findCsvSeparator("Dupont\n"), ',');
    // Ties: ';' over TAB and ',', TAB over ','.
    EXPECT_EQ(findCsvSeparator("a;b,c\n"), ';');
    EXPECT_EQ(findCsvSeparator("a;b\tc\n"), ';');
    EXPECT_EQ(findCsvSeparator("a\tb,c\n"), '\t');
}

TEST(CsvContacts, withoutHeaderColumnsFollowTheRecordAndExtraColumnsAreCounted) {
    const auto result = readCsvContacts("Dupont,1 rue,01,06,02,d@x.fr,http://x.fr, bon client ,extra\r\n"
                                        "\r\n"
                                        "Martin\n");
    ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0], Contact("Dupont", "1 rue", "01", "06", "02", "d@x.fr", "http://x.fr", " bon client "));
    EXPECT_EQ(result.records[1], Contact("Martin", "", "", "", "", "", "", ""));
    EXPECT_EQ(fichelia::testing::leftOutSummary(result), "#9=1");
}

TEST(CsvContacts, givenSeparatorWinsOverTheFirstLine) {
    EXPECT_EQ(findCsvSeparator("Dupont, Jean, fils;01\n"), ',');
    const auto result = readCsvContacts("Dupont, Jean, fils;01\n", {';'});
    ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.records[0].name, "Dupont, Jean, fils");
    EXPECT_EQ(result.records[0].address, "01");
}

TEST(CsvContacts, writtenRowsReadBackWithAnySeparator) {
    const Contact awkward("Dupont; \"Jo\"", "1 rue, Paris", "=1+2", "\t06", "-", "@a", "http://x.fr/?a=1;b=2",
                          "«  »\r\n  😀 ");
    for (const char separator : {';', ',', '\t'}) {
        std::string text;
        appendCsvHeader(text, separator);
        appendCsvContact(text, awkward, separator);
        appendCsvContact(text, Contact(), separator); // a row of separators only: passed over
        const auto result = readCsvContacts(text);
        ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
        EXPECT_EQ(result.records, (std::vector<Contact>{awkward})) << text;
        EXPECT_TRUE(result.leftOut.empty());
    }
    std::string row;
    appendCsvContact(row, Contact("a", "b;c", "d\"e", "", "", "", "", ""), ';');
    EXPECT_EQ(row, "a;\"b;c\";\"d\"\"e\";;;;;\r\n");
}
