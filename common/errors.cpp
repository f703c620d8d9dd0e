// SPDX-License-Identifier: MIT
#include "common/errors.h"

namespace dw {

MessageText NotEnoughMemoryTo(const MessageText& what)
{
    return MessageText(DW_TEXT("Message", "Not enough memory to %1"), {what});
}

MessageText CannotCreateFile(const std::string& fileName)
{
    return MessageText(DW_TEXT("Message", "Cannot create file %1"), {MessageText::Verbatim(fileName)});
}

MessageText CannotOpenFile(const std::string& fileName)
{
    return MessageText(DW_TEXT("Message", "Cannot open file %1"), {MessageText::Verbatim(fileName)});
}

MessageText CannotReadFile(const std::string& fileName)
{
    return MessageText(DW_TEXT("Message", "Cannot read file %1"), {MessageText::Verbatim(fileName)});
}

MessageText CannotWriteFile(const std::string& fileName)
{
    return MessageText(DW_TEXT("Message", "Cannot write file %1"), {MessageText::Verbatim(fileName)});
}

MessageText NotAFloatingPointValue(const std::string& text)
{
    return MessageText(DW_TEXT("Message", "'%1' is not a valid floating point value"), {MessageText::Verbatim(text)});
}

std::string MessageWithFullStop(const std::string& message)
{
    // Compared as bytes: every byte of a multi-byte UTF-8 character is above
    // 0x7F, so a message ending in a Cyrillic letter gets its full stop too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

}  // namespace dw
