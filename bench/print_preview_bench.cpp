// SPDX-License-Identifier: MIT
// The print command measured from the click to the page painted in its
// preview window, beside the toolkit's own print preview dialog showing the
// same page: the same 59 texts on an A3 sheet. Both run in one process, so
// their ratio says how our preview compares with the stock one on this
// machine. The printer objects come from the fake backend of the printer
// tests, so no spooler or device is touched.

#include "app/application.h"
#include "app/form1.h"
#include "app/report_sheet.h"
#include "app/sheet_holder.h"
#include "bench/program_benchmarks.h"
#include "numeric/widgets/currency_edit.h"
#include "report/generation/report.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/sheet_samples.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace dw {
namespace {

using test::OpenPreview;

// The main window and the report holder, as the program builds them at
// start-up, with the report printing to the fake backend.
struct Program {
    std::unique_ptr<TSheetHolder> form2;
    std::unique_ptr<TForm1> form1;

    Program()
    {
        RegisterStandardPreview();
        form2 = std::make_unique<TSheetHolder>();
        form1 = std::make_unique<TForm1>(form2.get());
        test::UseBackend(form2->VpReport1(), test::A3Backend());
        form1->show();
    }
    ~Program()
    {
        form1.reset();
        form2.reset();
        SetStandardPreviewFactory(nullptr);
    }
};

void BM_PrintCommandToPaintedPreview(benchmark::State& state)
{
    Program program;
    // Printing calculates first when the results do not belong to the
    // inputs; calculated once here, every run prints as it stands.
    program.form1->CurrencyEdit(45)->SetValue(7.85L);
    program.form1->BitBtn1Click(nullptr);
    int painted = 0;
    int polls = 0;
    for (auto _ : state) {
        bool done = false;
        // Looks without blocking: the command runs the report and opens the
        // window from inside its own wait.
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            ++polls;
            TVpStandardPreview* preview = OpenPreview();
            if (preview == nullptr || preview->Status()->text() != QStringLiteral("Page 1 of 1"))
                return;
            poll.stop();
            preview->VpPreview()->viewport()->repaint();
            ++painted;
            done = true;
            preview->close();
        });
        poll.start();
        program.form1->TransparentButton1Click(nullptr);
        poll.stop();
        if (!done) {
            state.SkipWithError("the preview never showed \"Page 1 of 1\"");
            break;
        }
    }
    state.counters["painted"] = painted;
    state.counters["polls/iter"] = benchmark::Counter(static_cast<double>(polls), benchmark::Counter::kAvgIterations);
    state.counters["runs/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintCommandToPaintedPreview)->Unit(benchmark::kMillisecond);

// The sheet drawn directly with a painter: the labels' pixel places at 96
// per inch scaled to the printer's resolution, the texts the program would
// print.
void PaintSheet(QPrinter& printer)
{
    QPainter painter(&printer);
    const double scale = printer.resolution() / 96.0;
    QFont normal(QStringLiteral("Liberation Sans"));
    normal.setPointSizeF(10);
    QFont title(QStringLiteral("Liberation Sans"));
    title.setPointSizeF(12);
    title.setBold(true);
    int n = 0;
    for (const TSheetLabel& row : SheetLabels()) {
        const QString text = test::SampleSheetText(row, n);
        if (row.Source == TSheetSource::Field)
            ++n;
        painter.setFont(row.TitleFont ? title : normal);
        const QFontMetricsF metrics(painter.font(), &printer);
        painter.drawText(QPointF(row.Left * scale, row.Top * scale + metrics.ascent()), text);
    }
}

void BM_StockPrintPreviewDialog(benchmark::State& state)
{
    QTemporaryDir directory;
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(directory.path() + QStringLiteral("/sheet.pdf"));
        printer.setPageSize(QPageSize(QPageSize::A3));
        QPrintPreviewDialog dialog(&printer);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) { PaintSheet(*p); });
        dialog.show();
        auto* widget = dialog.findChild<QPrintPreviewWidget*>();
        if (widget == nullptr) {
            state.SkipWithError("the dialog has no preview widget");
            break;
        }
        widget->updatePreview();
        benchmark::DoNotOptimize(widget->grab());
        pages = widget->pageCount();
        dialog.close();
    }
    state.counters["pages"] = pages;
    state.counters["runs/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StockPrintPreviewDialog)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dw

int main(int argc, char** argv)
{
    return dw::bench::RunInTheProgramsApplication(argc, argv);
}
