// SPDX-License-Identifier: MIT
#include "report/output/printer_settings.h"

#include "report/core/units.h"
#include "tests/support/printer_test_support.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

namespace dw {
namespace {

using test::FakeBackend;
using test::MakePrinter;

TEST(DeviceCodes, PaperSizes)
{
    struct Row {
        TVpPaperSize size;
        std::optional<int> code;
    };
    const Row rows[] = {
        {TVpPaperSize::Default, std::nullopt},
        {TVpPaperSize::Letter, 1},
        {TVpPaperSize::A3, 8},
        {TVpPaperSize::A4, 9},
        {TVpPaperSize::Note, 18},
        {TVpPaperSize::ESheet, 26},
        {TVpPaperSize::Custom, 256},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(PaperSizeName(row.size));
        EXPECT_EQ(PaperCode(row.size), row.code);
        if (row.code) {
            EXPECT_EQ(PaperSizeFromCode(*row.code), row.size);
        }
    }
    // Every table size has its ordinal as its code.
    for (int code = 1; code <= 26; ++code) {
        EXPECT_EQ(PaperCode(static_cast<TVpPaperSize>(code)), code);
    }
    for (const int unknown : {0, -1, 27, 255, 257, 9999}) {
        EXPECT_EQ(PaperSizeFromCode(unknown), std::nullopt) << unknown;
    }
}

TEST(DeviceCodes, BinsReadBackAsTheFirstBinWithTheCode)
{
    struct Row {
        TVpBin bin;
        const char* name;
        int code;
        TVpBin readBack;
    };
    const Row rows[] = {
        {TVpBin::First, "First", 1, TVpBin::First},
        {TVpBin::Upper, "Upper", 1, TVpBin::First},
        {TVpBin::Lower, "Lower", 2, TVpBin::Lower},
        {TVpBin::Middle, "Middle", 3, TVpBin::Middle},
        {TVpBin::Manual, "Manual", 4, TVpBin::Manual},
        {TVpBin::Envelope, "Envelope", 5, TVpBin::Envelope},
        {TVpBin::EnvManual, "EnvManual", 6, TVpBin::EnvManual},
        {TVpBin::Auto, "Auto", 7, TVpBin::Auto},
        {TVpBin::Tractor, "Tractor", 8, TVpBin::Tractor},
        {TVpBin::SmallFormat, "SmallFormat", 9, TVpBin::SmallFormat},
        {TVpBin::LargeFormat, "LargeFormat", 10, TVpBin::LargeFormat},
        {TVpBin::LargeCapacity, "LargeCapacity", 11, TVpBin::LargeCapacity},
        {TVpBin::Cassette, "Cassette", 14, TVpBin::Cassette},
        {TVpBin::Last, "Last", 14, TVpBin::Cassette},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BinCode(row.bin), row.code);
        EXPECT_EQ(BinFromCode(row.code), row.readBack);
        EXPECT_EQ(BinName(row.bin), row.name);
        EXPECT_EQ(BinFromName(row.name), row.bin);
    }
    for (const int unknown : {0, 12, 13, 15, 256}) {
        EXPECT_EQ(BinFromCode(unknown), std::nullopt) << unknown;
    }
}

struct SettingsFixture : ::testing::Test {
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::unique_ptr<TPrinter> printer;
    TPrinterSettings settings;

    void Attach(test::FakePrinter device)
    {
        backend->Printers = {std::move(device)};
        backend->Default = backend->Printers[0].Entry.Device;
        printer = std::make_unique<TPrinter>(backend);
        settings.SetPrinter(printer.get());
    }

    // The page the page store would make at 96 screen pixels per inch.
    std::pair<int, int> ScreenPage() const
    {
        const Extended factor = static_cast<Extended>(96) / 254;
        return {RoundPixel(settings.PageWidth() * factor), RoundPixel(settings.PageHeight() * factor)};
    }
};

TEST_F(SettingsFixture, ReadFromTheDevice)
{
    auto device =
        MakePrinter("Laser", {QPageSize::A4, QPageSize::A3, QPageSize::Letter}, QPageSize::A4, 600, "Crew office");
    device.Entry.Driver = std::string(70, 'd');
    device.Margins = QMarginsF(18, 54, 0, 0);  // 150 and 450 pixels at 600 dpi
    device.Capabilities.Bins = {1, 2, 14};
    device.Capabilities.DefaultBin = 14;
    device.Capabilities.Duplex = true;
    device.Capabilities.DefaultDuplex = kDmDuplexVertical;
    Attach(device);

    EXPECT_EQ(settings.Device(), "Laser");
    EXPECT_EQ(settings.Driver(), std::string(63, 'd'));
    EXPECT_EQ(settings.Port(), "Crew office");
    EXPECT_EQ(settings.PixelsPerX(), 600);
    EXPECT_EQ(settings.PixelsPerY(), 600);
    EXPECT_EQ(settings.Copies(), 1);
    EXPECT_EQ(settings.OutputBin(), TVpBin::Cassette);
    EXPECT_TRUE(settings.Duplex());
    // 63.5 and 190.5 tenths of a millimetre: halves go to the even neighbour.
    EXPECT_EQ(settings.LeftOffset(), 64);
    EXPECT_EQ(settings.TopOffset(), 190);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A4);
    EXPECT_EQ(settings.PaperWidth(), 2100);
    EXPECT_EQ(settings.PaperLength(), 2970);
    EXPECT_TRUE(settings.Supports(TVpPaperSize::A3));
    EXPECT_TRUE(settings.Supports(TVpPaperSize::Letter));
    EXPECT_FALSE(settings.Supports(TVpPaperSize::A5));
    EXPECT_FALSE(settings.Supports(TVpPaperSize::Custom));
    EXPECT_EQ(settings.Orientation(), TPrinterOrientation::poPortrait);
}

TEST_F(SettingsFixture, DeviceWithoutTheOptionalFields)
{
    auto device = MakePrinter("Plain", {QPageSize::Letter}, QPageSize::Letter, 300);
    device.Capabilities.Copies = false;
    device.Capabilities.Duplex = false;
    Attach(device);
    EXPECT_EQ(settings.Copies(), 1);
    EXPECT_EQ(settings.OutputBin(), TVpBin::First);
    EXPECT_FALSE(settings.Duplex());
    EXPECT_EQ(settings.LeftOffset(), 0);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::Letter);
}

TEST_F(SettingsFixture, PaperWithoutACodeReadsAsCustomWithTheDeviceSize)
{
    auto device = MakePrinter("Odd", {QPageSize::A0}, {}, 600);
    device.Capabilities.CustomPaper = true;
    Attach(device);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::Custom);
    EXPECT_NEAR(settings.PaperWidth(), 8410, 3);
    EXPECT_NEAR(settings.PaperLength(), 11890, 3);
    EXPECT_TRUE(settings.Supports(TVpPaperSize::Custom));
}

TEST_F(SettingsFixture, EveryListedPaperCountsHoweverLongTheList)
{
    // A long list from a large-format printer, A3 far down it.
    auto device = MakePrinter("Plotter", {QPageSize::A4}, QPageSize::A4);
    for (int i = 0; i < 70; ++i) {
        device.Capabilities.Papers.emplace_back(QSizeF(100 + i, 200 + i), QPageSize::Millimeter, QString(),
                                                QPageSize::ExactMatch);
        device.Capabilities.Papers.emplace_back(QPageSize::B5);
    }
    device.Capabilities.Papers.emplace_back(QPageSize::A3);
    Attach(device);
    EXPECT_TRUE(settings.Supports(TVpPaperSize::A3));
}

TEST_F(SettingsFixture, SettersKeepOnlyWhatTheDeviceAllows)
{
    struct Row {
        const char* name;
        bool copies;
        bool bins;
    };
    const Row rows[] = {{"device with fields", true, true}, {"device without them", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto device = MakePrinter("P", {QPageSize::A4, QPageSize::Letter}, QPageSize::A4);
        device.Capabilities.Copies = row.copies;
        if (row.bins) {
            device.Capabilities.Bins = {1, 4};
            device.Capabilities.DefaultBin = 1;
        }
        Attach(device);
        settings.SetCopies(3);
        settings.SetOutputBin(TVpBin::Manual);
        settings.SetOrientation(TPrinterOrientation::poLandscape);
        EXPECT_EQ(settings.Copies(), row.copies ? 3 : 1);
        EXPECT_EQ(settings.OutputBin(), row.bins ? TVpBin::Manual : TVpBin::First);
        // Every device has an orientation.
        EXPECT_EQ(settings.Orientation(), TPrinterOrientation::poLandscape);
        settings.SetOrientation(TPrinterOrientation::poPortrait);
    }
}

TEST_F(SettingsFixture, PaperSizeIsTakenWhenListedAndDefaultAlways)
{
    auto device = MakePrinter("P", {QPageSize::A4, QPageSize::Letter}, QPageSize::A4);
    Attach(device);
    struct Row {
        TVpPaperSize requested;
        TVpPaperSize result;
    };
    const Row rows[] = {
        {TVpPaperSize::Letter, TVpPaperSize::Letter},   {TVpPaperSize::A3, TVpPaperSize::Letter},
        {TVpPaperSize::Default, TVpPaperSize::Default}, {TVpPaperSize::Custom, TVpPaperSize::Default},
        {TVpPaperSize::A4, TVpPaperSize::A4},           {static_cast<TVpPaperSize>(200), TVpPaperSize::A4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.requested));
        settings.SetPaperSize(row.requested);
        EXPECT_EQ(settings.PaperSize(), row.result);
    }
}

TEST_F(SettingsFixture, PaperDimensionsAreStoredOnlyForCustomAndTableSizesUseTheTable)
{
    auto device = MakePrinter("P", {QPageSize::A4, QPageSize::Envelope9, QPageSize::Note, QPageSize::Statement});
    device.Capabilities.CustomPaper = true;
    Attach(device);

    struct Row {
        TVpPaperSize size;
        int width;
        int length;
    };
    // Table millimetres times ten, rounded: 98.43 mm gives 984.
    const Row rows[] = {
        {TVpPaperSize::A4, 2100, 2970},
        {TVpPaperSize::Env9, 984, 2254},
        {TVpPaperSize::Note, 2159, 2790},
        {TVpPaperSize::Statement, 1397, 2159},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(PaperSizeName(row.size));
        settings.SetPaperSize(row.size);
        settings.SetPaperWidth(1);
        settings.SetPaperLength(2);
        EXPECT_EQ(settings.PaperWidth(), row.width);
        EXPECT_EQ(settings.PaperLength(), row.length);
    }
    settings.SetPaperSize(TVpPaperSize::Custom);
    settings.SetPaperWidth(1234);
    settings.SetPaperLength(3456);
    EXPECT_EQ(settings.PaperWidth(), 1234);
    EXPECT_EQ(settings.PaperLength(), 3456);
    settings.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(settings.PageWidth(), 3456);
    EXPECT_EQ(settings.PageHeight(), 1234);
    // Width and length stay with the paper, not the orientation.
    EXPECT_EQ(settings.PaperWidth(), 1234);
}

TEST_F(SettingsFixture, A3ReportOnAPrinterListingA3)
{
    Attach(MakePrinter("Plotter", {QPageSize::A4, QPageSize::A3}, QPageSize::A4, 600));
    settings.SetPaperSize(TVpPaperSize::A3);
    settings.SetOrientation(TPrinterOrientation::poPortrait);
    settings.ApplySettings();

    const TDeviceMode mode = printer->GetPrinter().DeviceMode;
    EXPECT_EQ(mode.PaperSize, 8);
    EXPECT_EQ(mode.Orientation, kDmOrientPortrait);
    EXPECT_EQ(ScreenPage(), std::make_pair(1123, 1587));

    printer->BeginDoc();
    printer->EndDoc();
    ASSERT_EQ(backend->Sent.size(), 1u);
    EXPECT_EQ(backend->Sent[0].Job.Paper.windowsId(), 8);
    EXPECT_EQ(backend->Sent[0].Job.Orientation, QPageLayout::Portrait);
}

TEST_F(SettingsFixture, A3ReportOnAPrinterWithoutA3KeepsThePrintersPaper)
{
    struct Row {
        const char* name;
        QPageSize::PageSizeId own;
        int code;
        std::pair<int, int> screenPage;
    };
    const Row rows[] = {
        {"A4 printer", QPageSize::A4, 9, {794, 1123}},
        {"Letter printer", QPageSize::Letter, 1, {816, 1056}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Attach(MakePrinter("Small", {row.own, QPageSize::A5}, row.own, 600));
        settings.SetPaperSize(TVpPaperSize::A3);
        settings.SetOrientation(TPrinterOrientation::poPortrait);
        settings.ApplySettings();
        EXPECT_EQ(printer->GetPrinter().DeviceMode.PaperSize, row.code);
        EXPECT_EQ(ScreenPage(), row.screenPage);
    }
}

TEST_F(SettingsFixture, ApplyingWritesOnlyTheSupportedFieldsAndNeverDuplex)
{
    auto device = MakePrinter("P", {QPageSize::A4, QPageSize::A3});
    device.Capabilities.CustomPaper = true;
    device.Capabilities.Bins = {1, 2};
    device.Capabilities.DefaultBin = 1;
    device.Capabilities.Duplex = true;
    device.Capabilities.DefaultDuplex = kDmDuplexHorizontal;
    Attach(device);

    settings.SetPaperSize(TVpPaperSize::Custom);
    settings.SetPaperWidth(2000);
    settings.SetPaperLength(3000);
    settings.SetCopies(2);
    settings.SetOutputBin(TVpBin::Lower);
    settings.SetOrientation(TPrinterOrientation::poLandscape);
    settings.ApplySettings();
    TDeviceMode mode = printer->GetPrinter().DeviceMode;
    EXPECT_EQ(mode.PaperSize, kDmPaperUser);
    EXPECT_EQ(mode.PaperWidth, 2000);
    EXPECT_EQ(mode.PaperLength, 3000);
    EXPECT_EQ(mode.Copies, 2);
    EXPECT_EQ(mode.DefaultSource, 2);
    EXPECT_EQ(mode.Orientation, kDmOrientLandscape);
    EXPECT_EQ(mode.Duplex, kDmDuplexHorizontal);
    EXPECT_EQ(settings.DeviceMode(), mode);

    // Default writes no paper code: the device keeps the one it has.
    settings.SetPaperSize(TVpPaperSize::Default);
    settings.ApplySettings();
    mode = printer->GetPrinter().DeviceMode;
    EXPECT_EQ(mode.PaperSize, kDmPaperUser);

    printer->BeginDoc();
    printer->EndDoc();
    ASSERT_EQ(backend->Sent.size(), 1u);
    const TPrintJob& job = backend->Sent[0].Job;
    EXPECT_EQ(job.Copies, 2);
    EXPECT_EQ(job.Bin, 2);
    EXPECT_EQ(job.Duplex, kDmDuplexHorizontal);
    EXPECT_EQ(job.Orientation, QPageLayout::Landscape);
    EXPECT_NEAR(job.Paper.size(QPageSize::Millimeter).width(), 200.0, 0.01);
    EXPECT_NEAR(job.Paper.size(QPageSize::Millimeter).height(), 300.0, 0.01);
}

TEST_F(SettingsFixture, ChangingThePrinterReadsItsValuesAgain)
{
    backend->Printers = {MakePrinter("Small", {QPageSize::A4}, QPageSize::A4, 300),
                         MakePrinter("Large", {QPageSize::A3, QPageSize::A4}, QPageSize::A3, 1200)};
    backend->Default = "Small";
    printer = std::make_unique<TPrinter>(backend);
    settings.SetPrinter(printer.get());
    EXPECT_EQ(settings.PixelsPerX(), 300);
    EXPECT_FALSE(settings.Supports(TVpPaperSize::A3));
    printer->SetPrinterIndex(1);
    settings.ReadSettings();
    EXPECT_EQ(settings.Device(), "Large");
    EXPECT_EQ(settings.PixelsPerX(), 1200);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A3);
    EXPECT_TRUE(settings.Supports(TVpPaperSize::A3));
}

TEST(PrinterSettingsAlone, WithoutAPrinterNothingButDefaultPaperIsTaken)
{
    TPrinterSettings settings;
    EXPECT_EQ(settings.Printer(), nullptr);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A4);
    EXPECT_EQ(settings.PageWidth(), 2100);
    EXPECT_EQ(settings.PageHeight(), 2970);
    settings.SetPaperSize(TVpPaperSize::A3);
    settings.SetCopies(4);
    settings.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A4);
    EXPECT_EQ(settings.Copies(), 1);
    EXPECT_EQ(settings.Orientation(), TPrinterOrientation::poPortrait);
    settings.ApplySettings();  // nothing to apply to
    settings.SetPaperSize(TVpPaperSize::Default);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::Default);
}

}  // namespace
}  // namespace dw
