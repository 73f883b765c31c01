#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestRecords.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"
#include "text/Windows1252.h"

using fichelia::Contact;

namespace {

std::vector<Contact> readBack(const std::string& page) {
    fichelia::MemoryByteSource source(page);
    std::vector<Contact> records;
    const auto read =
        fichelia::ReadDirectoryPage(source, [&](Contact&& record) { records.push_back(std::move(record)); });
    EXPECT_TRUE(read && read->isPage && read->damagedLines == 0);
    return records;
}

void expectRoundTrip(const std::vector<Contact>& contacts,
                     fichelia::PageBytes bytes = fichelia::PageBytes::Windows1252) {
    auto list = fichelia::testing::listOf(contacts);
    const std::string page = fichelia::BuildDirectoryPage(*list, fichelia::kPublisherAddress, bytes);
    if (bytes == fichelia::PageBytes::Ascii) {
        ASSERT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    }
    const std::vector<Contact> records = readBack(page);
    ASSERT_EQ(records.size(), static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        ASSERT_EQ(records[static_cast<std::size_t>(i)], list->recordAt(i)) << "entry " << i;
    }
}

} // namespace

TEST(RoundTrip, writtenPagesReadBackFieldForField) {
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        std::vector<Contact> contacts;
        const int size = round % 13;
        for (int i = 0; i < size; ++i) {
            contacts.push_back(fichelia::testing::awkwardContact(random));
        }
        expectRoundTrip(contacts);
        expectRoundTrip(contacts, fichelia::PageBytes::Ascii);
    }
}

TEST(RoundTrip, longAndEmptyFieldsSurvive) {
    std::mt19937 random(5);
    const std::string longText = fichelia::testing::awkwardText(random, 40) + std::string(5000, 'L') + "é\"\\😀";
    expectRoundTrip({Contact(), Contact(longText, longText, "", longText, "", longText, longText, longText),
                     Contact("", "", "", "", "", "", "", std::string(5000, '"'))});
}

TEST(RoundTrip, everyCodePointSurvives) {
    std::string all;
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        fichelia::text::appendUtf8(all, cp);
    }
    expectRoundTrip({Contact(all, "", "", "", "", "", all, all)});
    expectRoundTrip({Contact(all, "", "", "", "", "", all, all)}, fichelia::PageBytes::Ascii);
}
