// SPDX-License-Identifier: MIT
#include "report/emf/emf_player_p.h"

#include "emf_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace dw::emf {
namespace {

using test::F;
using test::RawEmf;
using test::U;

// The state a page's records leave behind, checked on the player itself.
struct StateCase {
    const char* Name;
    std::function<void(RawEmf&)> Records;
    std::function<void(const EmfPlayer&)> Check;
};

class PlayerState : public ::testing::TestWithParam<StateCase> {};

TEST_P(PlayerState, AfterTheRecords)
{
    RawEmf emf;
    GetParam().Records(emf);
    const EmfDocument document(emf.Finish());
    QImage image = test::WhiteImage(100, 100);
    QPainter painter(&image);
    EmfPlayer player(painter, document, QRectF(0, 0, 100, 100));
    ASSERT_TRUE(player.Begin());
    for (const EmfRecord& record : document.Records()) player.PlayRecord(record);
    GetParam().Check(player);
    player.End();
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayerState,
    ::testing::Values(StateCase{"SavedStatesStopAtTheirBound",
                                [](RawEmf& e) {
                                    for (std::size_t i = 0; i <= kMaxSavedStates; ++i) e.Add(kEmrSaveDc, {});
                                },
                                [](const EmfPlayer& p) { EXPECT_EQ(p.SavedStates(), kMaxSavedStates); }},
                      StateCase{"RestoreByNumberDropsTheLaterStates",
                                [](RawEmf& e) {
                                    for (int i = 0; i < 3; ++i) e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrRestoreDc, {2});
                                },
                                [](const EmfPlayer& p) { EXPECT_EQ(p.SavedStates(), 1u); }},
                      StateCase{"RestoreBeyondTheSavedKeepsThem",
                                [](RawEmf& e) {
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrSaveDc, {});
                                    e.Add(kEmrRestoreDc, {U(-3)});
                                },
                                [](const EmfPlayer& p) { EXPECT_EQ(p.SavedStates(), 2u); }},
                      StateCase{"DeletingTheSelectedPenSelectsTheBlackPen",
                                [](RawEmf& e) {
                                    e.Add(kEmrCreatePen, {1, kPsSolid, 3, 0, 0x0000FF});
                                    e.Add(kEmrSelectObject, {1});
                                    e.Add(kEmrDeleteObject, {1});
                                },
                                [](const EmfPlayer& p) {
                                    EXPECT_EQ(p.Object(1), nullptr);
                                    EXPECT_EQ(p.State().Pen, StockObject(kBlackPen));
                                }},
                      StateCase{"StockObjectsStayOutOfTheTable",
                                [](RawEmf& e) {
                                    e.Add(kEmrSelectObject, {kGrayBrush});
                                    e.Add(kEmrDeleteObject, {kGrayBrush});
                                },
                                [](const EmfPlayer& p) {
                                    EXPECT_EQ(p.Object(kGrayBrush), nullptr);
                                    EXPECT_EQ(p.State().Brush, StockObject(kGrayBrush));
                                }},
                      StateCase{"PathIsKeptInDeviceCoordinates",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {F(2), 0, 0, F(2), 0, 0});
                                    e.Add(kEmrBeginPath, {});
                                    e.Add(kEmrRectangle, {5, 5, 10, 10});
                                },
                                [](const EmfPlayer& p) {
                                    EXPECT_TRUE(p.InPath());
                                    EXPECT_EQ(p.Path().boundingRect(), QRectF(10, 10, 10, 10));
                                }},
                      StateCase{"SelectClipPathEndsThePath",
                                [](RawEmf& e) {
                                    e.Add(kEmrBeginPath, {});
                                    e.Add(kEmrRectangle, {0, 0, 50, 50});
                                    e.Add(kEmrEndPath, {});
                                    e.Add(kEmrSelectClipPath, {kRgnCopy});
                                },
                                [](const EmfPlayer& p) {
                                    EXPECT_FALSE(p.InPath());
                                    EXPECT_TRUE(p.Path().isEmpty());
                                    ASSERT_TRUE(p.State().Clip.has_value());
                                    EXPECT_TRUE(p.State().Clip->contains(QPoint(25, 25)));
                                    EXPECT_FALSE(p.State().Clip->contains(QPoint(60, 60)));
                                }},
                      StateCase{"ExcludingWithoutAClipKeepsTheRest",
                                [](RawEmf& e) {
                                    e.Add(kEmrExcludeClipRect, {0, 0, 50, 50});
                                },
                                [](const EmfPlayer& p) {
                                    ASSERT_TRUE(p.State().Clip.has_value());
                                    EXPECT_TRUE(p.State().Clip->contains(QPoint(60, 60)));
                                    EXPECT_TRUE(p.State().Clip->contains(QPoint(-5000, 10)));
                                    EXPECT_FALSE(p.State().Clip->contains(QPoint(10, 10)));
                                }},
                      StateCase{"ShapeClipsKeepToThePageWidened",
                                [](RawEmf& e) {
                                    e.Add(kEmrSetWorldTransform, {F(1), F(0.5f), 0, F(1), 0, 0});
                                    e.Add(kEmrIntersectClipRect, {U(-100000), U(-100000), 100000, 100000});
                                },
                                [](const EmfPlayer& p) {
                                    EXPECT_EQ(p.ClipWindow(), QRect(QPoint(-100, -100), QPoint(200, 200)));
                                    ASSERT_TRUE(p.State().Clip.has_value());
                                    EXPECT_EQ(p.State().Clip->boundingRect(), p.ClipWindow());
                                }}),
    [](const auto& row) { return std::string(row.param.Name); });

// STRETCHDIBITS of all of a bitmap, given by its size, compression and bits
// (an 8-bit one has one colour), onto dest.
std::vector<std::uint8_t> StretchDiBits(const QRect& dest, QSize size, std::uint32_t compression, QByteArray bits)
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    const std::uint32_t colours = compression == kBiRle8 ? 1 : 0;
    w.Rect({0, 0, 0, 0});
    w.I32(dest.x()), w.I32(dest.y()), w.I32(0), w.I32(0), w.I32(size.width()), w.I32(size.height());
    w.U32(80), w.U32(40 + 4 * colours), w.U32(120 + 4 * colours), w.U32(static_cast<std::uint32_t>(bits.size()));
    w.U32(kDibRgbColors), w.U32(kSrcCopy), w.I32(dest.width()), w.I32(dest.height());
    w.U32(40), w.I32(size.width()), w.I32(size.height()), w.U16(1), w.U16(colours ? 8 : 0), w.U32(compression);
    w.Zeros(12), w.U32(colours), w.U32(0), w.Zeros(4 * colours);
    w.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(bits.constData()), static_cast<std::size_t>(bits.size())));
    return p;
}

// A PNG picture filled with one colour; its header says one pixel, and the
// picture's own size is what counts.
std::vector<std::uint8_t> Png(QSize size, QImage::Format format, Qt::GlobalColor colour)
{
    QImage image(size, format);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return StretchDiBits({40, 40, 20, 20}, {1, 1}, kBiPng, png);
}

// The largest run-length bitmap a page may hold, in four bytes: all black.
const std::vector<std::uint8_t> kRunLengthBlack =
    StretchDiBits({0, 0, 10, 10}, {4096, 4096}, kBiRle8, QByteArray("\0\1\0\0", 4));

// The pixels one playing decodes are bounded for the whole page: a page of
// records that each stand for millions of pixels in a few bytes would take
// seconds at every repaint. Past the bound, bitmaps are left out.
struct BitmapBoundCase {
    const char* Name;
    std::vector<std::vector<std::uint8_t>> Records;
    std::size_t Skipped;
    Qt::GlobalColor AtCentre;
};

class BitmapBound : public ::testing::TestWithParam<BitmapBoundCase> {};

TEST_P(BitmapBound, LeavesOutBitmapsPastIt)
{
    RawEmf emf;
    for (const auto& record : GetParam().Records) emf.AddBytes(kEmrStretchDiBits, record);
    const EmfDocument document(emf.Finish());
    QImage image = test::WhiteImage(100, 100);
    QPainter painter(&image);
    EmfPlayer player(painter, document, QRectF(0, 0, 100, 100));
    player.Play();
    painter.end();
    EXPECT_EQ(player.SkippedBitmaps(), GetParam().Skipped);
    EXPECT_EQ(image.pixelColor(50, 50), QColor(GetParam().AtCentre));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BitmapBound,
    ::testing::Values(BitmapBoundCase{"PngBySize", {Png({2, 2}, QImage::Format_RGB32, Qt::red)}, 0, Qt::red},
                      BitmapBoundCase{
                          "PngPastTheBound", {Png({8192, 8192}, QImage::Format_Mono, Qt::color1)}, 1, Qt::white},
                      BitmapBoundCase{"RunLengthBitmapsUseItUp",
                                      {kRunLengthBlack, kRunLengthBlack, Png({2, 2}, QImage::Format_RGB32, Qt::red)},
                                      1,
                                      Qt::white}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace dw::emf
