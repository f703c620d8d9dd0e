// SPDX-License-Identifier: MIT
#include "tests/support/profile_sandbox.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <stdlib.h>

namespace dw::test {

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetVariable(const char* name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ProfileSandbox::ProfileSandbox(Home home) : m_home(home)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dw-profile-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("no temporary profile directory could be made");
    m_root = pattern;
    std::filesystem::create_directories(Config());
    m_savedXdg = Variable("XDG_CONFIG_HOME");
    SetVariable("XDG_CONFIG_HOME", Config().string());
    // The journal lives among the user's data: a test's calculations go to
    // a journal of its own.
    m_savedData = Variable("XDG_DATA_HOME");
    SetVariable("XDG_DATA_HOME", Data().string());
    if (m_home == Home::Own) {
        std::filesystem::create_directories(m_root / "home");
        m_savedHome = Variable("HOME");
        SetVariable("HOME", (m_root / "home").string());
    }
}

ProfileSandbox::~ProfileSandbox()
{
    SetVariable("XDG_CONFIG_HOME", m_savedXdg);
    SetVariable("XDG_DATA_HOME", m_savedData);
    if (m_home == Home::Own)
        SetVariable("HOME", m_savedHome);
    // Tests take rights away to make writes fail; give them back to clean up.
    std::error_code error;
    std::filesystem::permissions(m_root, std::filesystem::perms::owner_all, error);
    std::filesystem::permissions(Config(), std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(m_root, error);
}

}  // namespace dw::test
