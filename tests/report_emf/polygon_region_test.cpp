// SPDX-License-Identifier: MIT
#include "report/emf/polygon_region_p.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace dw::emf {
namespace {

std::int64_t Area(const QRegion& region)
{
    std::int64_t area = 0;
    for (const QRect& r : region) area += static_cast<std::int64_t>(r.width()) * r.height();
    return area;
}

// The same pixels: Qt may leave bands unmerged where this one merges them.
void ExpectSamePixels(const QRegion& actual, const QRegion& expected)
{
    EXPECT_EQ(Area(actual.xored(expected)), 0);
    EXPECT_EQ(Area(actual), Area(expected));
}

struct RowName {
    template <typename Info>
    std::string operator()(const Info& row) const
    {
        return row.param.Name;
    }
};

const QRect kWide(-10000, -10000, 20000, 20000);

// Within the rows Qt's own conversion takes quickly, the pixels are the ones
// it gives: clips keep the shape they always had.
struct ShapeCase {
    const char* Name;
    QPolygonF Polygon;
    QRect Window = kWide;
};

class PolygonRegionShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(PolygonRegionShapes, CoverThePixelsQtFills)
{
    const ShapeCase& c = GetParam();
    QPolygon whole;
    for (const QPointF& p : c.Polygon) whole.append(p.toPoint());
    for (Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        SCOPED_TRACE(rule == Qt::OddEvenFill ? "odd-even" : "winding");
        ExpectSamePixels(PolygonRegion(c.Polygon, rule, c.Window), QRegion(whole, rule) & c.Window);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PolygonRegionShapes,
    ::testing::Values(ShapeCase{"Triangle", QPolygonF({{10, 10}, {40, 10}, {10, 40}})},
                      ShapeCase{"RectangleClosedTwice", QPolygonF({{5, 5}, {25, 5}, {25, 15}, {5, 15}, {5, 5}})},
                      ShapeCase{"TurnedSquareOverManyRows",
                                QPolygonF({{700.4, -300.2}, {1700.6, 700.5}, {700.5, 1700.4}, {-300.3, 700.6}})},
                      // Odd-even leaves the middle out, winding fills it.
                      ShapeCase{"Star", QPolygonF({{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}})},
                      ShapeCase{"LoopTwiceRound",
                                QPolygonF({{0, 0}, {60, 0}, {60, 60}, {0, 60}, {0, 0}, {60, 0}, {60, 60}, {0, 60}})},
                      ShapeCase{"CutByTheWindow", QPolygonF({{-50, -50}, {150, -20}, {120, 160}, {-30, 130}}),
                                QRect(0, 0, 100, 100)},
                      ShapeCase{"FlatShapeIsEmpty", QPolygonF({{0, 10}, {50, 10}, {90, 10}})}),
    RowName());

TEST(PolygonRegionTest, MatchesQtOnRandomPolygons)
{
    std::mt19937 random(12);
    std::uniform_int_distribution<int> coordinate(-40, 140), corners(3, 12);
    for (int round = 0; round < 300; ++round) {
        QPolygonF polygon;
        QPolygon whole;
        for (int k = corners(random); k > 0; --k) {
            const QPoint p(coordinate(random), coordinate(random));
            polygon.append(p);
            whole.append(p);
        }
        for (Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill})
            ExpectSamePixels(PolygonRegion(polygon, rule, kWide), QRegion(whole, rule));
    }
}

// Shapes far larger than the page: Qt's conversion loses such a shape (and
// memory) past 100000 rows, and takes seconds for tens of thousands.
TEST(PolygonRegionTest, HugeShapesKeepOneBandPerWindowRowAtMost)
{
    const QRect window(-48, -32, 144, 96);
    // A rectangle 40 pixels wide and two million tall, leaning by one in a hundred.
    const QPolygonF leaning({{-10000, -1000000}, {-9960, -1000000}, {10040, 1000000}, {10000, 1000000}});
    const QRegion region = PolygonRegion(leaning, Qt::OddEvenFill, window);
    EXPECT_LE(region.rectCount(), window.height());
    EXPECT_TRUE(window.contains(region.boundingRect()));
    EXPECT_TRUE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(39, 0)));
    EXPECT_FALSE(region.contains(QPoint(40, 0)));
    EXPECT_FALSE(region.contains(QPoint(-1, 0)));

    // Beyond the coordinates any page has, and not a number.
    const QPolygonF far({{-1e300, -1e300}, {1e300, -1e300}, {1e300, 1e300}, {qQNaN(), 1e300}});
    const QRegion all = PolygonRegion(far, Qt::WindingFill, window);
    EXPECT_LE(all.rectCount(), window.height());
    EXPECT_TRUE(all.contains(QPoint(0, 0)));
}

// A region past the bound on rectangles keeps one run a band, from its
// first pixel to its last.
TEST(PolygonRegionTest, RegionPastTheBoundKeepsOneRunABand)
{
    // Runs one pixel wide with one pixel between them; rows alternate between
    // two spans, so no two bands merge.
    std::vector<QRect> rects;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 1000; ++x) rects.emplace_back(2 * x + (y % 2), y, 1, 1);
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    const QRegion simplified = SimplifiedRegion(region);
    EXPECT_EQ(simplified.rectCount(), 300);
    EXPECT_TRUE(region.subtracted(simplified).isEmpty());
    EXPECT_EQ(simplified.boundingRect(), region.boundingRect());
}

// A zigzag of leaning strips, each row crossing them elsewhere: hundreds of
// strips need more rectangles than the bound allows (hundreds of runs in each
// of thousands of rows) and keep one run a row; thousands make more crossings
// than the bound on work allows and keep their box.
struct ZigzagCase {
    const char* Name;
    int Points;
    int MaxRects;
};

class Zigzags : public ::testing::TestWithParam<ZigzagCase> {};

TEST_P(Zigzags, PastTheBoundsKeepOneRunARow)
{
    const QRect window(0, 0, 4000, 2000);
    QPolygonF zigzag;
    for (int i = 0; i < GetParam().Points; ++i)
        zigzag.append(i % 2 == 0 ? QPointF(i * 3, 0) : QPointF(i * 3 + 2000, 2000));
    const QRegion region = PolygonRegion(zigzag, Qt::OddEvenFill, window);
    EXPECT_LE(region.rectCount(), GetParam().MaxRects);
    EXPECT_TRUE(window.contains(region.boundingRect()));
    int runs = 0;
    for (const QRect& r : region) runs += r.top() <= 1000 && r.bottom() >= 1000 ? 1 : 0;
    EXPECT_EQ(runs, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, Zigzags,
                         ::testing::Values(ZigzagCase{"TooManyRects", 601, 2000},
                                           ZigzagCase{"TooManyCrossings", 6001, 1}),
                         RowName());

// Curves wholly outside the window become the lines between their ends:
// the pixels within it stay, and text magnified far flattens into far fewer
// points.
TEST(PolygonRegionTest, CurvesOutsideTheWindowAreNotFlattened)
{
    QPainterPath text;
    text.addText(0, 0, QFont("Liberation Sans", 50), QString(40, QChar(u'@')));
    const QPainterPath magnified = QTransform::fromScale(100, 100).map(text);
    const QRect window(5000, -4000, 300, 200);  // over the first letter
    const QPolygonF full = magnified.toFillPolygon(), within = FillPolygonWithin(magnified, window);
    EXPECT_LT(within.size() * 5, full.size());
    for (Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        const QRegion region = PolygonRegion(within, rule, window);
        EXPECT_FALSE(region.isEmpty());
        ExpectSamePixels(region, PolygonRegion(full, rule, window));
    }
}

struct WindowCase {
    const char* Name;
    QSize Device;
    std::function<void(QPainter&)> Setup;
    QRect Expected;
};

class ClipWindows : public ::testing::TestWithParam<WindowCase> {};

TEST_P(ClipWindows, AreThePageWidenedByItsSize)
{
    QImage image(GetParam().Device, QImage::Format_RGB32);
    QPainter painter(&image);
    GetParam().Setup(painter);
    EXPECT_EQ(ClipWindow(painter), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipWindows,
    ::testing::Values(WindowCase{"Image", {48, 32}, [](QPainter&) {}, QRect(QPoint(-48, -32), QPoint(96, 64))},
                      // The world transform plays no part: the player draws without one.
                      WindowCase{"WorldTransformIgnored",
                                 {48, 32},
                                 [](QPainter& p) { p.scale(4, 4); },
                                 QRect(QPoint(-48, -32), QPoint(96, 64))},
                      WindowCase{"PainterWindowMapped",
                                 {100, 100},
                                 [](QPainter& p) { p.setWindow(0, 0, 50, 50); },
                                 QRect(QPoint(-50, -50), QPoint(100, 100))},
                      // A page zoomed far shows only the part its painter is clipped to.
                      WindowCase{"PainterClipBoundsIt",
                                 {1000, 1000},
                                 [](QPainter& p) { p.setClipRect(100, 100, 50, 40); },
                                 QRect(QPoint(50, 60), QPoint(200, 180))}),
    RowName());

}  // namespace
}  // namespace dw::emf
