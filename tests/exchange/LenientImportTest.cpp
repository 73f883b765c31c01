// What importers make of files as people really have them: a preamble before
// the book, what is no address book at all, lines a card cannot read, values
// in other charsets, entries that name nobody. One table per rule.

#include <gtest/gtest.h>

#include "ImportSummary.h"
#include "exchange/ContactImport.h"
#include "exchange/ContactTsv.h"

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
    std::string problems; // see problemsSummary
    std::string leftOut = {};
};

void expectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto report = importContacts(c.input, c.format);
        std::string contacts;
        for (const fichelia::Contact& contact : report.records) {
            contacts += fichelia::exchange::formatContactTsv(contact) + "\n";
        }
        EXPECT_EQ(contacts, c.contacts);
        EXPECT_EQ(problemsSummary(report), c.problems);
        EXPECT_EQ(leftOutSummary(report), c.leftOut);
    }
}

constexpr ContactFormat A = ContactFormat::Auto;
constexpr ContactFormat V = ContactFormat::VCard;
const std::string kCardA = "BEGIN:VCARD\nFN:a\nEND:VCARD\n";
const std::string kA = "a\t\t\t\t\t\t\t\n";

} // namespace

TEST(LenientImport, theBookIsFoundBeyondItsFirstLine) {
    expectCases({
        {"lines before the first card", A, "Exporté le 3 mars\nTéléphone: X\n\n" + kCardA, kA, "VCardOutsideCard@1"},
        {"a card far down", A, std::string(2000, '\n') + "Préambule\n" + kCardA, kA, "VCardOutsideCard@2001"},
        {"LDIF after comments and its version", A, "# export\n\nversion: 1\n\ndn: cn=a\ncn: a\nmail: m@x.fr\n",
         "a\t\t\t\t\tm@x.fr\t\t\n", ""},
        {"LDIF after a line of text", A, "Carnet exporté\n\ndn: cn=a\ncn: a\nmail: m@x.fr\n",
         "a\t\t\t\t\tm@x.fr\t\t\n", "LdifLineWithoutColon@1"},
    });
}

TEST(LenientImport, whatIsNoAddressBookIsRefusedByName) {
    const std::string base64Line = std::string(300 * 1024, 'Q') + "==\n";
    expectCases({
        {"iCalendar", A, "BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nSUMMARY:a\nEND:VEVENT\nEND:VCALENDAR\n", "",
         " / NotAnAddressBook@0:ICALENDAR"},
        {"XML", A, "<?xml version=\"1.0\"?>\n<contacts><c n=\"a;b\"/></contacts>\n", "", " / NotAnAddressBook@0:XML"},
        {"an LDAP schema", A,
         "# schéma\nattributetype ( 1.2.3 NAME 'x'\n  SUP name )\nobjectclass ( 1.2.4 NAME 'y' MAY x )\n", "",
         " / NotAnAddressBook@0:LDAPSCHEMA"},
        {"an LDAP schema in LDIF", A, "dn: cn=schema\nobjectClass: top\nattributeTypes: ( 1.2.3 NAME 'x' )\n", "",
         " / NotAnAddressBook@0:LDAPSCHEMA"},
        {"a licence text", A,
         "Permission is hereby granted, free of charge, to any person\nobtaining a copy of this software and\n"
         "associated documentation files (the \"Software\"), to deal in the Software\nwithout restriction.\n",
         "", " / NotAnAddressBook@0"},
        {"four bytes", A, "card", "", " / NotAnAddressBook@0"},
        {"one long base64 line", A, base64Line, "", " / NotAnAddressBook@0"},
        {"empty", A, "", "", " / NoContacts@0"},
        {"a byte order mark alone", A, "\xEF\xBB\xBF", "", " / NoContacts@0"},
        {"blank lines", A, "\r\n\n  \n", "", " / NoContacts@0"},
        {"a CSV header alone", A, "Nom;Téléphone;Mail\n", "", " / NoContacts@0"},
        {"empty TSV asked for", ContactFormat::Tsv, "", "", ""},
        {"a table without a header", A, "Dupont;01\nMartin;02\n", "Dupont\t01\t\t\t\t\t\t\nMartin\t02\t\t\t\t\t\t\n",
         ""},
        {"a title above a table", A, "Mes contacts\nDupont;01\nMartin;02\nDurand;03\nPetit;04\n",
         "Mes contacts\t\t\t\t\t\t\t\nDupont\t01\t\t\t\t\t\t\nMartin\t02\t\t\t\t\t\t\nDurand\t03\t\t\t\t\t\t\n"
         "Petit\t04\t\t\t\t\t\t\n",
         ""},
        {"a table of one column under its header", A, "Nom\nDupont\n", "Dupont\t\t\t\t\t\t\t\n", ""},
        {"a table whose cells begin like a card or an entry", A, "Nom;Tel\ndn: cn=a;1\nBEGIN:VCARD;2\n",
         "dn: cn=a\t\t1\t\t\t\t\t\nBEGIN:VCARD\t\t2\t\t\t\t\t\n", ""},
    });
}

TEST(LenientImport, aCardKeepsWhatItCanRead) {
    expectCases({
        {"LABEL going on without folding", V, "BEGIN:VCARD\nFN:a\nLABEL:1 rue\nParis\nEND:VCARD\n",
         "a\t1 rue\t\t\t\t\t\t\n", "VCardLineWithoutColon@4"},
        {"an address going on after a backslash", V,
         "BEGIN:VCARD\nFN:a\nADR:;;12 rue\\\nBâtiment B;Paris;;75001;\nEND:VCARD\n",
         "a\t12 rue, Bâtiment B, 75001 Paris\t\t\t\t\t\t\n", ""},
        {"comment lines", V, "# exporté\nBEGIN:VCARD\n# note\nFN:a\nEND:VCARD\n", kA, ""},
        {"base64 lines not indented", V,
         "BEGIN:VCARD\nVERSION:2.1\nPHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\nSkZJRgAB\nAQEASABI\n\nFN:a\nEND:VCARD\n",
         kA, "", "PHOTO=1"},
        {"blank lines inside a card", V, "BEGIN:VCARD\n\nFN:a\n\n\nTEL:1\nEND:VCARD\n", "a\t\t1\t\t\t\t\t\n", ""},
        {"quoted-printable going on without '='", V,
         "BEGIN:VCARD\nFN:a\nNOTE;ENCODING=QUOTED-PRINTABLE:ligne 1\nligne 2\nEND:VCARD\n",
         "a\t\t\t\t\t\t\tligne 1\\r\\nligne 2\n", ""},
        {"an unknown charset where no field takes the value", V,
         "BEGIN:VCARD\nFN:a\nX-FOO;CHARSET=X-INCONNU;QUOTED-PRINTABLE:=41\nEND:VCARD\n", kA, "", "X-FOO=1"},
        {"an unknown charset on a field: that value only", V,
         "BEGIN:VCARD\nFN:a\nNOTE;CHARSET=X-INCONNU;QUOTED-PRINTABLE:=41\nTEL:1\nEND:VCARD\n", "a\t\t1\t\t\t\t\t\n",
         "UnknownCharset@3:X-INCONNU"},
        {"an AGENT's card within", V,
         "BEGIN:VCARD\nVERSION:2.1\nFN:a\nAGENT:\nBEGIN:VCARD\nVERSION:2.1\nFN:b\nEND:VCARD\nTEL:1\nEND:VCARD\n",
         "a\t\t1\t\t\t\t\t\n", "", "AGENT=1"},
        {"a card without END before the next", V, "BEGIN:VCARD\nFN:b\n" + kCardA, kA, "VCardUnclosed@1"},
        {"blanks after BEGIN:VCARD and END:VCARD", A, "BEGIN:VCARD \nFN:a\nEND:VCARD\t\n", kA, ""},
        {"a backslash that escapes nothing stays", V, "BEGIN:VCARD\nVERSION:2.1\nFN:A\\;B\\C\\\\D\\\"\nEND:VCARD\n",
         "A;B\\\\C\\\\D\"\t\t\t\t\t\t\t\n", ""},
    });
}

TEST(LenientImport, valuesAreReadInTheCharsetTheirCardNames) {
    // 山田 and 太郎 in Shift_JIS.
    expectCases({
        {"raw Shift_JIS", A, "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:\x8ER\x93" "c;\x91\xBE\x98Y\nEND:VCARD\n",
         "太郎 山田\t\t\t\t\t\t\t\n", ""},
        {"quoted-printable Shift_JIS", A,
         "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=8ER=93c\nEND:VCARD\n",
         "山田\t\t\t\t\t\t\t\n", ""},
        {"the card's charset serves its other raw values", A,
         "BEGIN:VCARD\nVERSION:2.1\nFN:\x8ER\x93" "c\nNOTE;CHARSET=Shift_JIS:\x91\xBE\nEND:VCARD\n",
         "山田\t\t\t\t\t\t\t太\n", ""},
        {"UTF-8 stays UTF-8 whatever the charset says", A,
         "BEGIN:VCARD\nFN;CHARSET=ISO-8859-1:Lefèvre\nEND:VCARD\n", "Lefèvre\t\t\t\t\t\t\t\n", ""},
        {"no charset, not UTF-8: Windows-1252", A, "BEGIN:VCARD\nFN:Lef\xE8vre \x80\nEND:VCARD\n",
         "Lefèvre €\t\t\t\t\t\t\t\n", ""},
    });
    const auto mixed = importContacts("Nom;Tel\nLefèvre;1\nH\xE9l\xE8ne;2\n");
    EXPECT_EQ(mixed.records.size(), 2u);
    EXPECT_EQ(mixed.records[1].name, "Hélène");
    EXPECT_EQ(mixed.windows1252Lines, std::vector<long>{3});
    EXPECT_TRUE(importContacts("Nom;Tel\nLef\xE8vre;1\nH\xE9l\xE8ne;2\n").windows1252Lines.empty()); // all Windows-1252
}

TEST(LenientImport, onlyPeopleBecomeContacts) {
    const std::string root = "dn: dc=x,dc=fr\nobjectClass: top\nobjectClass: dcObject\nobjectClass: organization\n"
                             "o: X\n\n";
    expectCases({
        {"a card naming nobody", V, "BEGIN:VCARD\nNOTE:rien\nEND:VCARD\n" + kCardA, kA, "NoName@1"},
        {"a CSV row naming nobody", A, "Nom;Notes\n;rien\nb;\n", "b\t\t\t\t\t\t\t\n", "NoName@2"},
        {"LDIF: the root, a unit and a group are left out", A,
         root + "dn: ou=a,dc=x,dc=fr\nobjectClass: organizationalUnit\nou: a\n\n"
                "dn: cn=g,dc=x,dc=fr\nobjectClass: groupOfNames\ncn: g\nmember: cn=b\n\n"
                "dn: cn=b,dc=x,dc=fr\nobjectClass: top\nobjectClass: inetOrgPerson\ncn: b\n",
         "b\t\t\t\t\t\t\t\n", "", "organization=1, organizationalUnit=1, groupOfNames=1"},
        {"LDIF: a mail program's person", A, "dn: cn=b\nobjectclass: mozillaAbPersonAlpha\ncn: b\n",
         "b\t\t\t\t\t\t\t\n", ""},
        {"LDIF: cn and a phone, no object class", A, "dn: cn=b\ncn: b\ntelephoneNumber: 1\n\ndn: cn=c\ncn: c\n",
         "b\t\t1\t\t\t\t\t\n", "", "#0=1"},
        {"LDIF: an organization with a phone, the root of its tree", A,
         "dn: dc=x,dc=fr\nobjectClass: dcObject\nobjectClass: organization\no: X\ntelephoneNumber: 1\n",
         "X\t\t1\t\t\t\t\t\n", ""},
    });
}

TEST(LenientImport, ldapDetails) {
    expectCases({
        {"postalAddress: '$' between lines", A,
         "dn: cn=a\nobjectClass: person\ncn: a\npostalAddress: 1 rue $ 75001 Paris\n",
         "a\t1 rue, 75001 Paris\t\t\t\t\t\t\n", ""},
        {"telephoneNumber before homePhone", A,
         "dn: cn=a\nobjectClass: person\ncn: a\nhomePhone: 2\ntelephoneNumber: 1\n", "a\t\t1\t\t\t\t\t\n", "",
         "homePhone>tel=1"},
        {"ldapsearch's summary", A,
         "# extended LDIF\n#\n\ndn: cn=a\nobjectClass: person\ncn: a\n\n"
         "# search result\nsearch: 2\nresult: 0 Success\n\n# numResponses: 2\n",
         kA, ""},
    });
}

TEST(LenientImport, csvHeadersInManyLanguages) {
    expectCases({
        {"field names of a program", A, "n_given,n_family,tel_home,email\nAnne,Roy,01,a@x.fr\n",
         "Anne Roy\t\t01\t\t\ta@x.fr\t\t\n", ""},
        {"German: Vorname and Name", A, "Vorname;Name;Telefon;Handy\nHans;Müller;031;079\n",
         "Hans Müller\t\t031\t079\t\t\t\t\n", ""},
        {"Spanish", A, "Nombre,Apellidos,Teléfono móvil,Correo electrónico,Dirección\nAna,Ruiz,600,a@x.es,Calle 1\n",
         "Ana Ruiz\tCalle 1\t\t600\t\ta@x.es\t\t\n", ""},
        {"Italian", A, "Nome;Cognome;Cellulare;Indirizzo;CAP;Città\nLuca;Rossi;333;Via Roma 1;00100;Roma\n",
         "Luca Rossi\tVia Roma 1, 00100 Roma\t\t333\t\t\t\t\n", ""},
        {"Dutch", A, "Voornaam;Achternaam;Telefoon;Mobiel\nJan;Jansen;020;06\n", "Jan Jansen\t\t020\t06\t\t\t\t\n",
         ""},
        {"Portuguese", A, "Nome,Sobrenome,Telefone,Celular\nJoão,Silva,21,91\n", "João Silva\t\t21\t91\t\t\t\t\n", ""},
        {"Japanese, with a digit in a header cell", A, "姓,名,電話番号,携帯電話,メールアドレス 2\n山田,太郎,03,090,y@x.jp\n",
         "太郎 山田\t\t03\t090\t\t\t\t\n", "", "メールアドレス 2=1"},
        {"Google: Name is the whole name beside Given and Family Name", A,
         "Name,Given Name,Family Name\nAnne Roy,Anne,Roy\n", "Anne Roy\t\t\t\t\t\t\t\n", ""},
        {"Outlook's Email Home, Work and Other", A, "Display Name,Email Home,Email Work,Home Zip\na,h@x.fr,w@x.fr,75001\n",
         "a\t75001\t\t\t\th@x.fr\t\t\n", "", "Email Work>mail=1"},
        {"a row with a known word and values is a contact", A, "Nom;0102030405;a@x.fr\n",
         "Nom\t0102030405\ta@x.fr\t\t\t\t\t\n", ""}, // in the record's order
    });
}

TEST(LenientImport, namesFromAFileAreReportedAsUtf8) {
    const auto report =
        importContacts("BEGIN:VCARD\nFN:a\nX-\xC9TAT:b\nNOTE;CHARSET=X-\xC9;QUOTED-PRINTABLE:=41\nEND:VCARD\n");
    EXPECT_EQ(leftOutSummary(report), "X-ÉTAT=1");
    EXPECT_EQ(problemsSummary(report), "UnknownCharset@4:X-É");
}

namespace {

// Plain members: a table of literals, input and expected output side by side.
struct PlainCase {
    const char* rule;
    ContactFormat format;
    const char* input;
    const char* contacts;
    const char* problems;
    const char* leftOut;
};

void expectPlainCases(const std::vector<PlainCase>& cases) {
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto report = importContacts(c.input, c.format);
        std::string contacts;
        for (const fichelia::Contact& contact : report.records) {
            contacts.append(fichelia::exchange::formatContactTsv(contact)).append("\n");
        }
        EXPECT_EQ(contacts, c.contacts);
        EXPECT_EQ(problemsSummary(report), c.problems);
        EXPECT_EQ(leftOutSummary(report), c.leftOut);
    }
}

} // namespace

TEST(LenientImport, edgesOfTheRules) {
    expectPlainCases({
        {"a first line naming no field, two columns", A, "Dupont;Jean\nMartin;01\n",
         "Dupont\tJean\t\t\t\t\t\t\nMartin\t01\t\t\t\t\t\t\n", "", ""},
        {"a first row half a name, half a number", A, "Nom;0102030405\n", "Nom\t0102030405\t\t\t\t\t\t\n", "", ""},
        {"Dutch: Naam beside Voornaam", A, "Voornaam;Naam;Telefoon\nJan;Jansen;020\n", "Jan Jansen\t\t020\t\t\t\t\t\n",
         "", ""},
        {"a row beginning with Dn is no LDIF", A, "Dnipro;01\nKyiv;02\n", "Dnipro\t01\t\t\t\t\t\t\nKyiv\t02\t\t\t\t\t\t\n",
         "", ""},
        {"a cell beginning with '<' below the first line", A, "Dupont;01\n<b@x.fr>;02\n",
         "Dupont\t01\t\t\t\t\t\t\n<b@x.fr>\t02\t\t\t\t\t\t\n", "", ""},
        {"a card without BEGIN is read as a card, not a table", A, "VERSION:2.1\nFN:a\nEND:VCARD\n", "",
         "VCardOutsideCard@1:VERSION / NothingUsable@0", ""},
        {"LDIF: a directory's contact", A, "dn: cn=b\nobjectClass: top\nobjectClass: contact\ncn: b\n",
         "b\t\t\t\t\t\t\t\n", "", ""},
        {"an AGENT whose value is BEGIN:VCARD alone", V,
         "BEGIN:VCARD\nFN:a\nAGENT:BEGIN:VCARD\nFN:b\nEND:VCARD\nTEL:1\nEND:VCARD\n", "a\t\t1\t\t\t\t\t\n", "",
         "AGENT=1"},
        {"base64 going on to its padding", V,
         "BEGIN:VCARD\nPHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\nSkZJRgA=\n\nFN:a\nEND:VCARD\n", "a\t\t\t\t\t\t\t\n",
         "", "PHOTO=1"},
        {"the next card's charset is not this one's", A,
         "BEGIN:VCARD\nFN:Lef\xE8vre\nEND:VCARD\nBEGIN:VCARD\nN;CHARSET=SHIFT_JIS:\x8ER\x93" "c\nEND:VCARD\n",
         "Lefèvre\t\t\t\t\t\t\t\n山田\t\t\t\t\t\t\t\n", "", ""},
        {"an iCalendar under a line of text", A,
         "Agenda exporté\nBEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nSUMMARY:a\nEND:VEVENT\nEND:VCALENDAR\n", "",
         " / NotAnAddressBook@0:ICALENDAR", ""},
        {"XML under a comment", A, "# export\n<?xml version=\"1.0\"?>\n<contacts><c n=\"a;b\"/></contacts>\n", "",
         " / NotAnAddressBook@0:XML", ""},
        {"an AGENT's card holding its own AGENT", V,
         "BEGIN:VCARD\nFN:a\nAGENT:\nBEGIN:VCARD\nFN:b\nAGENT:\nBEGIN:VCARD\nFN:c\nEND:VCARD\nTEL:2\nEND:VCARD\n"
         "TEL:1\nEND:VCARD\n",
         "a\t\t1\t\t\t\t\t\n", "", "AGENT=1"},
        {"a value ending in an escaped backslash does not go on", V,
         "BEGIN:VCARD\nFN:a\nNOTE:c:\\\\\nsuite\nEND:VCARD\n", "a\t\t\t\t\t\t\tc:\\\\\n", "VCardLineWithoutColon@4",
         ""},
        {"a first row with a ':' is a row", A, "Dupont;Jean;note:x\nMartin;Paul;01\n",
         "Dupont\tJean\tnote:x\t\t\t\t\t\nMartin\tPaul\t01\t\t\t\t\t\n", "", ""},
        {"French: Courriel", A, "Nom;Courriel\nDupont;d@x.fr\n", "Dupont\t\t\t\t\td@x.fr\t\t\n", "", ""},
        {"LDIF: its VERSION written in capitals", A, "VERSION: 1\n\ndn: cn=a\ncn: a\nmail: m@x.fr\n",
         "a\t\t\t\t\tm@x.fr\t\t\n", "", ""},
        {"quoted-printable stops at a comment line", V,
         "BEGIN:VCARD\nFN:a\nNOTE;ENCODING=QUOTED-PRINTABLE:x\n# c\nTEL:1\nEND:VCARD\n", "a\t\t1\t\t\t\t\tx\n", "", ""},
        {"an AGENT with a value, then a card without END before it", V,
         "BEGIN:VCARD\nFN:a\nAGENT:CID:x\nBEGIN:VCARD\nFN:b\nEND:VCARD\n", "b\t\t\t\t\t\t\t\n", "VCardUnclosed@1", ""},
        {"a first row half a name, half a web address", A, "Nom;http://x.fr\n", "Nom\thttp://x.fr\t\t\t\t\t\t\n",
         "", ""},
        {"LDIF: a line with no name before its colon spoils the entry", A, "dn: cn=a\ncn: a\n: x\nmail: m@x.fr\n", "",
         "LdifLineWithoutColon@3 / NothingUsable@0", ""},
        {"LDIF: an entry left out is named by its class, not by top", A,
         "dn: o=X\nobjectClass: organization\nobjectClass: top\no: X\n\ndn: cn=a\ncn: a\nmail: m@x.fr\n",
         "a\t\t\t\t\tm@x.fr\t\t\n", "", "organization=1"},
    });
    std::string preamble(63 * 1024, '\n');
    preamble.append(kCardA);
    EXPECT_EQ(importContacts(preamble).records.size(), 1u) << "a card within the first 64 kB";
    std::string mixed = "Nom;Tel\nLefèvre;1\n";
    for (int i = 0; i < 1001; ++i) {
        mixed.append("H\xE9l\xE8ne;2\n");
    }
    EXPECT_EQ(importContacts(mixed).windows1252Lines.size(), 1000u) << "the lines in Windows-1252, the first thousand";
}
