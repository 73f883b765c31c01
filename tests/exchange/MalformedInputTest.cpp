// Malformed input of every format is refused whole, with the line to look at.

#include <gtest/gtest.h>

#include "exchange/ContactImport.h"

using fichelia::exchange::ContactFormat;
using fichelia::exchange::importContacts;

TEST(MalformedInput, isRefusedWithItsLineAndWhatIsWrong) {
    const struct {
        ContactFormat format;
        const char* text;
        long line;
        const char* words;
    } cases[] = {
        {ContactFormat::Tsv, "a\t\t\t\t\t\t\t\nb\n", 2, "1 champ(s) au lieu de 8"},
        {ContactFormat::Csv, "Nom;Mail\nDupont;d@x.fr\n\"Martin;m@x.fr\nDurand;x\n", 3, "jamais refermé"},
        {ContactFormat::Csv, "Nom;Mail\n\"Dupont\" ;d@x.fr\n", 2, "guillemet mal placé"},
        {ContactFormat::Csv, "Dupont;\"d@\"x.fr\n", 1, "guillemet mal placé"},
        {ContactFormat::Csv, "a;b\n\n\n\"c;\"\"d\n", 4, "jamais refermé"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\nFN:b\n", 4, "sans END:VCARD"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nBEGIN:VCARD\nFN:b\nEND:VCARD\n", 1, "sans END:VCARD"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nNOTE sans deux-points\nEND:VCARD\n", 3, "« : »"},
        {ContactFormat::VCard, "FN:a\n", 1, "hors d'une carte"},
        {ContactFormat::VCard, "BEGIN:VCARD\nEND:VCARD\nEND:VCARD\n", 3, "sans BEGIN:VCARD"},
        {ContactFormat::VCard, "BEGIN:VCARD\nPHOTO;ENCODING=b:iVBO*w0K\nEND:VCARD\n", 2, "base64"},
        {ContactFormat::VCard, "BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:caf=E\nEND:VCARD\n", 2, "QUOTED-PRINTABLE"},
        {ContactFormat::VCard, "BEGIN:VCARD\nNOTE;CHARSET=X-NULLE-PART;QUOTED-PRINTABLE:a\nEND:VCARD\n", 2,
         "X-NULLE-PART"},
        {ContactFormat::Ldif, "dn: cn=a\ncn: a\n\ndn: cn=b\ncn:: SMOp!\n", 5, "base64"},
        {ContactFormat::Ldif, " suite\ndn: cn=a\n", 1, "sans ligne"},
        {ContactFormat::Ldif, "dn: cn=a\ncn a\n", 2, "attribut"},
    };
    for (const auto& c : cases) {
        const auto result = importContacts(c.text, {c.format, 0});
        ASSERT_TRUE(result.error) << c.text;
        EXPECT_EQ(result.error->line, c.line) << c.text;
        EXPECT_NE(result.error->message.find(c.words), std::string::npos) << result.error->message;
    }
}
