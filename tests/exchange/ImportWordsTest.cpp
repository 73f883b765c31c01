#include <climits>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "exchange/ImportWords.h"

namespace fichelia::words {
namespace {

using exchange::ContactFormat;
using exchange::ImportIssue;
using exchange::ImportProblem;
using exchange::LeftOut;
using exchange::ValueSource;

// The no-break space between thousands.
const std::string nb = "\xC2\xA0";

TEST(ImportWords, numbersGroupThousandsAndCountsAgreeTheFrenchWay) {
    const struct {
        long long number;
        std::string digits;
        std::string contacts;
    } cases[] = {
        {0, "0", "0 contact"},
        {1, "1", "1 contact"},
        {2, "2", "2 contacts"},
        {999, "999", "999 contacts"},
        {1000, "1" + nb + "000", "1" + nb + "000 contacts"},
        {50000, "50" + nb + "000", "50" + nb + "000 contacts"},
        {1234567, "1" + nb + "234" + nb + "567", "1" + nb + "234" + nb + "567 contacts"},
        {-1234, "-1" + nb + "234", "-1" + nb + "234 contacts"},
        {LLONG_MIN, "-9" + nb + "223" + nb + "372" + nb + "036" + nb + "854" + nb + "775" + nb + "808", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(numberText(c.number), c.digits);
        if (!c.contacts.empty()) {
            EXPECT_EQ(countText(c.number, "contact", "contacts"), c.contacts);
        }
    }
    EXPECT_EQ(moreText(1), "… et 1 autre");
    EXPECT_EQ(moreText(12000), "… et 12" + nb + "000 autres");
    // A place in the file is a name, not a quantity: written whole.
    EXPECT_EQ(atLine(12345, "x"), "ligne 12345 : x");
    EXPECT_EQ(atLine(0, "x"), "x");
}

TEST(ImportWords, valuesLeftOutAreNamedInTheUsersWords) {
    // Plain members: mingw's g++ -O3 warns wrongly on an array of strings built in place.
    const struct {
        ValueSource source;
        const char* name;
        int column;
        RecordText field;
        const char* text;
    } cases[] = {
        {ValueSource::VCardProperty, "BDAY", 0, nullptr, "date de naissance"},
        {ValueSource::VCardProperty, "bday", 0, nullptr, "date de naissance"},
        {ValueSource::VCardProperty, "X-FOO", 0, nullptr, "champ inconnu « X-FOO »"},
        {ValueSource::VCardProperty, "TEL", 0, &Contact::mobile,
         "numéro de téléphone en plus pour le champ « GSM »"},
        {ValueSource::LdifAttribute, "birthyear", 0, nullptr, "année de naissance"},
        {ValueSource::LdifAttribute, "homePhone", 0, &Contact::phone,
         "numéro de téléphone du domicile en plus pour le champ « Tél »"},
        {ValueSource::LdifAttribute, "fooBar", 0, nullptr, "champ inconnu « fooBar »"},
        // A column is named as the file's header row names it, in the user's own words already.
        {ValueSource::CsvColumn, "Birthday", 7, nullptr, "colonne « Birthday »"},
        {ValueSource::CsvColumn, "E-mail 2", 9, &Contact::mail,
         "colonne « E-mail 2 » en plus pour le champ « Mail »"},
        {ValueSource::CsvColumn, "", 9, nullptr, "colonne 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(leftOutText({c.source, c.name, c.column, c.field, 1}), c.text);
    }
    EXPECT_EQ(leftOutCountText({ValueSource::VCardProperty, "PHOTO", 0, nullptr, 2500}), "2" + nb + "500 × photo");
}

TEST(ImportWords, skippedItemsAreNamedAfterTheirFormat) {
    const struct {
        ContactFormat format;
        ImportProblem problem;
        long line;
        const char* detail;
        const char* text;
    } cases[] = {
        {ContactFormat::VCard, ImportProblem::VCardUnclosed, 3, "",
         "ligne 3 : carte laissée de côté : carte commencée ici sans END:VCARD"},
        {ContactFormat::VCard, ImportProblem::VCardOutsideCard, 7, "TEL",
         "ligne 7 laissée de côté : ligne hors d'une carte (BEGIN:VCARD attendu)"},
        {ContactFormat::Ldif, ImportProblem::BadBase64, 2, "cn",
         "ligne 2 : entrée laissée de côté : valeur base64 invalide pour cn"},
        {ContactFormat::Tsv, ImportProblem::TsvFieldCount, 4, "1", "ligne 4 laissée de côté : 1 champ au lieu de 8"},
        {ContactFormat::Tsv, ImportProblem::TsvFieldCount, 5, "9", "ligne 5 laissée de côté : 9 champs au lieu de 8"},
        {ContactFormat::VCard, ImportProblem::UnknownCharset, 6, "KOI9",
         "ligne 6 laissée de côté : jeu de caractères inconnu « KOI9 »"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(skippedText(c.format, {c.problem, c.line, c.detail}), c.text);
    }
    for (const auto& [kind, text] : std::vector<std::pair<std::string, std::string>>{
             {"ICALENDAR", "ce fichier est un fichier iCalendar (un agenda), pas un carnet d'adresses"},
             {"XML", "ce fichier est un fichier XML, pas un carnet d'adresses"},
             {"LDAPSCHEMA", "ce fichier est un schéma LDAP (des définitions d'attributs), pas un carnet d'adresses"},
         }) {
        EXPECT_EQ(problemText({ImportProblem::NotAnAddressBook, 0, kind}), text);
    }
    EXPECT_EQ(skippedText(ContactFormat::VCard, {ImportProblem::VCardLineWithoutColon, 4, {}}),
              "ligne 4 laissée de côté : ligne sans « : » entre le nom de la propriété et sa valeur");
    EXPECT_EQ(leftOutCountText({exchange::ValueSource::LdifEntry, "groupOfNames", 0, nullptr, 2}),
              "2 × entrée qui n'est pas une personne (« groupOfNames »)");
    EXPECT_EQ(problemText({ImportProblem::UnknownHeader, 1, "Prénom\tSociété"}),
              "la première ligne a l'air d'une ligne d'en-tête, mais aucune de ses colonnes n'est connue : "
              "« Prénom », « Société »");
}

// A new kind added to the report without its words would say "erreur
// inconnue", or the words of another kind.
TEST(ImportWords, everyProblemAndErrorHasWordsOfItsOwn) {
    std::set<std::string> problems;
    for (int kind = 0; kind <= static_cast<int>(ImportProblem::PageLineDamaged); ++kind) {
        const std::string text = problemText({static_cast<ImportProblem>(kind), 1, "X"});
        EXPECT_NE(text, "erreur inconnue") << kind;
        EXPECT_TRUE(problems.insert(text).second) << text;
    }
    std::set<std::string> errors;
    for (int error = 0; error <= static_cast<int>(Error::WriteFailed); ++error) {
        const std::string text = reasonText(static_cast<Error>(error));
        EXPECT_NE(text, "erreur inconnue") << error;
        EXPECT_TRUE(errors.insert(text).second) << text;
    }
}

} // namespace
} // namespace fichelia::words
