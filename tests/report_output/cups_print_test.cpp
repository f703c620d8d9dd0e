// SPDX-License-Identifier: MIT
// The real printing path: a print spooler of the test's own, with one PDF
// queue, started for these tests and stopped after them. It listens only on
// a socket in a temporary directory, where the test program points every
// spooler lookup, so no other queue on the machine is ever reached.

#include "report/output/printer.h"
#include "report/output/printer_settings.h"

#include "tests/support/printer_test_support.h"
#include "tests/support/private_spooler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace dw {
namespace {

class CupsPrinting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_skipReason = test::StartPrivateSpooler(); }
    static void TearDownTestSuite() { test::StopPrivateSpooler(); }

    void SetUp() override
    {
        if (!s_skipReason.empty()) {
            GTEST_SKIP() << "Real printing path not tested: " << s_skipReason;
        }
    }

    static inline std::string s_skipReason;
};

TEST_F(CupsPrinting, QueueIsListedWithItsPapers)
{
    TPrinter printer;
    const std::vector<std::string> names = printer.Printers();
    const std::string expected = std::string(test::kTestQueue) + " on " + test::kTestQueueLocation;
    ASSERT_NE(std::find(names.begin(), names.end(), expected), names.end());
    EXPECT_TRUE(printer.HasSystemPrinters());
    // The queue is the spooler's default.
    EXPECT_EQ(names[static_cast<std::size_t>(printer.PrinterIndex())], expected);

    const std::vector<int> codes = printer.PaperCodes();
    for (const int code : {1, 8, 9, 11, kDmPaperUser}) {  // Letter, A3, A4, A5, any size
        EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << code;
    }
    EXPECT_GT(printer.PixelsPerInchX(), 0);

    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    EXPECT_EQ(settings.Device(), test::kTestQueue);
    EXPECT_EQ(settings.Port(), test::kTestQueueLocation);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A4);  // the queue's own default
    EXPECT_TRUE(settings.Supports(TVpPaperSize::A3));
    EXPECT_EQ(settings.PixelsPerX(), printer.PixelsPerInchX());
}

TEST_F(CupsPrinting, TwoPageJobPrintsOnA3)
{
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdfinfo not installed (poppler-utils): the printed file cannot be checked";
    }
    TPrinter printer;
    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    settings.SetPaperSize(TVpPaperSize::A3);
    settings.SetOrientation(TPrinterOrientation::poPortrait);
    settings.ApplySettings();
    EXPECT_EQ(printer.GetPrinter().DeviceMode.PaperSize, 8);

    const std::size_t before = test::PrintedFiles().size();
    printer.SetTitle("Drillweight spooler test");
    printer.BeginDoc();
    QPainter* canvas = printer.Canvas();
    ASSERT_NE(canvas, nullptr);
    canvas->setFont(QFont(QStringLiteral("Liberation Sans"), 20));
    canvas->drawText(300, 600, QStringLiteral("First sheet"));
    canvas->drawRect(0, 0, printer.PageWidth() - 1, printer.PageHeight() - 1);
    printer.NewPage();
    canvas->drawText(300, 600, QStringLiteral("Second sheet"));
    printer.EndDoc();

    // The queue turns the job into a file of its own when it gets to it.
    std::optional<std::map<std::string, std::string>> info;
    const bool printed = test::WaitFor(
        [&] {
            const auto files = test::PrintedFiles();
            if (files.size() <= before) {
                return false;
            }
            info = test::PdfInfo(files.back());
            return info && info->count("Pages") != 0;
        },
        std::chrono::seconds(120));
    ASSERT_TRUE(printed) << "no printed file; spooler log:\n" << test::SpoolerLogTail();
    EXPECT_EQ(info->at("Pages"), "2");
    EXPECT_EQ(info->at("Page size").substr(0, 10), "842 x 1191");
}

}  // namespace
}  // namespace dw
