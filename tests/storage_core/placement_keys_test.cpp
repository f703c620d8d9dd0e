// SPDX-License-Identifier: MIT
#include "storage/core/placement_keys.h"
#include "storage/core/ini_file.h"
#include "tests/storage_core/profile_fixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace dw::test {
namespace {

using Numbers = std::array<std::int32_t, 4>;

TEST(PlacementNumbers, WordsAreSplitAtCommasWithDefaultsForWhatIsMissing)
{
    const Numbers defaults{10, 20, 30, 40};
    const struct {
        const char* name;
        const char* text;
        Numbers expected;
    } rows[] = {
        {"four words", "192,109,637,474", {192, 109, 637, 474}},
        {"negative", "-1,-1,-32000,-4", {-1, -1, -32000, -4}},
        {"empty words skipped", ",,5,,,6,7,,8", {5, 6, 7, 8}},
        {"fewer words", "5,6", {5, 6, 30, 40}},
        {"more words", "1,2,3,4,5", {1, 2, 3, 4}},
        {"invalid word keeps its place", "1,abc,3,4", {1, 20, 3, 4}},
        {"blank before a number", "1, 2,3,4", {1, 2, 3, 4}},
        {"blank after a number", "1,2 ,3,4", {1, 20, 3, 4}},
        {"hexadecimal", "$10,0x10,0X1f,$", {16, 16, 31, 40}},
        {"beyond 32 bits", "99999999999,2147483647,-2147483648,2147483648", {10, 2147483647, -2147483648, 40}},
        {"empty", "", {10, 20, 30, 40}},
        {"only commas", ",,,,", {10, 20, 30, 40}},
    };
    for (const auto& row : rows) EXPECT_EQ(ParsePlacementNumbers(row.text, defaults), row.expected) << row.name;
}

TEST(PlacementNumbers, ShowCommandsMapToStates)
{
    const struct {
        std::int32_t command;
        std::optional<TWindowShowState> expected;
    } rows[] = {
        {0, std::nullopt},
        {1, TWindowShowState::Normal},
        {2, TWindowShowState::Minimized},
        {3, TWindowShowState::Maximized},
        {4, std::nullopt},
        {5, TWindowShowState::Normal},
        {6, TWindowShowState::Minimized},
        {7, TWindowShowState::Minimized},
        {8, std::nullopt},
        {9, TWindowShowState::Normal},
        {10, std::nullopt},
        {-1, std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(ShowStateFromCommand(row.command), row.expected) << row.command;
}

TEST(PlacementNumbers, QuotedValuesGetOneMorePairSoTheyReadBack)
{
    const struct {
        const char* value;
        const char* written;
    } rows[] = {
        {"\"a\"", "\"\"a\"\""}, {"'a'", "\"'a'\""}, {"\"", "\"\"\""},   {"'", "\"'\""},       {"\"a'", "\"a'"},
        {"a\"", "a\""},         {"", ""},           {"plain", "plain"}, {"\"\"", "\"\"\"\""},
    };
    for (const auto& row : rows) EXPECT_EQ(QuotedForProfile(row.value), row.written) << row.value;
}

TEST(PlacementNumbers, StoredTextLosesBlanksAndControlsAtTheEnds)
{
    EXPECT_EQ(TrimStoredText(" \t\x01 12.03.2024 \r\n"), "12.03.2024");
    EXPECT_EQ(TrimStoredText("a b"), "a b");
    EXPECT_EQ(TrimStoredText(" \x1f "), "");
    EXPECT_EQ(TrimStoredText("\xD0\x94"), "\xD0\x94");
}

class PlacementKeys : public ProfileTest {
protected:
    static TPlacementReadRequest Request()
    {
        TPlacementReadRequest request;
        request.Current.NormalPosition = {192, 109, 637, 474};
        request.Current.ShowCmd = kShowHide;
        request.Bounds = {192, 109, 637, 474};
        request.Screen = {1024, 768, 96};
        return request;
    }
    TPlacementReadResult Read(const std::string& file, const TPlacementReadRequest& request)
    {
        WriteBytes(Profile(), file);
        TIniFile ini(Profile().string());
        return ReadPlacementKeys(ini, "TForm1", request);
    }
};

TEST_F(PlacementKeys, ReadingFollowsTheStoredKeys)
{
    const TPlacementRect designed{192, 109, 637, 474};
    const TPlacementPoint unset{-1, -1};
    const struct {
        const char* name;
        std::string file;
        bool apply;
        TPlacementRect normal;
        TPlacementPoint minPos, maxPos;
        TWindowShowState state;
    } rows[] = {
        {"no section", "[Other]\nNormPos=1,2,3,4\n", false, designed, unset, unset, TWindowShowState::Normal},
        {"NormPos alone",
         "[TForm1]\nNormPos=10,20,500,400\n",
         true,
         {10, 20, 500, 400},
         unset,
         unset,
         TWindowShowState::Normal},
        {"screen key first",
         "[TForm1]\nNormPos(1024x768)=1,2,450,370\nNormPos=10,20,500,400\n",
         true,
         {1, 2, 450, 370},
         unset,
         unset,
         TWindowShowState::Normal},
        {"other screen's key unread", "[TForm1]\nNormPos(800x600)=1,2,450,370\n", false, designed, unset, unset,
         TWindowShowState::Normal},
        {"empty screen key falls back",
         "[TForm1]\nNormPos(1024x768)=\nNormPos=10,20,500,400\n",
         true,
         {10, 20, 500, 400},
         unset,
         unset,
         TWindowShowState::Normal},
        {"MinMaxPos alone",
         "[TForm1]\nMinMaxPos=-32000,-32000,199,106\n",
         true,
         designed,
         {-32000, -32000},
         {199, 106},
         TWindowShowState::Normal},
        {"MinMaxPos bad words are 0",
         "[TForm1]\nMinMaxPos=x,5\n",
         true,
         designed,
         {0, 5},
         {0, 0},
         TWindowShowState::Normal},
        {"NormPos bad words are the bounds",
         "[TForm1]\nNormPos=x,30,,y\n",
         true,
         {192, 30, 637, 474},
         unset,
         unset,
         TWindowShowState::Normal},
        {"other resolution",
         "[TForm1]\nPixelsPerInch=120\nNormPos=10,20,500,400\nShowCmd=3\n",
         false,
         {10, 20, 500, 400},
         unset,
         unset,
         TWindowShowState::Maximized},
        {"same resolution",
         "[TForm1]\nPixelsPerInch=96\nNormPos=10,20,500,400\n",
         true,
         {10, 20, 500, 400},
         unset,
         unset,
         TWindowShowState::Normal},
        {"left not before right",
         "[TForm1]\nNormPos=500,20,500,400\n",
         false,
         {500, 20, 500, 400},
         unset,
         unset,
         TWindowShowState::Normal},
        {"maximized", "[TForm1]\nShowCmd=3\n", false, designed, unset, unset, TWindowShowState::Maximized},
        {"minimized", "[TForm1]\nShowCmd=2\n", false, designed, unset, unset, TWindowShowState::Minimized},
        {"unknown command keeps default", "[TForm1]\nShowCmd=4\n", false, designed, unset, unset,
         TWindowShowState::Normal},
        {"invalid command keeps default", "[TForm1]\nShowCmd=max\n", false, designed, unset, unset,
         TWindowShowState::Normal},
    };
    for (const auto& row : rows) {
        const TPlacementReadResult result = Read(row.file, Request());
        EXPECT_EQ(result.ApplyPosition, row.apply) << row.name;
        EXPECT_EQ(result.Placement.NormalPosition, row.normal) << row.name;
        EXPECT_EQ(result.Placement.MinPosition, row.minPos) << row.name;
        EXPECT_EQ(result.Placement.MaxPosition, row.maxPos) << row.name;
        EXPECT_TRUE(result.ApplyState) << row.name;
        EXPECT_EQ(result.State, row.state) << row.name;
    }
}

TEST_F(PlacementKeys, OnlyTheRequestedPartsAreRead)
{
    const std::string file = "[TForm1]\nFlags=2\nShowCmd=3\nNormPos=10,20,500,400\n";
    TPlacementReadRequest request = Request();
    request.ReadState = false;
    TPlacementReadResult result = Read(file, request);
    EXPECT_TRUE(result.ApplyPosition);
    EXPECT_EQ(result.Placement.Flags, 2);
    EXPECT_FALSE(result.ApplyState);

    request = Request();
    request.ReadPosition = false;
    result = Read(file, request);
    EXPECT_FALSE(result.ApplyPosition);
    EXPECT_EQ(result.Placement, Request().Current);
    EXPECT_EQ(result.State, TWindowShowState::Maximized);

    request.ReadState = false;
    result = Read(file, request);
    EXPECT_FALSE(result.ApplyPosition);
    EXPECT_FALSE(result.ApplyState);
}

TEST_F(PlacementKeys, AFixedSizeWindowKeepsItsOwnSize)
{
    TPlacementReadRequest request = Request();
    request.FixedSize = true;
    TPlacementReadResult result = Read("[TForm1]\nNormPos=10,20,900,900\n", request);
    EXPECT_TRUE(result.ApplyPosition);
    EXPECT_EQ(result.Placement.NormalPosition, (TPlacementRect{10, 20, 455, 385}));

    // A left edge at the end of the range cannot make the right edge wrap.
    const auto max = std::numeric_limits<std::int32_t>::max();
    result = Read("[TForm1]\nNormPos=2147483647,2147483647,0,0\n", request);
    EXPECT_EQ(result.Placement.NormalPosition, (TPlacementRect{max, max, max, max}));
    EXPECT_FALSE(result.ApplyPosition);
}

TEST_F(PlacementKeys, AFirstSaveWritesTheLayoutInOrder)
{
    TIniFile ini(Profile().string());
    TWindowPlacementRecord placement;
    placement.NormalPosition = {192, 109, 637, 474};
    WritePlacementKeys(ini, "TForm1", placement, {1024, 768, 96});
    EXPECT_EQ(ReadBytes(Profile()),
              "[TForm1]\n"
              "Flags=0\n"
              "ShowCmd=1\n"
              "PixelsPerInch=96\n"
              "MinMaxPos(1024x768)=-1,-1,-1,-1\n"
              "MinMaxPos=-1,-1,-1,-1\n"
              "NormPos(1024x768)=192,109,637,474\n"
              "NormPos=192,109,637,474\n");
}

TEST_F(PlacementKeys, WhatIsWrittenReadsBack)
{
    WriteBytes(Profile(), "; kept\n[Other]\nx=1\n[TForm1]\nLabel14_Caption=01.02.2024\n");
    TIniFile ini(Profile().string());
    TWindowPlacementRecord placement;
    placement.Flags = 2;
    placement.ShowCmd = kShowMaximized;
    placement.MinPosition = {-32000, -32000};
    placement.MaxPosition = {199, 106};
    placement.NormalPosition = {-50, 7, 395, 372};
    const TScreenMetrics screen{1920, 1080, 96};
    WritePlacementKeys(ini, "TForm1", placement, screen);

    TPlacementReadRequest request = Request();
    request.Screen = screen;
    const TPlacementReadResult result = ReadPlacementKeys(ini, "TForm1", request);
    EXPECT_TRUE(result.ApplyPosition);
    EXPECT_EQ(result.Placement.Flags, placement.Flags);
    EXPECT_EQ(result.Placement.MinPosition, placement.MinPosition);
    EXPECT_EQ(result.Placement.MaxPosition, placement.MaxPosition);
    EXPECT_EQ(result.Placement.NormalPosition, placement.NormalPosition);
    EXPECT_EQ(result.State, TWindowShowState::Maximized);
    // Other sections, comments and keys stay.
    EXPECT_EQ(ini.ReadString("Other", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("TForm1", "Label14_Caption", ""), "01.02.2024");
    EXPECT_EQ(ReadBytes(Profile()).rfind("; kept\n", 0), 0u);
}

}  // namespace
}  // namespace dw::test
