// SPDX-License-Identifier: MIT
// A report page of 60 text labels: recorded as a metafile, played back at
// 100 % onto an A3 page image (1123 x 1587), and the same page drawn
// directly with the painter canvas. Playback is meant to stay within twice
// the direct drawing.

#include "report/emf/emf_canvas.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/emf/painter_canvas.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kPageWidth = 1123;
constexpr int kPageHeight = 1587;

// Fonts need a GUI application; the benchmarks run without a display.
void EnsureApplication()
{
    static std::unique_ptr<QGuiApplication> application;
    if (QCoreApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "drillweight_bench";
    static char* argv[] = {name, nullptr};
    application = std::make_unique<QGuiApplication>(argc, argv);
}

dw::TCanvasFont Arial(int size, bool bold)
{
    dw::TCanvasFont font;
    font.Name = QStringLiteral("Arial");
    font.Size = size;
    font.Style.Bold = bold;
    return font;
}

// 60 labels as the report engine prints them: a white box behind each
// caption, then the caption.
void DrawLabels(dw::TVpCanvas& canvas)
{
    for (int i = 0; i < 60; ++i) {
        canvas.SetFont(Arial(i == 0 ? 12 : 10, i == 0), 96);
        const QString caption =
            i == 0  ? QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА")
            : i % 2 ? QStringLiteral("Вес талевого блока %1").arg(i)
                    : QStringLiteral("%1,%2 т.").arg(1000 + 37 * i).arg(i % 100, 2, 10, QLatin1Char('0'));
        const int x = i < 30 ? 48 : 600;
        const int y = 48 + (i % 30) * 47;
        const QSize extent = canvas.TextExtent(caption);
        canvas.SetBrush(dw::TBrushStyle::bsSolid, Qt::white);
        canvas.FillRect({x, y, x + extent.width() + 1, y + extent.height() + 1});
        canvas.TextOut(x, y, caption);
    }
}

std::vector<std::uint8_t> RecordPage()
{
    dw::TEmfCanvas canvas(kPageWidth, kPageHeight, 96);
    DrawLabels(canvas);
    return canvas.Finish();
}

void BM_EmfRecordLabelsPage(benchmark::State& state)
{
    EnsureApplication();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto page = RecordPage();
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EmfRecordLabelsPage)->Unit(benchmark::kMicrosecond);

// Reading the bytes and playing them, as a page is shown after fetching it.
void BM_EmfPlayLabelsPage(benchmark::State& state)
{
    EnsureApplication();
    const auto page = RecordPage();
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        const dw::emf::EmfDocument document(page);
        QPainter painter(&image);
        dw::PlayEmf(painter, document, QRectF(0, 0, kPageWidth, kPageHeight));
    }
}
BENCHMARK(BM_EmfPlayLabelsPage)->Unit(benchmark::kMicrosecond);

// Playing an already read page, as a repaint of the preview does.
void BM_EmfPlayReadLabelsPage(benchmark::State& state)
{
    EnsureApplication();
    const dw::emf::EmfDocument document(RecordPage());
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        dw::PlayEmf(painter, document, QRectF(0, 0, kPageWidth, kPageHeight));
    }
}
BENCHMARK(BM_EmfPlayReadLabelsPage)->Unit(benchmark::kMicrosecond);

void BM_DirectLabelsPage(benchmark::State& state)
{
    EnsureApplication();
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        dw::TPainterCanvas canvas(painter);
        DrawLabels(canvas);
    }
}
BENCHMARK(BM_DirectLabelsPage)->Unit(benchmark::kMicrosecond);

}  // namespace
