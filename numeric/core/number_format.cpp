// SPDX-License-Identifier: MIT
#include "numeric/core/number_format.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format_p.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstring>

namespace dw {

namespace {

using namespace number_text;

// ---------------------------------------------------------------------------
// Powers of ten. Each entry is the extended value nearest to the power (the
// compiler rounds long double literals correctly), so a scaling is at most
// three correctly rounded operations.

constexpr Extended kPowersUnits[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
    1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L,
};
constexpr Extended kPowersTens[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L,
};
constexpr Extended kPowersHundreds[10] = {
    1e0L, 1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L,
};

constexpr int kScaleLimit = 5120;

constexpr Extended kOneE17 = 1e17L;
constexpr Extended kOneE18 = 1e18L;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Nine digits of value (< 10^9), zero-padded; constant divisors only, this
// sits on every formatting path.
void NineDigits(std::uint32_t value, char* out) noexcept
{
    out[0] = static_cast<char>('0' + value / 100000000);
    value %= 100000000;
    const std::uint32_t high = value / 10000;
    const std::uint32_t low = value % 10000;
    std::memcpy(out + 1, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(out + 3, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(out + 5, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(out + 7, kDigitPairs + 2 * (low % 100), 2);
}

// The integer an integral extended value in [1, 2^64) holds, read off its
// bits: a plain conversion would switch the x87 rounding mode twice.
std::uint64_t IntegerOf(Extended integral) noexcept
{
    const ExtendedBits bits = BitsOf(integral);
    const int shift = 63 - (bits.ExponentField() - 16383);
    return shift >= 0 && shift < 64 ? bits.significand >> shift : 0;
}

// x x 10^n; inlined into the conversion, which sits on every formatting path.
inline __attribute__((always_inline)) Extended Scale(Extended x, int n)
{
    if (n == 0)
        return x;
    if (n >= kScaleLimit || n <= -kScaleLimit) {
        if (x == 0 || !std::isfinite(x))
            return x;
        if (n > 0) {
            std::feraiseexcept(FE_OVERFLOW | FE_INEXACT);
            return std::copysign(HUGE_VALL, x);
        }
        std::feraiseexcept(FE_UNDERFLOW | FE_INEXACT);
        return std::copysign(0.0L, x);
    }
    const unsigned magnitude = n > 0 ? static_cast<unsigned>(n) : static_cast<unsigned>(-n);
    const Extended units = kPowersUnits[magnitude % 32];
    const Extended tens = kPowersTens[(magnitude / 32) % 16];
    const Extended hundreds = kPowersHundreds[magnitude / 512];
    if (n > 0) {
        if (magnitude % 32 != 0)
            x *= units;
        if ((magnitude / 32) % 16 != 0)
            x *= tens;
        if (magnitude / 512 != 0)
            x *= hundreds;
    } else {
        if (magnitude % 32 != 0)
            x /= units;
        if ((magnitude / 32) % 16 != 0)
            x /= tens;
        if (magnitude / 512 != 0)
            x /= hundreds;
    }
    return x;
}

}  // namespace

// ---------------------------------------------------------------------------

Extended ScaleByPowerOfTen(Extended x, int n)
{
    return Scale(x, n);
}

DecimalDigits ToDecimalDigits(Extended value, int precision, int decimals)
{
    DecimalDigits result;
    const ExtendedBits bits = BitsOf(value);
    const int field = bits.ExponentField();
    if (field == 0)
        return result;  // zero or denormal, either sign
    if (field == 0x7FFF) {
        if ((bits.significand >> 48) == 0x8000) {
            result.DecimalExponent = kInfinityExponent;
            result.IsNegative = bits.Negative();
        } else {
            result.DecimalExponent = kNanExponent;
        }
        return result;
    }
    if ((bits.significand >> 63) == 0) {
        // An unnormal: the arithmetic unit refuses it as an operand, as it
        // would a NaN.
        result.DecimalExponent = kNanExponent;
        return result;
    }

    // Estimate of the decimal exponent; the shift floors towards minus infinity.
    int e = (((field - 16383) * 19728) >> 16) + 1;
    const Extended magnitude = std::fabs(value);
    Extended scaled = std::rint(Scale(magnitude, 18 - e));
    if (scaled < kOneE17) {
        // 19728/65536 is slightly below log10(2), so for some tiny magnitudes
        // (binary exponents -681, -877, -1166, ...) the estimate is one too
        // high and only 17 digits would come out behind a leading zero.
        // Scale again one power lower so the text keeps 18 significant digits.
        --e;
        scaled = std::rint(Scale(magnitude, 18 - e));
    }
    if (scaled >= kOneE18) {
        scaled = std::rint(scaled / 10);
        ++e;
    }
    const std::int64_t places = static_cast<std::int64_t>(e) + decimals;
    if (places < 0)
        return result;  // rounded away entirely: a plain zero
    const std::int64_t n = std::min<std::int64_t>(places, std::max(precision, 0));

    // Only the digits up to position n count; most values need the first nine.
    const std::uint64_t integer = IntegerOf(scaled);
    char text[18];
    NineDigits(static_cast<std::uint32_t>(integer / 1000000000u), text);
    if (n >= 9)
        NineDigits(static_cast<std::uint32_t>(integer % 1000000000u), text + 9);
    int length = 18;
    if (n < 18) {
        length = static_cast<int>(n);
        if (text[length] >= '5') {
            int i = length - 1;
            while (i >= 0 && text[i] == '9') --i;
            if (i < 0) {
                text[0] = '1';
                length = 1;
                ++e;
            } else {
                ++text[i];
                length = i + 1;
            }
        }
    }
    while (length > 0 && text[length - 1] == '0') --length;
    std::memcpy(result.DigitText, text, static_cast<std::size_t>(length));
    result.DigitText[length] = '\0';
    result.DecimalExponent = static_cast<std::int16_t>(e);
    result.IsNegative = bits.Negative();
    return result;
}

// ---------------------------------------------------------------------------
// Styled text.

namespace {

void AppendExponentDigits(std::string& out, int value, int width)
{
    char buf[12];
    const int n = UnsignedText(value, buf);
    for (int i = n; i < width; ++i) out += '0';
    out.append(buf, static_cast<std::size_t>(n));
}

void AppendGeneral(std::string& out, const DecimalDigits& d, int precision, std::string_view decimalMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    const int e = d.DecimalExponent;
    if (d.IsNegative)
        out += '-';
    if (length > 0 && (e > precision || e < -3)) {
        out += text[0];
        if (length > 1) {
            out += decimalMark;
            out.append(text + 1, static_cast<std::size_t>(length - 1));
        }
        out += 'E';
        if (e - 1 < 0)
            out += '-';
        AppendExponentDigits(out, e - 1, 0);
    } else if (e > 0) {
        for (int i = 0; i < e; ++i) out += i < length ? text[i] : '0';
        if (length > e) {
            out += decimalMark;
            out.append(text + e, static_cast<std::size_t>(length - e));
        }
    } else {
        out += '0';
        if (length > 0) {
            out += decimalMark;
            out.append(static_cast<std::size_t>(-e), '0');
            out.append(text, static_cast<std::size_t>(length));
        }
    }
}

void AppendExponentStyle(std::string& out, const DecimalDigits& d, int precision, int digits,
                         std::string_view decimalMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    if (d.IsNegative)
        out += '-';
    out += length > 0 ? text[0] : '0';
    out += decimalMark;
    for (int i = 1; i < precision; ++i) out += i < length ? text[i] : '0';
    out += 'E';
    const int exponent = length > 0 ? d.DecimalExponent - 1 : 0;
    out += exponent < 0 ? '-' : '+';
    AppendExponentDigits(out, exponent, std::clamp(digits, 0, 4));
}

// The unsigned fixed-point text, grouped or not.
void AppendFixed(std::string& out, const DecimalDigits& d, int digits, bool grouped, std::string_view decimalMark,
                 std::string_view thousandsMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    const int e = d.DecimalExponent;
    int next = 0;
    if (e <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < e; ++i) {
            out += next < length ? text[next++] : '0';
            const int left = e - 1 - i;
            if (grouped && left > 0 && left % 3 == 0)
                out += thousandsMark;
        }
    }
    if (digits <= 0)
        return;
    out += decimalMark;
    int written = 0;
    for (int i = e; i < 0 && written < digits; ++i, ++written) out += '0';
    for (; written < digits; ++written) out += next < length ? text[next++] : '0';
}

constexpr std::string_view kPositiveCurrency[4] = {"$*", "*$", "$ *", "* $"};
constexpr std::string_view kNegativeCurrency[16] = {
    "($*)", "-$*",  "$-*",  "$*-",  "(*$)", "-*$",  "*-$",   "*$-",
    "-* $", "-$ *", "* $-", "$ *-", "$ -*", "*- $", "($ *)", "(* $)",
};

}  // namespace

std::string NumberToStyledText(Extended value, NumberStyle style, int precision, int digits)
{
    precision = std::clamp(precision, 2, 18);
    const bool fixedPoint =
        style == NumberStyle::Fixed || style == NumberStyle::Grouped || style == NumberStyle::Currency;
    if (fixedPoint)
        digits = std::min(digits, 18);
    const DecimalDigits d = ToDecimalDigits(value, precision, fixedPoint ? digits : 9999);
    if (d.DecimalExponent == kInfinityExponent)
        return "INF";
    if (d.DecimalExponent == kNanExponent)
        return "NAN";
    if (style != NumberStyle::Exponent && d.DecimalExponent > precision)
        style = NumberStyle::General;

    const LocaleFormatSettings& formats = LocaleFormats();
    const std::string_view decimalMark = FirstCharacter(formats.DecimalMark);
    const std::string_view thousandsMark = FirstCharacter(formats.ThousandsMark);
    std::string out;
    out.reserve(32);
    switch (style) {
        case NumberStyle::Exponent:
            AppendExponentStyle(out, d, precision, digits, decimalMark);
            break;
        case NumberStyle::Fixed:
        case NumberStyle::Grouped:
            if (d.IsNegative)
                out += '-';
            AppendFixed(out, d, digits, style == NumberStyle::Grouped, decimalMark, thousandsMark);
            break;
        case NumberStyle::Currency: {
            std::string number;
            AppendFixed(number, d, digits, true, decimalMark, thousandsMark);
            const std::string_view arrangement =
                d.IsNegative ? kNegativeCurrency[std::min<int>(formats.NegativeCurrencyPlacement, 15)]
                             : kPositiveCurrency[std::min<int>(formats.CurrencyPlacement, 3)];
            for (const char c : arrangement) {
                if (c == '$')
                    out += formats.CurrencySymbol;
                else if (c == '*')
                    out += number;
                else
                    out += c;
            }
            break;
        }
        case NumberStyle::General:
        default:
            AppendGeneral(out, d, precision, decimalMark);
            break;
    }
    return out;
}

std::string NumberToText(Extended value)
{
    return NumberToStyledText(value, NumberStyle::General, 15, 0);
}

}  // namespace dw
