// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace dw {

enum class TVpSeekOrigin { Beginning, Current, End };

// The byte stream that holds the stored pages of a report run, or a saved
// report file opened for reading.
//
// For a run it starts in memory; the first write that makes it larger than
// SpillThreshold moves the whole content to a temporary file in the system's
// temporary directory and every later operation goes there. The file has no
// name in any folder: it goes with the stream, or with the process however
// that ends, and never outlives either.
//
// A saved file is opened read-only and is never deleted.
//
// Every operation holds the stream's re-entrant lock; callers that need
// several operations to stay together (seek, then read) take Lock() around
// them.
class TVpStream {
public:
    // Bytes a page store keeps in memory before moving to a temporary file.
    static constexpr std::int64_t kPageStoreSpillThreshold = 100000;

    // A stream for a report run.
    explicit TVpStream(std::int64_t spillThreshold = kPageStoreSpillThreshold);
    // A saved file, read-only. Raises EFileError "Cannot open file <name>",
    // with the reason when it is not a regular file (InputFile), and "File
    // <name> is too large: a report file holds at most ... bytes" beyond
    // kMaxReportFileSize, before anything is read.
    static std::unique_ptr<TVpStream> OpenForReading(const std::string& fileName);

    ~TVpStream();
    TVpStream(const TVpStream&) = delete;
    TVpStream& operator=(const TVpStream&) = delete;

    // Reads up to count bytes at the position and returns how many it got:
    // fewer at the end of the stream, none past it.
    std::size_t Read(void* buffer, std::size_t count);
    // Reads exactly count bytes or raises EInOutError naming the stream.
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes all bytes at the position, growing the stream (a gap left by a
    // seek past the end reads as zeros). Raises EInOutError on failure.
    void Write(const void* buffer, std::size_t count);
    // Moves the position; a resulting negative position raises EInOutError.
    std::int64_t Seek(std::int64_t offset, TVpSeekOrigin origin);
    // Cuts (or extends with zeros) the stream; the position is kept within it.
    void SetSize(std::int64_t size);

    std::int32_t ReadInt32();
    void WriteInt32(std::int32_t value);

    std::int64_t Position() const;
    std::int64_t Size() const;
    bool Spilled() const;
    bool ReadOnly() const { return m_readOnly; }
    // What messages call the temporary file once spilled (it has no name in
    // the folder); empty otherwise and for a saved file.
    std::string TempFileName() const;
    // The saved file's name when reading one; empty for a run's stream.
    const std::string& FileName() const { return m_fileName; }

    std::recursive_mutex& Lock() const { return m_lock; }

private:
    struct ReadOnlyTag {};

public:
    // Reached through OpenForReading only: the tag cannot be named outside.
    TVpStream(ReadOnlyTag, const std::string& fileName);

private:
    void SpillToFile();
    void CloseFile() noexcept;
    std::size_t FileRead(void* buffer, std::size_t count, std::int64_t at);
    void FileWrite(const void* buffer, std::size_t count, std::int64_t at);
    [[noreturn]] void FailRead() const;
    [[noreturn]] void FailWrite() const;
    std::string DisplayName() const;

    mutable std::recursive_mutex m_lock;
    std::int64_t m_spillThreshold = kPageStoreSpillThreshold;
    bool m_readOnly = false;
    bool m_spilled = false;
    std::vector<std::uint8_t> m_memory;
    // Positioned reads and writes on a descriptor: no buffered state that a
    // failed write could leave behind, so a failed append can be cut off cleanly.
    int m_fd = -1;
    std::string m_tempName;
    std::string m_fileName;
    std::int64_t m_position = 0;
    std::int64_t m_size = 0;
};

}  // namespace dw
