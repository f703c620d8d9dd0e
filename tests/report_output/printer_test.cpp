// SPDX-License-Identifier: MIT
#include "report/output/printer.h"

#include "common/errors.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/qt_files.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace dw {
namespace {

using test::FakeBackend;
using test::MakePrinter;

struct PrinterFixture : ::testing::Test {
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    QTemporaryDir dir;

    std::string PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // Two printers, the second the default; the first lists no A3.
    void TwoPrinters()
    {
        backend->Printers.push_back(MakePrinter("Office", {QPageSize::A4, QPageSize::Letter}, {}, 600, "Room 5"));
        backend->Printers.push_back(MakePrinter("Plotter", {QPageSize::A4, QPageSize::A3}, {}, 300));
        backend->Default = "Plotter";
    }

    static void Draw(TPrinter& printer, const QString& text)
    {
        QPainter* canvas = printer.Canvas();
        ASSERT_NE(canvas, nullptr);
        canvas->setFont(QFont(QStringLiteral("Liberation Sans"), 24));
        canvas->drawText(200, 400, text);
    }
};

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EPrinter& e) {
        return e.Message();
    }
    return "(no EPrinter)";
}

TEST_F(PrinterFixture, ListNamesEntriesByDeviceAndPortAndKeepsTheFirstAnswer)
{
    TwoPrinters();
    TPrinter printer(backend);
    const std::vector<std::string> expected{"Office on Room 5", "Plotter"};
    EXPECT_EQ(printer.Printers(), expected);
    EXPECT_TRUE(printer.HasSystemPrinters());

    // Printers added to the system later do not show up in a list once built.
    backend->Printers.push_back(MakePrinter("Late", {QPageSize::A4}));
    EXPECT_EQ(printer.Printers(), expected);
    EXPECT_EQ(backend->EnumCalls, 1);
}

TEST_F(PrinterFixture, DefaultPrinterIsFoundByItsDeviceName)
{
    TwoPrinters();
    TPrinter printer(backend);
    EXPECT_EQ(printer.PrinterIndex(), 1);
    EXPECT_EQ(printer.GetPrinter().Device, "Plotter");
    printer.SetPrinterIndex(0);
    EXPECT_EQ(printer.GetPrinter().Device, "Office");
    EXPECT_EQ(printer.GetPrinter().Port, "Room 5");
    printer.SetPrinterIndex(-1);
    EXPECT_EQ(printer.PrinterIndex(), 1);
}

TEST_F(PrinterFixture, IndexErrors)
{
    struct Row {
        const char* name;
        std::function<void(TPrinter&, FakeBackend&)> action;
        const char* message;
    };
    const Row rows[] = {
        {"default not listed",
         [](TPrinter& p, FakeBackend& b) {
             b.Default = "Gone";
             p.PrinterIndex();
         },
         "There is no default printer currently selected"},
        {"no default at all",
         [](TPrinter& p, FakeBackend& b) {
             b.Default.clear();
             p.GetPrinter();
         },
         "There is no default printer currently selected"},
        {"index past the end", [](TPrinter& p, FakeBackend&) { p.SetPrinterIndex(2); }, "Printer index out of range"},
        {"index below -1", [](TPrinter& p, FakeBackend&) { p.SetPrinterIndex(-2); }, "Printer index out of range"},
        {"index during a job",
         [](TPrinter& p, FakeBackend&) {
             p.BeginDoc();
             p.SetPrinterIndex(0);
         },
         "Printing in progress"},
        {"device during a job",
         [](TPrinter& p, FakeBackend&) {
             p.BeginDoc();
             p.SetPrinter("Office", "Fake driver", "Room 5");
         },
         "Printing in progress"},
        {"second job",
         [](TPrinter& p, FakeBackend&) {
             p.BeginDoc();
             p.BeginDoc();
         },
         "Printing in progress"},
        {"new sheet without a job", [](TPrinter& p, FakeBackend&) { p.NewPage(); },
         "Printer is not currently printing"},
        {"end without a job", [](TPrinter& p, FakeBackend&) { p.EndDoc(); }, "Printer is not currently printing"},
        {"abort without a job", [](TPrinter& p, FakeBackend&) { p.Abort(); }, "Printer is not currently printing"},
        {"device not answering",
         [](TPrinter& p, FakeBackend& b) {
             b.Printers[1].CannotOpen = true;
             p.BeginDoc();
         },
         "Printer selected is not valid"},
        {"device set by hand and unknown",
         [](TPrinter& p, FakeBackend&) {
             p.SetPrinter("Nowhere", "None", "LPT9:");
             p.Geometry();
         },
         "Printer selected is not valid"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto fresh = std::make_shared<FakeBackend>();
        backend = fresh;
        TwoPrinters();
        TPrinter printer(backend);
        EXPECT_EQ(MessageOf([&] { row.action(printer, *fresh); }), row.message);
        if (printer.Printing()) {
            printer.Abort();
        }
    }
}

TEST_F(PrinterFixture, DeviceSetByHandIsAppendedUnderItsPortName)
{
    TwoPrinters();
    TPrinter printer(backend);
    printer.SetPrinter("Nowhere", "None", "LPT9:");
    EXPECT_EQ(printer.Printers().back(), "Nowhere on LPT9:");
    EXPECT_EQ(printer.PrinterIndex(), 2);
    // Naming a listed device selects it rather than adding it again.
    printer.SetPrinter("Office", "another driver name", "Room 5");
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_EQ(printer.Printers().size(), 3u);
}

TEST_F(PrinterFixture, DeviceModeStartsFromWhatTheDeviceOffers)
{
    auto plain = MakePrinter("Plain", {QPageSize::A4, QPageSize::Letter}, QPageSize::Letter);
    plain.Capabilities.Copies = false;
    auto rich = MakePrinter("Rich", {QPageSize::A4, QPageSize::A3});
    rich.Capabilities.CustomPaper = true;
    rich.Capabilities.Bins = {1, 2, 7};
    rich.Capabilities.DefaultBin = 7;
    rich.Capabilities.Duplex = true;
    rich.Capabilities.DefaultDuplex = kDmDuplexVertical;
    auto odd = MakePrinter("Odd", {QPageSize::A0});  // a paper without a standard code
    backend->Printers = {plain, rich, odd};
    backend->Default = "Plain";
    TPrinter printer(backend);

    const TDeviceMode plainMode = printer.GetPrinter().DeviceMode;
    EXPECT_EQ(plainMode.Fields, kDmOrientation | kDmPaperSize);
    EXPECT_EQ(plainMode.PaperSize, 1);
    EXPECT_EQ(plainMode.Orientation, kDmOrientPortrait);

    printer.SetPrinterIndex(1);
    const TDeviceMode richMode = printer.GetPrinter().DeviceMode;
    EXPECT_EQ(richMode.Fields, kDmOrientation | kDmPaperSize | kDmPaperLength | kDmPaperWidth | kDmCopies |
                                   kDmDefaultSource | kDmDuplex);
    EXPECT_EQ(richMode.PaperSize, 9);
    EXPECT_EQ(richMode.DefaultSource, 7);
    EXPECT_EQ(richMode.Duplex, kDmDuplexVertical);

    printer.SetPrinterIndex(2);
    const TDeviceMode oddMode = printer.GetPrinter().DeviceMode;
    EXPECT_EQ(oddMode.PaperSize, kDmPaperUser);
    EXPECT_EQ(oddMode.PaperWidth, 8410);
    EXPECT_EQ(oddMode.PaperLength, 11890);
}

TEST_F(PrinterFixture, ChangingPrinterStartsFromItsDefaultsButReselectingKeepsTheSettings)
{
    TwoPrinters();
    TPrinter printer(backend);
    TPrinterDevice device = printer.GetPrinter();
    device.DeviceMode.PaperSize = 8;
    printer.SetPrinter(device.Device, device.Driver, device.Port, device.DeviceMode);
    printer.SetPrinterIndex(1);
    EXPECT_EQ(printer.GetPrinter().DeviceMode.PaperSize, 8);
    printer.SetPrinterIndex(0);
    printer.SetPrinterIndex(1);
    EXPECT_EQ(printer.GetPrinter().DeviceMode.PaperSize, 9);
}

TEST_F(PrinterFixture, PaperCodesSkipPapersWithoutACodeAndEndWithCustomWhenTaken)
{
    auto printer = MakePrinter("P", {QPageSize::A3, QPageSize::A0, QPageSize::Letter, QPageSize::A4});
    printer.Capabilities.Papers.emplace_back(QSizeF(123.4, 300), QPageSize::Millimeter, QString(),
                                             QPageSize::ExactMatch);
    printer.Capabilities.CustomPaper = true;
    backend->Printers = {printer};
    backend->Default = "P";
    TPrinter layer(backend);
    EXPECT_EQ(layer.PaperCodes(), (std::vector<int>{8, 1, 9, 256}));
}

TEST_F(PrinterFixture, GeometryFollowsPaperOrientationAndPrintableBorder)
{
    auto device = MakePrinter("P", {QPageSize::A4, QPageSize::A3}, {}, 600);
    device.Margins = QMarginsF(18, 12, 18, 12);  // 150 and 100 pixels at 600 dpi
    backend->Printers = {device};
    backend->Default = "P";
    TPrinter printer(backend);

    const TPageGeometry a4 = printer.Geometry();
    EXPECT_EQ(a4.PixelsPerInchX, 600);
    EXPECT_EQ(a4.PixelsPerInchY, 600);
    EXPECT_EQ(a4.OffsetX, 150);
    EXPECT_EQ(a4.OffsetY, 100);
    EXPECT_NEAR(a4.PhysicalWidth, 4961, 4);  // 210 mm
    EXPECT_NEAR(a4.PhysicalHeight, 7016, 4);
    EXPECT_EQ(a4.PageWidth, a4.PhysicalWidth - 300);
    EXPECT_EQ(a4.PageHeight, a4.PhysicalHeight - 200);

    TPrinterDevice d = printer.GetPrinter();
    d.DeviceMode.PaperSize = 8;
    d.DeviceMode.Orientation = kDmOrientLandscape;
    printer.SetPrinter(d.Device, d.Driver, d.Port, d.DeviceMode);
    const TPageGeometry a3 = printer.Geometry();
    EXPECT_NEAR(a3.PhysicalWidth, 9921, 4);  // 420 mm across
    EXPECT_NEAR(a3.PhysicalHeight, 7016, 4);

    // A paper code nobody knows: the device cannot tell its size.
    d.DeviceMode.PaperSize = 9999;
    printer.SetPrinter(d.Device, d.Driver, d.Port, d.DeviceMode);
    const TPageGeometry unknown = printer.Geometry();
    EXPECT_EQ(unknown.PixelsPerInchX, 600);
    EXPECT_EQ(unknown.PhysicalWidth, 0);
    EXPECT_EQ(unknown.OffsetX, 0);
    EXPECT_EQ(unknown.PageWidth, 0);
}

TEST_F(PrinterFixture, TwoSheetJobReachesTheSpoolerWithTheDeviceMode)
{
    TwoPrinters();
    TPrinter printer(backend);
    TPrinterDevice d = printer.GetPrinter();
    d.DeviceMode.PaperSize = 8;
    printer.SetPrinter(d.Device, d.Driver, d.Port, d.DeviceMode);
    printer.SetTitle("Weight report");

    const QStringList spoolFiles = QDir::temp().entryList({QStringLiteral("VPR*.pdf")}, QDir::Files);
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    // The job's file has no name in the temporary folder: a program killed
    // while it prints leaves none behind.
    EXPECT_EQ(QDir::temp().entryList({QStringLiteral("VPR*.pdf")}, QDir::Files), spoolFiles);
    EXPECT_EQ(printer.PageNumber(), 1);
    Draw(printer, QStringLiteral("Sheet one"));
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    Draw(printer, QStringLiteral("Sheet two"));
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.Canvas(), nullptr);

    ASSERT_EQ(backend->Sent.size(), 1u);
    const test::SentJob& job = backend->Sent[0];
    EXPECT_EQ(job.Device, "Plotter");
    EXPECT_EQ(job.Job.Title, "Weight report");
    EXPECT_EQ(job.Job.Paper.windowsId(), 8);
    EXPECT_EQ(job.Job.Orientation, QPageLayout::Portrait);
    // The file handed over is the job's own and goes with it.
    EXPECT_FALSE(std::filesystem::exists(job.Original));
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdfinfo/pdftotext not installed (poppler-utils): sheet contents not checked";
    }
    const auto info = test::PdfInfo(job.Pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("Pages"), "2");
    EXPECT_EQ(info->at("Page size").substr(0, 10), "842 x 1191");
    const auto text = test::PdfText(job.Pdf);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Sheet one"), std::string::npos);
    EXPECT_NE(text->find("Sheet two"), std::string::npos);
}

TEST_F(PrinterFixture, AbortedJobNeverReachesTheSpooler)
{
    TwoPrinters();
    TPrinter printer(backend);
    printer.BeginDoc();
    Draw(printer, QStringLiteral("Never printed"));
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(backend->Sent.empty());
    // The next job starts afresh.
    printer.BeginDoc();
    EXPECT_FALSE(printer.Aborted());
    printer.EndDoc();
    EXPECT_EQ(backend->Sent.size(), 1u);
}

TEST_F(PrinterFixture, RefusedJobReportsAndFreesThePrinter)
{
    TwoPrinters();
    backend->Refusal = "The printer is out of paper";
    TPrinter printer(backend);
    printer.BeginDoc();
    EXPECT_EQ(MessageOf([&] { printer.EndDoc(); }), "The printer is out of paper");
    EXPECT_FALSE(printer.Printing());
}

TEST_F(PrinterFixture, DestroyingThePrinterEndsItsJob)
{
    TwoPrinters();
    {
        TPrinter printer(backend);
        printer.BeginDoc();
        Draw(printer, QStringLiteral("Left running"));
    }
    EXPECT_EQ(backend->Sent.size(), 1u);
}

TEST_F(PrinterFixture, JobNameKeepsTheTitleWithItsDateAndCutsOnlyPastEightyCharacters)
{
    struct Row {
        const char* name;
        std::string title;
        std::string jobName;
    };
    const Row rows[] = {
        {"short", "Report", "Report"},
        {"exactly 80", std::string(80, 'x'), std::string(80, 'x')},
        {"81 ASCII", std::string(80, 'x') + "y", std::string(80, 'x')},
        {"the sheet's title with its date and time", "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА 07.12.2026 18:14:05",
         "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА 07.12.2026 18:14:05"},
        // Cut by characters, never inside one.
        {"long Cyrillic", std::string("Ж") + std::string(79, 'x') + "ЖЖ", std::string("Ж") + std::string(79, 'x')},
        {"empty", "", ""},
    };
    TwoPrinters();
    TPrinter printer(backend);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer.SetTitle(row.title);
        printer.BeginDoc();
        printer.EndDoc();
        EXPECT_EQ(backend->Sent.back().Job.Title, row.jobName);
        EXPECT_EQ(printer.Title(), row.title);  // the title itself is kept whole
    }
}

TEST_F(PrinterFixture, WithoutSystemPrintersThePdfPrinterIsTheOnlyAndDefaultOne)
{
    TPrinter printer(backend);
    EXPECT_EQ(printer.Printers(), std::vector<std::string>{kPdfPrinterName});
    EXPECT_FALSE(printer.HasSystemPrinters());
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_TRUE(printer.IsPdfPrinter());
    // It takes A3 and any other size, and lets the engine choose the paper.
    const std::vector<int> codes = printer.PaperCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), 8), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), 9), codes.end());
    EXPECT_EQ(codes.back(), kDmPaperUser);
    EXPECT_TRUE(printer.GetPrinter().DeviceMode.Supports(kDmPaperSize));
    EXPECT_FALSE(printer.GetPrinter().DeviceMode.Supports(kDmCopies));
}

TEST_F(PrinterFixture, PdfPrinterWritesTheJobToTheFileGiven)
{
    TPrinter printer(backend);
    const std::string file = PathOf("report.pdf");
    printer.SetOutputFileName(file);
    bool asked = false;
    printer.SetFileNameRequest([&](const std::string&) {
        asked = true;
        return std::string();
    });
    TPrinterDevice d = printer.GetPrinter();
    d.DeviceMode.PaperSize = 8;
    printer.SetPrinter(d.Device, d.Driver, d.Port, d.DeviceMode);
    printer.SetTitle("Drilling tool weight report, page one and two");

    printer.BeginDoc();
    Draw(printer, QStringLiteral("Kelly weight 12.50"));
    EXPECT_FALSE(std::filesystem::exists(file));  // nothing half-written in its place
    printer.NewPage();
    Draw(printer, QStringLiteral("String length 2400.00"));
    printer.EndDoc();
    EXPECT_FALSE(asked);
    ASSERT_TRUE(std::filesystem::exists(file));
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdfinfo/pdftotext not installed (poppler-utils): PDF contents not checked";
    }
    const auto info = test::PdfInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("Pages"), "2");
    EXPECT_EQ(info->at("Title"), "Drilling tool weight report, page one and two") << "the whole title";
    EXPECT_EQ(info->at("Page size").substr(0, 10), "842 x 1191");
    const auto text = test::PdfText(file);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Kelly weight 12.50"), std::string::npos);
    EXPECT_NE(text->find("String length 2400.00"), std::string::npos);
}

TEST_F(PrinterFixture, PdfPrinterAsksForTheFileWhenNoneIsSet)
{
    TPrinter printer(backend);
    const std::string file = PathOf("asked.pdf");
    std::string suggestion;
    printer.SetFileNameRequest([&](const std::string& suggested) {
        suggestion = suggested;
        return file;
    });
    printer.SetTitle("Weights");
    printer.BeginDoc();
    printer.EndDoc();
    EXPECT_EQ(suggestion, "Weights.pdf");
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(PrinterFixture, DecliningTheFileNameRunsTheJobIntoNothing)
{
    TPrinter printer(backend);
    printer.SetFileNameRequest([](const std::string&) { return std::string(); });
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_TRUE(printer.Aborted());
    Draw(printer, QStringLiteral("Goes nowhere"));
    printer.NewPage();
    printer.EndDoc();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(PrinterFixture, AbortedPdfJobLeavesTheEarlierFileAsItWas)
{
    const std::string file = PathOf("kept.pdf");
    ASSERT_NO_FATAL_FAILURE(test::WriteAll(QString::fromStdString(file), "earlier contents"));
    TPrinter printer(backend);
    printer.SetOutputFileName(file);
    printer.BeginDoc();
    Draw(printer, QStringLiteral("Replaced?"));
    printer.Abort();
    EXPECT_EQ(test::ReadAll(QString::fromStdString(file)), QByteArray("earlier contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(PrinterFixture, PdfFileThatCannotBeCreatedIsReported)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.pdf"));
    const struct {
        std::string file;
        std::string message;
    } rows[] = {
        {PathOf("missing-folder/report.pdf"),
         "Cannot create file " + PathOf("missing-folder/report.pdf") + ": the folder does not exist"},
        // Printing over a folder of that name must not replace it.
        {PathOf("folder.pdf"), "Cannot create file " + PathOf("folder.pdf") + ": it is a folder, not a file"},
    };
    for (const auto& row : rows) {
        TPrinter printer(backend);
        printer.SetOutputFileName(row.file);
        try {
            printer.BeginDoc();
            ADD_FAILURE() << row.file << ": no error";
        } catch (const EFileError& e) {
            EXPECT_EQ(e.Message(), row.message);
        }
        EXPECT_FALSE(printer.Printing());
    }
    EXPECT_TRUE(QFileInfo(QString::fromStdString(PathOf("folder.pdf"))).isDir());
}

}  // namespace
}  // namespace dw
