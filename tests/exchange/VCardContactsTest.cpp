#include <gtest/gtest.h>

#include "Files.h"
#include "exchange/VCardContacts.h"

using fichelia::exchange::appendVCard;
using fichelia::exchange::readVCardContacts;

TEST(VCardContacts, malformedCardsAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        long line;
        const char* words;
    } cases[] = {
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\nFN:b\n", 4, "sans END:VCARD"},
        {"BEGIN:VCARD\nFN:a\nBEGIN:VCARD\nFN:b\nEND:VCARD\n", 1, "sans END:VCARD"},
        {"BEGIN:VCARD\nFN:a\nNOTE sans deux-points\nEND:VCARD\n", 3, "« : »"},
        {"FN:a\n", 1, "hors d'une carte"},
        {"BEGIN:VCARD\nEND:VCARD\nEND:VCARD\n", 3, "sans BEGIN:VCARD"},
        {"BEGIN:VCARD\nPHOTO;ENCODING=b:iVBO*w0K\nEND:VCARD\n", 2, "base64"},
        {"BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:caf=E\nEND:VCARD\n", 2, "QUOTED-PRINTABLE"},
        {"BEGIN:VCARD\nFN;CHARSET=X-NULLE-PART:a\nEND:VCARD\n", 2, "X-NULLE-PART"},
    };
    for (const auto& c : cases) {
        const auto result = readVCardContacts(c.text);
        ASSERT_TRUE(result.error) << c.text;
        EXPECT_EQ(result.error->line, c.line) << c.text;
        EXPECT_NE(result.error->message.find(c.words), std::string::npos) << result.error->message;
    }
}

TEST(VCardContacts, nameComesFromFnElseNElseOrg) {
    const auto result = readVCardContacts("BEGIN:VCARD\nN:Durand;Anne;Marie;Mme;\nORG:Durand SA\nEND:VCARD\n"
                                          "BEGIN:VCARD\nORG:Garage\\, Central;Atelier\nEND:VCARD\n"
                                          "BEGIN:VCARD\nFN:\nN:;;;;\nEND:VCARD\n");
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.contacts.size(), 3u);
    EXPECT_EQ(result.contacts[0].nom, "Anne Marie Durand");
    EXPECT_EQ(result.contacts[1].nom, "Garage, Central, Atelier");
    EXPECT_EQ(result.contacts[2], annuaire());
}

TEST(VCardContacts, writtenCardsFoldAt75BytesAndReadBack) {
    std::string accents;
    for (int i = 0; i < 30; ++i) {
        accents += "é"; // two bytes each: folds must fall between them
    }
    const annuaire awkward("Élodie \"Lou\" Marchand; \\ Cie", std::string(70, 'x') + "é, Paris\nFrance", "01", "06",
                           "02", "a@x.fr", "https://x.fr/?a=1,2;3", std::string(41, 'a') + accents + "😀 fin");
    std::string text;
    appendVCard(text, awkward);
    appendVCard(text, annuaire("Seul", "", "", "", "", "", "", ""));
    std::size_t lineStart = 0;
    for (std::size_t crlf = text.find("\r\n"); crlf != std::string::npos; crlf = text.find("\r\n", lineStart)) {
        EXPECT_LE(crlf - lineStart, 75u) << text.substr(lineStart, crlf - lineStart);
        lineStart = crlf + 2;
    }
    EXPECT_NE(text.find("\r\n "), std::string::npos);
    EXPECT_NE(text.find("TEL;TYPE=cell:06\r\n"), std::string::npos);
    const std::string lastCard = "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Seul\r\nN:Seul;;;;\r\nEND:VCARD\r\n";
    EXPECT_EQ(text.substr(text.size() - lastCard.size()), lastCard);
    const auto result = readVCardContacts(text);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_EQ(result.contacts, (std::vector<annuaire>{awkward, annuaire("Seul", "", "", "", "", "", "", "")}));
    EXPECT_TRUE(result.leftOut.empty());
}
