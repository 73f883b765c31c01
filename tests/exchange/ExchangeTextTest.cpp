// The small pieces every importer shares: the site check, input encodings,
// base64, folded column names, French addresses, format detection.

#include <gtest/gtest.h>

#include "exchange/Base64.h"
#include "exchange/ContactImport.h"
#include "exchange/FoldedName.h"
#include "exchange/InputText.h"
#include "exchange/PostalAddress.h"
#include "exchange/SiteAddress.h"

using namespace fichelia::exchange;

TEST(SiteAddress, schemesThatRunCodeAreRefusedHoweverTheyAreWritten) {
    for (const char* refused : {"javascript:alert(1)", "JavaScript:alert(1)", "  javascript:x", "\x01\x1Fjavascript:x",
                                "java\tscript:x", "jav\nascript:x", "vbscript:msgbox(1)", "VBScript:x",
                                "data:text/html;base64,PHNjcmlwdD4=", " DATA:text/html,x"}) {
        EXPECT_TRUE(isScriptSiteAddress(refused)) << refused;
    }
    for (const char* kept : {"http://x.fr/", "https://x.fr/javascript:", "ftp://x.fr", "mailto:a@x.fr",
                             "www.exemple.fr", "", "javascript", "exemple.fr/data:x", "java script:x",
                             "\xC2\xA0javascript:x"}) {
        EXPECT_FALSE(isScriptSiteAddress(kept)) << kept;
    }
}

TEST(InputText, byteOrderMarkDecidesElseUtf8ElseWindows1252) {
    const struct {
        std::string bytes;
        std::string text;
        InputEncoding encoding;
    } cases[] = {
        {"Lef\xC3\xA8vre", "Lefèvre", InputEncoding::Utf8},
        {"\xEF\xBB\xBFLef\xC3\xA8vre", "Lefèvre", InputEncoding::Utf8WithBom},
        {"\xEF\xBB\xBFLef\xE8vre", "Lefèvre", InputEncoding::Utf8WithBom}, // marked UTF-8 but is not
        {std::string("L\0\xE8\0v\0", 6), "Lèv", InputEncoding::Utf16Le},   // no mark: the NULs tell
        {std::string("\0L\0\xE8\0v", 6), "Lèv", InputEncoding::Utf16Be},
        {"Lef\xE8vre \x80", "Lefèvre €", InputEncoding::Windows1252},
        {std::string("\xFF\xFEL\0\xE8\0=\xD8\0\xDE", 10), "Lè😀", InputEncoding::Utf16Le},
        {std::string("\xFE\xFF\0L\0\xE8\xD8=", 8), "Lè\uFFFD", InputEncoding::Utf16Be},
    };
    for (const auto& c : cases) {
        const InputText input = InputText::decode(c.bytes);
        EXPECT_EQ(input.text(), c.text);
        EXPECT_EQ(input.encoding(), c.encoding);
    }
    // A high surrogate and one byte at the end: no pair is read past the end.
    const std::string cut("\xFE\xFF\0L\xD8\0\xDC", 7);
    EXPECT_EQ(InputText::decode(cut).text(), "L\uFFFD\uFFFD");
}

TEST(Base64, decodesAndRefusesWhatIsNotBase64) {
    EXPECT_EQ(decodeBase64("SMOpbMOobmU="), "Hélène");
    EXPECT_EQ(decodeBase64("SMOp\r\n bMOo bmU"), "Hélène");
    EXPECT_EQ(decodeBase64(""), "");
    EXPECT_EQ(decodeBase64("SMOpbMOobmU=="), "Hélène"); // surplus padding, as phones write it
    EXPECT_EQ(decodeBase64("SMOpbMOobmU"), "Hélène");
    for (const char* bad : {"SMOp!", "S", "SMOpbMOobmU=x", "SMOpb"}) {
        EXPECT_FALSE(decodeBase64(bad)) << bad;
    }
}

TEST(FoldedName, letterCaseAccentsAndPunctuationAreFolded) {
    EXPECT_EQ(foldName("Tél. mobile"), "tel mobile");
    EXPECT_EQ(foldName("  E-MAIL 2 Address "), "e mail 2 address");
    EXPECT_EQ(foldName("Pays/Région (bureau)"), "pays region bureau");
    EXPECT_EQ(foldName("Nom d’utilisateur"), "nom d utilisateur");
}

TEST(PostalAddress, isWrittenAsFrenchAddressesAre) {
    EXPECT_EQ(formatFrenchAddress({{"", "Bât. B", "12 rue de la Paix"}, "75002", "Paris", "", "France"}),
              "Bât. B, 12 rue de la Paix, 75002 Paris, France");
    EXPECT_EQ(formatFrenchAddress({{}, "", "Lyon", "Rhône", ""}), "Lyon, Rhône");
    EXPECT_EQ(formatFrenchAddress({{}, "69002", "", "", ""}), "69002");
    EXPECT_EQ(formatFrenchAddress({}), "");
}

TEST(ContactFormat, isFoundFromTheContent) {
    const struct {
        std::string bytes;
        ContactFormat format;
    } cases[] = {
        {"\r\n begin:vcard\r\nVERSION:3.0", ContactFormat::VCard},
        {"\xEF\xBB\xBF" "BEGIN:VCARD", ContactFormat::VCard},
        {"# carnet\nversion: 1\ndn: cn=x", ContactFormat::Ldif},
        {"dn: cn=x", ContactFormat::Ldif},
        {"version: 1\ncn: x\n", ContactFormat::Csv}, // no dn: no LDIF
        {"VERSION:3.0\nFN:a\nEND:VCARD\n", ContactFormat::VCard},
        {std::string("\xFF\xFE" "B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0", 24), ContactFormat::VCard},
        {std::string("a\0\t\0\t\0\t\0\t\0\t\0\t\0\t\0\n\0", 18), ContactFormat::Csv}, // TSV is UTF-8
        {"a\t\t\t\t\t\t\t\nb", ContactFormat::Tsv},
        {"\"a\"\t\t\t\t\t\t\t", ContactFormat::Tsv},
        {"Nom\tAdresse\tTel\tGSM\tFax\tMail\tSite\tCommentaire\n", ContactFormat::Csv},
        {"Lef\xE8vre\t\t\t\t\t\t\t\n", ContactFormat::Csv}, // Windows-1252: an Excel export
        {"a;b;c\n", ContactFormat::Csv},
        {"", ContactFormat::Csv},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detectContactFormat(c.bytes), c.format) << c.bytes;
    }
    EXPECT_EQ(contactFormatNamed("vcard"), ContactFormat::VCard);
    EXPECT_FALSE(contactFormatNamed("vcf"));
}
