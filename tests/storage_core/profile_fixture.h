// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/profile_sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dw::test {

// Every profile test runs against its own temporary directory: XDG_CONFIG_HOME
// and HOME point into it, so the user's real profile is never touched.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { m_sandbox.emplace(ProfileSandbox::Home::Own); }
    void TearDown() override { m_sandbox.reset(); }

    std::filesystem::path Root() const { return m_sandbox->Root(); }
    std::filesystem::path Config() const { return m_sandbox->Config(); }
    std::filesystem::path Profile() const { return m_sandbox->Profile(); }

    // Names in a directory other than the expected file: leftovers of a write.
    static std::vector<std::string> OtherEntries(const std::filesystem::path& directory, const std::string& keep);

private:
    std::optional<ProfileSandbox> m_sandbox;
};

}  // namespace dw::test
