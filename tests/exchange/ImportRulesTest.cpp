// One table of small cases per rule of the importers: what a contact is made
// of, and what is left out.

#include <gtest/gtest.h>

#include "ImportSummary.h"
#include "exchange/ContactImport.h"
#include "exchange/ContactTsv.h"

using fichelia::Contact;
using fichelia::exchange::ContactFormat;
using fichelia::exchange::importContacts;
using fichelia::testing::leftOutSummary;
using fichelia::testing::problemsSummary;

namespace {

struct Case {
    const char* rule;
    ContactFormat format;
    std::string input;
    std::string contacts; // each as its TSV line, LF after each
    const char* leftOut;  // see leftOutSummary
};

void expectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto report = importContacts(c.input, c.format);
        EXPECT_TRUE(report.whole()) << problemsSummary(report);
        std::string contacts;
        for (const Contact& contact : report.records) {
            contacts += fichelia::exchange::formatContactTsv(contact) + "\n";
        }
        EXPECT_EQ(contacts, c.contacts);
        EXPECT_EQ(leftOutSummary(report), c.leftOut);
    }
}

std::string utf16(std::string_view ascii, bool littleEndian, bool marked) {
    std::string bytes = marked ? (littleEndian ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (const char c : ascii) {
        bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return bytes;
}

constexpr ContactFormat V = ContactFormat::VCard;
constexpr ContactFormat C = ContactFormat::Csv;
constexpr ContactFormat L = ContactFormat::Ldif;
constexpr ContactFormat A = ContactFormat::Auto;

} // namespace

TEST(ImportRules, vCardLinesValuesAndEncodings) {
    expectCases({
        {"CR CR LF ends a line", A, "BEGIN:VCARD\r\r\nFN:a\r\r\nEND:VCARD\r\r\n", "a\t\t\t\t\t\t\t\n", ""},
        {"TAB folds a line", V, "BEGIN:VCARD\nFN:a\nNOTE:ab\n\tcd\n ef\nEND:VCARD\n", "a\t\t\t\t\t\t\tabcdef\n", ""},
        {"quoted-printable hex in either case", V,
         "BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE:caf=c3=A9\nEND:VCARD\n", "café\t\t\t\t\t\t\t\n", ""},
        {"quoted-printable soft line break", V,
         "BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:a=\nb=0D=0Ac\nFN:x\nEND:VCARD\n", "x\t\t\t\t\t\t\tab\\r\\nc\n", ""},
        {"base64 with one '=' too many", V, "BEGIN:VCARD\nFN;ENCODING=b:SMOpbMOobmU==\nEND:VCARD\n",
         "Hélène\t\t\t\t\t\t\t\n", ""},
        {"an unused value is never decoded", V, "BEGIN:VCARD\nFN:a\nPHOTO;ENCODING=b:iVBO*w0K\nEND:VCARD\n",
         "a\t\t\t\t\t\t\t\n", "PHOTO=1"},
        {"escapes, Gmail's \\\" too", V, "BEGIN:VCARD\nFN:a\\, b\\; c\\\\\nNOTE:\\\"q\\\"\\nz\nEND:VCARD\n",
         "a, b; c\\\\\t\t\t\t\t\t\t\"q\"\\nz\n", ""},
        {"UTF-16 without byte order mark, LE", A, utf16("BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\n", true, false),
         "a\t\t\t\t\t\t\t\n", ""},
        {"UTF-16 without byte order mark, BE", A, utf16("BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\n", false, false),
         "a\t\t\t\t\t\t\t\n", ""},
        {"UTF-16 with a byte order mark", A, utf16("BEGIN:VCARD\nFN:a\nEND:VCARD\n", true, true),
         "a\t\t\t\t\t\t\t\n", ""},
        {"a UTF-16 line of TABs is CSV, not TSV", A, utf16("a\t\t\t\t\t\t\tz\n", true, true),
         "a\t\t\t\t\t\t\tz\n", ""},
    });
}

TEST(ImportRules, whichValueAFieldTakes) {
    expectCases({
        {"else the first", V, "BEGIN:VCARD\nFN:a\nTEL:1\nTEL:2\nEMAIL;PREF=1:m\nEMAIL;PREF=1:n\nEND:VCARD\n",
         "a\t\t1\t\t\tm\t\t\n", "TEL>tel=1, EMAIL>mail=1"},
        {"the preferred first", V, "BEGIN:VCARD\nFN:a\nTEL:1\nTEL;TYPE=pref:2\nTEL;PREF=1:3\nEND:VCARD\n",
         "a\t\t2\t\t\t\t\t\n", "TEL>tel=2"},
        {"lowest PREF rank", V, "BEGIN:VCARD\nFN:a\nTEL;PREF=3:1\nTEL;PREF=2:2\nEND:VCARD\n", "a\t\t2\t\t\t\t\t\n",
         "TEL>tel=1"},
        {"a pager only without another number", V,
         "BEGIN:VCARD\nFN:a\nTEL;TYPE=pager,pref:1\nTEL;TYPE=work:2\nTEL;TYPE=cell:3\nEND:VCARD\n"
         "BEGIN:VCARD\nFN:b\nTEL;TYPE=other:4\nTEL;TYPE=fax:5\nEND:VCARD\n",
         "a\t\t2\t3\t\t\t\t\nb\t\t4\t\t5\t\t\t\n", "TEL>tel=1"},
        {"a pager column only without another number", C,
         "Nom;Pager;Business Phone;Other Phone\nA;1;2;3\nB;4;;5\n", "A\t\t2\t\t\t\t\t\nB\t\t4\t\t\t\t\t\n",
         "Pager>tel=1, Other Phone>tel=2"},
        {"Google's phone types", C,
         "Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - Value\n"
         "A,Pager,1,Mobile,2,Work,3\n",
         "A\t\t3\t2\t\t\t\t\n", "Phone 1 - Value>tel=1"},
        {"Google's ' ::: ' values", C, "Name,E-mail 1 - Value,Notes\nA,a@x.fr ::: b@x.fr ::: c@x.fr,x ::: y\n",
         "A\t\t\t\t\ta@x.fr\t\tx ::: y\n", "E-mail 1 - Value>mail=2"},
        {"LDIF: else the first, a pager last", L,
         "dn: cn=a\ncn: a\npager: 1\ntelephoneNumber: 2\nhomePhone: 3\nmail: m\nmail: n\n",
         "a\t\t2\t\t\tm\t\t\n", "pager>tel=1, homePhone>tel=1, mail>mail=1"},
    });
}

TEST(ImportRules, namesAddressesAndLineBreaks) {
    expectCases({
        {"N when no FN", V, "BEGIN:VCARD\nN:Durand;Anne;Marie;Mme;\nEND:VCARD\n", "Anne Marie Durand\t\t\t\t\t\t\t\n",
         ""},
        {"stand-ins: company, mail, phone", V,
         "BEGIN:VCARD\nORG:Garage\\, Central;Atelier\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nEMAIL:m@x.fr\nTEL:1\nEND:VCARD\n"
         "BEGIN:VCARD\nTEL;TYPE=cell:06\nEND:VCARD\n",
         "Garage, Central, Atelier\t\t1\t\t\t\t\t\nm@x.fr\t\t1\t\t\tm@x.fr\t\t\n06\t\t\t06\t\t\t\t\n",
         ""},
        {"a company on two lines names the contact on one", V, "BEGIN:VCARD\nORG:Garage\\nCentral\nEND:VCARD\n",
         "Garage, Central\t\t\t\t\t\t\t\n", ""},
        {"the company beside a name is left out", V, "BEGIN:VCARD\nFN:a\nORG:b\nEND:VCARD\n", "a\t\t\t\t\t\t\t\n",
         "ORG=1"},
        {"line breaks in one-line fields", V,
         "BEGIN:VCARD\nFN:a\\nb\nADR:;;12 rue de la Paix\\nBâtiment B\\n\\n;Paris;;75002;\nNOTE:x\\ny\nEND:VCARD\n",
         "a, b\t12 rue de la Paix, Bâtiment B, 75002 Paris\t\t\t\t\t\tx\\ny\n", ""},
        {"LABEL when no ADR", V,
         "BEGIN:VCARD\nFN:a\nLABEL;ENCODING=QUOTED-PRINTABLE:1 rue=0D=0AParis\nEND:VCARD\n"
         "BEGIN:VCARD\nFN:b\nLABEL:1 rue\\nParis\nADR:;;2 rue;Lyon;;;\nEND:VCARD\n",
         "a\t1 rue, Paris\t\t\t\t\t\t\nb\t2 rue, Lyon\t\t\t\t\t\t\n", ""},
        {"CSV: a street group takes the pieces after it", C,
         "Nom;Adresse privée;Ville;Rue (bureau);Code postal;Ville\nA;1 rue;Lyon;2 av;75001;Paris\n",
         "A\t1 rue, Lyon\t\t\t\t\t\t\n", "Rue (bureau)>adresse=1, Code postal>adresse=1, Ville>adresse=1"},
        {"CSV: Outlook's empty dates only in date columns", C,
         "Nom;Birthday;Notes\n00/00/00;0/0/00;0/0/00\nB;1/2/03;\n", "00/00/00\t\t\t\t\t\t\t0/0/00\nB\t\t\t\t\t\t\t\n",
         "Birthday=1"},
        {"CSV: a first-name column makes Nom the family name", C, "Prénom;Nom;Société\nJean;Dupont;ACME\n;;ACME\n",
         "Jean Dupont\t\t\t\t\t\t\t\nACME\t\t\t\t\t\t\t\n", "Société=1"},
        {"CSV: German Outlook", C,
         "Anrede,Vorname,Weitere Vornamen,Nachname,Firma,Straße geschäftlich,Ort geschäftlich,"
         "Postleitzahl geschäftlich,Land/Region geschäftlich,Telefon geschäftlich,Mobiltelefon,Fax geschäftlich,"
         "E-Mail-Adresse,E-Mail-Typ,Webseite,Notizen,Geburtstag\n"
         "Herr,Hans,Peter,Müller,ACME,Hauptstr. 1,Bern,3000,Schweiz,031 111,079 222,031 333,h@x.ch,SMTP,"
         "http://x.ch,Kunde,0.0.00\n",
         "Hans Peter Müller\tHauptstr. 1, 3000 Bern, Schweiz\t031 111\t079 222\t031 333\th@x.ch\thttp://x.ch\tKunde\n",
         "Anrede=1, Firma=1"},
        {"CSV: a formula's apostrophe goes, others stay", C, "Nom;Tel;Notes\n'=1+2;'-3;''@x\n'a;'';'\n",
         "=1+2\t\t-3\t\t\t\t\t'@x\n'a\t\t''\t\t\t\t\t'\n", ""},
        {"LDIF: Windows-1252 in base64", L, "dn: cn=a\nobjectClass: person\ncn:: TGVm6HZyZQ==\n",
         "Lefèvre\t\t\t\t\t\t\t\n", ""},
        {"LDIF: empty attributes are not counted", L,
         "dn: cn=a\nobjectClass: person\ncn: a\nfoo:\nbar: x\njpegPhoto:< file:///p\n",
         "a\t\t\t\t\t\t\t\n", "bar=1, jpegPhoto=1"},
        {"LDIF: postalAddress lines", L,
         "version: 1\n\ndn: cn=a\nobjectClass: person\ncn: a\npostalAddress: 1 rue$75001 Paris\n",
         "a\t1 rue, 75001 Paris\t\t\t\t\t\t\n", ""},
    });
}
