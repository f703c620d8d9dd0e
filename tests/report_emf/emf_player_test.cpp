// SPDX-License-Identifier: MIT
#include "report/emf/emf_player.h"
#include "report/emf/emf_canvas.h"
#include "report/emf/emf_player_p.h"
#include "report/emf/emf_reader.h"
#include "report/emf/painter_canvas.h"
#include "tests/support/null_paint_device.h"

#include "emf_test_support.h"
#include "page_scenes.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <malloc.h>

#include <functional>
#include <string>
#include <vector>

namespace dw::emf {
namespace {

using test::F;
using test::RawEmf;
using test::U;
using test::WhiteImage;

struct RowName {
    template <typename Info>
    std::string operator()(const Info& row) const
    {
        return row.param.Name;
    }
};

QImage Play(const std::vector<std::uint8_t>& bytes, int width = 100, int height = 100, QRectF target = {})
{
    QImage image = WhiteImage(width, height);
    QPainter painter(&image);
    PlayEmf(painter, EmfDocument(bytes), target.isNull() ? QRectF(0, 0, width, height) : target);
    return image;
}

bool IsColor(const QImage& image, int x, int y, QColor color)
{
    return image.pixelColor(x, y).rgb() == color.rgb();
}

// --- writer -> player round trips ------------------------------------------

class RoundTrip : public ::testing::TestWithParam<test::Scene> {};

TEST_P(RoundTrip, PlaysAsDrawnDirectly)
{
    const test::Scene& scene = GetParam();
    QImage direct = WhiteImage(scene.Width, scene.Height);
    {
        QPainter painter(&direct);
        TPainterCanvas canvas(painter);
        scene.Draw(canvas);
    }
    TEmfCanvas recorder(scene.Width, scene.Height, 96);
    scene.Draw(recorder);
    const QImage played = Play(recorder.Finish(), scene.Width, scene.Height);
    // Set DW_EMF_PNG_DIR to look at both.
    const QString dir = qEnvironmentVariable("DW_EMF_PNG_DIR");
    if (!dir.isEmpty()) {
        direct.save(QDir(dir).filePath(QStringLiteral("%1-direct.png").arg(QString::fromLatin1(scene.Name))));
        played.save(QDir(dir).filePath(QStringLiteral("%1-played.png").arg(QString::fromLatin1(scene.Name))));
    }
    EXPECT_LE(test::DifferentPixels(direct, played), 0.001);
}

INSTANTIATE_TEST_SUITE_P(Scenes, RoundTrip, ::testing::ValuesIn(test::Scenes()), RowName());

TEST(EmfPlayerTest, StretchesTheFrameOntoTheTarget)
{
    TEmfCanvas canvas(400, 400, 96);
    canvas.SetBrush(TBrushStyle::bsSolid, Qt::black);
    canvas.FillRect({100, 100, 200, 200});
    const auto bytes = canvas.Finish();

    const QImage twice = Play(bytes, 800, 800);
    EXPECT_TRUE(IsColor(twice, 200, 200, Qt::black));
    EXPECT_TRUE(IsColor(twice, 399, 399, Qt::black));
    EXPECT_TRUE(IsColor(twice, 199, 199, Qt::white));
    EXPECT_TRUE(IsColor(twice, 400, 400, Qt::white));

    const QImage placed = Play(bytes, 300, 300, QRectF(50, 30, 200, 200));
    EXPECT_TRUE(IsColor(placed, 100, 80, Qt::black));
    EXPECT_TRUE(IsColor(placed, 149, 129, Qt::black));
    EXPECT_TRUE(IsColor(placed, 99, 79, Qt::white));
    EXPECT_TRUE(IsColor(placed, 150, 130, Qt::white));
}

TEST(EmfPlayerTest, LeavesThePainterAsItWas)
{
    QImage image = WhiteImage(50, 50);
    QPainter painter(&image);
    painter.translate(5, 5);
    painter.setClipRect(0, 0, 20, 20);
    painter.setPen(Qt::red);
    PlayEmf(painter,
            EmfDocument(RawEmf(50, 50)
                            .Add(kEmrSetWorldTransform, {F(3), 0, 0, F(3), 0, 0})
                            .Add(kEmrIntersectClipRect, {0, 0, 5, 5})
                            .Add(kEmrSelectObject, {kBlackBrush})
                            .Add(kEmrBitBlt,
                                 {0, 0, 9, 9, 0, 0, 50, 50, kPatCopy, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 0, 0, 0, 0})
                            .Finish()),
            QRectF(0, 0, 50, 50));
    EXPECT_EQ(painter.worldTransform(), QTransform::fromTranslate(5, 5));
    EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 20, 20));
    EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
    painter.end();
    // The page's own clip and the painter's both applied.
    EXPECT_TRUE(IsColor(image, 5, 5, Qt::black));
    EXPECT_TRUE(IsColor(image, 19, 19, Qt::black));
    EXPECT_TRUE(IsColor(image, 20, 20, Qt::white));
}

// --- coordinate spaces -------------------------------------------------------

// A black pattern fill of the logical rectangle (l, t)-(r, b).
void BlackFill(RawEmf& emf, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    emf.Add(kEmrSelectObject, {kBlackBrush});
    emf.Add(kEmrBitBlt,
            {0, 0, 0, 0, U(l), U(t), U(r - l), U(b - t), kPatCopy, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 0, 0, 0, 0});
}

struct SpaceCase {
    const char* Name;
    std::function<void(RawEmf&)> Setup;
    QRect Expected;  // device pixels the fill of (0..)-(..) covers
    std::int32_t L, T, R, B;
};

class CoordinateSpaces : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(CoordinateSpaces, PlaceTheFill)
{
    RawEmf emf;
    GetParam().Setup(emf);
    BlackFill(emf, GetParam().L, GetParam().T, GetParam().R, GetParam().B);
    const QImage image = Play(emf.Finish());
    const QRect e = GetParam().Expected;
    EXPECT_TRUE(IsColor(image, e.left(), e.top(), Qt::black));
    EXPECT_TRUE(IsColor(image, e.right(), e.bottom(), Qt::black));
    if (e.left() > 0) {
        EXPECT_TRUE(IsColor(image, e.left() - 1, e.top(), Qt::white));
    }
    if (e.top() > 0) {
        EXPECT_TRUE(IsColor(image, e.left(), e.top() - 1, Qt::white));
    }
    if (e.right() < 99) {
        EXPECT_TRUE(IsColor(image, e.right() + 1, e.bottom(), Qt::white));
    }
    if (e.bottom() < 99) {
        EXPECT_TRUE(IsColor(image, e.right(), e.bottom() + 1, Qt::white));
    }
}

INSTANTIATE_TEST_SUITE_P(
    MapModes, CoordinateSpaces,
    ::testing::Values(SpaceCase{"Text", [](RawEmf&) {}, QRect(10, 20, 30, 40), 10, 20, 40, 60},
                      SpaceCase{"TextWithOrigins",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWindowOrgEx, {10, 10});
                                    e.Add(kEmrSetViewportOrgEx, {20, 0});
                                },
                                QRect(20, 0, 10, 10), 10, 10, 20, 20},
                      SpaceCase{"Anisotropic",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetMapMode, {kMmAnisotropic});
                                    e.Add(kEmrSetWindowExtEx, {1000, 1000});
                                    e.Add(kEmrSetViewportExtEx, {100, 50});
                                },
                                QRect(10, 5, 20, 10), 100, 100, 300, 300},
                      SpaceCase{"IsotropicKeepsTheAspect",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetMapMode, {kMmIsotropic});
                                    e.Add(kEmrSetWindowExtEx, {100, 100});
                                    e.Add(kEmrSetViewportExtEx, {50, 100});
                                },
                                QRect(10, 10, 10, 10), 20, 20, 40, 40},
                      SpaceCase{"ExtentsIgnoredInTextMode",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWindowExtEx, {1000, 1000});
                                    e.Add(kEmrSetViewportExtEx, {100, 50});
                                },
                                QRect(10, 10, 10, 10), 10, 10, 20, 20},
                      // 0.01 mm units with y upwards; the reference device has 1000 pixels in 254 mm.
                      SpaceCase{"HiMetricFlipsY",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetMapMode, {kMmHiMetric});
                                    e.Add(kEmrSetViewportOrgEx, {0, 100});
                                },
                                QRect(0, 50, 50, 50), 0, 0, 1270, 1270},
                      SpaceCase{"WorldTransformScales",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {F(2), 0, 0, F(2), F(5), F(5)});
                                },
                                QRect(5, 5, 20, 20), 0, 0, 10, 10},
                      SpaceCase{"WorldTransformLeftMultiply",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {F(1), 0, 0, F(1), F(10), 0});
                                    e.Add(kEmrModifyWorldTransform, {F(2), 0, 0, F(2), 0, 0, kMwtLeftMultiply});
                                },
                                QRect(10, 0, 20, 20), 0, 0, 10, 10},
                      SpaceCase{"WorldTransformIdentity",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {F(3), 0, 0, F(3), F(10), 0});
                                    e.Add(kEmrModifyWorldTransform, {F(2), 0, 0, F(2), 0, 0, kMwtIdentity});
                                },
                                QRect(0, 0, 10, 10), 0, 0, 10, 10},
                      SpaceCase{"NonFiniteTransformIgnored",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {0x7F800000, 0, 0, F(1), 0, 0});
                                },
                                QRect(0, 0, 10, 10), 0, 0, 10, 10},
                      SpaceCase{"RestoreBringsBackTheTransform",
                                [](RawEmf& e) {
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrSetWindowOrgEx, {U(-50), U(-50)});
                                    e.Add(kEmrRestoreDc, {U(-1)});
                                },
                                QRect(0, 0, 10, 10), 0, 0, 10, 10},
                      SpaceCase{"RestoreByAbsoluteNumber",
                                [](RawEmf& e) {
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrSetWindowOrgEx, {U(-50), U(-50)});
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrSetWindowOrgEx, {U(-20), U(-20)});
                                    e.Add(kEmrRestoreDc, {1});
                                },
                                QRect(0, 0, 10, 10), 0, 0, 10, 10},
                      SpaceCase{"RestoreBeyondTheSavedIsIgnored",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWindowOrgEx, {U(-10), U(-10)});
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrRestoreDc, {U(-3)});
                                    e.Add(kEmrRestoreDc, {0});
                                },
                                QRect(10, 10, 10, 10), 0, 0, 10, 10}),
    RowName());

// --- clipping ----------------------------------------------------------------

struct ClipCase {
    const char* Name;
    std::function<void(RawEmf&)> Setup;
    QPoint Inside;   // black after filling everything
    QPoint Outside;  // still white
};

class Clipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clipping, LimitsTheFill)
{
    RawEmf emf;
    GetParam().Setup(emf);
    BlackFill(emf, 0, 0, 100, 100);
    const QImage image = Play(emf.Finish());
    EXPECT_TRUE(IsColor(image, GetParam().Inside.x(), GetParam().Inside.y(), Qt::black));
    if (GetParam().Outside.x() >= 0) {
        EXPECT_TRUE(IsColor(image, GetParam().Outside.x(), GetParam().Outside.y(), Qt::white));
    }
}

std::vector<std::uint32_t> RegionRecord(std::uint32_t mode, std::initializer_list<RectL> rects)
{
    std::vector<std::uint32_t> f{
        static_cast<std::uint32_t>(32 + 16 * rects.size()), mode, 32, 1,   static_cast<std::uint32_t>(rects.size()),
        static_cast<std::uint32_t>(16 * rects.size()),      0,    0,  100, 100};
    for (const RectL& r : rects) f.insert(f.end(), {U(r.Left), U(r.Top), U(r.Right), U(r.Bottom)});
    return f;
}

void AddFields(RawEmf& e, std::uint32_t type, const std::vector<std::uint32_t>& fields)
{
    std::vector<std::uint8_t> payload;
    ByteWriter w(payload);
    for (std::uint32_t v : fields) w.U32(v);
    e.AddBytes(type, payload);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, Clipping,
    ::testing::Values(ClipCase{"IntersectClipRect",
                               [](RawEmf& e) {
                                   e.Add(kEmrIntersectClipRect, {0, 0, 50, 50});
                               },
                               {49, 49},
                               {50, 50}},
                      ClipCase{"ExcludeClipRect",
                               [](RawEmf& e) {
                                   e.Add(kEmrExcludeClipRect, {0, 0, 50, 50});
                               },
                               {60, 60},
                               {10, 10}},
                      ClipCase{"IntersectTwiceKeepsTheOverlap",
                               [](RawEmf& e) {
                                   e.Add(kEmrIntersectClipRect, {0, 0, 50, 50});
                                   e.Add(kEmrIntersectClipRect, {40, 40, 100, 100});
                               },
                               {45, 45},
                               {30, 30}},
                      ClipCase{"RegionCopy",
                               [](RawEmf& e) {
                                   AddFields(e, kEmrExtSelectClipRgn, RegionRecord(kRgnCopy, {{20, 20, 40, 40}}));
                               },
                               {30, 30},
                               {10, 10}},
                      ClipCase{"RegionInDeviceUnitsIgnoresTheWindow",
                               [](RawEmf& e) {
                                   e.Add(kEmrSetWindowOrgEx, {15, 15});
                                   AddFields(e, kEmrExtSelectClipRgn, RegionRecord(kRgnCopy, {{20, 20, 40, 40}}));
                               },
                               {38, 38},
                               {10, 10}},
                      ClipCase{"EmptyRegionCopyResets",
                               [](RawEmf& e) {
                                   e.Add(kEmrIntersectClipRect, {0, 0, 10, 10});
                                   e.Add(kEmrExtSelectClipRgn, {0, kRgnCopy});
                               },
                               {60, 60},
                               {-1, -1}},
                      ClipCase{"ClipRestoredWithTheState",
                               [](RawEmf& e) {
                                   e.Add(kEmrSaveDc, {});
                                   e.Add(kEmrIntersectClipRect, {0, 0, 10, 10});
                                   e.Add(kEmrRestoreDc, {U(-1)});
                               },
                               {60, 60},
                               {-1, -1}},
                      ClipCase{"ClipPath",
                               [](RawEmf& e) {
                                   e.Add(kEmrBeginPath, {});
                                   e.Add(kEmrRectangle, {0, 0, 50, 50});
                                   e.Add(kEmrEndPath, {});
                                   e.Add(kEmrSelectClipPath, {kRgnCopy});
                               },
                               {20, 20},
                               {60, 60}}),
    RowName());

// A clip rectangle under a sheared transform, far larger than the page,
// becomes a region of the page's own size: the region's rows used to be
// built over the whole shape (seconds for tens of thousands of rows, nearly
// a minute for a page played into a mirrored rectangle), and a shape taller
// than 100000 rows came out empty, clipping everything away.
struct HugeClipCase {
    const char* Name;
    XForm World;
    RectL Box;
    QRectF Target = QRectF(0, 0, 100, 100);
    QPoint Inside = QPoint(50, 60);  // painted, in device pixels
};

const XForm kLean{1, 0.2f, 0, 1, 0, 0};

void HugeClip(RawEmf& emf, const XForm& world, const RectL& box)
{
    emf.Add(kEmrSetWorldTransform, {F(world.M11), F(world.M12), F(world.M21), F(world.M22), F(world.Dx), F(world.Dy)});
    emf.Add(kEmrIntersectClipRect, {U(box.Left), U(box.Top), U(box.Right), U(box.Bottom)});
    BlackFill(emf, 0, 0, 100, 100);
}

class HugeShapeClips : public ::testing::TestWithParam<HugeClipCase> {};

TEST_P(HugeShapeClips, StayWithinThePage)
{
    const HugeClipCase& c = GetParam();
    RawEmf emf;
    HugeClip(emf, c.World, c.Box);
    const EmfDocument document(emf.Finish());

    dw::test::NullPaintDevice recorder(100, 100, true);
    {
        QPainter painter(&recorder);
        PlayEmf(painter, document, c.Target);
    }
    ASSERT_FALSE(recorder.ClipRegions().empty());
    // At most one band per row of the page and its margins.
    for (const QRegion& region : recorder.ClipRegions()) EXPECT_LE(region.rectCount(), 300);
    EXPECT_TRUE(recorder.ClipRegions().front().contains(c.Inside));

    QImage image = WhiteImage(100, 100);
    {
        QPainter painter(&image);
        PlayEmf(painter, document, c.Target);
    }
    EXPECT_TRUE(IsColor(image, c.Inside.x(), c.Inside.y(), Qt::black));
}

INSTANTIATE_TEST_SUITE_P(Table, HugeShapeClips,
                         ::testing::Values(HugeClipCase{"TensOfThousandsOfRows", kLean, {0, 0, 20000, 20000}},
                                           HugeClipCase{"MoreRowsThanQtConverts", kLean, {0, -300000, 100, 300000}},
                                           HugeClipCase{"PlayedIntoAMirroredRectangle",
                                                        {1, 0.2f, 0, 1, 3, 0},
                                                        {10, 10, 655960, 64936},
                                                        QRectF(100, 100, -100, -100),
                                                        {50, 40}}),
                         RowName());

// Playing a page again takes no more memory: Qt's own conversion of a
// polygon to a region, once used for sheared clip rectangles, kept its edge
// table (280 bytes for a rectangle) of every shape taller than it converts.
TEST(EmfPlayerTest, PlayingAgainKeepsNoMemory)
{
    RawEmf emf;
    HugeClip(emf, kLean, {0, -300000, 100, 300000});
    const EmfDocument document(emf.Finish());
    QImage image = WhiteImage(48, 32);
    QPainter painter(&image);
    PlayEmf(painter, document, QRectF(45, 30, -40, -25));  // whatever is kept once
    constexpr int kRounds = 200;
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kRounds; ++i) PlayEmf(painter, document, QRectF(45, 30, -40, -25));
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_LT(after > before ? after - before : 0, kRounds * 16u);
}

// --- objects -----------------------------------------------------------------

struct ObjectCase {
    const char* Name;
    std::function<void(RawEmf&)> Setup;  // ends with a brush selected for the fill
    QColor Color;
};

class Objects : public ::testing::TestWithParam<ObjectCase> {};

TEST_P(Objects, GiveTheFillItsColour)
{
    RawEmf emf;
    GetParam().Setup(emf);
    emf.Add(kEmrBitBlt, {0, 0, 0, 0, 0, 0, 100, 100, kPatCopy, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 0, 0, 0, 0});
    const QImage image = Play(emf.Finish());
    EXPECT_EQ(image.pixelColor(50, 50), GetParam().Color);
}

INSTANTIATE_TEST_SUITE_P(Table, Objects,
                         ::testing::Values(ObjectCase{"CreatedBrush",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrCreateBrushIndirect, {1, kBsSolid, 0x0000FF, 0});
                                                          e.Add(kEmrSelectObject, {1});
                                                      },
                                                      QColor(255, 0, 0)},
                                           ObjectCase{"IndexBeyondTheDeclaredHandles",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrCreateBrushIndirect, {300, kBsSolid, 0x00FF00, 0});
                                                          e.Add(kEmrSelectObject, {300});
                                                      },
                                                      QColor(0, 255, 0)},
                                           ObjectCase{"DeletingTheSelectedBrushBringsBackWhite",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrSelectObject, {kBlackBrush});
                                                          e.Add(kEmrBitBlt,
                                                                {0, 0, 0,    0, 0, 0, 100, 100, kPatCopy, 0, 0, F(1),
                                                                 0, 0, F(1), 0, 0, 0, 0,   0,   0,        0, 0});
                                                          e.Add(kEmrCreateBrushIndirect, {1, kBsSolid, 0x0000FF, 0});
                                                          e.Add(kEmrSelectObject, {1});
                                                          e.Add(kEmrDeleteObject, {1});
                                                      },
                                                      QColor(255, 255, 255)},
                                           ObjectCase{"UnknownIndexIgnored",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrSelectObject, {kGrayBrush});
                                                          e.Add(kEmrSelectObject, {77});
                                                          e.Add(kEmrDeleteObject, {78});
                                                      },
                                                      QColor(128, 128, 128)},
                                           ObjectCase{"IndexZeroNeverCreated",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrSelectObject, {kDkGrayBrush});
                                                          e.Add(kEmrCreateBrushIndirect, {0, kBsSolid, 0x0000FF, 0});
                                                          e.Add(kEmrSelectObject, {0});
                                                      },
                                                      QColor(64, 64, 64)},
                                           ObjectCase{"RecreatedIndexReplacesTheObject",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrCreateBrushIndirect, {2, kBsSolid, 0x0000FF, 0});
                                                          e.Add(kEmrCreateBrushIndirect, {2, kBsSolid, 0xFF0000, 0});
                                                          e.Add(kEmrSelectObject, {2});
                                                      },
                                                      QColor(0, 0, 255)},
                                           ObjectCase{"RestoreBringsBackTheBrush",
                                                      [](RawEmf& e) {
                                                          e.Add(kEmrSelectObject, {kBlackBrush});
                                                          e.Add(kEmrSaveDc, {});
                                                          e.Add(kEmrSelectObject, {kLtGrayBrush});
                                                          e.Add(kEmrRestoreDc, {U(-1)});
                                                      },
                                                      QColor(0, 0, 0)},
                                           ObjectCase{"NullBrushFillsNothing",
                                                      [](RawEmf& e) { e.Add(kEmrSelectObject, {kNullBrush}); },
                                                      QColor(255, 255, 255)}),
                         RowName());

// --- lines and shapes ----------------------------------------------------------

TEST(EmfPlayerTest, OnePixelLinesLeaveOutTheirEndPoint)
{
    const QImage image =
        Play(RawEmf()
                 .Add(kEmrMoveToEx, {10, 10})
                 .Add(kEmrLineTo, {20, 10})
                 .Add(kEmrPolyline16, {0, 0, 0, 0, 3, (30u << 16) | 10, (30u << 16) | 20, (40u << 16) | 20})
                 .Finish());
    EXPECT_TRUE(IsColor(image, 10, 10, Qt::black));
    EXPECT_TRUE(IsColor(image, 19, 10, Qt::black));
    EXPECT_TRUE(IsColor(image, 20, 10, Qt::white));
    EXPECT_TRUE(IsColor(image, 10, 30, Qt::black));
    EXPECT_TRUE(IsColor(image, 20, 35, Qt::black));  // the corner
    EXPECT_TRUE(IsColor(image, 20, 39, Qt::black));
    EXPECT_TRUE(IsColor(image, 20, 40, Qt::white));  // the last point
}

TEST(EmfPlayerTest, RectangleOutlinesInsideItsBox)
{
    const QImage image = Play(RawEmf()
                                  .Add(kEmrSelectObject, {kLtGrayBrush})
                                  .Add(kEmrRectangle, {10, 10, 30, 30})
                                  .Add(kEmrSelectObject, {kNullPen})
                                  .Add(kEmrRectangle, {50, 10, 70, 30})
                                  .Finish());
    EXPECT_TRUE(IsColor(image, 10, 10, Qt::black));
    EXPECT_TRUE(IsColor(image, 29, 29, Qt::black));
    EXPECT_TRUE(IsColor(image, 30, 30, Qt::white));
    EXPECT_TRUE(IsColor(image, 20, 20, QColor(192, 192, 192)));
    // Without a pen the fill is one pixel smaller.
    EXPECT_TRUE(IsColor(image, 50, 10, QColor(192, 192, 192)));
    EXPECT_TRUE(IsColor(image, 68, 28, QColor(192, 192, 192)));
    EXPECT_TRUE(IsColor(image, 69, 29, Qt::white));
}

TEST(EmfPlayerTest, PolygonIsFilledAndPathsAreStrokedOrFilled)
{
    const QImage image = Play(RawEmf()
                                  .Add(kEmrSelectObject, {kBlackBrush})
                                  .Add(kEmrPolygon, {0, 0, 0, 0, 3, 10, 10, 40, 10, 10, 40})
                                  .Add(kEmrBeginPath, {})
                                  .Add(kEmrMoveToEx, {60, 60})
                                  .Add(kEmrLineTo, {90, 60})
                                  .Add(kEmrLineTo, {90, 90})
                                  .Add(kEmrCloseFigure, {})
                                  .Add(kEmrEndPath, {})
                                  .Add(kEmrFillPath, {0, 0, 0, 0})
                                  .Finish());
    EXPECT_TRUE(IsColor(image, 15, 15, Qt::black));
    EXPECT_TRUE(IsColor(image, 35, 35, Qt::white));
    EXPECT_TRUE(IsColor(image, 85, 70, Qt::black));
    EXPECT_TRUE(IsColor(image, 65, 85, Qt::white));
}

// --- bitmaps -----------------------------------------------------------------

// A 2 x 2, 24-bit, bottom-up bitmap: bottom row red, green; top row blue, white.
std::vector<std::uint8_t> TwoByTwo(std::uint32_t type, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy)
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    w.Rect({0, 0, 0, 0});
    if (type == kEmrStretchDiBits) {
        w.I32(x), w.I32(y), w.I32(0), w.I32(0), w.I32(2), w.I32(2);
        w.U32(80), w.U32(40), w.U32(120), w.U32(16), w.U32(kDibRgbColors), w.U32(kSrcCopy), w.I32(cx), w.I32(cy);
    } else {
        w.I32(x), w.I32(y), w.I32(cx), w.I32(cy), w.U32(kSrcCopy), w.I32(0), w.I32(0);
        w.Xform({});
        w.U32(0), w.U32(kDibRgbColors), w.U32(100), w.U32(40), w.U32(140), w.U32(16);
    }
    w.U32(40), w.I32(2), w.I32(2), w.U16(1), w.U16(24), w.U32(kBiRgb), w.U32(16), w.I32(0), w.I32(0), w.U32(0),
        w.U32(0);
    const std::uint8_t bits[] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    w.Bytes(bits);
    return p;
}

struct BitmapCase {
    const char* Name;
    std::uint32_t Type;
    std::int32_t X, Y, Cx, Cy;
    QPoint TopLeftQuarter;      // where the blue pixel lands
    QPoint BottomRightQuarter;  // where the green one does
};

class Bitmaps : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(Bitmaps, LandStretchedAndTheRightWayUp)
{
    const BitmapCase& c = GetParam();
    const QImage image = Play(RawEmf().AddBytes(c.Type, TwoByTwo(c.Type, c.X, c.Y, c.Cx, c.Cy)).Finish());
    EXPECT_EQ(image.pixelColor(c.TopLeftQuarter), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(c.BottomRightQuarter), QColor(0, 255, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Records, Bitmaps,
    ::testing::Values(BitmapCase{"StretchDiBits", kEmrStretchDiBits, 10, 10, 20, 20, {12, 12}, {27, 27}},
                      BitmapCase{"StretchDiBitsMirrored", kEmrStretchDiBits, 30, 10, -20, 20, {27, 12}, {12, 27}},
                      BitmapCase{"BitBlt", kEmrBitBlt, 50, 50, 2, 2, {50, 50}, {51, 51}}),
    RowName());

// --- text --------------------------------------------------------------------

// EXTTEXTOUTW of text at (x, y) with the given advances.
std::vector<std::uint8_t> TextOut(std::int32_t x, std::int32_t y, std::u16string text, std::vector<std::int32_t> dx,
                                  std::uint32_t options = 0, RectL rect = {0, 0, -1, -1})
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    const std::uint32_t chars = static_cast<std::uint32_t>(text.size());
    w.Rect({0, 0, -1, -1});
    w.U32(kGmCompatible), w.F32(1), w.F32(1);
    w.Point({x, y});
    w.U32(chars), w.U32(76), w.U32(options);
    w.Rect(rect);
    w.U32(76 + ((2 * chars + 3) & ~3u));
    for (char16_t c : text) w.U16(static_cast<std::uint16_t>(c));
    w.PadTo4();
    for (std::int32_t d : dx) w.I32(d);
    return p;
}

std::vector<std::uint8_t> ArialFont(std::int32_t height, std::int32_t escapement = 0)
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    w.U32(1);
    LogFontW font;
    font.Height = height;
    font.Escapement = escapement;
    font.FaceName = u"Arial";
    WriteLogFont(w, font);
    return p;
}

// Text drawn with an opaque blue background, so the character cells show.
RawEmf OpaqueText(std::uint32_t align)
{
    RawEmf e;
    e.AddBytes(kEmrExtCreateFontIndirectW, ArialFont(-13));
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrSetBkMode, {kOpaque});
    e.Add(kEmrSetBkColor, {0xFF0000});
    e.Add(kEmrSetTextAlign, {align});
    return e;
}

const QColor kBlue(0, 0, 255);

TEST(EmfPlayerTest, UpdateCpPutsTextAfterText)
{
    RawEmf e = OpaqueText(kTaUpdateCp);
    e.Add(kEmrMoveToEx, {10, 10});
    e.AddBytes(kEmrExtTextOutW, TextOut(0, 0, u"-", {20}));
    e.AddBytes(kEmrExtTextOutW, TextOut(0, 0, u"-", {20}));
    const QImage image = Play(e.Finish());
    EXPECT_TRUE(IsColor(image, 11, 11, kBlue));
    EXPECT_TRUE(IsColor(image, 48, 11, kBlue));
    EXPECT_TRUE(IsColor(image, 51, 11, Qt::white));
    EXPECT_TRUE(IsColor(image, 9, 11, Qt::white));
}

struct AlignCase {
    const char* Name;
    std::uint32_t Align;
    int CellLeft;  // text of advance 20 at x = 50
};

class TextAlignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(TextAlignment, PlacesTheCell)
{
    RawEmf e = OpaqueText(GetParam().Align);
    e.AddBytes(kEmrExtTextOutW, TextOut(50, 40, u"-", {20}));
    const QImage image = Play(e.Finish());
    const int y = (GetParam().Align & kTaVerticalMask) == kTaBaseline ? 35 : (GetParam().Align & kTaBottom) ? 35 : 45;
    EXPECT_TRUE(IsColor(image, GetParam().CellLeft + 1, y, kBlue));
    EXPECT_TRUE(IsColor(image, GetParam().CellLeft + 18, y, kBlue));
    EXPECT_TRUE(IsColor(image, GetParam().CellLeft - 2, y, Qt::white));
    EXPECT_TRUE(IsColor(image, GetParam().CellLeft + 22, y, Qt::white));
}

INSTANTIATE_TEST_SUITE_P(Flags, TextAlignment,
                         ::testing::Values(AlignCase{"LeftTop", 0, 50}, AlignCase{"Right", kTaRight, 30},
                                           AlignCase{"Center", kTaCenter, 40}, AlignCase{"Baseline", kTaBaseline, 50},
                                           AlignCase{"Bottom", kTaBottom, 50}),
                         RowName());

TEST(EmfPlayerTest, TextCellTopIsTheReferenceWithTopAlignment)
{
    RawEmf e = OpaqueText(0);
    e.AddBytes(kEmrExtTextOutW, TextOut(10, 40, u"-", {20}));
    const QImage top = Play(e.Finish());
    EXPECT_TRUE(IsColor(top, 15, 40, kBlue));
    EXPECT_TRUE(IsColor(top, 15, 39, Qt::white));
}

TEST(EmfPlayerTest, OpaqueRectangleAndClipping)
{
    RawEmf e = OpaqueText(0);
    e.Add(kEmrSetBkMode, {kTransparent});
    e.Add(kEmrSetBkColor, {0x00FF00});
    // Opaque: the rectangle takes the background colour though the mode is transparent.
    e.AddBytes(kEmrExtTextOutW, TextOut(10, 10, u"", {}, kEtoOpaque, {5, 5, 25, 25}));
    // Clipped: the text's own background stays inside its rectangle.
    e.Add(kEmrSetBkMode, {kOpaque});
    e.Add(kEmrSetBkColor, {0xFF0000});
    e.AddBytes(kEmrExtTextOutW, TextOut(50, 50, u"--", {20, 20}, kEtoClipped, {50, 50, 60, 100}));
    const QImage image = Play(e.Finish());
    EXPECT_TRUE(IsColor(image, 6, 6, QColor(0, 255, 0)));
    EXPECT_TRUE(IsColor(image, 24, 24, QColor(0, 255, 0)));
    EXPECT_TRUE(IsColor(image, 25, 25, Qt::white));
    EXPECT_TRUE(IsColor(image, 55, 52, kBlue));
    EXPECT_TRUE(IsColor(image, 65, 52, Qt::white));
}

TEST(EmfPlayerTest, TransparentTextLeavesTheBackground)
{
    RawEmf e = OpaqueText(0);
    e.Add(kEmrSetBkMode, {kTransparent});
    e.AddBytes(kEmrExtTextOutW, TextOut(10, 10, u"__", {20, 20}));
    const QImage image = Play(e.Finish());
    EXPECT_TRUE(IsColor(image, 30, 12, Qt::white));
}

}  // namespace
}  // namespace dw::emf

namespace dw::emf {
namespace {

// Text under transforms the font engine cannot rasterise glyphs for
// (stretched, sheared, huge) is still drawn, as outlines.
struct ExtremeTextCase {
    const char* Name;
    std::function<void(RawEmf&)> Setup;
    std::int32_t Height;  // of the font, logical
    bool Visible;
    PointL At = {2, 2};
    std::uint32_t Align = 0;
    std::int32_t Escapement = 0;
};

class ExtremeText : public ::testing::TestWithParam<ExtremeTextCase> {};

TEST_P(ExtremeText, IsDrawnSafely)
{
    RawEmf e;
    GetParam().Setup(e);
    e.AddBytes(kEmrExtCreateFontIndirectW, ArialFont(GetParam().Height, GetParam().Escapement));
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrSetBkMode, {kTransparent});
    e.Add(kEmrSetTextAlign, {GetParam().Align});
    e.AddBytes(kEmrExtTextOutW, TextOut(GetParam().At.X, GetParam().At.Y, u"LLL", {1, 1, 1}));
    const QImage image = Play(e.Finish());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    if (GetParam().Visible) {
        EXPECT_GT(dark, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, ExtremeText,
    ::testing::Values(ExtremeTextCase{"StretchedFiftyTimes",
                                      [](RawEmf& e) {
                                          e.Add(kEmrSetWorldTransform, {F(50), 0, 0, F(1), 0, 0});
                                      },
                                      -20,
                                      true,
                                      {0, 2}},
                      ExtremeTextCase{"NearlySingularShear",
                                      [](RawEmf& e) {
                                          e.Add(kEmrSetWorldTransform, {F(1), F(0.00035f), F(-2.1f), F(0.0002f), 0, 0});
                                      },
                                      -400, false},
                      // Turned text under a nearly singular transform: the font
                      // engine fails to rasterise such glyphs.
                      ExtremeTextCase{"TurnedAndNearlySingular",
                                      [](RawEmf& e) {
                                          e.Add(kEmrSetWorldTransform, {F(-2.11267f), F(0.000202887f), F(-0.999818f),
                                                                        F(-0.00035141f), F(50), F(50)});
                                      },
                                      -1658,
                                      false,
                                      {0, 0},
                                      0,
                                      900},
                      ExtremeTextCase{"HugeFont", [](RawEmf&) {}, -3000, true, {-250, 90}, kTaBaseline},
                      ExtremeTextCase{"Mirrored",
                                      [](RawEmf& e) {
                                          e.Add(kEmrSetWorldTransform, {F(-1), 0, 0, F(-1), F(90), F(90)});
                                      },
                                      -40, true},
                      ExtremeTextCase{"Rotated",
                                      [](RawEmf& e) {
                                          e.Add(kEmrSetWorldTransform, {F(0.6f), F(0.8f), F(-0.8f), F(0.6f), F(50), 0});
                                      },
                                      -30, true}),
    RowName());

// --- the bound on the area drawn -----------------------------------------

// A few kilobytes of records that each cover the whole window would take
// seconds at every repaint: past a bound on the area drawn the rest of the
// page is left out, while real pages, however they are shown, lose nothing.
struct PaintBoundCase {
    std::string Name;
    std::function<std::vector<std::uint8_t>()> Page;
    QSize Image;
    QRectF Target;
    bool Cut;
};

class PaintBound : public ::testing::TestWithParam<PaintBoundCase> {};

TEST_P(PaintBound, LeavesOutDrawingsPastIt)
{
    const PaintBoundCase& row = GetParam();
    const EmfDocument document(row.Page());
    QImage image = WhiteImage(row.Image.width(), row.Image.height());
    QPainter painter(&image);
    EmfPlayer player(painter, document, row.Target);
    player.Play();
    painter.end();
    EXPECT_EQ(player.SkippedBitmaps(), 0u);
    if (!row.Cut) {
        EXPECT_EQ(player.SkippedDrawings(), 0u);
        return;
    }
    EXPECT_GT(player.SkippedDrawings(), 0u);
    // What came before the cut is there, the green fill after it is not.
    const QColor centre = image.pixelColor(50, 50);
    EXPECT_NE(centre, QColor(Qt::white));
    EXPECT_NE(centre, QColor(Qt::green));
}

// Ends a page with a green fill of all of it.
std::vector<std::uint8_t> EndGreen(RawEmf& e)
{
    e.Add(kEmrCreateBrushIndirect, {2, kBsSolid, 0x00FF00, 0});
    e.Add(kEmrSelectObject, {2});
    e.Add(kEmrSelectObject, {kStockObjectFlag | 8});  // no pen
    e.Add(kEmrRectangle, {0, 0, 101, 101});
    return e.Finish();
}

std::vector<std::uint8_t> OverlappingFills()
{
    RawEmf e;
    e.Add(kEmrCreateBrushIndirect, {1, kBsSolid, 0x0000FF, 0});
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrSelectObject, {kStockObjectFlag | 8});
    for (int i = 0; i < 1000; ++i) e.Add(kEmrRectangle, {0, 0, 101, 101});
    return EndGreen(e);
}

// Letters larger than the page on a red background.
std::vector<std::uint8_t> HugeLetters()
{
    RawEmf e;
    e.AddBytes(kEmrExtCreateFontIndirectW, ArialFont(-200));
    e.Add(kEmrSelectObject, {1});
    e.Add(kEmrSetBkMode, {kOpaque});
    e.Add(kEmrSetBkColor, {0x0000FF});
    for (int i = 0; i < 400; ++i) e.AddBytes(kEmrExtTextOutW, TextOut(-20, -40, u"W", {200}));
    return EndGreen(e);
}

std::vector<PaintBoundCase> PaintBoundCases()
{
    std::vector<PaintBoundCase> rows = {
        {"OverlappingFills", OverlappingFills, {100, 100}, {0, 0, 100, 100}, true},
        {"HugeLetters", HugeLetters, {100, 100}, {0, 0, 100, 100}, true},
    };
    for (const test::Scene& scene : test::Scenes()) {
        const auto page = [scene] {
            TEmfCanvas recorder(scene.Width, scene.Height, 96);
            scene.Draw(recorder);
            return recorder.Finish();
        };
        const QString name = QString::fromLatin1(scene.Name);
        const double w = scene.Width, h = scene.Height;
        rows.push_back({(name + QStringLiteral("AtPageSize")).toStdString(),
                        page,
                        {scene.Width, scene.Height},
                        {0, 0, w, h},
                        false});
        // The preview's largest zoom, of which a window's worth is shown.
        rows.push_back({(name + QStringLiteral("ZoomedCorner")).toStdString(),
                        page,
                        {160, 120},
                        {-1.2 * w, -1.3 * h, 20 * w, 20 * h},
                        false});
        rows.push_back(
            {(name + QStringLiteral("Shrunk")).toStdString(), page, {24, 32}, {2, 2, 20, 20 * h / w}, false});
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Pages, PaintBound, ::testing::ValuesIn(PaintBoundCases()), RowName());

}  // namespace
}  // namespace dw::emf
