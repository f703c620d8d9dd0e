// SPDX-License-Identifier: MIT
#include "numeric/core/number_parse.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/floating_point.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"

#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <string>

namespace dw {

namespace {

bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

// An exponent past this many powers of ten is an infinity or a zero anyway;
// clamping keeps very long digit runs from overflowing the count.
constexpr std::int64_t kExponentClamp = 1 << 20;

}  // namespace

bool TryParseNumber(std::string_view text, Extended& value)
{
    FloatingPointGuard guard;
    const std::string& markText = LocaleFormats().DecimalMark;
    const std::string_view mark = std::string_view(markText).substr(0, utf8::CharLength(markText, 0));

    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    Extended acc = 0;
    bool consumed = false;
    std::int64_t exponent = 0;
    for (; pos < size && IsDigit(text[pos]); ++pos) {
        acc = acc * 10 + (text[pos] - '0');
        consumed = true;
    }
    if (!mark.empty() && text.substr(pos, mark.size()) == mark) {
        pos += mark.size();
        consumed = true;
        for (; pos < size && IsDigit(text[pos]); ++pos) {
            acc = acc * 10 + (text[pos] - '0');
            exponent = std::max(exponent - 1, -kExponentClamp);
        }
    }
    if (!consumed)
        return false;

    if (pos < size && (text[pos] == 'E' || text[pos] == 'e')) {
        ++pos;
        bool exponentNegative = false;
        if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
            exponentNegative = text[pos] == '-';
            ++pos;
        }
        // Digits are read only while the exponent is below 500; any digit
        // left over makes the text invalid below.
        int written = 0;
        for (; pos < size && IsDigit(text[pos]) && written < 500; ++pos) written = written * 10 + (text[pos] - '0');
        exponent += exponentNegative ? -written : written;
    }

    while (pos < size && text[pos] == ' ') ++pos;
    if (pos != size)
        return false;

    Extended result = ScaleByPowerOfTen(acc, static_cast<int>(std::clamp(exponent, -kExponentClamp, kExponentClamp)));
    if (negative)
        result = -result;
    value = result;
    return std::fetestexcept(FE_INVALID | FE_OVERFLOW) == 0;
}

Extended ParseNumber(std::string_view text)
{
    Extended value = 0;
    if (!TryParseNumber(text, value))
        throw EConvertError(NotAFloatingPointValue(std::string(text)));
    return value;
}

}  // namespace dw
