// The Windows version's own: how it reads locale names, and that it follows
// the user's Windows locale, not the POSIX locale variables.

#include "platform/NameCollator.h"

#include <cstdlib>

#include <gtest/gtest.h>

using fichelia::NameCollator;

TEST(NameCollatorWin, takesTheWindowsNameOfALocale) {
    const struct {
        const char* name;
        const char* localeId;
    } cases[] = {
        {"fr_FR.UTF-8", "fr-FR"},
        {"fr-FR", "fr-FR"},
        {"de_DE@euro", "de-DE"},
        {"C", ""},
        {"C.UTF-8", ""},
        {"POSIX", ""},
        {"", ""},
        {"xx_YY", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameCollator(c.name).localeId(), c.localeId) << c.name;
    }
}

TEST(NameCollatorWin, followsTheUsersLocaleNotThePosixVariables) {
    const std::string user = NameCollator::fromEnvironment()->localeId();
    EXPECT_FALSE(user.empty());
    _putenv_s("LC_ALL", "sv_SE.UTF-8");
    EXPECT_EQ(NameCollator::fromEnvironment()->localeId(), user);
    EXPECT_EQ(NameCollator::fromEnvironment()->compare("dupont", "Dupont"), 0);
}
