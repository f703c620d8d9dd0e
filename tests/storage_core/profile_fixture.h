#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace dw::test {

// Every profile test runs against its own temporary directory: XDG_CONFIG_HOME
// and HOME point into it, so the user's real profile is never touched.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Root() const { return m_root; }
    std::filesystem::path Config() const { return m_root / "config"; }
    std::filesystem::path Profile() const { return Config() / "davov"; }

    static void SetVariable(const char* name, const std::optional<std::string>& value);
    static void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
    static std::string ReadBytes(const std::filesystem::path& path);
    // Names in a directory other than the expected file: leftovers of a write.
    static std::vector<std::string> OtherEntries(const std::filesystem::path& directory, const std::string& keep);

private:
    std::filesystem::path m_root;
    std::optional<std::string> m_savedXdg;
    std::optional<std::string> m_savedHome;
};

}  // namespace dw::test
