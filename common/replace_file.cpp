// SPDX-License-Identifier: MIT
#include "common/replace_file.h"

#include "common/errors.h"
#include "common/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace dw {

namespace {

// Enough to write in large pieces, small enough not to matter.
constexpr std::size_t kBufferSize = 64 * 1024;
// As many links as the system itself follows before giving up with ELOOP.
constexpr int kMaxLinkHops = 40;
// The temporary name adds a few characters to the target's; a long target
// name is shortened so the temporary one still fits a directory entry.
constexpr std::size_t kMaxNameStem = 200;

// The final file behind fileName: links are followed one by one, so a link
// whose target does not exist yet leads to where that file will be created.
std::filesystem::path ResolveTarget(const std::string& fileName)
{
    std::filesystem::path path(fileName);
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return path;  // a new file; a missing folder shows when the temporary is created
            }
            ThrowInOutError(errno);
        }
        if (!S_ISLNK(info.st_mode)) {
            // Replacing a folder, a device or a pipe by a file of text would
            // be a loss, not a save; a file made read-only is kept too.
            if (!S_ISREG(info.st_mode)) {
                throw ENotAFile(fileName, NotAFileReason(info.st_mode));
            }
            if (::access(path.c_str(), W_OK) != 0) {
                ThrowInOutError(errno);
            }
            return path;
        }
        if (hops >= kMaxLinkHops) {
            ThrowInOutError(ELOOP);
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error) {
            ThrowInOutError(error.value());
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
}

// A new file beside target that nobody else has, created with the mode a
// plain create would give, so the renamed result looks like any new file.
std::string CreateSiblingTemporary(const std::filesystem::path& target, int& fd)
{
    std::random_device device;
    std::mt19937_64 random((std::uint64_t{device()} << 32) ^ device() ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::string stem = target.filename().string().substr(0, kMaxNameStem);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + stem + ".";
        for (int i = 0; i < 8; ++i) {
            name += kDigits[random() % 36];
        }
        name += ".tmp";
        const std::filesystem::path candidate = target.parent_path() / name;
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            return candidate.string();
        }
        if (errno != EEXIST) {
            ThrowInOutError(errno);
        }
    }
    ThrowInOutError(EEXIST);
}

}  // namespace

ENotAFile::ENotAFile(const std::string& fileName, const MessageText& reason)
    : EInOutError(
          MessageText(DW_TEXT("Message", "Cannot create file %1: %2"), {MessageText::Verbatim(fileName), reason})),
      m_reason(reason.English())
{
}

MessageText InOutErrorText(int errorCode)
{
    switch (errorCode) {
        case EACCES:
        case EPERM:
        case EROFS:
            return DW_TEXT("Message", "File access denied");
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return DW_TEXT("Message", "Disk full");
        default:
            return MessageText(DW_TEXT("Message", "I/O error %1"), {MessageText::Verbatim(std::to_string(errorCode))});
    }
}

void ThrowInOutError(int errorCode)
{
    throw EInOutError(InOutErrorText(errorCode));
}

ReplaceFileWriter::ReplaceFileWriter(const std::string& fileName)
{
    const std::filesystem::path target = ResolveTarget(fileName);
    m_target = target.string();
    m_temporary = CreateSiblingTemporary(target, m_fd);
    m_buffer.reserve(kBufferSize);
}

ReplaceFileWriter::~ReplaceFileWriter()
{
    Discard();
}

void ReplaceFileWriter::Write(std::string_view bytes)
{
    if (m_error != 0) {
        ThrowInOutError(m_error);
    }
    if (m_buffer.size() + bytes.size() > kBufferSize) {
        Flush();
    }
    if (bytes.size() >= kBufferSize) {
        m_buffer = bytes;
        Flush();
    } else {
        m_buffer += bytes;
    }
}

void ReplaceFileWriter::Commit()
{
    if (m_error != 0) {
        ThrowInOutError(m_error);
    }
    Flush();
    if (::fsync(m_fd) != 0) {
        Fail(errno);
    }
    // A file being replaced keeps its permissions.
    struct stat old {};
    if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(m_fd, old.st_mode & 07777);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        Fail(errno);
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        Fail(errno);
    }
    m_temporary.clear();
    m_error = EBADF;  // nothing more goes into a file that is in place
    // Make the rename itself durable; the data is already safe either way.
    std::filesystem::path directory = std::filesystem::path(m_target).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void ReplaceFileWriter::Flush()
{
    std::string_view rest = m_buffer;
    while (!rest.empty()) {
        const ssize_t n = ::write(m_fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Fail(errno);
        }
        if (n == 0) {
            Fail(EIO);
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    m_buffer.clear();
}

void ReplaceFileWriter::Fail(int errorCode)
{
    m_error = errorCode;
    Discard();
    ThrowInOutError(errorCode);
}

void ReplaceFileWriter::Discard() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_buffer.clear();
}

}  // namespace dw
