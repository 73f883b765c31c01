// The exports of real programs in tests/data/real/ (see its README for where
// they come from) import whole: the contacts each holds, and the first one's
// name, telephone, mobile and mail.

#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/ContactImport.h"

using fichelia::Contact;
using fichelia::testing::dataFile;
using fichelia::testing::readBytes;

TEST(RealExports, importWholeWithTheirContacts) {
    const struct {
        const char* file;
        std::size_t contacts;
        Contact first; // nom, tel, gsm and mail only
    } cases[] = {
        {"John_Doe_ANDROID.vcf", 6, {"john.doe@company.com", "", "", "", "", "john.doe@company.com", "", ""}},
        {"John_Doe_BLACK_BERRY.vcf", 1, {"John Doe", "", "", "+96123456789", "", "", "", ""}},
        {"John_Doe_EVOLUTION.vcf", 1,
         {"Mr. John Richter, James Doe Sr.", "", "905-555-1234", "905-666-1234", "", "john.doe@ibm.com", "", ""}},
        {"John_Doe_GMAIL.vcf", 1,
         {"Mr. John Richter, James Doe Sr.", "", "905-666-1234", "905-555-1234", "", "john.doe@ibm.com", "", ""}},
        {"John_Doe_IPHONE.vcf", 1,
         {"Mr. John Richter James Doe Sr.", "", "905-666-1234", "905-555-1234", "", "john.doe@ibm.com", "", ""}},
        {"John_Doe_LOTUS_NOTES.vcf", 1, {"Mr. Doe John I Johny", "", "", "+1 (212) 204-34456", "", "john.doe@ibm.com", "", ""}},
        {"John_Doe_MAC_ADDRESS_BOOK.vcf", 1,
         {"Mr. John Richter,James Doe Sr.", "", "905-777-1234", "905-555-1234", "", "john.doe@ibm.com", "", ""}},
        {"John_Doe_MS_OUTLOOK.vcf", 1, {"Mr. John Richter James Doe Sr.", "", "(905) 555-1234", "", "", "john.doe@ibm.cm", "", ""}},
        {"fullcontact.vcf", 1,
         {"Prefix FirstName MiddleName LastName Suffix", "", "555-555-1111", "555-555-1113", "", "home@example.com", "", ""}},
        {"gmail-list.vcf", 3, {"Arnold Smith", "", "", "", "", "asmithk@gmail.com", "", ""}},
        {"gmail-single.vcf", 1, {"Greg Dartmouth", "", "555 555 2222", "555 555 1111", "", "gdartmouth@hotmail.com", "", ""}},
        {"gmail-single2.vcf", 1, {"VCard Test", "", "5555551111", "5555551115", "", "email@example.com", "", ""}},
        {"issue114.vcf", 1, {"Dummy, Dummy", "", "+49 9876 54321", "+49 1234 56789", "", "dummy.dummy@dummy.com", "", ""}},
        {"outlook-2003.vcf", 1, {"John Doe III", "", "BusinessPhone", "MobilePhone", "", "jdoe@hotmail.com", "", ""}},
        {"outlook-2007.vcf", 1,
         {"Mr. Michael Angstadt Jr.", "", "(111) 555-1111", "(111) 555-4444", "", "mike.angstadt@gmail.com", "", ""}},
        {"rfc2426-example.vcf", 2, {"Frank Dawson", "", "+1-919-676-9515", "", "", "Frank_Dawson@Lotus.com", "", ""}},
        {"rfc6350-example.vcf", 1,
         {"Simon Perreault", "", "+1-418-656-9254;ext=102", "+1-418-262-6501", "", "simon.perreault@viagenie.ca", "", ""}},
        {"thunderbird-MoreFunctionsForAddressBook-extension.vcf", 1,
         {"John Doe", "", "555-555-1111", "555-555-5555", "", "doe.john@hotmail.com", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto report = fichelia::exchange::importContacts(readBytes(dataFile(std::string("real/") + c.file)));
        EXPECT_EQ(report.format, fichelia::exchange::ContactFormat::VCard);
        EXPECT_TRUE(report.whole()) << fichelia::testing::problemsSummary(report);
        ASSERT_EQ(report.records.size(), c.contacts);
        const Contact& first = report.records.front();
        EXPECT_EQ(Contact(first.name, "", first.phone, first.mobile, "", first.mail, "", ""), c.first);
    }
}
