// SPDX-License-Identifier: MIT
#include "common/errors.h"

namespace dw {

std::string MessageWithFullStop(const std::string& message)
{
    // Compared as bytes: every byte of a multi-byte UTF-8 character is above
    // 0x7F, so a message ending in a Cyrillic letter gets its full stop too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

}  // namespace dw
