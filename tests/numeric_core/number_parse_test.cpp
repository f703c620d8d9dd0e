// SPDX-License-Identifier: MIT
#include "numeric/core/number_parse.h"
#include "common/errors.h"
#include "numeric/core/floating_point.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "tests/support/number_marks.h"

#include <gtest/gtest.h>

#include <fpu_control.h>
#include <xmmintrin.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <typeinfo>

namespace {

using dw::Extended;

using dw::test::Marks;

struct ParseRow {
    const char* name;
    std::string text;
    std::optional<Extended> value;  // nothing: invalid
};

void CheckRows(const ParseRow* rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const ParseRow& row = rows[i];
        SCOPED_TRACE(row.name);
        Extended value = -123;
        const bool ok = dw::TryParseNumber(row.text, value);
        ASSERT_EQ(ok, row.value.has_value());
        if (ok) {
            EXPECT_EQ(value, *row.value);
            EXPECT_EQ(std::signbit(value), std::signbit(*row.value));
        }
    }
}

TEST(TryParseNumber, CommaMark)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    const ParseRow rows[] = {
        {"spaces around", " 12,5 ", 12.5L},
        {"negative", "-12,5", -12.5L},
        {"space inside", "1 234", std::nullopt},
        {"point is not the mark", "12.5", std::nullopt},
        {"exponent letter without digits", "1E", 1},
        {"exponent with sign", "1,5e-3", 0.0015L},
        {"lone mark", ",", 0},
        {"empty", "", std::nullopt},
        {"lone sign", "-", std::nullopt},
        {"exponent digits left unread", "1E5000", std::nullopt},
        {"plus sign", "+5", 5},
        {"two signs", "--5", std::nullopt},
        {"signed lone mark", "-,", -0.0L},
        {"mark without fraction digits", "1,", 1},
        {"mark without integer digits", ",25", 0.25L},
        {"only spaces", "   ", std::nullopt},
        {"tab is not a space", "\t5", std::nullopt},
        {"exponent without mantissa", "E5", std::nullopt},
        {"thousands mark never accepted", "1 234,5", std::nullopt},
        {"largest three-digit exponent", "1E499", dw::ScaleByPowerOfTen(1, 499)},
        {"third digit reaching 500 is read", "1E500", dw::ScaleByPowerOfTen(1, 500)},
        {"a fourth digit after 499 is read", "1E4990", std::nullopt},  // 10^4990 overflows
        {"leading exponent zeros", "1E0000000000002", 100},
        {"overflow", "1E4999", std::nullopt},
        {"underflow reads as zero", "1E-4999", 0},
        {"below the smallest normal", "1E-4940", dw::ScaleByPowerOfTen(1, -4940)},
        {"trailing garbage", "5x", std::nullopt},
        {"two marks", "1,2,3", std::nullopt},
        {"exponent sign only", "2e+", 2},
        {"non-ASCII digit", "\xD9\xA1", std::nullopt},
        {"stray byte", "1\xFF", std::nullopt},
        {"embedded NUL", std::string("1\0", 2), std::nullopt},
        {"fraction digits count into the exponent", "0,0000000000000000000000000001", dw::ScaleByPowerOfTen(1, -28)},
        {"many integer digits overflow", std::string(5000, '9'), std::nullopt},
        {"many fraction zeros", "0," + std::string(100000, '0') + "1", 0},
    };
    CheckRows(rows, std::size(rows));
}

TEST(TryParseNumber, CLocaleMarks)
{
    dw::ScopedLocaleFormats marks(Marks(".", ","));
    const ParseRow rows[] = {
        {"point", "12.5", 12.5L},
        {"comma is not the mark", "12,5", std::nullopt},
        {"thousands mark never accepted", "1,234", std::nullopt},
        {"lone point", ".", 0},
    };
    CheckRows(rows, std::size(rows));
}

TEST(TryParseNumber, MultiByteMark)
{
    dw::ScopedLocaleFormats marks(Marks("\u066B", "\u00A0"));
    const ParseRow rows[] = {
        {"two-byte mark", "12\u066B5", 12.5L},
        {"half a mark", "12\xD9", std::nullopt},
        {"no-break space is no thousands mark", "1\u00A0234", std::nullopt},
    };
    CheckRows(rows, std::size(rows));
}

TEST(TryParseNumber, OverflowStoresItsValue)
{
    Extended value = 0;
    EXPECT_FALSE(dw::TryParseNumber("1E4999", value));
    EXPECT_EQ(value, std::numeric_limits<Extended>::infinity());
}

TEST(ParseNumber, MessageQuotesTheWholeText)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    EXPECT_EQ(dw::ParseNumber(" -1,5e2 "), -150);
    try {
        dw::ParseNumber(" 1 234 ");
        FAIL() << "no error";
    } catch (const dw::EConvertError& e) {
        EXPECT_EQ(e.Message(), "' 1 234 ' is not a valid floating point value");
    }
}

// ---------------------------------------------------------------------------
// The floating-point environment

// Puts the test process's environment back whatever a test did to it.
class FloatingPoint : public testing::Test {
protected:
    void SetUp() override { std::fegetenv(&m_saved); }
    void TearDown() override { std::fesetenv(&m_saved); }

private:
    std::fenv_t m_saved;
};

TEST_F(FloatingPoint, ParserUsesNearestRoundingAndRestoresTheCallers)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    std::fesetround(FE_UPWARD);
    // 7/10 rounds down to nearest; upward rounding would give the next value.
    EXPECT_EQ(dw::ParseNumber("0,7"), 0.7L);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
}

TEST_F(FloatingPoint, ParserUsesFullPrecisionAndRestoresTheCallers)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    fpu_control_t word;
    _FPU_GETCW(word);
    const fpu_control_t doublePrecision = (word & ~_FPU_EXTENDED) | _FPU_DOUBLE;
    _FPU_SETCW(doublePrecision);
    const Extended value = dw::ParseNumber("0,7");
    fpu_control_t after;
    _FPU_GETCW(after);
    EXPECT_EQ(after, doublePrecision);
    _FPU_SETCW(word);
    EXPECT_EQ(value, 0.7L);
}

TEST_F(FloatingPoint, ParserNeitherLeaksNorLosesFlags)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_DIVBYZERO);
    Extended value;
    EXPECT_FALSE(dw::TryParseNumber("1E4999", value));  // raises overflow inside
    EXPECT_EQ(std::fetestexcept(FE_OVERFLOW), 0);
    EXPECT_NE(std::fetestexcept(FE_DIVBYZERO), 0);
    // A flag pending before the call does not make a good text fail.
    std::feraiseexcept(FE_OVERFLOW | FE_INVALID);
    EXPECT_TRUE(dw::TryParseNumber("5", value));
}

std::uint16_t X87Status()
{
    std::uint16_t status;
    asm volatile("fnstsw %0" : "=m"(status));
    return status;
}

// Each unit keeps its own flags: a division by zero pending on the x87 unit
// and an inexact result pending on SSE both survive a parse.
TEST_F(FloatingPoint, ParserKeepsEachUnitsFlagsAndControl)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile Extended longZero = 0;
    volatile Extended longResult = 1 / longZero;  // x87 division by zero
    (void)longResult;
    volatile double one = 1, three = 3;
    volatile double shortResult = one / three;  // SSE inexact
    (void)shortResult;
    _mm_setcsr((_mm_getcsr() & ~0x6000u) | _MM_ROUND_TOWARD_ZERO);
    const unsigned sseBefore = _mm_getcsr();
    const std::uint16_t x87Before = X87Status() & 0x3F;
    ASSERT_NE(x87Before & FE_DIVBYZERO, 0);
    ASSERT_NE(sseBefore & FE_INEXACT, 0u);

    Extended value;
    EXPECT_TRUE(dw::TryParseNumber("3", value));
    EXPECT_FALSE(dw::TryParseNumber("1E4999", value));

    EXPECT_EQ(_mm_getcsr(), sseBefore);
    EXPECT_EQ(X87Status() & 0x3F, x87Before);
}

TEST_F(FloatingPoint, PendingFlagsBecomeTheProgramsErrors)
{
    struct Row {
        const char* name;
        int flags;
        const char* message;  // nullptr: nothing raised
        const std::type_info* type;
    };
    const Row rows[] = {
        {"invalid operation", FE_INVALID, "Invalid floating point operation", &typeid(dw::EInvalidOp)},
        {"division by zero", FE_DIVBYZERO, "Floating point division by zero", &typeid(dw::EZeroDivide)},
        {"overflow", FE_OVERFLOW, "Floating point overflow", &typeid(dw::EOverflow)},
        {"invalid comes first", FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW, "Invalid floating point operation",
         &typeid(dw::EInvalidOp)},
        {"division before overflow", FE_DIVBYZERO | FE_OVERFLOW, "Floating point division by zero",
         &typeid(dw::EZeroDivide)},
        {"underflow and inexact are not errors", FE_UNDERFLOW | FE_INEXACT, nullptr, nullptr},
        {"nothing pending", 0, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::feclearexcept(FE_ALL_EXCEPT);
        if (row.flags != 0)
            std::feraiseexcept(row.flags);
        if (row.message == nullptr) {
            EXPECT_NO_THROW(dw::ThrowPendingFloatingPointError());
            continue;
        }
        try {
            dw::ThrowPendingFloatingPointError();
            ADD_FAILURE() << "no error";
        } catch (const dw::EMathError& e) {
            EXPECT_EQ(e.Message(), row.message);
            EXPECT_EQ(typeid(e), *row.type);
        }
        // Reported once only.
        EXPECT_NO_THROW(dw::ThrowPendingFloatingPointError());
    }
}

TEST_F(FloatingPoint, RealArithmeticIsCaught)
{
    dw::ClearFloatingPointErrors();
    volatile Extended zero = 0;
    volatile Extended result = 1 / zero;
    (void)result;
    EXPECT_THROW(dw::ThrowPendingFloatingPointError(), dw::EZeroDivide);
    dw::ClearFloatingPointErrors();
    volatile Extended big = std::numeric_limits<Extended>::max();
    result = big * 2;
    EXPECT_THROW(dw::ThrowPendingFloatingPointError(), dw::EOverflow);
    result = zero / zero;
    EXPECT_THROW(dw::ThrowPendingFloatingPointError(), dw::EInvalidOp);
}

}  // namespace
