// Real-looking exports of the common contact programs, each with the contacts
// it must give (NAME.expected.tsv beside it), what it leaves out, and the
// sites it refuses.

#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/ContactImport.h"

using fichelia::exchange::ContactFormat;
using fichelia::exchange::importContacts;
using fichelia::testing::contactsFromTsv;
using fichelia::testing::dataFile;
using fichelia::testing::leftOutSummary;
using fichelia::testing::readBytes;

namespace {

struct Sample {
    const char* file;
    ContactFormat format; // what auto-detection must find
    const char* leftOut;  // "kind=count" in order of first appearance
    std::vector<long> refusedSiteLines;
};

const Sample kSamples[] = {
    {"google_contacts.csv", ContactFormat::Csv,
     "Birthday=1, Labels=3, E-mail 2 - Value>mail=1, Organization Name=1",
     {6}},
    {"outlook_fr.csv", ContactFormat::Csv,
     "Titre=2, Téléphone (domicile)>tel=1, Catégories=1, Adresse de messagerie 2>mail=1, Rue (domicile)>adresse=1, "
     "Ville (domicile)>adresse=1, Code postal (domicile)>adresse=1, Pays/Région (domicile)>adresse=1, Société=1",
     {}},
    {"outlook_en.csv", ContactFormat::Csv, "Birthday=1", {}},
    {"thunderbird_en.csv", ContactFormat::Csv,
     "Nickname=1, Secondary Email>mail=1, Organization=1", {}},
    {"excel_fr.csv", ContactFormat::Csv, "", {}},
    {"phone_v21.vcf", ContactFormat::VCard, "TEL>gsm=1, BDAY=1, PHOTO=1", {24}},
    {"mail_v30.vcf", ContactFormat::VCard, "EMAIL>mail=1, BDAY=1, ORG=1", {}},
    {"contacts_v40.vcf", ContactFormat::VCard, "TEL>tel=1, X-LABEL=1, LANG=1", {}},
    {"address_book.ldif", ContactFormat::Ldif,
     "mozillaNickname=1, mozillaSecondEmail>mail=1, homePhone>tel=1, street>adresse=1, l>adresse=1, "
     "postalCode>adresse=1, birthyear=1",
     {38}},
};

} // namespace

TEST(SampleFiles, eachExportGivesItsContactsAndSaysWhatItLeftOut) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        const std::string bytes = readBytes(dataFile(sample.file));
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(fichelia::exchange::detectContactFormat(bytes), sample.format);
        const auto result = importContacts(bytes);
        ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
        const std::string expectedName = std::string(sample.file).substr(0, std::string(sample.file).rfind('.'));
        EXPECT_EQ(result.records, contactsFromTsv(expectedName + ".expected.tsv"));
        EXPECT_EQ(leftOutSummary(result), sample.leftOut);
        std::vector<long> refused;
        for (const auto& site : result.leftOutSites) {
            refused.push_back(site.line);
        }
        EXPECT_EQ(refused, sample.refusedSiteLines);
    }
}
