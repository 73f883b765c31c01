#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/InputText.h"
#include "exchange/VCardContacts.h"

using fichelia::Contact;
using fichelia::exchange::appendVCard;
using fichelia::exchange::readVCardContacts;

TEST(VCardContacts, nameComesFromFnElseNElseOrg) {
    const auto result = readVCardContacts("BEGIN:VCARD\nN:Durand;Anne;Marie;Mme;\nORG:Durand SA\nEND:VCARD\n"
                                          "BEGIN:VCARD\nORG:Garage\\, Central;Atelier\nEND:VCARD\n"
                                          "BEGIN:VCARD\nFN:\nN:;;;;\nEND:VCARD\n");
    EXPECT_EQ(fichelia::testing::problemsSummary(result), "NoName@8"); // nothing names the last card
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0].name, "Anne Marie Durand");
    EXPECT_EQ(result.records[1].name, "Garage, Central, Atelier");
}

TEST(VCardContacts, valuesComeOutAsUtf8WhateverTheirCharset) {
    // A Windows-1252 file: decoded whole, so its CHARSET says nothing more;
    // an encoded value is decoded from its own CHARSET (ISO-8859-15 has € at 0xA4).
    const auto input = fichelia::exchange::InputText::decode(
        "BEGIN:VCARD\nFN;CHARSET=ISO-8859-1:Lef\xE8vre\nNOTE;CHARSET=ISO-8859-15;QUOTED-PRINTABLE:=A4 5\nEND:VCARD\n");
    const auto result = readVCardContacts(input.text());
    ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.records[0].name, "Lefèvre");
    EXPECT_EQ(result.records[0].comment, "€ 5");
}

TEST(VCardContacts, writtenCardsFoldAt75BytesAndReadBack) {
    std::string accents;
    for (int i = 0; i < 30; ++i) {
        accents += "é"; // two bytes each: folds must fall between them
    }
    const Contact awkward("Élodie \"Lou\" Marchand; \\ Cie", std::string(70, 'x') + "é, Paris, France", "01", "06",
                          "02", "a@x.fr", "https://x.fr/?a=1,2;3", std::string(41, 'a') + accents + "😀\nfin");
    std::string text;
    appendVCard(text, awkward);
    appendVCard(text, Contact("Seul", "", "", "", "", "", "", ""));
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
    ASSERT_TRUE(result.whole()) << fichelia::testing::problemsSummary(result);
    EXPECT_EQ(result.records, (std::vector<Contact>{awkward, Contact("Seul", "", "", "", "", "", "", "")}));
    EXPECT_TRUE(result.leftOut.empty());
}
