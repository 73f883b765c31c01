#include <gtest/gtest.h>

#include "Files.h"
#include "exchange/CsvContacts.h"

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
}

TEST(CsvContacts, withoutHeaderColumnsFollowTheRecordAndExtraColumnsAreCounted) {
    const auto result = readCsvContacts("Dupont,1 rue,01,06,02,d@x.fr,http://x.fr, bon client ,extra\r\n"
                                        "\r\n"
                                        "Martin\n");
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.contacts.size(), 2u);
    EXPECT_EQ(result.contacts[0], annuaire("Dupont", "1 rue", "01", "06", "02", "d@x.fr", "http://x.fr", " bon client "));
    EXPECT_EQ(result.contacts[1], annuaire("Martin", "", "", "", "", "", "", ""));
    ASSERT_EQ(result.leftOut.size(), 1u);
    EXPECT_EQ(result.leftOut[0].kind, "colonne 9");
}

TEST(CsvContacts, givenSeparatorWinsOverTheFirstLine) {
    EXPECT_EQ(findCsvSeparator("Dupont, Jean, fils;01\n"), ',');
    const auto result = readCsvContacts("Dupont, Jean, fils;01\n", {';'});
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.contacts.size(), 1u);
    EXPECT_EQ(result.contacts[0].nom, "Dupont, Jean, fils");
    EXPECT_EQ(result.contacts[0].adresse, "01");
}

TEST(CsvContacts, writtenRowsReadBackWithAnySeparator) {
    const annuaire awkward("Dupont; \"Jo\"", "1 rue, Paris\r\nFrance", "", "\t06", "", "a@x.fr", "http://x.fr/?a=1;b=2",
                           "«  »  😀 ");
    for (const char separator : {';', ',', '\t'}) {
        std::string text;
        appendCsvHeader(text, separator);
        appendCsvContact(text, awkward, separator);
        appendCsvContact(text, annuaire(), separator);
        const auto result = readCsvContacts(text);
        ASSERT_FALSE(result.error) << result.error->message;
        EXPECT_EQ(result.contacts, (std::vector<annuaire>{awkward, annuaire()})) << text;
        EXPECT_TRUE(result.leftOut.empty());
    }
    std::string row;
    appendCsvContact(row, annuaire("a", "b;c", "d\"e", "", "", "", "", ""), ';');
    EXPECT_EQ(row, "a;\"b;c\";\"d\"\"e\";;;;;\r\n");
}
