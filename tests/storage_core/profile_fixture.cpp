#include "tests/storage_core/profile_fixture.h"

#include <stdlib.h>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace dw::test {

namespace {

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

void ProfileTest::SetUp()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dw-profile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    std::filesystem::create_directories(Config());
    std::filesystem::create_directories(m_root / "home");
    m_savedXdg = Variable("XDG_CONFIG_HOME");
    m_savedHome = Variable("HOME");
    SetVariable("XDG_CONFIG_HOME", Config().string());
    SetVariable("HOME", (m_root / "home").string());
}

void ProfileTest::TearDown()
{
    SetVariable("XDG_CONFIG_HOME", m_savedXdg);
    SetVariable("HOME", m_savedHome);
    std::error_code error;
    std::filesystem::permissions(m_root, std::filesystem::perms::owner_all, error);
    std::filesystem::permissions(Config(), std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(m_root, error);
}

void ProfileTest::SetVariable(const char* name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

void ProfileTest::WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ProfileTest::ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ProfileTest::OtherEntries(const std::filesystem::path& directory, const std::string& keep)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error))
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace dw::test
