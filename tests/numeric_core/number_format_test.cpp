// SPDX-License-Identifier: MIT
#include "numeric/core/number_format.h"
#include "numeric/core/locale_formats.h"
#include "tests/support/number_marks.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using dw::Extended;
using dw::NumberStyle;

using dw::test::Marks;

const Extended kInfinity = std::numeric_limits<Extended>::infinity();
const Extended kNan = std::numeric_limits<Extended>::quiet_NaN();

// ---------------------------------------------------------------------------
// ScaleByPowerOfTen

TEST(ScaleByPowerOfTen, LimitsAndIdentities)
{
    struct Row {
        const char* name;
        Extended x;
        int n;
        Extended expected;
    };
    const Row rows[] = {
        {"n = 0 returns x", 1.5L, 0, 1.5L},
        {"exact small power", 3, 27, 3e27L},
        {"one division", 3, -1, 0.3L},
        {"largest finite power", 1, 4932, 1e4932L},
        {"first overflowing power", 1, 4933, kInfinity},
        {"5119 still multiplies (and overflows)", 1, 5119, kInfinity},
        {"5120 is an infinity", 1, 5120, kInfinity},
        {"5120 keeps the sign", -2, 5120, -kInfinity},
        {"int max", 1, INT_MAX, kInfinity},
        {"-5120 is a zero", 1, -5120, 0},
        {"int min", 7, INT_MIN, 0},
        {"-5119 underflows to zero", 1, -5119, 0},
        {"zero stays zero beyond the limit", 0, 6000, 0},
        {"infinity stays infinite beyond the limit", kInfinity, -6000, kInfinity},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Extended got = dw::ScaleByPowerOfTen(row.x, row.n);
        EXPECT_EQ(got, row.expected);
        EXPECT_EQ(std::signbit(got), std::signbit(row.expected));
    }
    EXPECT_TRUE(std::signbit(dw::ScaleByPowerOfTen(-1, -5120)));
    EXPECT_TRUE(std::isnan(dw::ScaleByPowerOfTen(kNan, 5)));
    EXPECT_TRUE(std::isnan(dw::ScaleByPowerOfTen(kNan, 9000)));
}

// Every power over the whole range lies within a few rounding steps of the
// correctly rounded value: a wrong table entry shows up at once.
TEST(ScaleByPowerOfTen, EveryPowerIsCloseToTheTrueOne)
{
    for (int n = -4930; n <= 4932; ++n) {
        const std::string text = "1e" + std::to_string(n);
        const Extended reference = std::strtold(text.c_str(), nullptr);
        const Extended got = dw::ScaleByPowerOfTen(1, n);
        ASSERT_NEAR(static_cast<double>(got / reference), 1.0, 4 * LDBL_EPSILON) << "n = " << n;
    }
}

// ---------------------------------------------------------------------------
// ToDecimalDigits

TEST(ToDecimalDigits, Rounding)
{
    struct Row {
        const char* name;
        Extended value;
        int precision;
        int decimals;
        const char* digits;
        int exponent;
        bool negative;
    };
    const Row rows[] = {
        {"zero", 0, 18, 9999, "", 0, false},
        {"negative zero has no sign", -0.0L, 18, 9999, "", 0, false},
        {"denormal reads as zero", LDBL_TRUE_MIN, 18, 9999, "", 0, false},
        {"two decimals", 1234.5L, 18, 2, "12345", 4, false},
        {"sign kept", -1234.5L, 18, 2, "12345", 4, true},
        {"half rounds away from zero", 0.5L, 18, 0, "1", 1, false},
        {"below half rounds to nothing, exponent kept", 0.4L, 18, 0, "", 0, false},
        {"rounded to nothing keeps its sign", -0.04L, 18, 1, "", -1, true},
        {"too small for the places: plain zero", -0.004L, 18, 1, "", 0, false},
        {"carry through every digit", 999.96L, 4, 9999, "1", 4, false},
        {"precision bounds the digits", 1.0L / 3, 5, 9999, "33333", 0, false},
        {"eighteen digits at most", 1.0L / 3, 40, 9999, "333333333333333333", 0, false},
        {"decided on the decimal text", 0.125L, 18, 2, "13", 0, false},
        {"ten to the eighteenth", 1e18L, 18, 0, "1", 19, false},
        // The exact value is 1.18973149535723176502E4932; three divisions by
        // rounded powers leave the last digit one low.
        {"largest finite", LDBL_MAX, 18, 9999, "118973149535723176", 4933, false},
        {"smallest normal", LDBL_MIN, 18, 9999, "336210314311209351", -4931, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const dw::DecimalDigits d = dw::ToDecimalDigits(row.value, row.precision, row.decimals);
        EXPECT_STREQ(d.DigitText, row.digits);
        EXPECT_EQ(d.DecimalExponent, row.exponent);
        EXPECT_EQ(d.IsNegative, row.negative);
    }
}

TEST(ToDecimalDigits, SpecialValues)
{
    struct Row {
        const char* name;
        Extended value;
        int exponent;
        bool negative;
    };
    const Row rows[] = {
        {"infinity", kInfinity, dw::kInfinityExponent, false},
        {"negative infinity", -kInfinity, dw::kInfinityExponent, true},
        {"NaN", kNan, dw::kNanExponent, false},
        {"negative NaN has no sign", -kNan, dw::kNanExponent, false},
        {"pseudo-infinity (no integer bit) is a NaN", dw::ExtendedFromBits(0, 0x7FFF), dw::kNanExponent, false},
        {"unnormal is a NaN", dw::ExtendedFromBits(0x4000000000000000ull, 0x3FFF), dw::kNanExponent, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const dw::DecimalDigits d = dw::ToDecimalDigits(row.value, 18, 9999);
        EXPECT_STREQ(d.DigitText, "");
        EXPECT_EQ(d.DecimalExponent, row.exponent);
        EXPECT_EQ(d.IsNegative, row.negative);
    }
}

// The exponent estimate is one too high for some tiny magnitudes; the digit
// text must still start with a non-zero digit and carry 18 good digits. (The
// last digit is that of the extended scaling, which may differ by one from
// the exact expansion: 2^-877 is 9.9241610332960956746...E-265.)
TEST(ToDecimalDigits, TinyMagnitudesWhereTheEstimateIsHigh)
{
    struct Row {
        const char* name;
        int binaryExponent;
        const char* digits;
        int exponent;
    };
    const Row rows[] = {
        {"2^-681", -681, "996719495109756754", -205},
        {"2^-877", -877, "992416103329609568", -264},
        {"2^-1166", -1166, "997757625899339713", -351},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const dw::DecimalDigits d = dw::ToDecimalDigits(std::ldexp(1.0L, row.binaryExponent), 18, 9999);
        EXPECT_STREQ(d.DigitText, row.digits);
        EXPECT_EQ(d.DecimalExponent, row.exponent);
    }
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    EXPECT_EQ(dw::NumberToText(std::ldexp(1.0L, -681)), "9,96719495109757E-206");
}

// Exact decimal expansions, for checking the conversion at every binary exponent.
class BigDecimal {
public:
    explicit BigDecimal(std::uint64_t value)
    {
        do {
            m_limbs.push_back(static_cast<std::uint32_t>(value % kBase));
            value /= kBase;
        } while (value != 0);
    }
    void Multiply(std::uint64_t factor)  // factor below 2^33
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint64_t product = limb * factor + carry;  // below 10^9 x 2^33 + 2^33
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = static_cast<std::uint64_t>(product / kBase);
        }
        while (carry != 0) {
            m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }
    std::size_t DigitCount() const { return 9 * (m_limbs.size() - 1) + std::to_string(m_limbs.back()).size(); }
    // The leading digits (at least 19 when there are that many), zero-padded to 27.
    std::string Leading() const
    {
        std::string text = std::to_string(m_limbs.back());
        for (std::size_t i = m_limbs.size() - 1; i-- > 0 && text.size() < 27;) {
            const std::string limb = std::to_string(m_limbs[i]);
            text += std::string(9 - limb.size(), '0') + limb;
        }
        text.resize(27, '0');
        return text;
    }

private:
    static constexpr std::uint64_t kBase = 1000000000;
    std::vector<std::uint32_t> m_limbs;
};

void ExpectEighteenDigits(Extended value, const BigDecimal& mantissa, int shift, const std::string& name)
{
    // value = mantissa x 10^-shift; round its expansion half up to 18 digits.
    const std::string leading = mantissa.Leading();
    std::uint64_t exact = std::stoull(leading.substr(0, 18));
    int exponent = static_cast<int>(mantissa.DigitCount()) - shift;
    if (leading[18] >= '5' && ++exact == 1000000000000000000ull) {
        exact /= 10;
        ++exponent;
    }
    const dw::DecimalDigits d = dw::ToDecimalDigits(value, 18, 9999);
    ASSERT_NE(d.DigitText[0], '0') << name;
    ASSERT_NE(d.DigitText[0], '\0') << name;
    std::string ours = d.DigitText;
    ASSERT_NE(ours.back(), '0') << name;
    ours.resize(18, '0');
    ASSERT_EQ(d.DecimalExponent, exponent) << name;
    const auto got = std::stoull(ours);
    ASSERT_LE(got > exact ? got - exact : exact - got, 1u) << name << ": " << ours << " vs " << exact;
}

TEST(ToDecimalDigits, EveryBinaryExponentAgainstTheExactExpansion)
{
    constexpr std::uint64_t kFullSignificand = ~0ull;  // = 4294967295 x 4294967297
    // Negative exponents: 2^b = 5^-b / 10^-b.
    BigDecimal fives(1);
    for (int k = 1; k <= 16382 + 63; ++k) {
        fives.Multiply(5);
        const int b = -k;
        if (b >= -16382) {
            ExpectEighteenDigits(std::ldexp(1.0L, b), fives, k, "2^" + std::to_string(b));
        }
        // (2^64 - 1) x 2^-k is the largest significand in binade -k + 63.
        const int binade = 63 - k;
        if (binade >= -16382) {
            BigDecimal full = fives;
            full.Multiply(4294967295u);
            full.Multiply(4294967297u);
            ExpectEighteenDigits(dw::ExtendedFromBits(kFullSignificand, static_cast<std::uint16_t>(binade + 16383)),
                                 full, k, "full significand at 2^" + std::to_string(binade));
        }
        if (HasFatalFailure())
            return;
    }
    BigDecimal twos(1);
    for (int b = 0; b <= 16383; ++b) {
        ExpectEighteenDigits(std::ldexp(1.0L, b), twos, 0, "2^" + std::to_string(b));
        twos.Multiply(2);
        if (HasFatalFailure())
            return;
    }
    BigDecimal full(kFullSignificand);
    for (int b = 63; b <= 16383; ++b) {
        ExpectEighteenDigits(dw::ExtendedFromBits(kFullSignificand, static_cast<std::uint16_t>(b + 16383)), full, 0,
                             "full significand at 2^" + std::to_string(b));
        full.Multiply(2);
        if (HasFatalFailure())
            return;
    }
}

// ---------------------------------------------------------------------------
// NumberToText and NumberToStyledText

TEST(NumberToText, GeneralTextWithCommaMark)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    struct Row {
        const char* name;
        Extended value;
        const char* text;
    };
    const Row rows[] = {
        {"integer and fraction", 1234.5L, "1234,5"},
        {"negative", -2.5L, "-2,5"},
        {"zero", 0, "0"},
        {"negative zero", -0.0L, "0"},
        {"a third", 1.0L / 3, "0,333333333333333"},
        {"smallest plain fraction", 0.0001L, "0,0001"},
        {"first scientific fraction", 0.00001L, "1E-5"},
        {"fifteen integer digits", 123456789012345.0L, "123456789012345"},
        {"ten to the fifteenth", 1e15L, "1E15"},
        {"rounds up to ten to the fifteenth", 999999999999999.9L, "1E15"},
        {"scientific with fraction", 1.5e20L, "1,5E20"},
        {"negative scientific", -2.25e-7L, "-2,25E-7"},
        {"integer digits run out", 1.2e14L, "120000000000000"},
        {"infinity", kInfinity, "INF"},
        {"negative infinity has no sign", -kInfinity, "INF"},
        {"NaN", kNan, "NAN"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::NumberToText(row.value), row.text);
    }
}

TEST(NumberToStyledText, Styles)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    struct Row {
        const char* name;
        Extended value;
        NumberStyle style;
        int precision;
        int digits;
        const char* text;
    };
    const Row rows[] = {
        {"general, precision 18", 0.1L, NumberStyle::General, 18, 0, "0,1"},
        {"general, precision 18, a third", 1.0L / 3, NumberStyle::General, 18, 0, "0,333333333333333333"},
        {"precision below 2 counts as 2", 1234.5L, NumberStyle::General, 0, 0, "1,2E3"},
        {"precision above 18 counts as 18", 2.0L / 3, NumberStyle::General, 40, 0, "0,666666666666666667"},
        {"exponent", 1234.5L, NumberStyle::Exponent, 5, 2, "1,2345E+03"},
        {"exponent pads with zeros", 1234.5L, NumberStyle::Exponent, 6, 0, "1,23450E+3"},
        {"exponent, negative power", -0.00012345L, NumberStyle::Exponent, 4, 3, "-1,235E-004"},
        {"exponent of zero", 0, NumberStyle::Exponent, 3, 2, "0,00E+00"},
        {"exponent width is at most 4", 1234.5L, NumberStyle::Exponent, 2, 7, "1,2E+0003"},
        {"exponent ignores the fixed limit", 1e300L, NumberStyle::Exponent, 3, 0, "1,00E+300"},
        {"fixed", 1234.5L, NumberStyle::Fixed, 15, 2, "1234,50"},
        {"fixed, no decimals", 1234.5L, NumberStyle::Fixed, 15, 0, "1235"},
        {"fixed, leading decimal zeros", 0.001234L, NumberStyle::Fixed, 15, 5, "0,00123"},
        {"fixed, rounds to zero", 0.004L, NumberStyle::Fixed, 15, 2, "0,00"},
        {"fixed, rounded to nothing keeps its sign", -0.004L, NumberStyle::Fixed, 15, 2, "-0,00"},
        {"fixed, digits limited to 18", 1.5L, NumberStyle::Fixed, 15, 25, "1,500000000000000000"},
        {"fixed, beyond precision goes general", 1e20L, NumberStyle::Fixed, 15, 2, "1E20"},
        {"fixed, integer digits run out", 1.5e16L, NumberStyle::Fixed, 18, 1, "15000000000000000,0"},
        {"grouped", -1234567.891L, NumberStyle::Grouped, 15, 2, "-1 234 567,89"},
        {"grouped, three digits have no mark", 999, NumberStyle::Grouped, 15, 0, "999"},
        {"grouped, four digits", 1000, NumberStyle::Grouped, 15, 1, "1 000,0"},
        {"grouped, below one", 0.5L, NumberStyle::Grouped, 15, 1, "0,5"},
        {"infinity in any style", kInfinity, NumberStyle::Currency, 15, 2, "INF"},
        {"NaN in any style", kNan, NumberStyle::Fixed, 15, 2, "NAN"},
        {"negative zero", -0.0L, NumberStyle::Fixed, 15, 1, "0,0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::NumberToStyledText(row.value, row.style, row.precision, row.digits), row.text);
    }
}

TEST(NumberToStyledText, CurrencyPlacements)
{
    dw::LocaleFormatSettings settings = Marks(",", "\u00A0");
    settings.CurrencySymbol = "руб";
    const char* positive[] = {"руб1\u00A0234,50", "1\u00A0234,50руб", "руб 1\u00A0234,50", "1\u00A0234,50 руб",
                              "1\u00A0234,50 руб" /* above 3 counts as 3 */};
    const char* negative[] = {"(руб1\u00A0234,50)", "-руб1\u00A0234,50",  "руб-1\u00A0234,50",   "руб1\u00A0234,50-",
                              "(1\u00A0234,50руб)", "-1\u00A0234,50руб",  "1\u00A0234,50-руб",   "1\u00A0234,50руб-",
                              "-1\u00A0234,50 руб", "-руб 1\u00A0234,50", "1\u00A0234,50 руб-",  "руб 1\u00A0234,50-",
                              "руб -1\u00A0234,50", "1\u00A0234,50- руб", "(руб 1\u00A0234,50)", "(1\u00A0234,50 руб)",
                              "(1\u00A0234,50 руб)" /* above 15 counts as 15 */};
    for (int code = 0; code <= 4; ++code) {
        SCOPED_TRACE("non-negative placement " + std::to_string(code));
        settings.CurrencyPlacement = static_cast<std::uint8_t>(code == 4 ? 200 : code);
        dw::ScopedLocaleFormats scoped(settings);
        EXPECT_EQ(dw::NumberToStyledText(1234.5L, NumberStyle::Currency, 15, 2), positive[code]);
    }
    for (int code = 0; code <= 16; ++code) {
        SCOPED_TRACE("negative placement " + std::to_string(code));
        settings.NegativeCurrencyPlacement = static_cast<std::uint8_t>(code == 16 ? 255 : code);
        dw::ScopedLocaleFormats scoped(settings);
        EXPECT_EQ(dw::NumberToStyledText(-1234.5L, NumberStyle::Currency, 15, 2), negative[code]);
    }
}

TEST(NumberToStyledText, CLocaleMarks)
{
    dw::ScopedLocaleFormats marks(Marks(".", ","));
    EXPECT_EQ(dw::NumberToText(1234.5L), "1234.5");
    EXPECT_EQ(dw::NumberToText(0.00001L), "1E-5");
    EXPECT_EQ(dw::NumberToStyledText(-1234567.891L, NumberStyle::Grouped, 15, 2), "-1,234,567.89");
    EXPECT_EQ(dw::NumberToStyledText(1234.5L, NumberStyle::Exponent, 5, 2), "1.2345E+03");
}

}  // namespace
