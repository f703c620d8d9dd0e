// SPDX-License-Identifier: MIT
#include "report/core/page_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errors.h"
#include "common/input_file.h"
#include "report/core/file_limits.h"

namespace dw {

namespace {

// Largest size a stream may reach: offsets travel through off_t and through
// the page list's 32-bit fields, and nothing sensible comes near either.
constexpr std::int64_t kMaxStreamSize = std::numeric_limits<std::int64_t>::max() / 2;

}  // namespace

TVpStream::TVpStream(std::int64_t spillThreshold) : m_spillThreshold(std::max<std::int64_t>(spillThreshold, 0)) {}

TVpStream::TVpStream(ReadOnlyTag, const std::string& fileName)
    : m_spillThreshold(0), m_readOnly(true), m_spilled(true), m_fileName(fileName)
{
    // Only a regular file is read, and one too large to be a report is
    // refused from its size: a pipe or a device named as a report must not
    // hang the program, nor a huge file be walked.
    InputFile file(fileName);
    file.RequireSizeAtMost(kMaxReportFileSize, DW_TEXT("Message", "a report file"));
    m_size = file.Size();
    m_fd = file.Release();
}

std::unique_ptr<TVpStream> TVpStream::OpenForReading(const std::string& fileName)
{
    return std::make_unique<TVpStream>(ReadOnlyTag{}, fileName);
}

TVpStream::~TVpStream()
{
    CloseFile();
}

void TVpStream::CloseFile() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_tempName.clear();
}

std::string TVpStream::DisplayName() const
{
    return m_readOnly ? m_fileName : m_tempName;
}

void TVpStream::FailRead() const
{
    throw EInOutError(CannotReadFile(DisplayName()));
}

void TVpStream::FailWrite() const
{
    throw EInOutError(CannotWriteFile(DisplayName()));
}

std::int64_t TVpStream::Position() const
{
    std::lock_guard guard(m_lock);
    return m_position;
}

std::int64_t TVpStream::Size() const
{
    std::lock_guard guard(m_lock);
    return m_size;
}

bool TVpStream::Spilled() const
{
    std::lock_guard guard(m_lock);
    return m_spilled;
}

std::string TVpStream::TempFileName() const
{
    std::lock_guard guard(m_lock);
    return m_tempName;
}

std::size_t TVpStream::FileRead(void* buffer, std::size_t count, std::int64_t at)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(m_fd, out + got, count - got, static_cast<off_t>(at) + static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            FailRead();
        }
        if (n == 0) {
            break;  // the file is shorter than we thought: someone cut it
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

void TVpStream::FileWrite(const void* buffer, std::size_t count, std::int64_t at)
{
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t put = 0;
    while (put < count) {
        const ssize_t n = ::pwrite(m_fd, in + put, count - put, static_cast<off_t>(at) + static_cast<off_t>(put));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            FailWrite();
        }
        put += static_cast<std::size_t>(n);
    }
}

std::size_t TVpStream::Read(void* buffer, std::size_t count)
{
    std::lock_guard guard(m_lock);
    if (count == 0 || m_position >= m_size) {
        return 0;
    }
    const std::size_t available = static_cast<std::size_t>(m_size - m_position);
    const std::size_t wanted = std::min(count, available);
    std::size_t got = 0;
    if (m_fd >= 0) {
        got = FileRead(buffer, wanted, m_position);
    } else {
        std::memcpy(buffer, m_memory.data() + m_position, wanted);
        got = wanted;
    }
    m_position += static_cast<std::int64_t>(got);
    return got;
}

void TVpStream::ReadBuffer(void* buffer, std::size_t count)
{
    std::lock_guard guard(m_lock);
    if (Read(buffer, count) != count) {
        FailRead();
    }
}

void TVpStream::Write(const void* buffer, std::size_t count)
{
    std::lock_guard guard(m_lock);
    if (m_readOnly) {
        FailWrite();
    }
    if (count == 0) {
        return;
    }
    if (count > static_cast<std::uint64_t>(kMaxStreamSize - m_position)) {
        FailWrite();
    }
    const std::int64_t end = m_position + static_cast<std::int64_t>(count);
    if (m_fd >= 0) {
        FileWrite(buffer, count, m_position);
    } else {
        if (end > static_cast<std::int64_t>(m_memory.size())) {
            m_memory.resize(static_cast<std::size_t>(end));
        }
        std::memcpy(m_memory.data() + m_position, buffer, count);
    }
    m_position = end;
    if (end > m_size) {
        m_size = end;
    }
    if (!m_spilled && m_size > m_spillThreshold) {
        SpillToFile();
    }
}

void TVpStream::SpillToFile()
{
    const std::filesystem::path directory = std::filesystem::temp_directory_path();
    // The file has no name from the start (or loses it at once where the file
    // system cannot make nameless files), so however the process ends, even
    // killed, nothing is left behind in the temporary folder.
    int fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::string path = (directory / "VPRXXXXXX").string();
        // mkstemp gives a name no one else holds and a file only we can read.
        fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) {
            throw EInOutError(CannotCreateFile(path));
        }
        ::unlink(path.c_str());
    }
    m_fd = fd;
    m_tempName = (directory / "VPR").string() + " (temporary file)";
    try {
        FileWrite(m_memory.data(), m_memory.size(), 0);
    } catch (...) {
        // Stay in memory; the half-made file goes.
        CloseFile();
        throw;
    }
    std::vector<std::uint8_t>().swap(m_memory);
    m_spilled = true;
}

std::int64_t TVpStream::Seek(std::int64_t offset, TVpSeekOrigin origin)
{
    std::lock_guard guard(m_lock);
    std::int64_t base = 0;
    switch (origin) {
        case TVpSeekOrigin::Beginning:
            base = 0;
            break;
        case TVpSeekOrigin::Current:
            base = m_position;
            break;
        case TVpSeekOrigin::End:
            base = m_size;
            break;
    }
    if ((offset > 0 && base > kMaxStreamSize - offset) || base + offset < 0) {
        throw EInOutError(m_readOnly || m_spilled ? CannotReadFile(DisplayName())
                                                  : MessageText(DW_TEXT("Message", "Stream seek error")));
    }
    m_position = base + offset;
    return m_position;
}

void TVpStream::SetSize(std::int64_t size)
{
    std::lock_guard guard(m_lock);
    if (m_readOnly || size < 0 || size > kMaxStreamSize) {
        FailWrite();
    }
    if (m_fd >= 0) {
        if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) {
            FailWrite();
        }
    } else {
        m_memory.resize(static_cast<std::size_t>(size));
    }
    m_size = size;
    if (m_position > m_size) {
        m_position = m_size;
    }
}

std::int32_t TVpStream::ReadInt32()
{
    std::uint8_t bytes[4];
    ReadBuffer(bytes, sizeof bytes);
    const std::uint32_t value = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                                (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(value);
}

void TVpStream::WriteInt32(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                   static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    Write(bytes, sizeof bytes);
}

}  // namespace dw
