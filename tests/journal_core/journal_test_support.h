// SPDX-License-Identifier: MIT
#pragma once

#include "journal/core/journal_record.h"

#include <filesystem>
#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace dw::test {

// A measurement as a crew would have typed it, told apart by `n`.
inline JournalRecord SampleRecord(int n, std::string note = {})
{
    JournalRecord record;
    record.DateTime =
        "2026-12-0" + std::to_string(1 + n % 8) + "T0" + std::to_string(n % 10) + ":15:3" + std::to_string(n % 10);
    record.DateText = "0" + std::to_string(1 + n % 8) + ".12.2026";
    record.TimeText = "0" + std::to_string(n % 10) + ":15:30";
    for (std::size_t i = 0; i < kJournalValueCount; ++i) {
        record.Values[i] = static_cast<Extended>(i + 1) + static_cast<Extended>(n) / 100;
        record.Shown[i] = std::to_string(i + 1) + " т.";
    }
    record.Values[kJournalFirstResult + 3] = 40.125L + n;  // the hook load, with its third decimal
    record.Note = std::move(note);
    return record;
}

// Makes a file or folder unwritable for whoever runs the test: its rights
// for an ordinary user, the file system's immutable mark for the superuser
// (whom rights do not bind). False when neither is possible here.
inline bool MakeUnwritable(const std::filesystem::path& path, bool immutable = true)
{
    if (::geteuid() != 0) {
        const bool folder = std::filesystem::is_directory(path);
        std::filesystem::permissions(path, folder
                                               ? std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec
                                               : std::filesystem::perms::owner_read);
        return true;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

// A folder of the test's own, removed with it.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dw-journal-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        std::error_code error;
        // Whatever a test made unwritable is writable again, so it can go.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, error)) {
            if (::geteuid() == 0)
                MakeUnwritable(entry.path(), false);
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, error);
        }
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(m_path, error);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace dw::test
