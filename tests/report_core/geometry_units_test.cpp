// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/errors.h"
#include "geometry_fakes.h"
#include "report/core/units.h"

namespace dw {
namespace {

using geometry_test::FakeElement;
using geometry_test::kScreen96;

// A handful of rounding steps of extended precision.
constexpr Extended kFewUlps = 8 * std::numeric_limits<Extended>::epsilon();

struct ConversionRow {
    const char* Name;
    TVpUnit Unit;
    TVpDirection Direction;
    Extended Native;
    int Resolution;
    int Zoom;
    int FontSize;
    Extended Expected;
};

// Expected values worked out by hand, not by the formulas under test.
const ConversionRow kConversions[] = {
    {"MillimetresOfA3Width", TVpUnit::MM, TVpDirection::Horizontal, 2970, 96, 100, 10, 297.0L},
    {"InchOfNative254", TVpUnit::Inches, TVpDirection::Horizontal, 254, 96, 100, 10, 1.0L},
    {"InchesOfA3Width", TVpUnit::Inches, TVpDirection::Horizontal, 2970, 96, 100, 10, 11.692913385826771654L},
    {"PixelsOfAnInchAt96", TVpUnit::Pixels, TVpDirection::Vertical, 254, 96, 100, 10, 96.0L},
    {"PixelsOfAnInchAt120Zoom200", TVpUnit::Pixels, TVpDirection::Horizontal, 254, 120, 200, 10, 240.0L},
    // At s points a character is 80/(2.54 s) mm wide and 145.3/(2.54 s) mm high,
    // so an inch holds 25.4 * 2.54 * s / 80 across and 25.4 * 2.54 * s / 145.3 down.
    {"CharactersAcrossAnInchAt10pt", TVpUnit::Characters, TVpDirection::Horizontal, 254, 96, 100, 10, 8.0645L},
    {"CharactersDownAnInchAt10pt", TVpUnit::Characters, TVpDirection::Vertical, 254, 96, 100, 10, 645.16L / 145.3L},
    {"CharactersAcrossAt20pt", TVpUnit::Characters, TVpDirection::Horizontal, 254, 96, 100, 20, 16.129L},
    {"NativeIsTheStoredValue", TVpUnit::Native, TVpDirection::Vertical, 123.456L, 96, 100, 10, 123.456L},
};

class Conversion : public testing::TestWithParam<ConversionRow> {};

TEST_P(Conversion, FromNativeAndBack)
{
    const ConversionRow& row = GetParam();
    const Extended outside =
        UnitsFromNative(row.Unit, row.Direction, row.Native, row.Resolution, row.Zoom, row.FontSize);
    EXPECT_LE(std::fabs(outside - row.Expected), std::fabs(row.Expected) * kFewUlps) << static_cast<double>(outside);
    const Extended back = UnitsToNative(row.Unit, row.Direction, outside, row.Resolution, row.Zoom, row.FontSize);
    EXPECT_LE(std::fabs(back - row.Native), std::fabs(row.Native) * kFewUlps) << static_cast<double>(back);
}

INSTANTIATE_TEST_SUITE_P(Table, Conversion, testing::ValuesIn(kConversions),
                         [](const auto& row) { return std::string(row.param.Name); });

struct RoundRow {
    const char* Name;
    Extended Value;
    int Expected;
};

const RoundRow kRounding[] = {
    {"HalfToZero", 0.5L, 0},          {"OneAndHalfToTwo", 1.5L, 2},
    {"TwoAndHalfToTwo", 2.5L, 2},     {"ThreeAndHalfToFour", 3.5L, 4},
    {"MinusHalfToZero", -0.5L, 0},    {"MinusOneAndHalf", -1.5L, -2},
    {"MinusTwoAndHalf", -2.5L, -2},   {"JustBelowHalf", 2.4999999L, 2},
    {"JustAboveHalf", 2.5000001L, 3}, {"A3WidthAt96", 1122.519685L, 1123},
};

class PixelRounding : public testing::TestWithParam<RoundRow> {};

TEST_P(PixelRounding, NearestTiesToEven)
{
    EXPECT_EQ(RoundPixel(GetParam().Value), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PixelRounding, testing::ValuesIn(kRounding),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(PixelRounding, HalfwayPixelsOfARecordGoToEven)
{
    // At 127 pixels per inch one pixel is exactly two tenths of a millimetre.
    FakeElement element(VpEnvironment{127, false});
    const Extended values[] = {7, 5, 9, 11};  // 3.5, 2.5, 4.5, 5.5 pixels
    element.Size.ReadValues(values);
    element.Size.Loaded();
    EXPECT_EQ(element.Bounds, (PixelRect{2, 4, 6, 4}));
}

TEST(PixelRounding, ValuesWithoutAPixelAreRefused)
{
    EXPECT_THROW(RoundPixel(std::numeric_limits<Extended>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(RoundPixel(std::numeric_limits<Extended>::infinity()), EInvalidOp);
    EXPECT_THROW(RoundPixel(3e9L), EInvalidOp);
    EXPECT_THROW(RoundPixel(-3e9L), EInvalidOp);
}

TEST(UnitBase, StartsInTheLocaleUnitAndFallsBackToAUsableScreen)
{
    EXPECT_EQ(TVpPrintableSize(VpEnvironment{96, false}).Units(), TVpUnit::MM);
    EXPECT_EQ(TVpPrintableSize(VpEnvironment{96, true}).Units(), TVpUnit::Inches);
    const TVpPrintableSize noScreen(VpEnvironment{0, false});
    EXPECT_EQ(noScreen.Resolution(), 96);
    EXPECT_EQ(noScreen.Zoom(), 100);
    EXPECT_EQ(noScreen.PixelValue(TVpPrintableSize::kLeft), 8);  // 20 native at 96 ppi
}

TEST(UnitBase, PixelUnitsAreSavedAndRestored)
{
    TVpPrintableSize size(kScreen96);
    size.SetUnits(TVpUnit::Inches);
    size.SetPixelUnits();
    EXPECT_EQ(size.Units(), TVpUnit::Pixels);
    EXPECT_EQ(size.SavedUnits(), TVpUnit::Inches);
    size.SetValue(TVpPrintableSize::kLeft, 96);
    size.RestoreUnits();
    EXPECT_EQ(size.Units(), TVpUnit::Inches);
    EXPECT_EQ(size.Left(), 1.0L);
    EXPECT_EQ(size.NativeValue(TVpPrintableSize::kLeft), 254.0L);
}

struct CharacterFontRow {
    const char* Name;
    int FontSize;
    Extended CharactersPerInch;
};

// The report font's sign does not matter, and a font without a size is
// measured as the report's default 10 points instead of dividing by zero.
const CharacterFontRow kCharacterFonts[] = {
    {"TwelvePoint", 12, 9.6774L},
    {"NegativeSizeCountsAsPositive", -12, 9.6774L},
    {"ZeroSizeUsesTheDefault", 0, 8.0645L},
};

class CharacterUnit : public testing::TestWithParam<CharacterFontRow> {};

TEST_P(CharacterUnit, FollowsTheReportFont)
{
    geometry_test::FakeHost host;
    host.FontSize = GetParam().FontSize;
    TVpPrintableSize size(kScreen96);
    size.SetParentReport(&host);
    size.SetUnits(TVpUnit::Characters);
    size.SetValue(TVpPrintableSize::kWidth, 1);
    EXPECT_NEAR(static_cast<double>(254.0L / size.NativeValue(TVpPrintableSize::kWidth)),
                static_cast<double>(GetParam().CharactersPerInch), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Table, CharacterUnit, testing::ValuesIn(kCharacterFonts),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(UnitBase, WritesThatCannotBeStoredChangeNothing)
{
    TVpPrintableSize size(kScreen96);
    EXPECT_THROW(size.SetValue(TVpPrintableSize::kTop, std::numeric_limits<Extended>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(size.SetValue(TVpPrintableSize::kTop, std::numeric_limits<Extended>::infinity()), EInvalidOp);
    size.SetUnits(TVpUnit::Inches);
    EXPECT_THROW(size.SetValue(TVpPrintableSize::kTop, std::numeric_limits<Extended>::max()), EOverflow);
    EXPECT_THROW(size.SetValue(TVpPrintableSize::kValueCount, 1), ERangeError);
    EXPECT_EQ(size.NativeValue(TVpPrintableSize::kTop), 20.0L);
}

TEST(UnitBase, DamagedValueListsAreRefusedWhole)
{
    TVpBandSize size(kScreen96);
    const Extended tooMany[] = {1, 2, 3};
    const Extended notANumber[] = {1, std::numeric_limits<Extended>::quiet_NaN()};
    EXPECT_THROW(size.ReadValues(tooMany), EVpError);
    EXPECT_THROW(size.ReadValues(notANumber), EVpError);
    EXPECT_EQ(size.WriteValues(), (std::vector<Extended>{20, 40}));
    // An older, shorter list replaces what it has and leaves the rest.
    const Extended shorter[] = {55};
    size.ReadValues(shorter);
    EXPECT_EQ(size.WriteValues(), (std::vector<Extended>{55, 40}));
}

TEST(UnitBase, UnitNamesRoundTrip)
{
    for (TVpUnit unit : {TVpUnit::MM, TVpUnit::Inches, TVpUnit::Pixels, TVpUnit::Characters, TVpUnit::Native}) {
        EXPECT_EQ(UnitFromName(UnitName(unit)), unit);
    }
    EXPECT_EQ(UnitName(TVpUnit::MM), "MM");
    EXPECT_FALSE(UnitFromName("mm").has_value());
}

}  // namespace
}  // namespace dw
