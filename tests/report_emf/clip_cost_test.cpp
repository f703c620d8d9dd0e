// SPDX-License-Identifier: MIT
// What the clips of one page may cost when it is shown: clip regions made
// from shapes are built row by row, and a page of many clips, or of one with
// many edges, would otherwise take seconds at every repaint. Within the
// playing's bound on row crossings a clip is its shape; past it the clip is
// the shape's box, and the page still plays to its end.

#include "report/emf/emf_format.h"
#include "report/emf/emf_player_p.h"
#include "report/emf/emf_reader.h"

#include "emf_test_support.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace dw::emf {
namespace {

using test::RawEmf;

// Each tooth of a comb is one pixel wide with a pixel's gap after it and
// runs down the whole page: its two edges cross every row once.
constexpr int kPageHeight = 1000;
constexpr std::int64_t kCrossingsPerTooth = 2 * kPageHeight;
// The most teeth whose clip the playing still builds as drawn.
constexpr int kTeethAtBound = static_cast<int>(kMaxPlayedRegionCrossings / kCrossingsPerTooth);
// Room for one tooth past the bound and some white page right of the comb.
constexpr int kPageWidth = 2 * kTeethAtBound + 100;

// A closed comb of teeth starting at the page's left edge: down and up
// along the page's bottom, the tops at its top.
std::vector<std::uint8_t> CombPolygon(int teeth)
{
    std::vector<std::uint8_t> payload;
    ByteWriter out(payload);
    out.Rect({0, 0, 2 * teeth - 1, kPageHeight});
    out.U32(static_cast<std::uint32_t>(4 * teeth));
    for (int i = 0; i < teeth; ++i) {
        out.Point({2 * i, kPageHeight});
        out.Point({2 * i, 0});
        out.Point({2 * i + 1, 0});
        out.Point({2 * i + 1, kPageHeight});
    }
    return payload;
}

// The page: one clip made from a comb per entry of teeth, each replacing the
// one before, then the whole page filled green under the last.
std::vector<std::uint8_t> PageOfClips(const std::vector<int>& teeth)
{
    RawEmf e(kPageWidth, kPageHeight);
    for (int count : teeth) {
        e.Add(kEmrBeginPath, {});
        e.AddBytes(kEmrPolygon, CombPolygon(count));
        e.Add(kEmrEndPath, {});
        e.Add(kEmrSelectClipPath, {kRgnCopy});
    }
    e.Add(kEmrCreateBrushIndirect, {1, kBsSolid, 0x00FF00, 0});
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrSelectObject, {kStockObjectFlag | 8});  // no pen
    e.Add(kEmrRectangle, {0, 0, kPageWidth, kPageHeight});
    return e.Finish();
}

enum class Clip { AsDrawn, Box };

struct ClipRow {
    const char* Name;
    std::vector<int> Teeth;  // of each clip, in order
    std::vector<Clip> Expected;
};

void PrintTo(const ClipRow& row, std::ostream* out)
{
    *out << row.Name;
}

class ClipCost : public ::testing::TestWithParam<ClipRow> {};

TEST_P(ClipCost, PastTheBoundAClipIsItsShapesBox)
{
    const ClipRow& row = GetParam();
    ASSERT_EQ(row.Teeth.size(), row.Expected.size());
    const EmfDocument document(PageOfClips(row.Teeth));
    QImage image = test::WhiteImage(kPageWidth, kPageHeight);
    QPainter painter(&image);
    EmfPlayer player(painter, document, QRectF(0, 0, kPageWidth, kPageHeight));
    ASSERT_TRUE(player.Begin());
    std::vector<std::optional<QRegion>> clips;
    for (const EmfRecord& record : document.Records()) {
        player.PlayRecord(record);
        const auto* value = std::get_if<ValueRecord>(&record);
        if (value && value->Type == kEmrSelectClipPath)
            clips.push_back(player.State().Clip);
    }
    player.End();
    painter.end();

    ASSERT_EQ(clips.size(), row.Teeth.size());
    for (std::size_t i = 0; i < clips.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "clip " << i + 1);
        ASSERT_TRUE(clips[i].has_value());
        const int teeth = row.Teeth[i];
        EXPECT_EQ(clips[i]->boundingRect(), QRect(0, 0, 2 * teeth - 1, kPageHeight));
        EXPECT_EQ(clips[i]->rectCount(), row.Expected[i] == Clip::AsDrawn ? teeth : 1);
    }

    // The fill after the last clip: on its teeth, between them only when the
    // clip became its box, and never right of the comb.
    const int teeth = row.Teeth.back();
    const auto colourAt = [&](int x) { return image.pixelColor(x, kPageHeight / 2).name().toStdString(); };
    const std::string green = "#00ff00", white = "#ffffff";
    EXPECT_EQ(colourAt(0), green);
    EXPECT_EQ(colourAt(2 * teeth - 2), green);
    EXPECT_EQ(colourAt(1), row.Expected.back() == Clip::AsDrawn ? white : green);
    EXPECT_EQ(colourAt(2 * teeth), white);
}

std::vector<ClipRow> ClipRows()
{
    const int third = kTeethAtBound / 3 + 1;
    const int half = kTeethAtBound / 2 + 1;
    return {
        {"OneClipWellBelowTheBound", {half}, {Clip::AsDrawn}},
        {"OneClipJustBelowTheBound", {kTeethAtBound}, {Clip::AsDrawn}},
        {"OneClipJustPastTheBound", {kTeethAtBound + 1}, {Clip::Box}},
        {"ThreeClipsTogetherPastTheBound", {third, third, third}, {Clip::AsDrawn, Clip::AsDrawn, Clip::Box}},
        {"APageOfClipsEachBelowTheBound",
         {half, half, half, half, half, half, half, half},
         {Clip::AsDrawn, Clip::Box, Clip::Box, Clip::Box, Clip::Box, Clip::Box, Clip::Box, Clip::Box}},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, ClipCost, ::testing::ValuesIn(ClipRows()),
                         [](const auto& row) { return row.param.Name; });

}  // namespace
}  // namespace dw::emf
