// SPDX-License-Identifier: MIT
#include "storage/core/profile_location.h"
#include "tests/storage_core/profile_fixture.h"

#include <gtest/gtest.h>

namespace dw::test {
namespace {

class ProfileLocation : public ProfileTest {};

struct LocationCase {
    const char* name;
    std::optional<std::string> xdg;  // "@" stands for the test's root directory
    std::optional<std::string> home;
    const char* fileName;
    std::string expected;
};

TEST_F(ProfileLocation, BareNamesGoToTheUserConfigDirectory)
{
    const LocationCase cases[] = {
        {"xdg absolute", "@/cfg", "@/home", "davov", "@/cfg/davov"},
        {"xdg relative is ignored", "rel/cfg", "@/home", "davov", "@/home/.config/davov"},
        {"xdg empty", "", "@/home", "davov", "@/home/.config/davov"},
        {"xdg unset", std::nullopt, "@/home", "davov", "@/home/.config/davov"},
        {"name kept unchanged", "@/cfg", "@/home", "Davov.INI", "@/cfg/Davov.INI"},
        {"absolute name used as is", "@/cfg", "@/home", "/srv/x/davov", "/srv/x/davov"},
        {"empty name", "@/cfg", "@/home", "", ""},
    };
    const auto expand = [this](std::string text) {
        if (!text.empty() && text[0] == '@')
            text = Root().string() + text.substr(1);
        return text;
    };
    for (const auto& c : cases) {
        SetVariable("XDG_CONFIG_HOME", c.xdg ? std::optional(expand(*c.xdg)) : std::nullopt);
        SetVariable("HOME", c.home ? std::optional(expand(*c.home)) : std::nullopt);
        EXPECT_EQ(ProfilePath(c.fileName).string(), expand(c.expected)) << c.name;
    }
    EXPECT_EQ(ProfilePath("sub/davov"), std::filesystem::current_path() / "sub/davov");
}

}  // namespace
}  // namespace dw::test
