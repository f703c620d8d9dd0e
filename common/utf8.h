// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dw::utf8 {

// Texts are UTF-8 and every limit is counted in characters (code points).
// Input may be any byte string: a byte that does not start a well-formed
// sequence counts as one character of its own, so nothing is ever read past
// the end and nothing is lost.

// Length in bytes of the character starting at text[pos] (1 for a stray byte).
std::size_t CharLength(std::string_view text, std::size_t pos) noexcept;

// Decodes the character at text[pos] and advances pos past it. A stray byte
// decodes as U+DC80 + byte (never a valid scalar, so it cannot collide).
char32_t Next(std::string_view text, std::size_t& pos) noexcept;

std::size_t CodePointCount(std::string_view text) noexcept;

// Appends the UTF-8 form of a scalar value; stray-byte values from Next()
// are written back as the original byte.
void Append(std::string& out, char32_t ch);

// The first maxChars characters of text.
std::string_view Left(std::string_view text, std::size_t maxChars) noexcept;

bool IsValid(std::string_view text) noexcept;

}  // namespace dw::utf8
