// The ICU version's own: how it reads POSIX locale names and variables.

#include "platform/NameCollator.h"

#include <cstdlib>

#include <gtest/gtest.h>

using fichelia::NameCollator;

TEST(NameCollatorIcu, takesTheLanguageOfAPosixLocaleName) {
    const struct {
        const char* name;
        const char* localeId;
    } cases[] = {
        {"fr_FR.UTF-8", "fr_FR"},
        {"fr_FR@euro", "fr_FR"},
        {"de_DE.ISO-8859-1@euro", "de_DE"},
        {"C", ""},
        {"C.UTF-8", ""},
        {"POSIX", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameCollator(c.name).localeId(), c.localeId) << c.name;
    }
}

TEST(NameCollatorIcu, followsTheEnvironmentInPosixOrder) {
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
