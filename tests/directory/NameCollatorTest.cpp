#include "directory/NameCollator.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

using fichelia::NameCollator;

TEST(NameCollator, takesTheLanguageOfAPosixLocaleName) {
    EXPECT_EQ(NameCollator::icuLocaleFor("fr_FR.UTF-8"), "fr_FR");
    EXPECT_EQ(NameCollator::icuLocaleFor("fr_FR@euro"), "fr_FR");
    EXPECT_EQ(NameCollator::icuLocaleFor("de_DE.ISO-8859-1@euro"), "de_DE");
    EXPECT_EQ(NameCollator::icuLocaleFor("C"), "");
    EXPECT_EQ(NameCollator::icuLocaleFor("C.UTF-8"), "");
    EXPECT_EQ(NameCollator::icuLocaleFor("POSIX"), "");
    EXPECT_EQ(NameCollator::icuLocaleFor(""), "");
}

TEST(NameCollator, followsTheEnvironmentInPosixOrder) {
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_COLLATE", "sv_SE.UTF-8", 1);
    ::setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(NameCollator::fromEnvironment()->localeId(), "sv_SE");
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(NameCollator::fromEnvironment()->localeId(), "de_DE");
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_COLLATE", "", 1);
    ::setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(NameCollator::fromEnvironment()->localeId(), "");
}

// Under C, C.UTF-8 and French alike, names sort as a French reader expects:
// case ignored, accented letters with their base letter.
TEST(NameCollator, sortsAccentsWithTheirBaseLetterAndIgnoresCase) {
    for (const char* locale : {"C", "C.UTF-8", "POSIX", "fr_FR.UTF-8"}) {
        const NameCollator collator(locale);
        std::vector<std::string> names = {"Zoé", "émile", "Eric", "zacharie", "Élodie", "edgar", "Ève", "Arnaud"};
        std::sort(names.begin(), names.end(),
                  [&](const std::string& a, const std::string& b) { return collator.sortKey(a) < collator.sortKey(b); });
        const std::vector<std::string> expected = {"Arnaud", "edgar", "Élodie", "émile", "Eric", "Ève", "zacharie", "Zoé"};
        EXPECT_EQ(names, expected) << locale;

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
    const std::vector<std::string> names = {"", " ", "a", "A", "à", "ab", "Æ", "b", "Ł", "l", "中", "😀", "\xFF", "1", "-"};
    for (const auto& a : names) {
        for (const auto& b : names) {
            const int byCompare = collator.compare(a, b);
            const int byKey = collator.sortKey(a).compare(collator.sortKey(b));
            EXPECT_EQ(byCompare < 0, byKey < 0) << a << " / " << b;
            EXPECT_EQ(byCompare == 0, byKey == 0) << a << " / " << b;
        }
    }
}
