// SPDX-License-Identifier: MIT
// The printer set-up as a person fills it in: what is picked in the dialog
// is what it hands back, and it says when the paper is smaller than the page.

#include "report/output/vp_printer.h"
#include "report/output/printer_dialog.h"

#include "tests/support/printer_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace dw {
namespace {

std::shared_ptr<test::FakeBackend> TwoPrinters()
{
    auto backend = std::make_shared<test::FakeBackend>();
    backend->Printers.push_back(test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4));
    test::FakePrinter small = test::MakePrinter("Label", {QPageSize::A5, QPageSize::A4}, QPageSize::A5);
    small.Capabilities.Copies = false;
    backend->Printers.push_back(small);
    backend->Default = "Office";
    return backend;
}

void SelectText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
}

TEST(PrinterSetupDialogTest, HandsBackWhatIsChosenInIt)
{
    struct Row {
        const char* name;
        std::function<void(TVpPrinterSetupDialog&)> steps;
        std::function<void(const TVpPrinterDialogChoice&, TVpPrinterSetupDialog&)> check;
    };
    const Row rows[] = {
        {"opened and confirmed: the report's sheet on the default printer", [](TVpPrinterSetupDialog&) {},
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog& d) {
             EXPECT_EQ(c.PrinterIndex, 0);
             EXPECT_EQ(c.Paper, TVpPaperSize::A3);
             EXPECT_EQ(c.Orientation, TVpOrientation::poPortrait);
             EXPECT_EQ(c.Copies, 1);
             EXPECT_EQ(c.FromPage, 0);
             EXPECT_TRUE(c.OutputFileName.empty());
             EXPECT_TRUE(d.FitNote()->isHidden());
         }},
        {"two copies, landscape",
         [](TVpPrinterSetupDialog& d) {
             d.CopiesBox()->setValue(2);
             d.OrientationBox()->setCurrentIndex(1);
         },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog&) {
             EXPECT_EQ(c.Copies, 2);
             EXPECT_EQ(c.Orientation, TVpOrientation::poLandscape);
         }},
        {"A4 for the A3 page says the page is scaled to fit",
         [](TVpPrinterSetupDialog& d) { SelectText(d.PaperBox(), QStringLiteral("A4")); },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog& d) {
             EXPECT_EQ(c.Paper, TVpPaperSize::A4);
             EXPECT_FALSE(d.FitNote()->isHidden());
             EXPECT_TRUE(d.FitNote()->text().contains(QStringLiteral("scaled down to fit")));
         }},
        {"a printer without A3 offers its own papers and takes one copy",
         [](TVpPrinterSetupDialog& d) {
             d.CopiesBox()->setValue(3);
             SelectText(d.PrinterBox(), QStringLiteral("Label"));
         },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog& d) {
             EXPECT_EQ(c.PrinterIndex, 1);
             EXPECT_EQ(d.PaperBox()->count(), 2);
             EXPECT_EQ(c.Paper, TVpPaperSize::A5);
             EXPECT_EQ(c.Copies, 1);
             EXPECT_FALSE(d.CopiesBox()->isEnabled());
             EXPECT_FALSE(d.FitNote()->isHidden());
         }},
        {"a file typed without extension is the PDF printed to",
         [](TVpPrinterSetupDialog& d) {
             d.FileEdit()->setFocus();
             QTest::keyClicks(d.FileEdit(), QStringLiteral("/tmp/weights"));
         },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog& d) {
             EXPECT_TRUE(d.ToFileBox()->isChecked());
             EXPECT_EQ(c.OutputFileName, "/tmp/weights.pdf");
         }},
        {"a file named but not chosen is not printed to",
         [](TVpPrinterSetupDialog& d) {
             QTest::keyClicks(d.FileEdit(), QStringLiteral("/tmp/weights.pdf"));
             d.ToFileBox()->setChecked(false);
         },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog&) { EXPECT_TRUE(c.OutputFileName.empty()); }},
        {"pages three to two are pages two to three",
         [](TVpPrinterSetupDialog& d) {
             d.FromPageBox()->setValue(3);
             d.ToPageBox()->setValue(2);
             d.findChildren<QRadioButton*>().last()->setChecked(true);
         },
         [](const TVpPrinterDialogChoice& c, TVpPrinterSetupDialog&) {
             EXPECT_EQ(c.FromPage, 2);
             EXPECT_EQ(c.ToPage, 3);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TVpPrinter printer(TwoPrinters(), 96);
        TVpPrinterDialogRequest request;
        request.VpPrinter = &printer;
        request.MaxPage = 3;
        request.Paper = TVpPaperSize::A3;
        request.PageWidth = 297;
        request.PageLength = 420;
        TVpPrinterSetupDialog dialog(request);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Printer setup"));
        row.steps(dialog);
        row.check(dialog.Choice(), dialog);
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// Pages without a report behind them, as after loading a report file.
std::unique_ptr<TVpPrinter> ThreeStoredPages(std::shared_ptr<test::FakeBackend> backend)
{
    auto printer = std::make_unique<TVpPrinter>(std::move(backend), 96);
    printer->SetPaperSize(TVpPaperSize::A3);
    printer->BeginDoc();
    for (int n = 0; n < 3; ++n) {
        printer->NewPage();
    }
    printer->EndDoc();
    return printer;
}

TEST(StoredPagesSetUpTest, WhatIsConfirmedIsWhatTheStoredPagesPrintWith)
{
    struct Row {
        const char* name;
        std::function<std::optional<TVpPrinterDialogChoice>(const TVpPrinterDialogRequest&)> dialog;
        bool confirmed;
        const char* device;  // of the job; none: no job
        int copies;
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        const char* pages;  // of the job, when poppler's tools can tell
    };
    const auto choose = [](int printerIndex, int copies, TVpPaperSize paper, TVpOrientation orientation, int from,
                           int to) {
        return [=](const TVpPrinterDialogRequest& request) {
            EXPECT_EQ(request.MaxPage, 3);
            TVpPrinterDialogChoice choice;
            choice.PrinterIndex = printerIndex;
            choice.Copies = copies;
            choice.Paper = paper;
            choice.Orientation = orientation;
            choice.FromPage = from;
            choice.ToPage = to;
            return std::optional(choice);
        };
    };
    const Row rows[] = {
        {"not set up: the loaded pages' own A3", nullptr, false, "Office", 1, QPageSize::A3, QPageLayout::Portrait,
         "3"},
        {"two copies of A4 landscape", choose(0, 2, TVpPaperSize::A4, TVpOrientation::poLandscape, 0, 0), true,
         "Office", 2, QPageSize::A4, QPageLayout::Landscape, "3"},
        {"the other printer, page two only", choose(1, 1, TVpPaperSize::A5, TVpOrientation::poPortrait, 2, 2), true,
         "Label", 1, QPageSize::A5, QPageLayout::Portrait, "1"},
        {"cancelled after trying another printer: as it was",
         [](const TVpPrinterDialogRequest& request) {
             request.VpPrinter->SetPrinterIndex(1);
             return std::optional<TVpPrinterDialogChoice>();
         },
         false, "Office", 1, QPageSize::A3, QPageLayout::Portrait, "3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto backend = TwoPrinters();
        const std::unique_ptr<TVpPrinter> printer = ThreeStoredPages(backend);
        if (row.dialog) {
            EXPECT_EQ(SetUpStoredPagesPrinter(*printer, row.dialog), row.confirmed);
        }
        printer->Print();
        ASSERT_EQ(backend->Sent.size(), 1u);
        const test::SentJob& job = backend->Sent.front();
        EXPECT_EQ(job.Device, row.device);
        EXPECT_EQ(job.Job.Copies, row.copies);
        EXPECT_EQ(QPageSize::id(job.Job.Paper.windowsId()), row.paper);
        EXPECT_EQ(job.Job.Orientation, row.orientation);
        if (const auto info = test::PdfInfo(job.Pdf)) {
            EXPECT_EQ(info->at("Pages"), row.pages);
        }
    }
}

}  // namespace
}  // namespace dw
