// SPDX-License-Identifier: MIT
// Report generation speed: the printed sheet into the page store, a long
// banded report into the page store, and the sheet's text export. The
// printer objects come from the fake backend of the printer tests, so no
// spooler or device is touched.

#include "app/report_sheet.h"
#include "bench/run_benchmarks.h"
#include "report/core/page_stream.h"
#include "report/elements/label.h"
#include "report/generation/record_source.h"
#include "report/generation/report.h"
#include "report/output/ascii_export_filter.h"
#include "report/output/vp_printer.h"
#include "tests/support/banded_report.h"
#include "tests/support/page_records.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/sheet_samples.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <functional>
#include <memory>
#include <string>

namespace dw {
namespace {

using test::Screen;

std::shared_ptr<test::FakeBackend> A3Backend()
{
    auto backend = std::make_shared<test::FakeBackend>();
    backend->Printers.push_back(test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4, 600));
    backend->Default = "Office";
    return backend;
}

// Runs the report into a page store with no preview window: the report's
// OnPreview takes the place of the window, so Preview is one CreateReport
// on a fresh printer object. inspect, when given, sees the printer object
// after the run, before it is dropped.
void RunIntoPageStore(TVpReport& report, const std::function<void(TVpPrinter&)>& inspect = {})
{
    auto backend = A3Backend();
    report.SetPrinterFactory([backend] { return std::make_unique<TVpPrinter>(backend, 96); });
    report.OnPreview = [](TVpReport&) {};
    if (!inspect) {
        report.Preview();
        return;
    }
    // The page store is whole only once the run has ended its document:
    // look at it from a stand-in preview that stays attached until then.
    report.OnPreview = nullptr;
    bool seen = false;
    std::function<void()> poll;
    SetStandardPreviewFactory([&](TVpPrinter& printer) {
        printer.SetShowingPreview(true);
        poll = [&report, &printer, &inspect, &seen, &poll] {
            if (!report.Available() || printer.Status() == TVpPrinterStatus::Ready) {
                QTimer::singleShot(0, poll);
                return;
            }
            inspect(printer);
            seen = true;
            printer.SetShowingPreview(false);
        };
        QTimer::singleShot(0, poll);
    });
    report.Preview();
    SetStandardPreviewFactory(nullptr);
    if (!seen)
        throw std::runtime_error("the report run never ended");
}

// The sheet as the program prints it: every field and the date and time
// filled with a text of the width the program shows.
void FillSheet(TVpReport& report)
{
    int n = 0;
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source == TSheetSource::Caption)
            continue;
        auto* label = dynamic_cast<TVpLabel*>(report.FindElement("VpLabel" + std::to_string(row.Number)));
        if (label == nullptr)
            throw std::runtime_error("the sheet has no label " + std::to_string(row.Number));
        const QString text = test::SampleSheetText(row, n);
        label->SetCaption(text);
        ++n;
    }
}

std::unique_ptr<TVpReport> MakeSheet()
{
    auto report = std::make_unique<TVpReport>(Screen());
    BuildReportSheet(*report);
    FillSheet(*report);
    // A progress window would be timed as well; the engine alone is measured.
    report->ShowProgress = false;
    return report;
}

long PeakRssKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_SheetIntoPageStore(benchmark::State& state)
{
    auto report = MakeSheet();
    for (auto _ : state) RunIntoPageStore(*report);
    std::int64_t bytes = 0;
    int pages = 0;
    RunIntoPageStore(*report, [&](TVpPrinter& printer) {
        pages = printer.PageCount();
        bytes = printer.PageStream() != nullptr ? printer.PageStream()->Size() : -1;
    });
    state.counters["pages"] = pages;
    state.counters["store_bytes"] = static_cast<double>(bytes);
    state.counters["runs/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SheetIntoPageStore)->Unit(benchmark::kMillisecond);

// The building of the sheet, without the run, to tell the two costs apart.
void BM_SheetBuildAndFill(benchmark::State& state)
{
    for (auto _ : state) {
        auto report = MakeSheet();
        benchmark::DoNotOptimize(report.get());
    }
}
BENCHMARK(BM_SheetBuildAndFill)->Unit(benchmark::kMillisecond);

void BM_BandedThousandRecords(benchmark::State& state)
{
    test::BandedReport banded;
    std::int64_t pages = 0;
    std::int64_t pagesOfRun = 0;
    banded.Report.OnStartPage = [&pagesOfRun](TVpReport&) { ++pagesOfRun; };
    for (auto _ : state) {
        pagesOfRun = 0;
        RunIntoPageStore(banded.Report);
        pages += pagesOfRun;
    }
    std::int64_t bytes = 0;
    bool spilled = false;
    pagesOfRun = 0;
    RunIntoPageStore(banded.Report, [&](TVpPrinter& printer) {
        if (const TVpStream* stream = printer.PageStream()) {
            bytes = stream->Size();
            spilled = stream->Spilled();
        }
    });
    state.counters["pages/run"] = static_cast<double>(pagesOfRun);
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
    state.counters["store_bytes"] = static_cast<double>(bytes);
    state.counters["store_spilled"] = spilled ? 1 : 0;
    state.counters["peak_rss_KiB"] = static_cast<double>(PeakRssKiB());
}
BENCHMARK(BM_BandedThousandRecords)->Unit(benchmark::kMillisecond);

void BM_SheetTextExport(benchmark::State& state)
{
    auto report = MakeSheet();
    QTemporaryDir directory;
    const std::string file = (directory.path() + QStringLiteral("/sheet.txt")).toStdString();
    for (auto _ : state) {
        TVpAsciiExportFilter filter(file);
        report->ExportToFilter(filter);
    }
    QFile written(QString::fromStdString(file));
    state.counters["file_bytes"] = static_cast<double>(written.size());
}
BENCHMARK(BM_SheetTextExport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dw

int main(int argc, char** argv)
{
    // Fonts and the page store need a GUI application; there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return dw::bench::RunBenchmarks(argc, argv);
}
