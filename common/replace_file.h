// SPDX-License-Identifier: MIT
#pragma once

// Files the program writes are replaced whole or not at all: the new
// contents go to a file in the target's folder that has no name until
// everything is on disk; then it is named and renamed over the target.
// Whatever goes wrong on the way, a kill included, the file the user had
// stays as it was and nothing is left beside it. Where the file system has
// no unnamed files, a named temporary beside the target takes its place; it
// is removed on every failure, and on a termination signal where the
// program lets RemoveUnfinishedFiles run.

#include "common/errors.h"

#include <string>
#include <string_view>

namespace dw {

// A target that exists but is not a regular file (a folder, a device, a pipe,
// a socket): writing a file in its place would destroy it, and writing into a
// device or a pipe is no save either. The message names the file:
// "Cannot create file <name>: it is a folder, not a file".
class ENotAFile : public EInOutError {
public:
    ENotAFile(const std::string& fileName, const MessageText& reason);
    // "it is a folder, not a file", for callers that word the failure their own way.
    const MessageText& Reason() const noexcept { return m_reason; }

private:
    MessageText m_reason;
};

// The program's words for a file operation that failed with errno value
// errorCode: "File access denied", "Disk full" or "I/O error <code>".
MessageText InOutErrorText(int errorCode);
// What is wrong, in words that follow a file's name ("Cannot create file
// X: the folder does not exist"): access denied, a read-only file system, a
// full disk, a missing folder, a link loop, a name too long...
MessageText FailureReason(int errorCode);

// A file operation the system refused, with its errno value; its message is
// InOutErrorText's.
class ESystemFileError : public EInOutError {
public:
    explicit ESystemFileError(int errorCode);
    MessageText Reason() const { return FailureReason(m_code); }

private:
    int m_code;
};

// The reason a failure raised by the file helpers carries: the system's for
// an ESystemFileError, the message otherwise.
MessageText ReasonOf(const EInOutError& error);

// Throws ESystemFileError.
[[noreturn]] void ThrowInOutError(int errorCode);

// Removes the named temporaries of the writers at work (only where the file
// system had no unnamed file to give them). Safe in a signal handler.
void RemoveUnfinishedFiles() noexcept;
// For a program without handlers of its own: SIGTERM, SIGINT and SIGHUP
// remove the unfinished files, then end the program as they would have.
void RemoveUnfinishedFilesOnSignals();

class ReplaceFileWriter {
public:
    // Prepares to replace fileName. A symbolic link is followed (to its
    // final target, which need not exist yet) and stays a link; a target
    // that exists but is not a regular file raises ENotAFile, one its owner
    // made read-only "File access denied". The temporary file is created at
    // once, so an unwritable folder is reported here. Failures raise
    // EInOutError; nothing is created or replaced then.
    explicit ReplaceFileWriter(const std::string& fileName);
    // Without Commit the temporary file is removed and the target untouched.
    ~ReplaceFileWriter();
    ReplaceFileWriter(const ReplaceFileWriter&) = delete;
    ReplaceFileWriter& operator=(const ReplaceFileWriter&) = delete;

    // Buffered; a failure raises EInOutError and removes the temporary file
    // at once, and every later Write or Commit raises the same error again,
    // so a file that lost part of its contents is never put in place.
    void Write(std::string_view bytes);
    // Puts everything written on disk and renames it over the target, which
    // keeps its permissions. Raises EInOutError when that fails (the target
    // is then untouched) or was attempted before.
    void Commit();

    // The named temporary while there is one: empty for a file with no name
    // yet, and once the temporary is gone (renamed or removed).
    const std::string& TemporaryPath() const noexcept { return m_temporary; }

private:
    void Flush();
    [[noreturn]] void Fail(int errorCode);
    void Discard() noexcept;

    std::string m_target;
    std::string m_temporary;
    std::string m_buffer;
    int m_fd = -1;
    int m_pendingSlot = -1;  // where a named temporary is listed for signals
    // errno of the first failure, or EBADF after Commit.
    int m_error = 0;
};

}  // namespace dw
