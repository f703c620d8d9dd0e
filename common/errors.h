// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>

namespace dw {

// Every failure the program reports carries the text the user sees; the
// application shows Message() in its error box, so the text is the program's
// own wording, in UTF-8.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
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
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
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

// The error box shows a message ending in a full stop: one is appended when
// the last character sorts after "." (so "...!" or "...)" get none, letters do).
std::string MessageWithFullStop(const std::string& message);

}  // namespace dw
