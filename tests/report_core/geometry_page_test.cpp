// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"
#include "geometry_fakes.h"
#include "report/core/page.h"

namespace dw {
namespace {

using geometry_test::FakeReport;
using geometry_test::kScreen96;

struct A3Row {
    const char* Name;
    TVpUnit Unit;
    Extended Width;
    Extended Length;
    Extended Margin;
};

const A3Row kA3[] = {
    {"Millimetres", TVpUnit::MM, 297.0L, 420.0L, 10.0L},
    {"Inches", TVpUnit::Inches, 2970.0L / 254.0L, 4200.0L / 254.0L, 100.0L / 254.0L},
    {"Native", TVpUnit::Native, 2970.0L, 4200.0L, 100.0L},
};

class A3Page : public testing::TestWithParam<A3Row> {};

TEST_P(A3Page, ReadsInTheReportUnit)
{
    FakeReport report;
    report.Geometry.SetUnits(GetParam().Unit);
    const TVpPage& page = report.Page();
    EXPECT_NEAR(static_cast<double>(page.Width()), static_cast<double>(GetParam().Width), 1e-15);
    EXPECT_NEAR(static_cast<double>(page.Length()), static_cast<double>(GetParam().Length), 1e-15);
    for (const Extended margin : {page.TopMargin(), page.BottomMargin(), page.LeftMargin(), page.RightMargin()}) {
        EXPECT_NEAR(static_cast<double>(margin), static_cast<double>(GetParam().Margin), 1e-15);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, A3Page, testing::ValuesIn(kA3),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(Page, A3ReportIsItsPaperSizeInPixels)
{
    FakeReport report;
    EXPECT_EQ(report.Page().Width(), 297.0L);
    EXPECT_EQ(report.Host.Bounds.Width, 1123);
    EXPECT_EQ(report.Host.Bounds.Height, 1587);
}

TEST(Page, LandscapeSwapsATableSizeAndBack)
{
    FakeReport report;
    TVpPage& page = report.Page();
    page.SetOrientation(TVpOrientation::poLandscape);
    EXPECT_EQ(page.Width(), 420.0L);
    EXPECT_EQ(page.Length(), 297.0L);
    EXPECT_EQ(page.PaperSize(), TVpPaperSize::A3);
    EXPECT_EQ(report.Host.Bounds.Width, 1587);
    page.SetOrientation(TVpOrientation::poPortrait);
    EXPECT_EQ(page.Width(), 297.0L);
    EXPECT_EQ(page.Length(), 420.0L);
}

TEST(Page, OrientationKeepsCustomAndDefaultDimensions)
{
    for (TVpPaperSize size : {TVpPaperSize::Custom, TVpPaperSize::Default}) {
        FakeReport report;
        TVpPage& page = report.Page();
        page.SetPaperSize(TVpPaperSize::Custom);
        page.SetWidth(100);
        page.SetLength(150);
        page.SetPaperSize(size);
        page.SetOrientation(TVpOrientation::poLandscape);
        EXPECT_EQ(page.Width(), 100.0L) << PaperSizeName(size);
        EXPECT_EQ(page.Length(), 150.0L) << PaperSizeName(size);
    }
}

TEST(Page, LengthAndWidthAreTakenOnlyOnACustomPage)
{
    FakeReport report;
    TVpPage& page = report.Page();
    page.SetLength(500);
    page.SetWidth(500);
    EXPECT_EQ(page.Length(), 420.0L);
    EXPECT_EQ(page.Width(), 297.0L);
    page.SetPaperSize(TVpPaperSize::Custom);
    EXPECT_EQ(page.Length(), 420.0L);  // Custom keeps what the page had
    page.SetLength(500);
    EXPECT_EQ(page.Length(), 500.0L);
    EXPECT_EQ(page.NativeValue(TVpPage::kLength), 5000.0L);
    EXPECT_EQ(report.Host.Bounds.Height, 1890);  // 500 mm at 96 ppi
}

TEST(Page, ColumnsBelowOneAreIgnored)
{
    FakeReport report;
    TVpPage& page = report.Page();
    const int repaints = report.Host.Repaints;
    page.SetColumns(0);
    page.SetColumns(-3);
    page.SetColumns(1);
    EXPECT_EQ(page.Columns(), 1);
    EXPECT_EQ(report.Host.Repaints, repaints);
    page.SetColumns(3);
    EXPECT_EQ(page.Columns(), 3);
    EXPECT_EQ(report.Host.Repaints, repaints + 1);
}

TEST(Page, EveryTableSizeGivesItsDimensionsBothWays)
{
    for (std::size_t i = 0; i < kPaperSizeCount; ++i) {
        const auto size = static_cast<TVpPaperSize>(i);
        const auto paper = PaperDimensions(size);
        if (!paper) {
            continue;
        }
        TVpPage page(kScreen96);
        page.SetPaperSize(size);
        EXPECT_EQ(page.NativeValue(TVpPage::kWidth), paper->Width * 10) << PaperSizeName(size);
        EXPECT_EQ(page.NativeValue(TVpPage::kLength), paper->Length * 10) << PaperSizeName(size);
        page.SetOrientation(TVpOrientation::poLandscape);
        EXPECT_EQ(page.NativeValue(TVpPage::kWidth), paper->Length * 10) << PaperSizeName(size);
        EXPECT_EQ(page.PaperSize(), size);
    }
}

TEST(PaperTable, KeepsItsListedQuirks)
{
    EXPECT_EQ(PaperDimensions(TVpPaperSize::Note)->Length, 279.0L);
    EXPECT_EQ(PaperDimensions(TVpPaperSize::Letter)->Length, 279.4L);
    EXPECT_EQ(PaperDimensions(TVpPaperSize::DSheet)->Width, 100.0L);
    EXPECT_EQ(PaperDimensions(TVpPaperSize::Env9)->Width, 98.43L);
    EXPECT_EQ(PaperDimensions(TVpPaperSize::Ledger)->Width, 431.8L);
    EXPECT_FALSE(PaperDimensions(TVpPaperSize::Default).has_value());
    EXPECT_FALSE(PaperDimensions(TVpPaperSize::Custom).has_value());
    EXPECT_EQ(PaperSizeDisplayName(TVpPaperSize::Executive), "Executive7 1/2 x 10 in");
    EXPECT_EQ(PaperSizeDisplayName(TVpPaperSize::Env14), "Envelope #12 4 \xC2\xBE x 11");
    EXPECT_EQ(PaperSizeDisplayName(TVpPaperSize::Custom), "Custom Size");
    EXPECT_EQ(PaperSizeDisplayName(static_cast<TVpPaperSize>(kPaperSizeCount)), "");
    for (std::size_t i = 0; i < kPaperSizeCount; ++i) {
        const auto size = static_cast<TVpPaperSize>(i);
        EXPECT_EQ(PaperSizeFromName(PaperSizeName(size)), size);
    }
    EXPECT_EQ(PaperSizeName(TVpPaperSize::vp10X14), "vp10X14");
    EXPECT_EQ(OrientationFromName("poLandscape"), TVpOrientation::poLandscape);
}

struct DefaultsRow {
    const char* Name;
    bool UsMeasurement;
    TVpUnit Unit;
    TVpPaperSize Paper;
    Extended WidthNative;
    Extended LengthNative;
    Extended MarginNative;
};

const DefaultsRow kDefaults[] = {
    {"UsSystem", true, TVpUnit::Inches, TVpPaperSize::Letter, 2159, 2794, 127},
    {"Metric", false, TVpUnit::MM, TVpPaperSize::A4, 2100, 2970, 100},
};

class NewPage : public testing::TestWithParam<DefaultsRow> {};

TEST_P(NewPage, FollowsTheMeasurementSystem)
{
    const DefaultsRow& row = GetParam();
    geometry_test::FakeHost host;
    TVpReportGeometry geometry(host, VpEnvironment{96, row.UsMeasurement});
    const TVpPage& page = geometry.Page();
    EXPECT_EQ(geometry.Units(), row.Unit);
    EXPECT_EQ(geometry.Zoom(), 100);
    EXPECT_EQ(page.PaperSize(), row.Paper);
    EXPECT_EQ(page.Orientation(), TVpOrientation::poPortrait);
    EXPECT_EQ(page.Columns(), 1);
    EXPECT_TRUE(page.Ruler());
    EXPECT_EQ(page.WriteValues(), (std::vector<Extended>{row.MarginNative, row.LengthNative, row.MarginNative,
                                                         row.WidthNative, row.MarginNative, row.MarginNative, 0}));
    // The control is not touched until the report is ready for it.
    EXPECT_EQ(host.Bounds, PixelRect{});
    EXPECT_EQ(host.Repaints, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, NewPage, testing::ValuesIn(kDefaults),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ReportResize, ACustomPageFollowsTheControl)
{
    FakeReport report;
    TVpPage& page = report.Page();
    page.SetPaperSize(TVpPaperSize::Custom);
    report.Host.SetPixelBounds({0, 0, 960, 480});
    EXPECT_NEAR(static_cast<double>(page.Width()), 254.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(page.Length()), 127.0, 1e-12);
    EXPECT_EQ(page.Units(), TVpUnit::MM);
    EXPECT_FALSE(page.ParentUpdating());
}

TEST(ReportResize, ATableSizeKeepsItsDimensions)
{
    FakeReport report;
    report.Host.SetPixelBounds({0, 0, 960, 480});
    EXPECT_EQ(report.Page().Width(), 297.0L);
    EXPECT_EQ(report.Page().Length(), 420.0L);
}

TEST(ReportResize, ThePagesOwnPushIsNotWrittenBack)
{
    // At 100 ppi the report's pixel size is rounded; written back, it would
    // change the stored millimetres.
    FakeReport report(VpEnvironment{100, false});
    TVpPage& page = report.Page();
    page.SetPaperSize(TVpPaperSize::Custom);
    page.SetWidth(297);
    EXPECT_EQ(report.Host.Bounds.Width, 1169);
    EXPECT_EQ(page.NativeValue(TVpPage::kWidth), 2970.0L);
}

}  // namespace
}  // namespace dw
