// SPDX-License-Identifier: MIT
#pragma once

// Small helpers the number formatter and the display patterns share: the
// marks as written, and what a decimal digit record holds.

#include "common/utf8.h"
#include "numeric/core/number_format.h"

#include <string>
#include <string_view>

namespace dw::number_text {

// A mark is one character; only the first is ever written, so a locale record
// that holds more cannot stretch the output past its bound.
inline std::string_view FirstCharacter(const std::string& mark) noexcept
{
    if (!mark.empty() && static_cast<unsigned char>(mark[0]) < 0x80)
        return std::string_view(mark.data(), 1);
    if (mark.size() >= 2 && static_cast<unsigned char>(mark[0]) >= 0xC2 &&
        static_cast<unsigned char>(mark[0]) <= 0xDF && (static_cast<unsigned char>(mark[1]) & 0xC0) == 0x80)
        return std::string_view(mark.data(), 2);  // a no-break space, say
    return std::string_view(mark).substr(0, utf8::CharLength(mark, 0));
}

inline bool HasDigits(const DecimalDigits& d) noexcept
{
    return d.DigitText[0] != '\0';
}

inline bool IsSpecial(const DecimalDigits& d) noexcept
{
    return d.DecimalExponent == kInfinityExponent || d.DecimalExponent == kNanExponent;
}

// Writes |value| in decimal (value fits in an int) into buf, returns the length.
inline int UnsignedText(int value, char* buf) noexcept
{
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int i = 0; i < n; ++i) buf[i] = reversed[n - 1 - i];
    return n;
}

}  // namespace dw::number_text
