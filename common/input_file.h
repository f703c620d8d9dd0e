// SPDX-License-Identifier: MIT
#pragma once

// Files the program reads from outside (a saved report, a metafile to pack)
// come in through one door. Only a regular file is read: a pipe, a device,
// a socket or a folder named as input is refused at once with its name, and
// opening never waits (a pipe with nobody writing into it would otherwise
// hold the program forever). A file larger than its kind can be is refused
// from its size, before any of it is read.

#include "common/message_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace dw {

// Why a file of this mode (st_mode) cannot be read or written as a file, in
// the program's words: "it is a folder, not a file", "it is a pipe, not a
// file", "it is a device, not a file", "it is a socket, not a file"; empty
// for a regular file. The same words as the writer's refusals.
MessageText NotAFileReason(mode_t mode);
// "it does not exist": a name chosen to be opened that leads nowhere.
MessageText MissingFileReason();
// "Cannot open file <name>: <reason>".
MessageText CannotOpenFileBecause(const std::string& fileName, const MessageText& reason);

// Why a file could not be opened for reading: the system's error number, or
// (with error 0) the mode of what stands under its name instead of a file.
struct InputFileFailure {
    int error = 0;
    mode_t mode = 0;

    // Nothing is there: a missing file, or a path through a missing folder.
    bool Missing() const noexcept;
};

class InputFile {
public:
    // Opens fileName read-only. Raises EFileError "Cannot open file <name>"
    // when it cannot be opened, and "Cannot open file <name>: it is a pipe,
    // not a file" (see NotAFileReason) when it is not a regular file. A
    // symbolic link is followed.
    explicit InputFile(const std::string& fileName);
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens fileName as the constructor does, for callers that must never
    // raise on a file they cannot read (the profile reads as missing then):
    // nullopt when it cannot be opened, with why in *failure.
    static std::optional<InputFile> TryOpen(const std::string& fileName, InputFileFailure* failure = nullptr);

    // The size when opened.
    std::int64_t Size() const noexcept { return m_size; }
    // The open descriptor (blocking, close-on-exec); -1 once released.
    int Descriptor() const noexcept { return m_fd; }
    // Hands the descriptor to the caller, who closes it from then on.
    int Release() noexcept;

    // Raises EFileError "File <name> is too large: <kind> holds at most
    // <maxSize> bytes" when the file is larger than maxSize.
    void RequireSizeAtMost(std::int64_t maxSize, const MessageText& kind) const;
    // Reads the whole file after RequireSizeAtMost(maxSize, kind); a file
    // that grows past maxSize while it is read is refused the same way.
    // Raises EInOutError "Cannot read file <name>" when reading fails.
    std::vector<std::uint8_t> ReadAll(std::int64_t maxSize, const MessageText& kind);

private:
    struct Unopened {};
    InputFile(const std::string& fileName, Unopened);
    InputFileFailure Open() noexcept;
    void Close() noexcept;

    std::string m_fileName;
    int m_fd = -1;
    std::int64_t m_size = 0;
};

}  // namespace dw
