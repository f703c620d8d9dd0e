// SPDX-License-Identifier: MIT
#include "common/stop_request.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_player_p.h"

#include "report/core/page_list.h"
#include "report/core/page_stream.h"

#include "emf_test_support.h"
#include "tests/support/null_paint_device.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dw::emf {
namespace {

using test::RawEmf;

// A device that keeps no pixels and counts what is drawn on it; it can ask
// the program to end once a given number of shapes is drawn, as a kill that
// arrives while a page is painted does.
class CountingDevice : public dw::test::NullPaintDevice {
public:
    CountingDevice() : NullPaintDevice(100, 100)
    {
        SetOnDrawn([this](std::int64_t drawn) {
            if (m_askAfter >= 0 && drawn >= m_askAfter)
                RequestStop();
        });
    }
    void AskToEndAfter(std::int64_t drawn) { m_askAfter = drawn; }

private:
    std::int64_t m_askAfter = -1;
};

constexpr std::int64_t kRectangles = 3 * static_cast<std::int64_t>(kStopCheckRecords) + 7;

// A page of that many small filled rectangles (small, so that the bound on
// what one page may paint is not what stops them).
EmfDocument Rectangles(std::int64_t count)
{
    RawEmf emf;
    for (std::int64_t i = 0; i < count; ++i) emf.Add(kEmrRectangle, {10, 10, 12, 12});
    return EmfDocument(emf.Finish());
}

// What the device is given for one rectangle (its inside and its edges).
std::int64_t DrawnForOne()
{
    CountingDevice device;
    QPainter painter(&device);
    PlayEmf(painter, Rectangles(1), QRectF(0, 0, 100, 100));
    return device.Drawn();
}

// The program asked to end (a kill, the session's end) before or while a
// page of many records is painted: the page stops within a few thousand
// records, and the painter is handed back as after a whole page.
struct StopCase {
    const char* Name;
    std::function<void(CountingDevice&)> Before;
    // In rectangles.
    std::int64_t AtLeast;
    std::int64_t AtMost;
};

class PlayingAPage : public ::testing::TestWithParam<StopCase> {
protected:
    void TearDown() override { ClearStopRequest(); }
};

TEST_P(PlayingAPage, StopsWhenTheProgramIsAskedToEnd)
{
    static const EmfDocument page = Rectangles(kRectangles);
    static const std::int64_t perRectangle = DrawnForOne();
    ASSERT_GT(perRectangle, 0);
    CountingDevice device;
    GetParam().Before(device);
    QPainter painter(&device);
    const QTransform before = painter.worldTransform();
    PlayEmf(painter, page, QRectF(0, 0, 100, 100));
    EXPECT_GE(device.Drawn(), GetParam().AtLeast * perRectangle);
    EXPECT_LE(device.Drawn(), GetParam().AtMost * perRectangle);
    EXPECT_EQ(painter.worldTransform(), before);
    EXPECT_FALSE(painter.hasClipping());
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayingAPage,
    ::testing::Values(StopCase{"not_asked", [](CountingDevice&) {}, kRectangles, kRectangles},
                      StopCase{"asked_before_the_page", [](CountingDevice&) { RequestStop(); }, 0, 0},
                      StopCase{"asked_while_painting", [](CountingDevice& device) { device.AskToEndAfter(10); }, 10,
                               10 + static_cast<std::int64_t>(kStopCheckRecords)},
                      StopCase{"asked_and_answered_before_the_page",
                               [](CountingDevice&) {
                                   RequestStop();
                                   ClearStopRequest();
                               },
                               kRectangles, kRectangles}),
    [](const ::testing::TestParamInfo<StopCase>& row) { return std::string(row.param.Name); });

// The same request while a report's page is read, in either of the two
// long steps of reading it: expanding it when the report is compressed, and
// decoding it record by record. Reading ends with EStopped, which the error
// display writes to standard error.
struct ReadCase {
    const char* Name;
    std::function<void(const std::vector<std::uint8_t>& metafile)> Read;
    bool Asked;
};

// The row's request, made once the report is written and before its page
// is read.
bool g_askWhenRead = false;

void RequestStopIfAsked()
{
    if (g_askWhenRead)
        RequestStop();
}

void Decode(const std::vector<std::uint8_t>& metafile)
{
    RequestStopIfAsked();
    EXPECT_EQ(EmfDocument::FromBytes(metafile).Records().size(), static_cast<std::size_t>(kRectangles));
}

void Expand(const std::vector<std::uint8_t>& metafile)
{
    TVpStream stream;
    TVpPageList report;
    report.SetStream(&stream);
    report.SetCompressed(true);
    report.AppendPage(metafile);
    report.WriteStreamHeader();
    RequestStopIfAsked();
    EXPECT_EQ(report.FetchPage(1), std::optional<TVpPageBytes>(metafile));
}

class ReadingAPage : public ::testing::TestWithParam<ReadCase> {
protected:
    void TearDown() override { ClearStopRequest(); }
};

TEST_P(ReadingAPage, StopsWhenTheProgramIsAskedToEnd)
{
    RawEmf emf;
    for (std::int64_t i = 0; i < kRectangles; ++i) emf.Add(kEmrSaveDc, {});
    const std::vector<std::uint8_t> metafile = emf.Finish();
    g_askWhenRead = GetParam().Asked;
    if (GetParam().Asked) {
        EXPECT_THROW(GetParam().Read(metafile), EStopped);
    } else {
        EXPECT_NO_THROW(GetParam().Read(metafile));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ReadingAPage,
                         ::testing::Values(ReadCase{"decoding_not_asked", Decode, false},
                                           ReadCase{"decoding_asked", Decode, true},
                                           ReadCase{"expanding_not_asked", Expand, false},
                                           ReadCase{"expanding_asked", Expand, true}),
                         [](const ::testing::TestParamInfo<ReadCase>& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace dw::emf
