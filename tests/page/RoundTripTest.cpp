#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestRecords.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"
#include "text/Windows1252.h"

namespace {

std::vector<annuaire> readBack(const std::string& page) {
    fichelia::MemoryByteSource source(page);
    std::vector<annuaire> records;
    EXPECT_TRUE(fichelia::ReadDirectoryPage(source, annuaire("x", "x", "x", "x", "x", "x", "x", "x"),
                                            [&](annuaire&& record) { records.push_back(std::move(record)); }));
    return records;
}

void expectRoundTrip(const std::vector<annuaire>& contacts) {
    auto list = fichelia::testing::listOf(contacts);
    const std::vector<annuaire> records = readBack(fichelia::BuildDirectoryPage(*list));
    ASSERT_EQ(records.size(), static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        ASSERT_EQ(records[static_cast<std::size_t>(i)], list->recordAt(i)) << "entry " << i;
    }
}

} // namespace

TEST(RoundTrip, writtenPagesReadBackFieldForField) {
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        std::vector<annuaire> contacts;
        const int size = round % 13;
        for (int i = 0; i < size; ++i) {
            contacts.push_back(fichelia::testing::awkwardContact(random));
        }
        expectRoundTrip(contacts);
    }
}

TEST(RoundTrip, longAndEmptyFieldsSurvive) {
    std::mt19937 random(5);
    const std::string longText = fichelia::testing::awkwardText(random, 40) + std::string(5000, 'L') + "é\"\\😀";
    expectRoundTrip({annuaire(), annuaire(longText, longText, "", longText, "", longText, longText, longText),
                     annuaire("", "", "", "", "", "", "", std::string(5000, '"'))});
}

TEST(RoundTrip, everyCodePointSurvives) {
    std::string all;
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        fichelia::text::appendUtf8(all, cp);
    }
    expectRoundTrip({annuaire(all, "", "", "", "", "", all, all)});
}
