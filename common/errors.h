// SPDX-License-Identifier: MIT
#pragma once

#include "common/message_text.h"

#include <exception>
#include <string>

namespace dw {

// Every failure the program reports carries the text the user sees; the
// application shows Message() in its error box, so the text is the program's
// own wording, in UTF-8. Text() keeps the same message as its English source
// and arguments, so a window can show it in the user's language.
class Exception : public std::exception {
public:
    explicit Exception(MessageText text) : m_text(std::move(text)), m_message(m_text.English()) {}
    explicit Exception(SourceText text) : Exception(MessageText(text)) {}
    const std::string& Message() const noexcept { return m_message; }
    const MessageText& Text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    MessageText m_text;
    std::string m_message;
};

// Text to number, number to text, date encoding.
class EConvertError : public Exception {
    using Exception::Exception;
};

// A numeric field's value outside its bounds.
class ERangeError : public Exception {
    using Exception::Exception;
};

// The three floating-point faults the program reports.
class EMathError : public Exception {
    using Exception::Exception;
};
// A computation that knows what caused its fault passes the same English
// words with a disambiguation, so the translation can say what to correct.
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError(MessageText(DW_TEXT("Message", "Floating point overflow"))) {}

protected:
    explicit EOverflow(MessageText text) : EMathError(std::move(text)) {}
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError(MessageText(DW_TEXT("Message", "Floating point division by zero"))) {}

protected:
    explicit EZeroDivide(MessageText text) : EMathError(std::move(text)) {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError(MessageText(DW_TEXT("Message", "Invalid floating point operation"))) {}

protected:
    explicit EInvalidOp(MessageText text) : EMathError(std::move(text)) {}
};

// Files: an operation on a named file that failed (open, read, write, rename).
class EInOutError : public Exception {
    using Exception::Exception;
};
class EFileError : public Exception {
    using Exception::Exception;
};

// The report engine and the printer layer.
class EVpError : public Exception {
    using Exception::Exception;
};
class EPrinter : public Exception {
    using Exception::Exception;
};

// Memory ran out while the program did something for the user; the message
// says what: "Not enough memory to open the report file X".
class EOutOfMemory : public Exception {
    using Exception::Exception;
};
// "Not enough memory to <what>", what being a translatable phrase that
// follows those words ("open the report file %1").
MessageText NotEnoughMemoryTo(const MessageText& what);

// The program's words for a file operation that failed, naming the file.
MessageText CannotCreateFile(const std::string& fileName);
MessageText CannotOpenFile(const std::string& fileName);
MessageText CannotReadFile(const std::string& fileName);
MessageText CannotWriteFile(const std::string& fileName);
// "'<text>' is not a valid floating point value".
MessageText NotAFloatingPointValue(const std::string& text);

// The error box shows a message ending in a full stop: one is appended when
// the last character sorts after "." (so "...!" or "...)" get none, letters do).
std::string MessageWithFullStop(const std::string& message);

}  // namespace dw
