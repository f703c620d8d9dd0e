// SPDX-License-Identifier: MIT
#pragma once

// A profile directory of the test's own: while it lives, XDG_CONFIG_HOME,
// XDG_DATA_HOME (and, if asked, HOME) point into a fresh temporary directory, so no test
// reads or writes the user's real profile or another test's.

#include "tests/support/file_bytes.h"

#include <filesystem>
#include <optional>
#include <string>

namespace dw::test {

class ProfileSandbox {
public:
    enum class Home { Kept, Own };

    explicit ProfileSandbox(Home home = Home::Kept);
    ~ProfileSandbox();
    ProfileSandbox(const ProfileSandbox&) = delete;
    ProfileSandbox& operator=(const ProfileSandbox&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path Config() const { return m_root / "config"; }
    std::filesystem::path Profile() const { return Config() / "davov"; }
    // XDG_DATA_HOME, where the journal's folder is made.
    std::filesystem::path Data() const { return m_root / "data"; }
    std::filesystem::path JournalFile() const { return Data() / "drillweight" / "journal.sqlite"; }

private:
    std::filesystem::path m_root;
    std::optional<std::string> m_savedXdg;
    std::optional<std::string> m_savedData;
    std::optional<std::string> m_savedHome;
    Home m_home;
};

std::optional<std::string> Variable(const char* name);
// Sets the variable, or removes it for none.
void SetVariable(const char* name, const std::optional<std::string>& value);

}  // namespace dw::test
