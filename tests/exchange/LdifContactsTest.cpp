#include <gtest/gtest.h>

#include "Files.h"
#include "exchange/LdifContacts.h"

using fichelia::exchange::readLdifContacts;

TEST(LdifContacts, malformedEntriesAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        long line;
        const char* words;
    } cases[] = {
        {"dn: cn=a\ncn: a\n\ndn: cn=b\ncn:: SMOp!\n", 5, "base64"},
        {" suite\ndn: cn=a\n", 1, "sans ligne"},
        {"dn: cn=a\ncn a\n", 2, "attribut"},
    };
    for (const auto& c : cases) {
        const auto result = readLdifContacts(c.text);
        ASSERT_TRUE(result.error) << c.text;
        EXPECT_EQ(result.error->line, c.line) << c.text;
        EXPECT_NE(result.error->message.find(c.words), std::string::npos) << result.error->message;
    }
}

TEST(LdifContacts, entriesAreSeparatedByBlankLinesAndCommentsSkipped) {
    const auto result = readLdifContacts("version: 1\r\n\r\ndn: cn=a\r\ngivenName: Anne\r\nsn: Roy\r\n# note\r\n"
                                         " suite de la note\r\npostalAddress: 1 rue$75001 Paris\r\n\r\n\r\n"
                                         "dn: cn=b\r\ncn;lang-fr: Bé\r\njpegPhoto:< file:///photo.jpg\r\n");
    ASSERT_FALSE(result.error) << result.error->message;
    ASSERT_EQ(result.contacts.size(), 2u);
    EXPECT_EQ(result.contacts[0], annuaire("Anne Roy", "1 rue, 75001 Paris", "", "", "", "", "", ""));
    EXPECT_EQ(result.contacts[1].nom, "Bé");
    ASSERT_EQ(result.leftOut.size(), 1u);
    EXPECT_EQ(result.leftOut[0].kind, "jpegPhoto");
}
