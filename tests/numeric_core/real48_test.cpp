// SPDX-License-Identifier: MIT
#include "numeric/core/real48.h"

#include "common/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

using Bytes = dw::Real48::Bytes;

constexpr std::uint16_t kBias = 16383;
constexpr std::uint16_t kNegative = 0x8000;

dw::Extended Ext(std::uint64_t significand, int unbiasedExponent, bool negative = false)
{
    return dw::ExtendedFromBits(significand,
                                static_cast<std::uint16_t>((kBias + unbiasedExponent) | (negative ? kNegative : 0)));
}

struct ConversionRow {
    const char* name;
    dw::Extended value;
    Bytes bytes;
};

// Exponent byte first, then the low fraction byte, then the little-endian word
// with the sign in its top bit.
const ConversionRow kConversions[] = {
    {"one", 1.0L, {0x81, 0, 0, 0, 0, 0x00}},
    {"minus one", -1.0L, {0x81, 0, 0, 0, 0, 0x80}},
    {"a half", 0.5L, {0x80, 0, 0, 0, 0, 0x00}},
    {"two and a half", 2.5L, {0x82, 0, 0, 0, 0, 0x20}},
    {"one tenth rounds up", 0.1L, {0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}},
    {"fraction bytes in order",
     Ext((std::uint64_t{1} << 63) | (std::uint64_t{0x123456789A} << 24), 0),
     {0x81, 0x9A, 0x78, 0x56, 0x34, 0x12}},
    {"all fraction bits", Ext(0xFFFFFFFFFF000000ull, 0), {0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
    {"all fraction bits, negative", Ext(0xFFFFFFFFFF000000ull, 0, true), {0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
};

TEST(Real48, ByteLayout)
{
    for (const auto& row : kConversions) {
        SCOPED_TRACE(row.name);
        const dw::Real48 r = dw::Real48::FromExtended(row.value);
        EXPECT_EQ(r.ByteImage(), row.bytes);
    }
}

// 40 bits are kept; the highest dropped bit decides, on the magnitude.
const ConversionRow kRounding[] = {
    {"below half drops", Ext(0x80000000007FFFFFull, 0), {0x81, 0x00, 0, 0, 0, 0x00}},
    {"exactly half rounds up", Ext(0x8000000000800000ull, 0), {0x81, 0x01, 0, 0, 0, 0x00}},
    {"half of a negative rounds away from zero", Ext(0x8000000000800000ull, 0, true), {0x81, 0x01, 0, 0, 0, 0x80}},
    {"half with an even kept part still rounds up", Ext(0x8000000001800000ull, 0), {0x81, 0x02, 0, 0, 0, 0x00}},
    {"above half rounds up", Ext(0x8000000000800001ull, 0), {0x81, 0x01, 0, 0, 0, 0x00}},
    {"carry into the word", Ext(0x80000000FF800000ull, 0), {0x81, 0x00, 0x01, 0, 0, 0x00}},
    {"carry out of 40 bits raises the exponent", Ext(0xFFFFFFFFFF800000ull, 0), {0x82, 0, 0, 0, 0, 0x00}},
    {"largest without carry", Ext(0xFFFFFFFFFF7FFFFFull, 0), {0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
};

TEST(Real48, RoundsHalfAwayFromZero)
{
    for (const auto& row : kRounding) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::Real48::FromExtended(row.value).ByteImage(), row.bytes);
    }
}

const ConversionRow kUnderflow[] = {
    {"2^-128 is the smallest", Ext(1ull << 63, -128), {0x01, 0, 0, 0, 0, 0x00}},
    {"-2^-128", Ext(1ull << 63, -128, true), {0x01, 0, 0, 0, 0, 0x80}},
    {"just below 2^-128 is zero", Ext(0xFFFFFFFFFF7FFFFFull, -129), {0, 0, 0, 0, 0, 0}},
    {"just below 2^-128, negative, is +0", Ext(0xFFFFFFFFFF7FFFFFull, -129, true), {0, 0, 0, 0, 0, 0}},
    {"rounding up to 2^-128 survives", Ext(0xFFFFFFFFFF800000ull, -129), {0x01, 0, 0, 0, 0, 0x00}},
    {"2^-129 is zero", Ext(1ull << 63, -129), {0, 0, 0, 0, 0, 0}},
    {"plus zero", 0.0L, {0, 0, 0, 0, 0, 0}},
    {"minus zero loses its sign", -0.0L, {0, 0, 0, 0, 0, 0}},
    {"smallest extended", std::numeric_limits<dw::Extended>::denorm_min(), {0, 0, 0, 0, 0, 0}},
    {"smallest normal extended", -std::numeric_limits<dw::Extended>::min(), {0, 0, 0, 0, 0, 0}},
};

TEST(Real48, SmallMagnitudesBecomePlusZero)
{
    for (const auto& row : kUnderflow) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::Real48::FromExtended(row.value).ByteImage(), row.bytes);
    }
}

TEST(Real48, LargestMagnitudeBelow2To127Converts)
{
    const dw::Real48 top = dw::Real48::FromExtended(Ext(0xFFFFFFFFFF7FFFFFull, 126));
    EXPECT_EQ(top.ByteImage(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(top.ToExtended(), Ext(0xFFFFFFFFFF000000ull, 126));
    const dw::Real48 bottom = dw::Real48::FromExtended(Ext(0xFFFFFFFFFF7FFFFFull, 126, true));
    EXPECT_EQ(bottom.ByteImage(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

struct OverflowRow {
    const char* name;
    dw::Extended value;
};

const OverflowRow kOverflows[] = {
    {"rounds up to 2^127", Ext(0xFFFFFFFFFF800000ull, 126)},
    {"rounds up to -2^127", Ext(0xFFFFFFFFFF800000ull, 126, true)},
    {"exactly 2^127", Ext(1ull << 63, 127)},
    {"largest extended", std::numeric_limits<dw::Extended>::max()},
    {"infinity", std::numeric_limits<dw::Extended>::infinity()},
    {"minus infinity", -std::numeric_limits<dw::Extended>::infinity()},
    {"NaN", std::numeric_limits<dw::Extended>::quiet_NaN()},
};

TEST(Real48, TooLargeRaisesOverflow)
{
    for (const auto& row : kOverflows) {
        SCOPED_TRACE(row.name);
        try {
            dw::Real48::FromExtended(row.value);
            ADD_FAILURE() << "no error";
        } catch (const dw::EOverflow& e) {
            EXPECT_EQ(e.Message(), "Floating point overflow");
        }
    }
}

TEST(Real48, EncodingsWithoutTheIntegerBitConvertByTheirValue)
{
    // 0x4000... with exponent 1 stands for 1.0; a pseudo-zero is zero.
    EXPECT_EQ(dw::Real48::FromExtended(Ext(1ull << 62, 1)).ByteImage(), (Bytes{0x81, 0, 0, 0, 0, 0}));
    EXPECT_EQ(dw::Real48::FromExtended(Ext(0, 5)).ByteImage(), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST(Real48, ZeroExponentByteIsZeroWhateverTheRest)
{
    const dw::Real48 r = dw::Real48::FromBytes({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(r.ToExtended(), 0.0L);
    EXPECT_FALSE(std::signbit(r.ToExtended()));
}

// Every value with 40 significant bits and an exponent in range survives both
// ways exactly; the rows above are included, then a deterministic spread of
// fraction patterns at every exponent.
TEST(Real48, RoundTripIsExact)
{
    for (const auto& row : kConversions) {
        SCOPED_TRACE(row.name);
        const dw::Real48 r = dw::Real48::FromBytes(row.bytes);
        EXPECT_EQ(dw::Real48::FromExtended(r.ToExtended()), r);
    }
    std::mt19937_64 random(20261206);
    int failures = 0;
    for (int exponent = 1; exponent <= 255; ++exponent) {
        for (int i = 0; i < 200 && failures < 5; ++i) {
            std::uint64_t fraction = random() & ((std::uint64_t{1} << 39) - 1);
            if (i == 0)
                fraction = 0;
            if (i == 1)
                fraction = (std::uint64_t{1} << 39) - 1;
            const bool negative = (i & 2) != 0;
            const dw::Extended x = Ext(((std::uint64_t{1} << 39) | fraction) << 24, exponent - 129, negative);
            const dw::Real48 r = dw::Real48::FromExtended(x);
            const dw::Extended back = r.ToExtended();
            const dw::Extended expected =
                std::ldexp(static_cast<dw::Extended>((std::uint64_t{1} << 39) | fraction), exponent - 129 - 39) *
                (negative ? -1 : 1);
            if (back != x || back != expected || r.ExponentByte() != exponent || r.Fraction() != fraction ||
                r.Negative() != negative) {
                ADD_FAILURE() << "exponent " << exponent << " fraction " << fraction;
                ++failures;
            }
        }
    }
}

}  // namespace
