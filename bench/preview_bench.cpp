// SPDX-License-Identifier: MIT
// The preview window at 1920 x 1080 showing an A3 page of 60 labels: the
// zoom changed from 100 % to 200 % and the whole window repainted at once,
// as the Zoom buttons and Ctrl+wheel do. Only the visible part of the page
// is played; the target is one frame of a 60 Hz screen (16 ms).

#include "bench/run_benchmarks.h"
#include "report/emf/canvas.h"
#include "report/output/vp_printer.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

class NoPrinters : public dw::TPrinterBackend {
public:
    std::vector<dw::TPrinterEntry> EnumPrinters() override { return {}; }
    std::string DefaultPrinter() override { return {}; }
    std::optional<dw::TDeviceCapabilities> Capabilities(const std::string&) override { return std::nullopt; }
    QMarginsF PrintableMargins(const std::string&, const QPageSize&, QPageLayout::Orientation) override { return {}; }
    void PrintFile(const std::string&, const std::filesystem::path&, const dw::TPrintJob&) override {}
};

// 60 labels in two columns, as the report prints its sheet.
void DrawLabels(dw::TVpPrinter& printer)
{
    dw::TVpCanvas& canvas = *printer.Canvas();
    for (int i = 0; i < 60; ++i) {
        dw::TCanvasFont font;
        font.Size = i == 0 ? 12 : 10;
        font.Style.Bold = i == 0;
        canvas.SetFont(font, printer.CanvasPixelsPerInch());
        const QString caption = i == 0 ? QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА")
                                : i % 2 ? QStringLiteral("Вес талевого блока %1").arg(i)
                                        : QStringLiteral("%1,%2 т.").arg(1000 + 37 * i).arg(i % 100);
        const int x = i < 30 ? 130 : 1600;
        const int y = 130 + (i % 30) * 125;
        canvas.TextOut(printer.XPos(x), printer.YPos(y), caption);
    }
}

void BM_PreviewZoomTo200Repaint(benchmark::State& state)
{
    dw::TVpPrinter printer(std::make_shared<NoPrinters>(), 96);
    printer.SetPaperSize(dw::TVpPaperSize::A3);
    printer.BeginDoc();
    printer.NewPage();
    DrawLabels(printer);
    printer.EndDoc();

    auto* window = new dw::TVpStandardPreview(&printer);
    window->setWindowState(Qt::WindowNoState);
    window->resize(1920, 1080);
    window->show();
    QCoreApplication::processEvents();
    dw::TVpPreview& preview = *window->VpPreview();

    for (auto _ : state) {
        preview.SetZoom(100);
        window->repaint();
        const auto start = std::chrono::steady_clock::now();
        preview.SetZoom(200);
        window->repaint();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["zoom"] = preview.Zoom();
    delete window;
}
BENCHMARK(BM_PreviewZoomTo200Repaint)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Widgets need an application, and it must go before the process's own
    // teardown: one left to the static destructors crashed the benchmark at
    // its exit, after its figures were printed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return dw::bench::RunBenchmarks(argc, argv);
}
