#include "platform/NameCollator.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

using fichelia::NameCollator;

// Under C, C.UTF-8 and French alike, with ICU or Windows, names sort as a
// French reader expects: case ignored, accented letters with their base letter.
TEST(NameCollator, sortsAccentsWithTheirBaseLetterAndIgnoresCase) {
    for (const char* locale : {"C", "C.UTF-8", "POSIX", "fr_FR.UTF-8"}) {
        const NameCollator collator(locale);
        std::vector<std::string> names = {"Zoé",   "émile", "Oscar", "Eric",   "Œdipe",  "zacharie", "Élodie",
                                          "edgar", "Ève",   "Odile", "Durand", "Dupont", "arnaud"};
        std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
            return collator.sortKey(a) < collator.sortKey(b);
        });
        const std::vector<std::string> expected = {"arnaud", "Dupont", "Durand", "edgar", "Élodie",   "émile", "Eric",
                                                   "Ève",    "Odile",  "Œdipe",  "Oscar", "zacharie", "Zoé"};
        EXPECT_EQ(names, expected) << locale;
        // A copy, for another thread, makes the same keys.
        const auto copy = collator.copy();
        EXPECT_EQ(copy->localeId(), collator.localeId());
        for (const std::string& name : names) {
            EXPECT_EQ(copy->sortKey(name), collator.sortKey(name)) << locale << " " << name;
        }

        EXPECT_EQ(collator.compare("dupont", "DUPONT"), 0) << locale;
        EXPECT_EQ(collator.sortKey("dupont"), collator.sortKey("Dupont")) << locale;
        EXPECT_LT(collator.compare("Dupont", "Durand"), 0) << locale;
        EXPECT_LT(collator.compare("", " "), 0) << locale;
        // Accents still tell names apart, after the base letters.
        EXPECT_NE(collator.compare("Emile", "Émile"), 0) << locale;
    }
}

TEST(NameCollator, keysOrderAsCompareDoes) {
    const NameCollator collator("");
    const std::vector<std::string> names = {"",  " ", "a",  "A", "à",    "ab", "Æ", "b",
                                            "Ł", "l", "中", "😀", "\xFF", "1",  "-"};
    for (const auto& a : names) {
        for (const auto& b : names) {
            const int byCompare = collator.compare(a, b);
            const int byKey = collator.sortKey(a).compare(collator.sortKey(b));
            EXPECT_EQ(byCompare < 0, byKey < 0) << a << " / " << b;
            EXPECT_EQ(byCompare == 0, byKey == 0) << a << " / " << b;
        }
    }
}
