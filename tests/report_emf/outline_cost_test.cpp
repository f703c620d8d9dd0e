// SPDX-License-Identifier: MIT
// What one shape may cost when a page is shown: a page of a few kilobytes
// to a few megabytes holding one shape of thousands to a million edges must
// end its playing at once, in the tool's A3 picture and in the preview at
// fit width and at its largest zoom, with the shape left out and counted,
// while a shape a real page could hold is drawn.

#include "report/emf/emf_player_p.h"
#include "report/emf/emf_reader.h"

#include "emf_test_support.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace dw::emf {
namespace {

using test::RawEmf;

// An A3 page at 96 dpi, as the program's reports are.
constexpr int kPageWidth = 1123;
constexpr int kPageHeight = 1587;

struct Point16 {
    int X, Y;
};

std::vector<std::uint8_t> Poly16Payload(const std::vector<Point16>& points)
{
    std::vector<std::uint8_t> payload(20 + 4 * points.size());
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) payload[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(8, kPageWidth);
    put32(12, kPageHeight);
    put32(16, static_cast<std::uint32_t>(points.size()));
    std::size_t at = 20;
    for (const Point16& p : points) {
        payload[at++] = static_cast<std::uint8_t>(p.X);
        payload[at++] = static_cast<std::uint8_t>(p.X >> 8);
        payload[at++] = static_cast<std::uint8_t>(p.Y);
        payload[at++] = static_cast<std::uint8_t>(p.Y >> 8);
    }
    return payload;
}

// The page's shape, then a green square in the middle of the page drawn
// after it: whatever the shape costs, what follows it is still shown.
std::vector<std::uint8_t> PageWith(std::uint32_t type, const std::vector<Point16>& points, std::uint32_t penWidth)
{
    RawEmf e(kPageWidth, kPageHeight);
    e.Add(kEmrCreatePen, {1, kPsSolid, penWidth, 0, 0x0000FF});
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrCreateBrushIndirect, {2, kBsSolid, 0xFF0000, 0});
    e.Add(kEmrSelectObject, {2});
    e.Add(kEmrSetPolyFillMode, {kWinding});
    e.AddBytes(type, Poly16Payload(points));
    e.Add(kEmrCreateBrushIndirect, {3, kBsSolid, 0x00FF00, 0});
    e.Add(kEmrSelectObject, {3});
    e.Add(kEmrSelectObject, {kStockObjectFlag | 8});  // no pen
    e.Add(kEmrRectangle, {556, 788, 568, 800});
    return e.Finish();
}

// Every point joined to one far round the page: each edge crosses most rows.
std::vector<Point16> Star(int points)
{
    std::vector<Point16> star;
    for (int i = 0; i < points; ++i)
        star.push_back({static_cast<int>(kPageWidth / 2 + kPageWidth / 2 * std::cos(i * 2.39996)),
                        static_cast<int>(kPageHeight / 2 + kPageHeight / 2 * std::sin(i * 2.39996))});
    return star;
}

// Up and down the whole page, moving along it.
std::vector<Point16> Zigzag(int points)
{
    std::vector<Point16> zigzag;
    for (int i = 0; i < points; ++i) zigzag.push_back({(i * 37) % kPageWidth, i % 2 ? 0 : kPageHeight});
    return zigzag;
}

// A measured curve across the page, far denser than its pixels.
std::vector<Point16> Chart(int points)
{
    std::vector<Point16> chart;
    for (int i = 0; i < points; ++i)
        chart.push_back({i * (kPageWidth - 1) / points,
                         static_cast<int>(kPageHeight / 2 + 300 * std::sin(i * 2 * std::numbers::pi / 4000))});
    return chart;
}

// Where the page is played: the tool's picture of the whole page (smoothed),
// and the preview's window (not smoothed) at fit width and at 2000 %,
// looking at the middle of the page.
struct Placement {
    const char* Name;
    QSize Window;
    QRectF Target;
    bool Smooth;
};

const Placement kA3 = {"A3Image", {kPageWidth, kPageHeight}, {0, 0, kPageWidth, kPageHeight}, true};
const Placement kFitWidth = {"FitWidth", {800, 600}, {0, -280, 800, 800.0 * kPageHeight / kPageWidth}, false};
const Placement kLargestZoom = {
    "LargestZoom", {640, 480}, {-20.0 * 561.5 + 320, -20.0 * 793.5 + 240, 20.0 * kPageWidth, 20.0 * kPageHeight}, false};

struct CostRow {
    std::string Name;
    std::uint32_t Type;
    std::vector<Point16> Points;
    std::uint32_t PenWidth;
    Placement Where;
    bool LeftOut;
};

void PrintTo(const CostRow& row, std::ostream* out)
{
    *out << row.Name;
}

class OutlineCost : public ::testing::TestWithParam<CostRow> {};

TEST_P(OutlineCost, EndsWithWhatItCannotAffordLeftOut)
{
    const CostRow& row = GetParam();
    const EmfDocument document(PageWith(row.Type, row.Points, row.PenWidth));
    QImage image(row.Where.Window, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, row.Where.Smooth);
    EmfPlayer player(painter, document, row.Where.Target);
    player.Play();
    painter.end();

    EXPECT_EQ(player.SkippedDrawings(), row.LeftOut ? 1u : 0u);
    EXPECT_LE(player.OutlineWork(), kOutlineBudget);
    // The square after the shape is drawn either way.
    const QPoint middle = row.Where.Target.center().toPoint();
    const QPoint seen = row.Where.Name == std::string("LargestZoom") ? QPoint(320, 240) : middle;
    EXPECT_EQ(image.pixelColor(seen), QColor(Qt::green));
    if (!row.LeftOut) {
        // The shape is there too: something neither white nor green.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; y += 7)
            for (int x = 0; x < image.width() && !drawn; x += 7) {
                const QColor c = image.pixelColor(x, y);
                drawn = c != QColor(Qt::white) && c != QColor(Qt::green);
            }
        EXPECT_TRUE(drawn);
    }
}

std::vector<CostRow> CostRows()
{
    struct Shape {
        const char* Name;
        std::uint32_t Type;
        std::vector<Point16> Points;
        std::uint32_t PenWidth;
        bool LeftOut;
    };
    const std::vector<Shape> shapes = {
        {"FilledStarOf5000", kEmrPolygon16, Star(5000), 1, true},
        {"WidePolylineOf100000", kEmrPolyline16, Zigzag(100000), 40, true},
        {"WidePolylineOf1000000", kEmrPolyline16, Zigzag(1000000), 40, true},
        {"FilledStarOf100", kEmrPolygon16, Star(100), 1, false},
        {"WideChartOf20000", kEmrPolyline16, Chart(20000), 3, false},
    };
    std::vector<CostRow> rows;
    for (const Shape& shape : shapes)
        for (const Placement& where : {kA3, kFitWidth, kLargestZoom})
            rows.push_back({std::string(shape.Name) + "In" + where.Name, shape.Type, shape.Points, shape.PenWidth,
                            where, shape.LeftOut});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Table, OutlineCost, ::testing::ValuesIn(CostRows()),
                         [](const auto& row) { return row.param.Name; });

}  // namespace
}  // namespace dw::emf
