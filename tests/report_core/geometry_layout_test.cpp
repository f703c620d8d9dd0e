// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geometry_fakes.h"
#include "report/core/report_geometry.h"

namespace dw {
namespace {

using geometry_test::FakeBand;
using geometry_test::FakeElement;
using geometry_test::FakeReport;
using geometry_test::kScreen96;
using geometry_test::kTitleValues;

const std::vector<Extended> kTitle(std::begin(kTitleValues), std::end(kTitleValues));

// Loads the title label onto the report the way the form reader does: the
// element is put on the report and given its pixel properties while the form
// loads, then its "Values", then loading ends.
void LoadLabel(FakeReport& report, FakeElement& label, const PixelRect& pixelProperties,
               const std::vector<Extended>& values)
{
    report.Host.Elements.push_back(&label);
    report.Host.IsLoading = true;
    label.FormLoading = true;
    report.Geometry.PlaceElement(label.Size, true);
    label.SetPixelBounds(pixelProperties);
    label.Size.ReadValues(values);
    label.FormLoading = false;
    report.Host.IsLoading = false;
    label.Size.Loaded();
}

struct PlacementRow {
    const char* Name;
    int Resolution;
    std::vector<Extended> Values;
    PixelRect PixelProperties;
    PixelRect Expected;
};

const PlacementRow kPlacements[] = {
    {"Screen96", 96, kTitle, {128, 48, 376, 20}, {128, 48, 376, 20}},
    // The millimetres win over the pixel properties stored for a 96 ppi screen.
    {"Screen120", 120, kTitle, {128, 48, 376, 20}, {160, 60, 470, 25}},
    {"ZeroLeftFallsBackToThePixelProperty", 96, {52.9L, 0, 127, 994.8L}, {128, 48, 376, 20}, {128, 48, 376, 20}},
    {"ZeroLeftWithoutAPixelPropertyStays", 96, {52.9L, 0, 127, 994.8L}, {0, 48, 376, 20}, {0, 48, 376, 20}},
};

class LabelPlacement : public testing::TestWithParam<PlacementRow> {};

TEST_P(LabelPlacement, StoredValuesDecideThePixels)
{
    const PlacementRow& row = GetParam();
    const VpEnvironment screen{row.Resolution, false};
    FakeReport report(screen);
    FakeElement label(screen);
    LoadLabel(report, label, row.PixelProperties, row.Values);
    EXPECT_EQ(label.Bounds, row.Expected);
    EXPECT_EQ(label.Size.PixelValue(TVpPrintableSize::kLeft), row.Expected.Left);
    EXPECT_EQ(label.Size.Units(), TVpUnit::MM);
    if (row.Values[TVpPrintableSize::kLeft] != 0) {
        EXPECT_EQ(label.Size.WriteValues(), row.Values);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LabelPlacement, testing::ValuesIn(kPlacements),
                         [](const auto& row) { return std::string(row.param.Name); });

struct ZoomRow {
    const char* Name;
    int Zoom;
    int ExpectedZoom;
    PixelRect Label;
    int ReportWidth;
    int ReportHeight;
    int BandHeight;
};

const ZoomRow kZooms[] = {
    {"ZeroIgnored", 0, 100, {128, 48, 376, 20}, 1123, 1587, 96},
    {"NegativeIgnored", -5, 100, {128, 48, 376, 20}, 1123, 1587, 96},
    {"AboveMaximumIgnored", 301, 100, {128, 48, 376, 20}, 1123, 1587, 96},
    {"DoubleSize", 200, 200, {256, 96, 752, 40}, 2245, 3175, 192},
    {"Maximum", 300, 300, {384, 144, 1128, 60}, 3368, 4762, 288},
    {"Minimum", 1, 1, {1, 0, 4, 0}, 11, 16, 1},
};

class ReportZoom : public testing::TestWithParam<ZoomRow> {};

TEST_P(ReportZoom, ScalesPixelsOnly)
{
    const ZoomRow& row = GetParam();
    FakeReport report;
    FakeElement label;
    LoadLabel(report, label, {128, 48, 376, 20}, kTitle);
    FakeBand band(TVpBandType::rbDetail, 254);
    FakeElement onBand;
    band.Elements.push_back(&onBand);
    report.Host.BandList.push_back(&band);
    const std::vector<Extended> pageValues = report.Page().WriteValues();

    report.Geometry.SetZoom(row.Zoom);

    EXPECT_EQ(report.Geometry.Zoom(), row.ExpectedZoom);
    EXPECT_EQ(label.Bounds, row.Label);
    EXPECT_EQ(report.Host.Bounds.Width, row.ReportWidth);
    EXPECT_EQ(report.Host.Bounds.Height, row.ReportHeight);
    EXPECT_EQ(band.Bounds.Height, row.BandHeight);
    EXPECT_EQ(onBand.Size.Zoom(), row.ExpectedZoom);
    EXPECT_EQ(label.Size.WriteValues(), kTitle);
    EXPECT_EQ(report.Page().WriteValues(), pageValues);
    EXPECT_EQ(band.SizeRecord.NativeValue(TVpBandSize::kHeight), 254.0L);
}

INSTANTIATE_TEST_SUITE_P(Table, ReportZoom, testing::ValuesIn(kZooms),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ReportUnits, ReachEveryRecordAndConvertNothing)
{
    FakeReport report;
    FakeElement onReport;
    FakeElement onBand;
    FakeBand band(TVpBandType::rbDetail, 254);
    band.Elements.push_back(&onBand);
    report.Host.BandList.push_back(&band);
    report.Host.Elements.push_back(&onReport);
    const int repaints = report.Host.Repaints;

    report.Geometry.SetUnits(TVpUnit::Inches);

    for (const TVpUnitBase* record :
         std::vector<const TVpUnitBase*>{&report.Page(), &band.SizeRecord, &onBand.Size, &onReport.Size}) {
        EXPECT_EQ(record->Units(), TVpUnit::Inches);
    }
    EXPECT_NEAR(static_cast<double>(band.SizeRecord.Height()), 1.0, 1e-15);
    EXPECT_EQ(report.Page().NativeValue(TVpPage::kWidth), 2970.0L);
    EXPECT_EQ(report.Host.Repaints, repaints + 1);
}

struct LaidBand {
    TVpBandType Type;
    Extended HeightNative;
    PixelRect Expected;
};

TEST(LayoutBands, StacksBandsAndGivesColumnsTheirWidth)
{
    // A3 at 96 ppi is 1123 pixels wide; the 10 mm margins are 38 pixels each
    // side (76 together), 5 mm between the two columns is 19 pixels.
    FakeReport report;
    std::vector<LaidBand> layout{
        {TVpBandType::rbPageHeader, 254, {38, 38, 1047, 96}}, {TVpBandType::rbChild, 127, {38, 134, 1047, 48}},
        {TVpBandType::rbDetail, 127, {38, 182, 514, 48}},     {TVpBandType::rbChild, 127, {38, 230, 514, 48}},
        {TVpBandType::rbSummary, 254, {38, 278, 1047, 96}},   {TVpBandType::rbGroupFooter, 127, {38, 374, 514, 48}},
    };
    std::vector<std::unique_ptr<FakeBand>> bands;
    for (const LaidBand& laid : layout) {
        bands.push_back(std::make_unique<FakeBand>(laid.Type, laid.HeightNative));
        report.Host.BandList.push_back(bands.back().get());
    }
    report.Page().SetColumnSpace(5);
    report.Page().SetColumns(2);

    for (std::size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(bands[i]->Bounds, layout[i].Expected) << i;
        EXPECT_EQ(bands[i]->SizeRecord.Units(), TVpUnit::MM) << i;
        EXPECT_EQ(bands[i]->SizeRecord.PixelValue(TVpBandSize::kWidth), layout[i].Expected.Width) << i;
    }
    EXPECT_EQ(report.Page().Units(), TVpUnit::MM);
}

TEST(LayoutBands, WaitsWhileTheReportLoads)
{
    FakeReport report;
    FakeBand band(TVpBandType::rbDetail, 127);
    report.Host.BandList.push_back(&band);
    report.Host.IsLoading = true;
    const PixelRect unplaced = band.Bounds;
    report.Page().SetColumns(2);
    EXPECT_EQ(band.Bounds, unplaced);
    report.Host.IsLoading = false;
    report.Geometry.LayoutBands();
    EXPECT_EQ(band.Bounds, (PixelRect{38, 38, 523, 48}));
}

TEST(LayoutBands, SettingAPaperSizeKeepsThePageUnit)
{
    FakeReport report;
    FakeBand band(TVpBandType::rbTitle, 127);
    report.Host.BandList.push_back(&band);
    report.Geometry.SetUnits(TVpUnit::Inches);
    report.Page().SetPaperSize(TVpPaperSize::A4);
    EXPECT_EQ(report.Page().Units(), TVpUnit::Inches);
    EXPECT_EQ(report.Page().NativeValue(TVpPage::kWidth), 2100.0L);
    EXPECT_EQ(band.Bounds.Width, 794 - 76);
}

TEST(ElementBounds, OnlyThePartsMovedFromOutsideAreStored)
{
    // At 254 ppi one pixel is one tenth of a millimetre, exactly.
    const VpEnvironment screen{254, false};
    FakeElement element(screen);
    const Extended values[] = {20, 30, 40, 50};
    element.Size.ReadValues(values);
    element.Size.Loaded();
    EXPECT_EQ(element.Bounds, (PixelRect{30, 40, 50, 20}));

    element.SetPixelBounds({35, 40, 50, 20});
    EXPECT_EQ(element.Size.WriteValues(), (std::vector<Extended>{20, 35, 40, 50}));
    EXPECT_EQ(element.Size.Units(), TVpUnit::MM);
    EXPECT_FALSE(element.Size.ParentUpdating());

    // While the form loads nothing is stored; non-zero parts are remembered.
    element.FormLoading = true;
    element.SetPixelBounds({0, 7, 8, 0});
    EXPECT_EQ(element.Size.WriteValues(), (std::vector<Extended>{20, 35, 40, 50}));
    EXPECT_EQ(element.Size.LoadedBounds(), (PixelRect{0, 7, 8, 0}));
}

TEST(ElementBounds, PuttingOnAZoomedReportKeepsTheScreenPosition)
{
    FakeReport report;
    report.Geometry.SetZoom(200);
    report.Geometry.SetUnits(TVpUnit::Inches);
    FakeElement element;
    element.SetPixelBounds({192, 96, 10, 10});
    report.Geometry.PlaceElement(element.Size, false);
    EXPECT_EQ(element.Size.Units(), TVpUnit::Inches);
    EXPECT_EQ(element.Size.Zoom(), 200);
    EXPECT_EQ(element.Bounds.Left, 192);
    EXPECT_EQ(element.Bounds.Top, 96);
    EXPECT_NEAR(static_cast<double>(element.Size.Left()), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(element.Size.Top()), 0.5, 1e-15);
}

TEST(ElementBounds, PuttingOnABandTakesItsUnitAndReport)
{
    FakeReport report;
    FakeBand band(TVpBandType::rbDetail, 127);
    report.Geometry.SetZoom(200);
    report.Geometry.PlaceBand(band.SizeRecord);
    report.Host.BandList.push_back(&band);
    report.Geometry.SetUnits(TVpUnit::Native);
    FakeElement element;
    element.Size.PlaceOnBand(band.SizeRecord);
    EXPECT_EQ(element.Size.Units(), TVpUnit::Native);
    EXPECT_EQ(element.Size.ParentReport(), &report.Host);
    EXPECT_EQ(element.Size.Zoom(), 200);
    EXPECT_EQ(element.Bounds, (PixelRect{15, 15, 15, 15}));  // 20 native at 96 ppi, doubled
}

TEST(BandBounds, SizeKeepsTheBandsPosition)
{
    FakeBand band(TVpBandType::rbDetail, 127);
    band.Bounds = {5, 6, 0, 0};
    band.SizeRecord.SetUnits(TVpUnit::Native);
    band.SizeRecord.SetWidth(254);
    EXPECT_EQ(band.Bounds, (PixelRect{5, 6, 96, 48}));
}

}  // namespace
}  // namespace dw
