// SPDX-License-Identifier: MIT
#include "common/input_file.h"

#include "common/errors.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw {

namespace {

[[noreturn]] void ThrowTooLarge(const std::string& fileName, std::int64_t maxSize, const MessageText& kind)
{
    throw EFileError(
        MessageText(DW_TEXT("Message", "File %1 is too large: %2 holds at most %3 bytes"),
                    {MessageText::Verbatim(fileName), kind, MessageText::Verbatim(std::to_string(maxSize))}));
}

}  // namespace

MessageText NotAFileReason(mode_t mode)
{
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISDIR(mode)) {
        return DW_TEXT("Message", "it is a folder, not a file");
    }
    if (S_ISFIFO(mode)) {
        return DW_TEXT("Message", "it is a pipe, not a file");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return DW_TEXT("Message", "it is a device, not a file");
    }
    if (S_ISSOCK(mode)) {
        return DW_TEXT("Message", "it is a socket, not a file");
    }
    return DW_TEXT("Message", "it is not a regular file");
}

bool InputFileFailure::Missing() const noexcept
{
    return error == ENOENT || error == ENOTDIR;
}

InputFile::InputFile(const std::string& fileName, Unopened) : m_fileName(fileName) {}

InputFile::InputFile(const std::string& fileName) : m_fileName(fileName)
{
    const InputFileFailure failure = Open();
    if (m_fd >= 0)
        return;
    if (failure.error != 0)
        throw EFileError(CannotOpenFile(fileName));
    throw EFileError(CannotOpenFileBecause(fileName, NotAFileReason(failure.mode)));
}

MessageText CannotOpenFileBecause(const std::string& fileName, const MessageText& reason)
{
    return MessageText(DW_TEXT("Message", "Cannot open file %1: %2"), {MessageText::Verbatim(fileName), reason});
}

MessageText MissingFileReason()
{
    return DW_TEXT("Message", "it does not exist");
}

std::optional<InputFile> InputFile::TryOpen(const std::string& fileName, InputFileFailure* failure)
{
    InputFile file(fileName, Unopened{});
    const InputFileFailure result = file.Open();
    if (failure)
        *failure = result;
    if (file.m_fd < 0)
        return std::nullopt;
    return file;
}

InputFileFailure InputFile::Open() noexcept
{
    const auto refuse = [&](InputFileFailure failure) {
        Close();
        return failure;
    };
    // Looked at before it is opened: opening some devices already does
    // something (a tape rewinds, a modem line is taken).
    struct stat info {};
    if (m_fileName.empty())
        return refuse({ENOENT, 0});
    if (::stat(m_fileName.c_str(), &info) != 0)
        return refuse({errno, 0});
    if (!S_ISREG(info.st_mode))
        return refuse({0, info.st_mode});
    // Non-blocking for the open itself, and checked again on what was
    // opened: the name may have been given to a pipe in between.
    m_fd = ::open(m_fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return refuse({errno, 0});
    if (!S_ISREG(info.st_mode))
        return refuse({0, info.st_mode});
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return refuse({errno, 0});
    m_size = static_cast<std::int64_t>(info.st_size);
    return {};
}

InputFile::~InputFile()
{
    Close();
}

InputFile::InputFile(InputFile&& other) noexcept
    : m_fileName(std::move(other.m_fileName)), m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size)
{
}

InputFile& InputFile::operator=(InputFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fileName = std::move(other.m_fileName);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

void InputFile::Close() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

int InputFile::Release() noexcept
{
    return std::exchange(m_fd, -1);
}

void InputFile::RequireSizeAtMost(std::int64_t maxSize, const MessageText& kind) const
{
    if (m_size > maxSize) {
        ThrowTooLarge(m_fileName, maxSize, kind);
    }
}

std::vector<std::uint8_t> InputFile::ReadAll(std::int64_t maxSize, const MessageText& kind)
{
    RequireSizeAtMost(maxSize, kind);
    if (m_fd < 0) {
        throw EInOutError(CannotReadFile(m_fileName));
    }
    // One byte more than the size said, to notice a file that grew since.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(m_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (static_cast<std::int64_t>(got) > maxSize) {
                ThrowTooLarge(m_fileName, maxSize, kind);
            }
            bytes.resize(std::min<std::size_t>(got * 2, static_cast<std::size_t>(maxSize) + 1));
        }
        const ssize_t n = ::pread(m_fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw EInOutError(CannotReadFile(m_fileName));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace dw
