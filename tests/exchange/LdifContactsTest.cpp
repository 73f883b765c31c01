#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/LdifContacts.h"

using fichelia::Contact;
using fichelia::exchange::readLdifContacts;

TEST(LdifContacts, entriesAreSeparatedByBlankLinesAndCommentsSkipped) {
    const auto result = readLdifContacts("version: 1\r\n\r\ndn: cn=a\r\nobjectClass: person\r\ngivenName: Anne\r\n"
                                         "sn: Roy\r\n# note\r\n suite de la note\r\npostalAddress: 1 rue$75001 Paris\r\n\r\n\r\n"
                                         "dn: cn=b\r\nobjectclass: inetOrgPerson\r\ncn;lang-fr: Bé\r\n"
                                         "jpegPhoto:< file:///photo.jpg\r\n");
    ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0], Contact("Anne Roy", "1 rue, 75001 Paris", "", "", "", "", "", ""));
    EXPECT_EQ(result.records[1].name, "Bé");
    EXPECT_EQ(fichelia::testing::leftOutSummary(result), "jpegPhoto=1");
}
