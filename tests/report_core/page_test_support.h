// SPDX-License-Identifier: MIT
#pragma once

#include <sys/stat.h>

// Shared by the page stream, page list, page store and compression tests:
// metafile-shaped pages, a private temporary directory, file helpers.

#include "report/core/compress.h"
#include "report/core/page_stream.h"
#include "tests/support/compressed_bytes.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <csignal>

namespace dw::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    b[at + 2] = static_cast<std::uint8_t>(v >> 16);
    b[at + 3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint32_t GetU32(const Bytes& b, std::size_t at)
{
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

inline void AppendU32(Bytes& b, std::uint32_t v)
{
    b.resize(b.size() + 4);
    PutU32(b, b.size() - 4, v);
}

// A page shaped like the ones the report writes: a metafile header, then
// text-out, move/line and select records with coordinates and UTF-16 text
// that repeat the way a report's labels do, then the end record. At least
// `approxSize` bytes; the header's total size matches.
inline Bytes MakeEmfPage(std::uint32_t seed, std::size_t approxSize = 2000)
{
    std::mt19937 random(seed);
    Bytes page;
    auto rec = [&](std::uint32_t type, std::uint32_t size) {
        AppendU32(page, type);
        AppendU32(page, size);
    };
    // Header record, 108 bytes.
    rec(1, 108);
    for (std::uint32_t v : {0u, 0u, 1122u, 1586u, 0u, 0u, 29700u, 42000u}) {
        AppendU32(page, v);
    }
    AppendU32(page, 0x464D4520);  // " EMF"
    AppendU32(page, 0x10000);
    AppendU32(page, 0);  // total size, set below
    AppendU32(page, 0);  // record count, set below
    AppendU32(page, 3);  // handles (16) + reserved (16)
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u, 0u, 0u, 0u, 320000u, 240000u}) {
        AppendU32(page, v);
    }
    std::uint32_t records = 1;
    static const char16_t* const kTexts[] = {u"ВЕС ТАЛЕВОЙ СИСТЕМЫ", u"1 234,56 т.", u"Ведущая труба", u"0,00 т.",
                                             u"Длина колонны",       u"2 500,00 м.", u"Дата"};
    while (page.size() + 20 < approxSize) {
        switch (random() % 4) {
            case 0: {
                const std::u16string text = kTexts[random() % 7];
                const auto chars = static_cast<std::uint32_t>(text.size());
                const std::uint32_t stringBytes = (chars * 2 + 3) / 4 * 4;
                const std::uint32_t size = 76 + stringBytes + chars * 4;
                const std::size_t at = page.size();
                rec(84, size);
                const std::uint32_t x = random() % 1100, y = random() % 1500;
                for (std::uint32_t v :
                     {x, y, x + 200, y + 16, 1u, 0u, 0u, x, y, chars, 76u, 0u, 0u, 0u, 0u, 0u, 76 + stringBytes}) {
                    AppendU32(page, v);
                }
                for (char16_t c : text) {
                    page.push_back(static_cast<std::uint8_t>(c));
                    page.push_back(static_cast<std::uint8_t>(c >> 8));
                }
                page.resize(at + 76 + stringBytes);
                for (std::uint32_t i = 0; i < chars; ++i) {
                    AppendU32(page, 7 + random() % 3);
                }
                break;
            }
            case 1:
                rec(27, 16);
                AppendU32(page, random() % 1100);
                AppendU32(page, random() % 1500);
                break;
            case 2:
                rec(54, 16);
                AppendU32(page, random() % 1100);
                AppendU32(page, random() % 1500);
                break;
            default:
                rec(37, 12);
                AppendU32(page, 1 + random() % 3);
                break;
        }
        ++records;
    }
    rec(14, 20);
    AppendU32(page, 0);
    AppendU32(page, 16);
    AppendU32(page, 20);
    ++records;
    PutU32(page, 48, static_cast<std::uint32_t>(page.size()));
    PutU32(page, 52, records);
    return page;
}

inline Bytes RandomBytes(std::uint32_t seed, std::size_t size)
{
    std::mt19937 random(seed);
    Bytes b(size);
    for (auto& x : b) {
        x = static_cast<std::uint8_t>(random());
    }
    return b;
}

// Files this process writes cannot grow past `bytes` while it lives: the
// way to make a write fail half-way (as on a full disk) without a full disk.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(std::uint64_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Every test gets its own directory, and TMPDIR points at it, so the page
// store's temporary files land there and can be counted.
class PageTempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        m_hadTmpdir = old != nullptr;
        if (m_hadTmpdir) {
            m_oldTmpdir = old;
        }
        std::random_device device;
        m_dir = std::filesystem::temp_directory_path() /
                ("dw-pagestore-test-" + std::to_string(device()) + std::to_string(device()));
        std::filesystem::create_directories(m_dir);
        ::setenv("TMPDIR", m_dir.c_str(), 1);
    }

    void TearDown() override
    {
        if (m_hadTmpdir) {
            ::setenv("TMPDIR", m_oldTmpdir.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

    // Sizes of the temporary files this process holds open in the test's
    // directory. Such a file has no name there (see FileCount), so it is
    // found through the process's open descriptors, as one without a name.
    std::vector<std::uintmax_t> SpillFileSizes() const
    {
        std::vector<std::uintmax_t> sizes;
        const std::string prefix = m_dir.string() + "/";
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            const std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
            struct stat info {};
            const bool unnamed = target.size() > 10 && target.ends_with(" (deleted)");
            if (!ec && unnamed && target.rfind(prefix, 0) == 0 && ::stat(entry.path().c_str(), &info) == 0) {
                sizes.push_back(static_cast<std::uintmax_t>(info.st_size));
            }
        }
        return sizes;
    }
    int SpillFiles() const { return static_cast<int>(SpillFileSizes().size()); }

    int FileCount() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir)) {
            ++count;
        }
        return count;
    }

    std::filesystem::path m_dir;

private:
    bool m_hadTmpdir = false;
    std::string m_oldTmpdir;
};

}  // namespace dw::test
