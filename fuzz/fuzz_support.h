// SPDX-License-Identifier: MIT
#pragma once

// What the file-reading fuzz targets share: a loud check and a scratch folder
// on a memory file system where the bytes under test are written as a file.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace dw::fuzz {

// A broken property is a finding: print it and abort so the fuzzer keeps the input.
inline void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fputs(what, stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
}

// The folders of the scratch area, named after the process that made them
// (dw-fuzz-<pid>-<name>-XXXXXX), so that a later run can tell which are left.
inline std::filesystem::path ScratchBase()
{
    return std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                     : std::filesystem::temp_directory_path();
}

// A fuzzer stopped by a timeout, a finding or a signal ends without running
// exit handlers, so its folder stays behind: every target, as it starts,
// removes those of processes that are gone.
inline void RemoveLeftScratchDirectories()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ScratchBase(), ec)) {
        const std::string name = entry.path().filename().string();
        constexpr std::string_view prefix = "dw-fuzz-";
        if (name.rfind(prefix, 0) != 0)
            continue;
        const std::size_t end = name.find('-', prefix.size());
        const std::string pid = name.substr(prefix.size(), end == std::string::npos ? end : end - prefix.size());
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ignored;
        if (!std::filesystem::exists("/proc/" + pid, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
    }
}

inline const bool kLeftScratchRemoved = (RemoveLeftScratchDirectories(), true);

// Removes its folder when the process exits normally.
struct ScratchRemover {
    std::filesystem::path Directory;
    ~ScratchRemover()
    {
        std::error_code ec;
        std::filesystem::remove_all(Directory, ec);
    }
};

// One folder per process, removed at a normal exit. With pointTmpDirHere the
// program's own temporary files (spilled page stores) land in it too.
inline const std::filesystem::path& ScratchDirectory(const char* name, bool pointTmpDirHere = false)
{
    static const std::filesystem::path directory = [name, pointTmpDirHere] {
        std::string pattern =
            (ScratchBase() / ("dw-fuzz-" + std::to_string(::getpid()) + "-" + name + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        if (pointTmpDirHere)
            ::setenv("TMPDIR", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    // Made after the path, so destroyed before it: an exit handler that
    // asked for the path again would find it already gone.
    static const ScratchRemover remover{directory};
    return directory;
}

inline void PutFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string GetFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace dw::fuzz
