// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dw {

// The decimal form of a value: 0.d1d2d3... x 10^DecimalExponent.
// DecimalExponent is 32767 for an infinity and -32768 for a NaN. DigitText
// holds 0 to 18 ASCII digits, most significant first, never a trailing zero
// and never a leading one, NUL-terminated; empty means zero (or rounded away).
struct DecimalDigits {
    std::int16_t DecimalExponent = 0;
    bool IsNegative = false;
    char DigitText[19] = {};
};

inline constexpr std::int16_t kInfinityExponent = 32767;
inline constexpr std::int16_t kNanExponent = -32768;

enum class NumberStyle { General, Exponent, Fixed, Grouped, Currency };

// x x 10^n with the power split into three factors from tables of extended
// constants (10^(n mod 32), 10^(32k), 10^(512j)), multiplied (n > 0) or divided
// (n < 0) in that order. |n| >= 5120 gives an infinity or a zero with the sign
// of x; a zero, infinite or NaN x is returned unchanged.
Extended ScaleByPowerOfTen(Extended x, int n);

// Rounds to 18 significant digits (ties to even), then half away from zero on
// the decimal text to at most `precision` significant digits and `decimals`
// places after the point.
DecimalDigits ToDecimalDigits(Extended value, int precision, int decimals);

// Precision is clamped to 2..18. For Fixed, Grouped and Currency `digits` is
// the number of decimals (at most 18); for Exponent it is the minimum width
// of the exponent (at most 4); General ignores it.
std::string NumberToStyledText(Extended value, NumberStyle style, int precision, int digits);

// The general text: General, precision 15.
std::string NumberToText(Extended value);

// Formats by a display pattern of up to 224 characters (more raises
// EConvertError "Format string too long"). The result is never cut at 256
// characters: the limit on the pattern bounds it (at most 1163 bytes, about
// 700 characters; see the source), and all of it is written.
std::string FormatNumberPattern(std::string_view pattern, Extended value);

}  // namespace dw
