#include "ScopedLocaleEnvironment.h"

#include "os/Locale.h"

#include <gtest/gtest.h>

namespace
{

TEST(SystemLanguage, FirstNonEmptyLocaleVariableDecides)
{
    const struct
    {
        const char* values[3];
        bool german;
    } cases[] = {
        {{nullptr, nullptr, "de_DE.UTF-8"}, true},
        {{nullptr, nullptr, "de_CH@euro"}, true},
        {{nullptr, nullptr, "de"}, true},
        {{nullptr, nullptr, "dea_XX"}, false},
        {{nullptr, nullptr, "en_US"}, false},
        {{nullptr, nullptr, nullptr}, false},
        {{"C", nullptr, "de_DE"}, false},
        {{"", "de_AT", "en_GB"}, true},
        {{"", "", "de_LU"}, true},
        {{nullptr, "fr_FR", "de_DE"}, false},
    };
    for (const auto& c : cases)
    {
        CScopedLocaleEnvironment environment(c.values);
        EXPECT_EQ(os::IsSystemLanguageGerman(), c.german) << (c.values[2] ? c.values[2] : "-");
    }
}

} // namespace
