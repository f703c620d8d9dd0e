// SPDX-License-Identifier: MIT
#include "common/replace_file.h"

#include "common/errors.h"
#include "common/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
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

std::string RandomSiblingName(const std::filesystem::path& target)
{
    static thread_local std::mt19937_64 random = [] {
        std::random_device device;
        return std::mt19937_64((std::uint64_t{device()} << 32) ^ device() ^
                               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    }();
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::string stem = target.filename().string().substr(0, kMaxNameStem);
    std::string name = "." + stem + ".";
    for (int i = 0; i < 8; ++i) {
        name += kDigits[random() % 36];
    }
    name += ".tmp";
    return (target.parent_path() / name).string();
}

// A new file beside target that nobody else has, created with the mode a
// plain create would give, so the renamed result looks like any new file.
std::string CreateSiblingTemporary(const std::filesystem::path& target, int& fd)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = RandomSiblingName(target);
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            return candidate;
        }
        if (errno != EEXIST) {
            ThrowInOutError(errno);
        }
    }
    ThrowInOutError(EEXIST);
}

// A file in target's folder that has no name yet: whatever ends the program
// before it is complete (a kill, a power cut), the folder is left as it was.
// -1 with errno when the folder cannot have one; the file systems that lack
// them say so with one of the errors of UnnamedUnsupported.
int CreateUnnamed(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool UnnamedUnsupported(int errorCode)
{
    return errorCode == EOPNOTSUPP || errorCode == EISDIR || errorCode == EINVAL || errorCode == ENOSYS;
}

// Gives the unnamed file behind fd a name beside target; errno on failure.
bool NameUnnamed(int fd, const std::filesystem::path& target, std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = RandomSiblingName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        // Without /proc the descriptor itself is linked (allowed to the
        // privileged only).
        if (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        return false;
    }
    errno = EEXIST;
    return false;
}

// Named temporaries that exist at this moment, for a termination signal to
// remove: fixed slots of paths that a signal handler can walk without
// taking a lock or allocating.
constexpr int kPendingSlots = 64;
std::atomic<char*> g_pending[kPendingSlots];

int RegisterPending(const std::string& path)
{
    char* copy = ::strdup(path.c_str());
    if (copy == nullptr) {
        return -1;
    }
    for (int i = 0; i < kPendingSlots; ++i) {
        char* expected = nullptr;
        if (g_pending[i].compare_exchange_strong(expected, copy)) {
            return i;
        }
    }
    ::free(copy);
    return -1;
}

void ForgetPending(int slot) noexcept
{
    if (slot >= 0) {
        ::free(g_pending[slot].exchange(nullptr));
    }
}

struct sigaction g_previousActions[3];
constexpr int kCleanedSignals[3] = {SIGTERM, SIGINT, SIGHUP};

void RemoveAndEnd(int number)
{
    RemoveUnfinishedFiles();
    ::signal(number, SIG_DFL);
    ::raise(number);
}

}  // namespace

ENotAFile::ENotAFile(const std::string& fileName, const MessageText& reason)
    : EInOutError(
          MessageText(DW_TEXT("Message", "Cannot create file %1: %2"), {MessageText::Verbatim(fileName), reason})),
      m_reason(reason)
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

MessageText FailureReason(int errorCode)
{
    switch (errorCode) {
        case EACCES:
        case EPERM:
            return DW_TEXT("Message", "access denied");
        case EROFS:
            return DW_TEXT("Message", "the file system is read-only");
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return DW_TEXT("Message", "the disk is full");
        case ENOENT:
            return DW_TEXT("Message", "the folder does not exist");
        case ENOTDIR:
            return DW_TEXT("Message", "a part of its path is a file, not a folder");
        case ELOOP:
            return DW_TEXT("Message", "its links lead round in a loop");
        case ENAMETOOLONG:
            return DW_TEXT("Message", "the name is too long");
        case EISDIR:
            return DW_TEXT("Message", "it is a folder, not a file");
        case EIO:
            return DW_TEXT("Message", "the device reported a read or write error");
        default:
            return MessageText(DW_TEXT("Message", "I/O error %1"), {MessageText::Verbatim(std::to_string(errorCode))});
    }
}

ESystemFileError::ESystemFileError(int errorCode) : EInOutError(InOutErrorText(errorCode)), m_code(errorCode) {}

MessageText ReasonOf(const EInOutError& error)
{
    if (const auto* system = dynamic_cast<const ESystemFileError*>(&error)) {
        return system->Reason();
    }
    if (const auto* notAFile = dynamic_cast<const ENotAFile*>(&error)) {
        return notAFile->Reason();
    }
    return error.Text();
}

void ThrowInOutError(int errorCode)
{
    throw ESystemFileError(errorCode);
}

void RemoveUnfinishedFiles() noexcept
{
    for (auto& slot : g_pending) {
        // Left in its slot: the program ends right after, and the writer
        // that owns it, should it go on, frees it as usual.
        if (char* path = slot.load(); path != nullptr) {
            ::unlink(path);
        }
    }
}

void RemoveUnfinishedFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kCleanedSignals[i], nullptr, &g_previousActions[i]);
        // A signal the caller chose to ignore stays ignored.
        if (g_previousActions[i].sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(kCleanedSignals[i], &action, nullptr);
    }
}

ReplaceFileWriter::ReplaceFileWriter(const std::string& fileName)
{
    const std::filesystem::path target = ResolveTarget(fileName);
    m_target = target.string();
    m_fd = CreateUnnamed(target);
    if (m_fd < 0) {
        if (!UnnamedUnsupported(errno)) {
            ThrowInOutError(errno);
        }
        m_temporary = CreateSiblingTemporary(target, m_fd);
        m_pendingSlot = RegisterPending(m_temporary);
    }
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
    if (m_temporary.empty()) {
        // Complete: now it may have a name, for the moment the rename takes.
        std::string name;
        if (!NameUnnamed(m_fd, m_target, name)) {
            Fail(errno);
        }
        m_temporary = std::move(name);
        m_pendingSlot = RegisterPending(m_temporary);
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
    ForgetPending(m_pendingSlot);
    m_pendingSlot = -1;
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
    ForgetPending(m_pendingSlot);
    m_pendingSlot = -1;
    m_buffer.clear();
}

}  // namespace dw
