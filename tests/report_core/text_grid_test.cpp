// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/errors.h"
#include "report/core/text_grid.h"

namespace dw {
namespace {

constexpr TAlignment kLeft = TAlignment::taLeftJustify;
constexpr TAlignment kRight = TAlignment::taRightJustify;
constexpr TAlignment kCentre = TAlignment::taCenter;

// The report's own grid: 10-point cells on an A3 page.
constexpr int kReportFont = 10;
constexpr std::int32_t kA3Length = 4200;
const Extended kCell10 = 10 * 254.0L / 72.0L;

// x of character position k (1-based) and y of line r on the 10-point grid,
// a little inside the cell so rounding is not at stake.
Extended X(int k)
{
    return (k + 0.1L) * kCell10 / 1.7L;
}
Extended Y(int r)
{
    return (r + 0.1L) * kCell10;
}

struct Placement {
    Extended X;
    Extended Y;
    TAlignment Alignment;
    std::string Text;
};

struct PlacementRow {
    const char* Name;
    std::vector<Placement> Placements;
    int Line;
    std::string Expected;
};

const PlacementRow kPlacements[] = {
    // column 338.67 / 35.2777... x 1.7 = 16.32, row 127 / 35.2777... = 3.6.
    {"WorkedExampleLeft", {{338.67L, 127.0L, kLeft, "ABC"}}, 4, std::string(15, ' ') + "ABC"},
    // 1000 / 35.2777... x 1.7 = 48.19, less 10 characters = 38.19.
    {"WorkedExampleRight", {{1000.0L, 0.0L, kRight, "0123456789"}}, 0, std::string(37, ' ') + "0123456789"},
    {"CentreStartsAtTheCentre", {{X(3), Y(1), kCentre, "AB"}}, 1, "  AB"},
    {"LaterOverwritesEarlier", {{X(1), Y(2), kLeft, "AAAAAA"}, {X(3), Y(2), kLeft, "BB"}}, 2, "AABBAA"},
    {"LaterLengthensTheLine", {{X(1), Y(2), kLeft, "AAA"}, {X(3), Y(2), kLeft, "BBBB"}}, 2, "AABBBB"},
    {"GapIsFilledWithSpaces", {{X(1), Y(2), kLeft, "AB"}, {X(6), Y(2), kLeft, "C"}}, 2, "AB   C"},
    // Column 5.3 lies past a line of 5 but rounds to 5: the last character goes.
    {"PastTheEndRoundsOntoLastCharacter",
     {{X(1), Y(0), kLeft, "ABCDE"}, {5.3L * kCell10 / 1.7L, Y(0), kLeft, "X"}},
     0,
     "ABCDX"},
    {"RightAlignedBelowColumnOneIsInsertedInFront",
     {{X(1), Y(7), kLeft, "ABC"}, {X(1), Y(7), kRight, "XY"}},
     7,
     "XYABC"},
    {"NegativeXIsInsertedInFront", {{X(1), Y(7), kLeft, "ABC"}, {-100.0L, Y(7), kLeft, "Z"}}, 7, "ZABC"},
    {"CyrillicCountsCharacters",
     {{X(1), Y(3), kLeft, "ПРИВЕТ"}, {X(3), Y(3), kLeft, "Ж"}, {X(10), Y(3), kRight, "ДА"}},
     3,
     "ПРЖВЕТ ДА"},
    {"StrayBytesAreCharactersAndKept",
     {{X(1), Y(3), kLeft,
       "a\xFF"
       "b"},
      {X(3), Y(3), kLeft, "c"}},
     3,
     "a\xFF"
     "c"},
    {"LastLineOfTheTable", {{X(1), 200.4L * kCell10, kLeft, "END"}}, 200, "END"},
    {"SlightlyAboveTheSheetIsLineZero", {{X(1), -0.4L * kCell10, kLeft, "TOP"}}, 0, "TOP"},
};

class GridPlacement : public testing::TestWithParam<PlacementRow> {};

TEST_P(GridPlacement, LineHoldsTexts)
{
    const PlacementRow& row = GetParam();
    TextGrid grid;
    grid.BeginExport(kReportFont, kA3Length);
    for (const Placement& p : row.Placements) {
        EXPECT_TRUE(grid.PlaceText(p.X, p.Y, p.Alignment, p.Text));
    }
    EXPECT_EQ(grid.Line(row.Line), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, GridPlacement, testing::ValuesIn(kPlacements),
                         [](const auto& row) { return std::string(row.param.Name); });

struct DropRow {
    const char* Name;
    Extended X;
    Extended Y;
    TAlignment Alignment;
};

const Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
const Extended kInf = std::numeric_limits<Extended>::infinity();

const DropRow kDrops[] = {
    {"RowAboveTheTable", X(1), -0.6L * kCell10, kLeft},
    {"RowBelowTheTable", X(1), 200.6L * kCell10, kLeft},
    {"RowFarBelow", X(1), 1e300L, kLeft},
    {"NaNX", kNaN, Y(1), kLeft},
    {"NaNY", X(1), kNaN, kRight},
    {"InfiniteX", kInf, Y(1), kLeft},
    {"MinusInfiniteX", -kInf, Y(1), kRight},
    {"HugeX", 1e30L, Y(1), kLeft},
    {"HugeNegativeX", -1e30L, Y(1), kLeft},
    {"LargestExtendedX", std::numeric_limits<Extended>::max(), Y(1), kCentre},
    {"JustBeyondTheColumnLimit", (TextGrid::kMaxColumn + 1) * kCell10 / 1.7L, Y(1), kLeft},
};

class GridDrop : public testing::TestWithParam<DropRow> {};

TEST_P(GridDrop, TableStaysEmpty)
{
    const DropRow& row = GetParam();
    TextGrid grid;
    grid.BeginExport(kReportFont, kA3Length);
    EXPECT_FALSE(grid.PlaceText(row.X, row.Y, row.Alignment, "TEXT"));
    for (int line = 0; line < TextGrid::kLineTableSize; ++line) {
        ASSERT_EQ(grid.Line(line), "") << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, GridDrop, testing::ValuesIn(kDrops),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(TextGrid, NothingIsPlacedBeforeTheGridIsLaid)
{
    TextGrid grid;
    EXPECT_FALSE(grid.PlaceText(X(1), Y(1), kLeft, "A"));
    EXPECT_EQ(grid.Line(1), "");
}

struct LineCountRow {
    const char* Name;
    int FontPoints;
    std::int32_t PageLength;
    std::int32_t Expected;
};

const LineCountRow kLineCounts[] = {
    {"A3At10Points", 10, 4200, 119},
    // 72 points make cells of exactly 254: 635 is 2.5 lines, 889 is 3.5.
    {"HalfGoesDownToEven", 72, 635, 2},
    {"HalfGoesUpToEven", 72, 889, 4},
    {"OnePointCountsPastTheTable", 1, 4200, 1191},
    {"NegativeSizeCountsNoLines", -10, 4200, -119},
    {"LongestPageAtOnePoint", 1, INT32_MAX, 608735522},
};

class GridLineCount : public testing::TestWithParam<LineCountRow> {};

TEST_P(GridLineCount, RoundsHalfToEven)
{
    const LineCountRow& row = GetParam();
    TextGrid grid;
    grid.BeginExport(row.FontPoints, row.PageLength);
    EXPECT_EQ(grid.LineCount(), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, GridLineCount, testing::ValuesIn(kLineCounts),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(TextGrid, FontOfNoSizeIsTheDivisionFault)
{
    TextGrid grid;
    EXPECT_THROW(grid.BeginExport(0, kA3Length), EZeroDivide);
    EXPECT_THROW(grid.BeginExport(0, 0), EInvalidOp);
}

// Halves go to the even neighbour in every rounding mode of the unit, since
// the rounding is done by hand; the modes only change how ties would be met
// by the unit's own conversions.
TEST(TextGrid, HalvesGoToEvenInEveryRoundingMode)
{
    struct Case {
        Extended Value;
        Extended Expected;
    };
    const Case cases[] = {{0.5L, 0},   {1.5L, 2},    {2.5L, 2},    {-0.5L, 0},     {-1.5L, -2},
                          {-2.5L, -2}, {2.4999L, 2}, {2.5001L, 3}, {-2.5001L, -3}, {1e30L, 1e30L}};
    const int saved = std::fegetround();
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        for (const Case& c : cases) {
            EXPECT_EQ(RoundHalfEven(c.Value), c.Expected) << static_cast<double>(c.Value) << " mode " << mode;
        }
        // Cells of 127 (36 points) make rows of exactly 2.5 and 3.5.
        TextGrid grid;
        grid.BeginExport(36, kA3Length);
        grid.PlaceText(0, 2.5L * 127, kLeft, "A");
        grid.PlaceText(0, 3.5L * 127, kLeft, "B");
        EXPECT_EQ(grid.Line(2), "A") << mode;
        EXPECT_EQ(grid.Line(4), "B") << mode;
    }
    std::fesetround(saved);
}

TEST(TextGrid, PageHoldsNonEmptyCountedLinesWithCrLf)
{
    TextGrid grid;
    grid.BeginExport(kReportFont, kA3Length);
    grid.PlaceText(X(1), Y(0), kLeft, "first");
    grid.PlaceText(X(2), Y(5), kLeft, "ВТОРОЙ");
    grid.PlaceText(X(1), Y(118), kLeft, "last");
    grid.PlaceText(X(1), Y(119), kLeft, "beyond the count");
    std::string page;
    grid.AppendPage(page);
    EXPECT_EQ(page, "first\r\n ВТОРОЙ\r\nlast\r\n");

    grid.OpenPage();
    page.clear();
    grid.AppendPage(page);
    EXPECT_EQ(page, "");
}

TEST(TextGrid, CountPastTheTableWritesTheWholeTableOnly)
{
    TextGrid grid;
    grid.BeginExport(1, INT32_MAX);
    const Extended cell = 254.0L / 72.0L;
    for (int r = 0; r < TextGrid::kLineTableSize; ++r) {
        ASSERT_TRUE(grid.PlaceText(0, r * cell, kLeft, "x"));
    }
    EXPECT_FALSE(grid.PlaceText(0, TextGrid::kLineTableSize * cell, kLeft, "x"));
    std::string page;
    grid.AppendPage(page);
    EXPECT_EQ(page.size(), TextGrid::kLineTableSize * 3u);
}

}  // namespace
}  // namespace dw
