// SPDX-License-Identifier: MIT
#include "storage/core/profile_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace dw {

namespace {

std::filesystem::path AbsoluteFromEnvironment(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/')
        return {};
    return std::filesystem::path(value);
}

std::filesystem::path HomeFromPasswordDatabase()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return {};
    return std::filesystem::path(found->pw_dir);
}

}  // namespace

std::filesystem::path ProfileDirectory()
{
    if (auto config = AbsoluteFromEnvironment("XDG_CONFIG_HOME"); !config.empty())
        return config;
    auto home = AbsoluteFromEnvironment("HOME");
    if (home.empty())
        home = HomeFromPasswordDatabase();
    if (home.empty())
        return {};
    return home / ".config";
}

bool ProfileNameHasDirectory(std::string_view fileName)
{
    return fileName.find('/') != fileName.npos;
}

std::filesystem::path ProfilePath(std::string_view fileName)
{
    if (fileName.empty())
        return {};
    if (ProfileNameHasDirectory(fileName)) {
        std::error_code error;
        auto absolute = std::filesystem::absolute(std::filesystem::path(fileName), error);
        return error ? std::filesystem::path(fileName) : absolute;
    }
    const auto directory = ProfileDirectory();
    if (directory.empty())
        return {};
    return directory / std::filesystem::path(fileName);
}

}  // namespace dw
