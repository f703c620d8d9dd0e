// SPDX-License-Identifier: MIT
#include "common/utf8.h"

namespace dw::utf8 {

namespace {

constexpr char32_t kStrayBase = 0xDC80;

bool IsContinuation(unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

// Length of a well-formed sequence at pos, or 0 when the bytes there are not one
// (overlong forms, surrogates and values above U+10FFFF are rejected).
std::size_t SequenceLength(std::string_view text, std::size_t pos) noexcept
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const std::size_t left = text.size() - pos;
    const unsigned char c = at(0);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return left >= 2 && IsContinuation(at(1)) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !IsContinuation(at(1)) || !IsContinuation(at(2)))
            return 0;
        if (c == 0xE0 && at(1) < 0xA0)
            return 0;  // overlong
        if (c == 0xED && at(1) >= 0xA0)
            return 0;  // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !IsContinuation(at(1)) || !IsContinuation(at(2)) || !IsContinuation(at(3)))
            return 0;
        if (c == 0xF0 && at(1) < 0x90)
            return 0;  // overlong
        if (c == 0xF4 && at(1) >= 0x90)
            return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) noexcept
{
    if (pos >= text.size())
        return 0;
    const std::size_t n = SequenceLength(text, pos);
    return n == 0 ? 1 : n;
}

char32_t Next(std::string_view text, std::size_t& pos) noexcept
{
    if (pos >= text.size())
        return 0;
    const std::size_t n = SequenceLength(text, pos);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    char32_t ch;
    switch (n) {
    case 1: ch = byte(0); break;
    case 2: ch = (char32_t(byte(0) & 0x1F) << 6) | (byte(1) & 0x3F); break;
    case 3: ch = (char32_t(byte(0) & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6) | (byte(2) & 0x3F); break;
    case 4:
        ch = (char32_t(byte(0) & 0x07) << 18) | (char32_t(byte(1) & 0x3F) << 12) | (char32_t(byte(2) & 0x3F) << 6)
             | (byte(3) & 0x3F);
        break;
    default: ch = kStrayBase + (byte(0) - 0x80); pos += 1; return ch;
    }
    pos += n;
    return ch;
}

std::size_t CodePointCount(std::string_view text) noexcept
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos))
        ++count;
    return count;
}

void Append(std::string& out, char32_t ch)
{
    if (ch >= kStrayBase && ch < kStrayBase + 0x80) {
        out.push_back(static_cast<char>(0x80 + (ch - kStrayBase)));
    } else if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

std::string_view Left(std::string_view text, std::size_t maxChars) noexcept
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < maxChars && pos < text.size(); ++n)
        pos += CharLength(text, pos);
    return text.substr(0, pos);
}

bool IsValid(std::string_view text) noexcept
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = SequenceLength(text, pos);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

}  // namespace dw::utf8
