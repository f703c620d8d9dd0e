// SPDX-License-Identifier: MIT
#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "tests/support/number_marks.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using dw::Extended;

using dw::test::Marks;

const Extended kInfinity = std::numeric_limits<Extended>::infinity();
const Extended kNan = std::numeric_limits<Extended>::quiet_NaN();

// Each row gives the result with DecimalMark "," and ThousandsMark " ", and
// with the C marks "." and ",".
struct PatternRow {
    const char* name;
    const char* pattern;
    Extended value;
    const char* commaSpace;
    const char* pointComma;
};

void CheckRows(const PatternRow* rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const PatternRow& row = rows[i];
        SCOPED_TRACE(row.name);
        {
            dw::ScopedLocaleFormats marks(Marks(",", " "));
            EXPECT_EQ(dw::FormatNumberPattern(row.pattern, row.value), row.commaSpace);
        }
        {
            dw::ScopedLocaleFormats marks(Marks(".", ","));
            EXPECT_EQ(dw::FormatNumberPattern(row.pattern, row.value), row.pointComma);
        }
    }
}

constexpr const char* kKilograms = ",0.00 кг'.';-,0.00 кг'.'";
constexpr const char* kMillimetres = ",0. мм'.';-,0. мм'.'";
constexpr const char* kMetres = ",0.0 м'.';-,0.0 м'.'";

TEST(FormatNumberPattern, TheProgramsPatterns)
{
    const PatternRow rows[] = {
        {"grouped with two decimals", kKilograms, 1234.5L, "1 234,50 кг.", "1,234.50 кг."},
        {"negative section", kKilograms, -1234.5L, "-1 234,50 кг.", "-1,234.50 кг."},
        {"zero", kKilograms, 0, "0,00 кг.", "0.00 кг."},
        {"half a hundredth rounds up", kKilograms, 0.005L, "0,01 кг.", "0.01 кг."},
        {"whole millimetres", kMillimetres, 12.7L, "13 мм.", "13 мм."},
        {"millimetres grouped", kMillimetres, 1234567.89L, "1 234 568 мм.", "1,234,568 мм."},
        {"rounds down to zero", kMillimetres, 0.4L, "0 мм.", "0 мм."},
        {"rounds to nothing but keeps its sign", kMillimetres, -0.4L, "-0 мм.", "-0 мм."},
        {"metres", kMetres, 2500, "2 500,0 м.", "2,500.0 м."},
        {"tonnes, three decimals", ",0.000 т'.';-,0.000 т'.'", 12.3456L, "12,346 т.", "12.346 т."},
        {"density", ",0.00 г/см3'.';-,0.00 г/см3'.'", 1.2L, "1,20 г/см3.", "1.20 г/см3."},
        {"general fallback at 10^18", ",0.00 т'.';-,0.00 т'.'", 1e18L, "1E18", "1E18"},
        {"just below the fallback", ",0. мм'.';-,0. мм'.'", 123456789012345678.0L, "123 456 789 012 345 678 мм.",
         "123,456,789,012,345,678 мм."},
    };
    CheckRows(rows, std::size(rows));
}

TEST(FormatNumberPattern, EdgeCases)
{
    const PatternRow rows[] = {
        {"empty pattern: general text", "", 1234.5L, "1234,5", "1234.5"},
        {"empty section 1: general text", ";-0.0", 5, "5", "5"},
        {"section 2 exists", ";-0.0", -5, "-5,0", "-5.0"},
        {"one section: automatic minus", "0.0", -5, "-5,0", "-5.0"},
        {"rounds to nothing, keeps its sign", "0.0", -0.04L, "-0,0", "-0.0"},
        {"rounded away entirely: no sign", "0.0", -0.004L, "0,0", "0.0"},
        {"negative zero re-chosen to section 1", kMetres, -0.0L, "0,0 м.", "0.0 м."},
        {"third section for zero after rounding", "0.00;-0.00;'nil'", 0.004L, "nil", "nil"},
        {"not zero after rounding", "0.00;-0.00;'nil'", 0.006L, "0,01", "0.01"},
        {"no decimal digit, no mark", "#.##", 5, "5", "5"},
        {"no required integer digit", "#.##", 0.5L, ",5", ".5"},
        {"leading decimal zero is written", "#.##", 0.05L, ",05", ".05"},
        {"two required integer digits", "00.0", 5, "05,0", "05.0"},
        {"grouping", ",0", 1234567, "1 234 567", "1,234,567"},
        {"comma after the point still groups", "0.0,", 1234.56L, "1 234,6", "1,234.6"},
        {"half away from zero", "0", 2.5L, "3", "3"},
        {"negative half away from zero", "0", -2.5L, "-3", "-3"},
        {"decided on the decimal text", "0.00", 0.125L, "0,13", "0.13"},
        {"scientific", "0.00E+00", 1234.5L, "1,23E+03", "1.23E+03"},
        {"no plus sign with E-", "0.0E-0", 1234.5L, "1,2E3", "1.2E3"},
        {"zero has exponent 0", "0.00E+00", 0, "0,00E+00", "0.00E+00"},
        {"negative exponent", "0.0E+00", 0.00012L, "1,2E-04", "1.2E-04"},
        {"exponent width at most 4", "0E+000000", 5, "5E+0000", "5E+0000"},
        {"lower-case e", "0.0e-00", 0.00012L, "1,2e-04", "1.2e-04"},
        {"E without a sign is a literal", "0 Ee", 5, "5 Ee", "5 Ee"},
        {"infinity", kKilograms, kInfinity, "INF", "INF"},
        {"negative infinity", kKilograms, -kInfinity, "INF", "INF"},
        {"NaN", "0.00", kNan, "NAN", "NAN"},
    };
    CheckRows(rows, std::size(rows));
}

TEST(FormatNumberPattern, QuotesAndSections)
{
    const PatternRow rows[] = {
        {"semicolon inside quotes", "'a;b'0", 5, "a;b5", "a;b5"},
        {"double quotes", "0\" \"\"x\"", 5, "5 x", "5 x"},
        {"an apostrophe inside double quotes", "0\"'\"", 5, "5'", "5'"},
        {"unclosed quote runs to the end", "0 'abc;0", 5, "5 abc;0", "5 abc;0"},
        {"unclosed quote hides section 2", "0'x;-0", -5, "-5x;-0", "-5x;-0"},
        {"empty section 2 falls back to section 1", "0.0;;'z'", -5, "-5,0", "-5.0"},
        {"missing section 3 uses section 1", "0.0;-0.0", 0, "0,0", "0.0"},
        {"section 2 rounding to zero uses section 3", "0.0;(0.0);'z'", -0.01L, "z", "z"},
        {"section 2 rounding to zero, section 1 gets the minus", "0.0;(0.0)", -0.01L, "-0,0", "-0.0"},
        {"literal minus kept beside the automatic one", "-0", -5, "--5", "--5"},
        {"further points are ignored", "0.0.0", 1.25L, "1,25", "1.25"},
        {"no placeholders", "abc", -5, "-abc", "-abc"},
        {"only the section's own characters", "0 x;y", 5, "5 x", "5 x"},
        {"a zero section re-chosen after a scientific one keeps the fallback limit", "E+;;0", 1e300L, "1E300", "1E300"},
    };
    CheckRows(rows, std::size(rows));
}

TEST(FormatNumberPattern, MultiByteMarks)
{
    dw::ScopedLocaleFormats marks(Marks(",", "\u00A0"));
    EXPECT_EQ(dw::FormatNumberPattern(kKilograms, 1234567.5L), "1\u00A0234\u00A0567,50 кг.");
    // A record holding more than one character writes only the first.
    dw::ScopedLocaleFormats longMarks(Marks("<>", "ab"));
    EXPECT_EQ(dw::FormatNumberPattern(",0.0", 1234.5L), "1a234<5");
}

TEST(FormatNumberPattern, LengthLimitCountsCharacters)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    struct Row {
        const char* name;
        std::string pattern;
        bool accepted;
    };
    const std::string cyrillic = "ж";
    std::string cyrillic224;
    for (int i = 0; i < 223; ++i) cyrillic224 += cyrillic;
    cyrillic224 = "0" + cyrillic224;
    const Row rows[] = {
        {"224 ASCII characters", "0" + std::string(223, 'x'), true},
        {"225 ASCII characters", "0" + std::string(224, 'x'), false},
        {"224 two-byte characters", cyrillic224, true},
        {"225 two-byte characters", cyrillic224 + cyrillic, false},
        {"224 stray bytes", "0" + std::string(223, '\xFF'), true},
        {"225 stray bytes", "0" + std::string(224, '\xFF'), false},
        {"10,000 characters", std::string(10000, '0'), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.accepted) {
            const std::string text = dw::FormatNumberPattern(row.pattern, 5);
            EXPECT_EQ(text, "5" + row.pattern.substr(1));
        } else {
            try {
                dw::FormatNumberPattern(row.pattern, 5);
                ADD_FAILURE() << "no error";
            } catch (const dw::EConvertError& e) {
                EXPECT_EQ(e.Message(), "Format string too long");
            }
        }
    }
}

// The output is not cut at 256 characters: every placeholder is written.
TEST(FormatNumberPattern, LongOutputIsComplete)
{
    dw::ScopedLocaleFormats marks(Marks(",", "\u00A0"));
    const std::string pattern = "," + std::string(223, '0');
    std::string digits = std::string(222, '0') + "5";
    std::string expected;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        expected += digits[i];
        const std::size_t left = digits.size() - 1 - i;
        if (left > 0 && left % 3 == 0)
            expected += "\u00A0";
    }
    const std::string text = dw::FormatNumberPattern(pattern, 5);
    EXPECT_EQ(text, expected);
    EXPECT_GT(dw::utf8::CodePointCount(text), 256u);

    const std::string decimals = "0." + std::string(222, '0');
    EXPECT_EQ(dw::FormatNumberPattern(decimals, 1.5L), "1," + std::string("5") + std::string(221, '0'));
}

// Scans of recent patterns are kept; a pattern changed in place, or many
// patterns in turn, must still be read as they stand.
TEST(FormatNumberPattern, PatternsAreReadAsTheyStand)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    std::string pattern = "0.0";
    EXPECT_EQ(dw::FormatNumberPattern(pattern, 5), "5,0");
    pattern[2] = '#';
    EXPECT_EQ(dw::FormatNumberPattern(pattern, 5), "5");
    pattern[0] = ';';
    EXPECT_EQ(dw::FormatNumberPattern(pattern, 5), "5");
    EXPECT_EQ(dw::FormatNumberPattern(pattern, -5), "5");  // section 2 carries no minus

    std::vector<std::string> patterns;
    for (int i = 0; i < 20; ++i) patterns.push_back("0." + std::string(static_cast<std::size_t>(i), '0') + " x");
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            SCOPED_TRACE(patterns[i]);
            const std::string expected = i == 0 ? "2 x" : "2," + std::string(i, '0') + " x";
            EXPECT_EQ(dw::FormatNumberPattern(patterns[i], 2), expected);
        }
    }
}

TEST(FormatNumberPattern, AnyBytesAreTaken)
{
    dw::ScopedLocaleFormats marks(Marks(",", " "));
    const std::string stray = "0\xC3\x28 \xE2\x82 \xF0\x9F\x98";  // broken sequences around ASCII
    EXPECT_EQ(dw::FormatNumberPattern(stray, 7), "7\xC3\x28 \xE2\x82 \xF0\x9F\x98");
    const std::string scientificRun = "0E+0E+0E+0E-0E-0e+e-E+";
    EXPECT_FALSE(dw::FormatNumberPattern(scientificRun, 1e-4000L).empty());
    EXPECT_EQ(dw::FormatNumberPattern(std::string("0\0x", 3), 3), std::string("3\0x", 3));
}

}  // namespace
