// Real-looking exports of the common contact programs, each with the contacts
// it must give (NAME.expected.tsv beside it), what it leaves out, and the
// sites it refuses.

#include <gtest/gtest.h>

#include "Files.h"
#include "exchange/ContactImport.h"

using fichelia::exchange::ContactFormat;
using fichelia::exchange::importContacts;
using fichelia::testing::contactsFromTsv;
using fichelia::testing::dataFile;
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
     "colonne « Birthday »=1, colonne « Labels »=3, colonne « E-mail 2 - Value »=1, "
     "colonne « Organization Name »=1",
     {6}},
    {"outlook_fr.csv", ContactFormat::Csv,
     "colonne « Titre »=2, colonne « Téléphone (domicile) »=1, colonne « Catégories »=1, "
     "colonne « Adresse de messagerie 2 »=1, colonne « Société »=1, colonne « Rue (domicile) »=1, "
     "colonne « Ville (domicile) »=1, colonne « Code postal (domicile) »=1, colonne « Pays/Région (domicile) »=1",
     {}},
    {"outlook_en.csv", ContactFormat::Csv, "colonne « Birthday »=1", {}},
    {"thunderbird_en.csv", ContactFormat::Csv,
     "colonne « Nickname »=1, colonne « Secondary Email »=1, colonne « Organization »=1", {}},
    {"excel_fr.csv", ContactFormat::Csv, "", {}},
    {"phone_v21.vcf", ContactFormat::VCard, "TEL (cell) en plus=1, BDAY=1, PHOTO=1", {24}},
    {"mail_v30.vcf", ContactFormat::VCard, "EMAIL en plus=1, BDAY=1, ORG=1", {}},
    {"contacts_v40.vcf", ContactFormat::VCard, "TEL en plus=1, X-LABEL=1, LANG=1", {}},
    {"address_book.ldif", ContactFormat::Ldif,
     "mozillaNickname=1, mozillaSecondEmail=1, homePhone=1, street=1, l=1, postalCode=1, birthyear=1", {38}},
};

std::string leftOutSummary(const fichelia::exchange::ImportResult& result) {
    std::string summary;
    for (const auto& kind : result.leftOut) {
        summary += (summary.empty() ? "" : ", ") + kind.kind + "=" + std::to_string(kind.count);
    }
    return summary;
}

} // namespace

TEST(SampleFiles, eachExportGivesItsContactsAndSaysWhatItLeftOut) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        const std::string bytes = readBytes(dataFile(sample.file));
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(fichelia::exchange::detectContactFormat(bytes), sample.format);
        const auto result = importContacts(bytes);
        ASSERT_FALSE(result.error) << result.error->line << ": " << result.error->message;
        const std::string expectedName = std::string(sample.file).substr(0, std::string(sample.file).rfind('.'));
        EXPECT_EQ(result.contacts, contactsFromTsv(expectedName + ".expected.tsv"));
        EXPECT_EQ(leftOutSummary(result), sample.leftOut);
        std::vector<long> refused;
        for (const auto& site : result.refusedSites) {
            refused.push_back(site.line);
        }
        EXPECT_EQ(refused, sample.refusedSiteLines);
    }
}
