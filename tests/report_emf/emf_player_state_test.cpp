#include "report/emf/emf_player_p.h"

#include "emf_test_support.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>

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

}  // namespace
}  // namespace dw::emf
