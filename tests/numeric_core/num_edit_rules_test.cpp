// SPDX-License-Identifier: MIT
#include "numeric/core/num_edit_rules.h"

#include "common/errors.h"
#include "numeric/core/locale_formats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace dw {
namespace {

LocaleFormatSettings Marks(const char* decimalMark, const char* thousandsMark)
{
    LocaleFormatSettings settings;
    settings.DecimalMark = decimalMark;
    settings.ThousandsMark = thousandsMark;
    return settings;
}

const char* const kNoBreakSpace = "\xC2\xA0";

// Names each table row after its name field.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

// --- NormalizeNumberText ---------------------------------------------------

struct NormalizeRow {
    const char* name;
    const char* decimalMark;
    const char* thousandsMark;
    std::string text;
    std::string normalized;
};

class NormalizeNumberTextTest : public ::testing::TestWithParam<NormalizeRow> {};

TEST_P(NormalizeNumberTextTest, Normalizes)
{
    const NormalizeRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
    EXPECT_EQ(NormalizeNumberText(row.text), row.normalized);
}

INSTANTIATE_TEST_SUITE_P(Table, NormalizeNumberTextTest,
                         ::testing::Values(NormalizeRow{"TrimsSpacesOnly", ",", ".", "  12,5  ", "12,5"},
                                           NormalizeRow{"KeepsTabs", ",", ".", "\t1", "\t1"},
                                           NormalizeRow{"DropsSpaceThousands", ",", " ", " 1 234 567,5 ", "1234567,5"},
                                           NormalizeRow{"PointBecomesCommaWithSpaceThousands", ",", " ", "1234.5",
                                                        "1234,5"},
                                           NormalizeRow{"DropsCommaThousands", ".", ",", "1,234.5", "1234.5"},
                                           NormalizeRow{"PointThousandsAreDropped", ",", ".", "1.234,5", "1234,5"},
                                           NormalizeRow{"CommaBecomesPoint", ".", " ", "1,5", "1.5"},
                                           NormalizeRow{"MultiByteThousandsMark", ",", kNoBreakSpace,
                                                        "1\xC2\xA0"
                                                        "234,5",
                                                        "1234,5"},
                                           NormalizeRow{"MultiByteMarkNotMatchedInsideAnother", ",", kNoBreakSpace,
                                                        "1\xC2\xA1", "1\xC2\xA1"},
                                           NormalizeRow{"OtherDecimalMark", "\xD9\xAB", " ", "1.5",
                                                        "1\xD9\xAB"
                                                        "5"},
                                           NormalizeRow{"EqualMarksAreKept", ",", ",", "1,5", "1,5"},
                                           NormalizeRow{"EmptyIsZero", ",", " ", "", "0"},
                                           NormalizeRow{"OnlySpacesIsZero", ",", ".", "   ", "0"},
                                           NormalizeRow{"LoneMinusIsMinusZero", ",", " ", " - ", "-0"},
                                           NormalizeRow{"StrayBytesKept", ",", " ", "1\xFF", "1\xFF"}),
                         RowName());

// --- IsNumberText -----------------------------------------------------------

struct IsNumberRow {
    const char* name;
    std::string text;
    bool isNumber;
    Extended value;
};

class IsNumberTextTest : public ::testing::TestWithParam<IsNumberRow> {};

TEST_P(IsNumberTextTest, Decides)
{
    const IsNumberRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(",", " "));
    Extended value = -999;
    EXPECT_EQ(IsNumberText(row.text, value), row.isNumber);
    if (row.isNumber) {
        EXPECT_EQ(value, row.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsNumberTextTest,
    ::testing::Values(IsNumberRow{"Plain", "12,5", true, 12.5L}, IsNumberRow{"Negative", "-3", true, -3},
                      IsNumberRow{"LoneMark", ",", true, 0}, IsNumberRow{"Exponent", "1,5e-3", true, 1.5e-3L},
                      IsNumberRow{"Empty", "", false, 0}, IsNumberRow{"SpaceIsNotAllowed", " 1", false, 0},
                      IsNumberRow{"PointIsNotTheMark", "1.5", false, 0}, IsNumberRow{"Letter", "1a", false, 0},
                      IsNumberRow{"ExponentWithoutMantissa", "E5", false, 0},
                      IsNumberRow{"TwoMarks", "1,2,3", false, 0},
                      IsNumberRow{"BadCharacterAnywhere", std::string(70, '1') + "x", false, 0},
                      IsNumberRow{"ExponentOverflow", "1E5000", false, 0}),
    RowName());

// Only the first 63 characters are read: a bad tail past them goes unseen.
TEST(IsNumberText, ReadsOnlyTheFirst63Characters)
{
    ScopedLocaleFormats marks(Marks(",", " "));
    Extended value = 0;
    ASSERT_TRUE(IsNumberText(std::string(63, '1') + "E-E", value));
    EXPECT_GT(value, 1e62L);
    EXPECT_LT(value, 1e63L);
}

// --- ClampToRange -------------------------------------------------------------

struct ClampRow {
    const char* name;
    Extended minValue, maxValue, x, result;
};

class ClampToRangeTest : public ::testing::TestWithParam<ClampRow> {};

TEST_P(ClampToRangeTest, Clamps)
{
    const ClampRow& row = GetParam();
    NumEditSettings settings;
    settings.MinValue = row.minValue;
    settings.MaxValue = row.maxValue;
    EXPECT_EQ(ClampToRange(row.x, settings, false), row.result);
    if (row.result == row.x)
        EXPECT_NO_THROW(ClampToRange(row.x, settings, true));
    else
        EXPECT_THROW(ClampToRange(row.x, settings, true), ERangeError);
}

INSTANTIATE_TEST_SUITE_P(Table, ClampToRangeTest,
                         ::testing::Values(ClampRow{"EqualBoundsMeanNoRange", 0, 0, -1e30L, -1e30L},
                                           ClampRow{"EqualNonZeroBounds", 5, 5, 7, 7},
                                           ClampRow{"BelowMin", 0, 100, -1, 0}, ClampRow{"AboveMax", 0, 100, 150, 100},
                                           ClampRow{"Inside", 0, 100, 50, 50}, ClampRow{"OnBound", 0, 100, 100, 100},
                                           ClampRow{"OnlyMinBelow", 10, 0, 5, 10},
                                           ClampRow{"OnlyMinAbove", 10, 0, 1e9L, 1e9L},
                                           ClampRow{"OnlyMaxAbove", 0, -10, 5, -10},
                                           ClampRow{"OnlyMaxBelow", 0, -10, -1e9L, -1e9L},
                                           ClampRow{"CrossedNonZeroBounds", 10, 5, 100, 100}),
                         RowName());

TEST(ClampToRange, NanIsLeftAloneWithoutRaising)
{
    NumEditSettings settings;
    settings.MaxValue = 100;
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    EXPECT_TRUE(std::isnan(ClampToRange(nan, settings, true)));
}

struct RangeMessageRow {
    const char* name;
    const char* decimalMark;
    unsigned decimals;
    Extended minValue, maxValue;
    const char* message;
};

class RangeErrorMessageTest : public ::testing::TestWithParam<RangeMessageRow> {};

TEST_P(RangeErrorMessageTest, ShowsBothBounds)
{
    const RangeMessageRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(row.decimalMark, " "));
    NumEditSettings settings;
    settings.DecimalPlaces = row.decimals;
    settings.MinValue = row.minValue;
    settings.MaxValue = row.maxValue;
    try {
        ClampToRange(row.maxValue + 1, settings, true);
        FAIL() << "no error";
    } catch (const ERangeError& error) {
        EXPECT_EQ(error.Message(), row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RangeErrorMessageTest,
    ::testing::Values(RangeMessageRow{"TwoDecimals", ",", 2, 0, 100, "Value must be between 0.00 and 100.00"},
                      RangeMessageRow{"PointLocale", ".", 2, 0, 100, "Value must be between 0.00 and 100.00"},
                      RangeMessageRow{"NoDecimals", ",", 0, -5, 1234567, "Value must be between -5 and 1234567"},
                      RangeMessageRow{"Rounded", ",", 1, 0.26L, 99.96L, "Value must be between 0.3 and 100.0"},
                      RangeMessageRow{"NegativeBound", ",", 3, -1.5L, 2, "Value must be between -1.500 and 2.000"}),
    RowName());

TEST(RangeErrorMessage, AnyDecimalCountGivesAMessage)
{
    ScopedLocaleFormats marks(Marks(",", " "));
    NumEditSettings settings;
    settings.DecimalPlaces = 100000;
    settings.MaxValue = 1;
    const std::string message = RangeErrorMessage(settings);
    EXPECT_EQ(message.rfind("Value must be between 0.000", 0), 0u);
    EXPECT_NE(message.find(" and 1.000"), std::string::npos);
}

// --- EditPattern and EditTextFor ---------------------------------------------------

TEST(EditPattern, PlaceholdersPerDecimal)
{
    EXPECT_EQ(EditPattern(0), "0");
    EXPECT_EQ(EditPattern(2), "0.##");
    EXPECT_EQ(EditPattern(5), "0.#####");
    EXPECT_EQ(EditPattern(4000000000u).size(), 224u);
}

struct EditTextRow {
    const char* name;
    Extended value;
    unsigned decimals;
    bool zeroEmpty;
    const char* text;
};

class EditTextForTest : public ::testing::TestWithParam<EditTextRow> {};

TEST_P(EditTextForTest, Writes)
{
    const EditTextRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(",", " "));
    EXPECT_EQ(EditTextFor(row.value, row.decimals, row.zeroEmpty), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditTextForTest,
    ::testing::Values(EditTextRow{"NoThousandsMarks", 1234.5L, 2, true, "1234,5"},
                      EditTextRow{"Whole", 12, 2, true, "12"}, EditTextRow{"RoundsHalfUp", 0.125L, 2, true, "0,13"},
                      EditTextRow{"Negative", -3, 2, true, "-3"}, EditTextRow{"ZeroEmpty", 0, 2, true, ""},
                      EditTextRow{"NegativeZeroEmpty", -0.0L, 2, true, ""}, EditTextRow{"ZeroShown", 0, 2, false, "0"},
                      EditTextRow{"NoDecimals", 12.5L, 0, true, "13"},
                      EditTextRow{"TinyNegativeKeepsSign", -0.001L, 2, true, "-0,00"},
                      EditTextRow{"ResultRoundedToTwo", 12.3456L, 2, true, "12,35"}),
    RowName());

// --- AcceptsKey -----------------------------------------------------------------------

struct KeyRow {
    const char* name;
    const char* decimalMark;
    const char* thousandsMark;
    std::string text;
    std::size_t selectionStart, selectionLength, caret;
    std::string key;
    bool accepted;
    Extended minValue = 0, maxValue = 0;
    unsigned decimals = 2;
};

class AcceptsKeyTest : public ::testing::TestWithParam<KeyRow> {};

TEST_P(AcceptsKeyTest, Decides)
{
    const KeyRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
    NumEditSettings settings;
    settings.DecimalPlaces = row.decimals;
    settings.MinValue = row.minValue;
    settings.MaxValue = row.maxValue;
    EXPECT_EQ(AcceptsKey(row.text, row.selectionStart, row.selectionLength, row.caret, row.key, settings),
              row.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptsKeyTest,
    ::testing::Values(KeyRow{"DigitIntoEmpty", ",", " ", "", 0, 0, 0, "7", true},
                      KeyRow{"SecondDecimal", ",", " ", "1234,5", 0, 0, 6, "6", true},
                      KeyRow{"ThirdDecimal", ",", " ", "1234,56", 0, 0, 7, "7", false},
                      KeyRow{"DigitBeforeMarkWithFullDecimals", ",", " ", "1234,56", 0, 0, 0, "9", true},
                      KeyRow{"MarkThatLeavesThreeDecimals", ",", " ", "1234567", 0, 0, 4, ",", false},
                      KeyRow{"MarkThatLeavesTwoDecimals", ",", " ", "1234567", 0, 0, 5, ",", true},
                      KeyRow{"SecondMark", ",", " ", "1,5", 0, 0, 3, ",", false},
                      KeyRow{"Letter", ",", " ", "12", 0, 0, 2, "a", false},
                      KeyRow{"Cyrillic", ",", " ", "12", 0, 0, 2, "\xD0\x96", false},
                      KeyRow{"LeadingMinus", ",", " ", "", 0, 0, 0, "-", true},
                      KeyRow{"MinusInside", ",", " ", "12", 0, 0, 1, "-", false},
                      KeyRow{"LonePlus", ",", " ", "", 0, 0, 0, "+", false},
                      KeyRow{"ExponentAfterDigit", ",", " ", "12", 0, 0, 2, "E", true},
                      KeyRow{"ExponentFirst", ",", " ", "", 0, 0, 0, "e", false},
                      KeyRow{"ExponentAfterTwoDecimals", ",", " ", "1,25", 0, 0, 4, "E", false},
                      KeyRow{"ExponentAfterOneDecimal", ",", " ", "1,2", 0, 0, 3, "E", true},
                      KeyRow{"DecimalBeforeExponentCountsLetter", ",", " ", "1,2E5", 0, 0, 3, "3", false},
                      KeyRow{"ExponentDigits", ",", " ", "1,2E", 0, 0, 4, "5", true},
                      KeyRow{"SpaceAtEnd", ",", ".", "12", 0, 0, 2, " ", true},
                      KeyRow{"SpaceInside", ",", ".", "12", 0, 0, 1, " ", false},
                      KeyRow{"SpaceInsideWhenThousands", ",", " ", "12", 0, 0, 1, " ", true},
                      KeyRow{"SelectionReplaced", ",", " ", "1234,56", 5, 2, 7, "9", true},
                      KeyRow{"SelectionWithMarkReplaced", ",", " ", "1,5", 1, 1, 2, "5", true},
                      KeyRow{"SelectionNotCountedAgain", ",", " ", "1,56", 2, 2, 2, "7", true},
                      KeyRow{"MarkAtCaret", ",", " ", "12345", 0, 0, 1, ",", false},
                      KeyRow{"CaretPastEndIsEnd", ",", " ", "12", 0, 0, 99, "3", true},
                      KeyRow{"PointLocale", ".", ",", "1.5", 0, 0, 3, "5", true},
                      KeyRow{"PointLocaleThirdDecimal", ".", ",", "1.55", 0, 0, 4, "5", false},
                      KeyRow{"ThousandsInTextIgnored", ",", " ", "1 234,5", 0, 0, 7, "6", true},
                      KeyRow{"CharactersNotBytes", ",", kNoBreakSpace,
                             "1\xC2\xA0"
                             "234",
                             0, 0, 5, "5", true},
                      KeyRow{"CaretCountsCharacters", ",", kNoBreakSpace,
                             "\xC2\xA0"
                             "12345",
                             0, 0, 4, ",", true},
                      KeyRow{"NoDecimalsMarkAlone", ",", " ", "12", 0, 0, 2, ",", true, 0, 0, 0},
                      KeyRow{"NoDecimalsAllowed", ",", " ", "12,", 0, 0, 3, "5", false, 0, 0, 0},
                      KeyRow{"MinusAcceptedInPositiveRange", ",", " ", "", 0, 0, 0, "-", true, 0, 100},
                      KeyRow{"NegativeRefusedInPositiveRange", ",", " ", "-", 0, 0, 1, "5", false, 0, 100},
                      KeyRow{"NegativeAllowedWithNegativeMin", ",", " ", "-", 0, 0, 1, "5", true, -10, 100},
                      KeyRow{"NegativeAllowedWithoutMax", ",", " ", "-", 0, 0, 1, "5", true, 5, 0},
                      KeyRow{"OverflowingExponent", ",", " ", "1E500", 0, 0, 5, "0", false}),
    RowName());

// --- GroupIntegerDigits and the regrouping rule ----------------------------------------------

struct GroupRow {
    const char* name;
    const char* decimalMark;
    const char* thousandsMark;
    std::string text;
    bool grouping;
    std::string grouped;
};

class GroupIntegerDigitsTest : public ::testing::TestWithParam<GroupRow> {};

TEST_P(GroupIntegerDigitsTest, Groups)
{
    const GroupRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
    EXPECT_EQ(GroupIntegerDigits(row.text, row.grouping), row.grouped);
}

INSTANTIATE_TEST_SUITE_P(Table, GroupIntegerDigitsTest,
                         ::testing::Values(GroupRow{"Groups", ",", " ", "1234567,891", true, "1 234 567,891"},
                                           GroupRow{"ShortNotGrouped", ",", " ", "123", true, "123"},
                                           GroupRow{"FourDigits", ",", " ", "1234", true, "1 234"},
                                           GroupRow{"SignStaysInFront", ",", " ", "-1234", true, "-1 234"},
                                           GroupRow{"PlusStays", ",", " ", "+1234", true, "+1 234"},
                                           GroupRow{"EndsAtExponent", ",", " ", "1234E5678", true, "1 234E5678"},
                                           GroupRow{"ExponentBeforeMark", ",", " ", "12345e3", true, "12 345e3"},
                                           GroupRow{"RegroupsOldMarks", ",", " ", "12 34 5", true, "12 345"},
                                           GroupRow{"WithoutGroupingMarksGo", ",", " ", "1 234", false, "1234"},
                                           GroupRow{"MultiByteMark", ",", kNoBreakSpace, "1234", true,
                                                    "1\xC2\xA0"
                                                    "234"},
                                           GroupRow{"CommaMark", ".", ",", "1234567.5", true, "1,234,567.5"},
                                           GroupRow{"Empty", ",", " ", "", true, ""},
                                           GroupRow{"LoneMinus", ",", " ", "-", true, "-"},
                                           GroupRow{"LoneMark", ",", " ", ",5", true, ",5"},
                                           GroupRow{"NotANumberLeftAlone", ",", " ", "abc", true, "abc"}),
                         RowName());

struct ReformatRow {
    const char* name;
    std::string text;
    bool grouping;
    std::string reformatted;
};

class ReformattedEditTextTest : public ::testing::TestWithParam<ReformatRow> {};

TEST_P(ReformattedEditTextTest, Reformats)
{
    const ReformatRow& row = GetParam();
    ScopedLocaleFormats marks(Marks(",", " "));
    EXPECT_EQ(ReformattedEditText(row.text, row.grouping), row.reformatted);
}

INSTANTIATE_TEST_SUITE_P(Table, ReformattedEditTextTest,
                         ::testing::Values(ReformatRow{"EmptyStaysEmpty", "", true, ""},
                                           ReformatRow{"LoneMinusStays", "-", true, "-"},
                                           ReformatRow{"Grouped", "1234.5", true, "1 234,5"},
                                           ReformatRow{"Ungrouped", "1 234,5", false, "1234,5"},
                                           ReformatRow{"SpacesTrimmed", " 12 ", true, "12"},
                                           ReformatRow{"OnlySpaceBecomesZero", " ", true, "0"}),
                         RowName());

TEST(MapDecimalKey, BothMarksTypeTheLocaleMark)
{
    ScopedLocaleFormats marks(Marks(",", "."));
    EXPECT_EQ(MapDecimalKey("."), ",");
    EXPECT_EQ(MapDecimalKey(","), ",");
    EXPECT_EQ(MapDecimalKey("5"), "5");
    ScopedLocaleFormats other(Marks(".", ","));
    EXPECT_EQ(MapDecimalKey(","), ".");
}

}  // namespace
}  // namespace dw
