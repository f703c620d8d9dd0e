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

// One folder per process, removed at exit. With pointTmpDirHere the program's
// own temporary files (spilled page stores) land in it too.
inline const std::filesystem::path& ScratchDirectory(const char* name, bool pointTmpDirHere = false)
{
    static const std::filesystem::path directory = [name, pointTmpDirHere] {
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / (std::string("dw-fuzz-") + name + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        if (pointTmpDirHere)
            ::setenv("TMPDIR", pattern.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchDirectory(""), ec);
        });
        return std::filesystem::path(pattern);
    }();
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
