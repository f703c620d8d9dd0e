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

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

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

// --- pages of one costly shape ---------------------------------------------

// Pages of one costly shape, played as the tool renders a page (A3 at
// 96 dpi, smoothed) and as the preview shows it (a 1920 x 1080 window at fit
// width and at the largest zoom, 2000 %): a filled star of 5,000 points and
// zigzag polylines of 100,000 and 1,000,000 points under a 40-pixel pen,
// besides a star of 100 points and a chart of 20,000 points that are drawn.
// Each should take a fraction of a second, the largest zoom under one.

class Bytes {
public:
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_data.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void U16(int v)
    {
        m_data.push_back(static_cast<std::uint8_t>(v));
        m_data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Record(std::uint32_t type, std::initializer_list<std::uint32_t> fields)
    {
        U32(type);
        U32(static_cast<std::uint32_t>(8 + 4 * fields.size()));
        for (std::uint32_t f : fields) U32(f);
        ++m_records;
    }
    std::vector<std::uint8_t>& Data() { return m_data; }
    void Counted() { ++m_records; }
    std::uint32_t Records() const { return m_records; }

private:
    std::vector<std::uint8_t> m_data;
    std::uint32_t m_records = 0;
};

// One A3 page: a pen of penWidth, a red brush, winding fill, then the shape.
std::vector<std::uint8_t> Page(bool polygon, const std::vector<std::pair<int, int>>& points, std::uint32_t penWidth)
{
    Bytes b;
    b.Record(1, {0,
                 0,
                 kPageWidth - 1,
                 kPageHeight - 1,
                 0,
                 0,
                 29713,
                 41990,
                 0x464D4520,
                 0x10000,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 1024,
                 768,
                 271,
                 203,
                 0,
                 0,
                 0,
                 271000,
                 203000});
    b.Record(38, {1, 0, penWidth, 0, 0xFF0000});
    b.Record(37, {1});
    b.Record(39, {2, 0, 0x0000FF, 0});
    b.Record(37, {2});
    b.Record(19, {2});
    b.U32(polygon ? 86 : 87);
    b.U32(static_cast<std::uint32_t>(28 + 4 * points.size()));
    for (std::uint32_t v : {0u, 0u, std::uint32_t(kPageWidth), std::uint32_t(kPageHeight)}) b.U32(v);
    b.U32(static_cast<std::uint32_t>(points.size()));
    for (const auto& [x, y] : points) {
        b.U16(x);
        b.U16(y);
    }
    b.Counted();
    b.Record(14, {0, 16, 20});
    std::vector<std::uint8_t>& data = b.Data();
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(48, static_cast<std::uint32_t>(data.size()));
    put(52, b.Records());
    return data;
}

std::vector<std::uint8_t> Shape(int which)
{
    std::vector<std::pair<int, int>> points;
    switch (which) {
        case 0:
        case 3: {
            const int n = which == 0 ? 5000 : 100;
            for (int i = 0; i < n; ++i)
                points.emplace_back(static_cast<int>(kPageWidth / 2 + kPageWidth / 2 * std::cos(i * 2.39996)),
                                    static_cast<int>(kPageHeight / 2 + kPageHeight / 2 * std::sin(i * 2.39996)));
            return Page(true, points, 1);
        }
        case 1:
        case 2: {
            const int n = which == 1 ? 100000 : 1000000;
            for (int i = 0; i < n; ++i) points.emplace_back((i * 37) % kPageWidth, i % 2 ? 0 : kPageHeight);
            return Page(false, points, 40);
        }
        default:
            for (int i = 0; i < 20000; ++i)
                points.emplace_back(
                    i * (kPageWidth - 1) / 20000,
                    static_cast<int>(kPageHeight / 2 + 300 * std::sin(i * 2 * std::numbers::pi / 4000)));
            return Page(false, points, 3);
    }
}

const char* const kShapeNames[] = {"star5000", "zigzag100000w40", "zigzag1000000w40", "star100", "chart20000w3"};

// range(0): the shape; range(1): 0 the tool's A3 image, 1 fit width,
// 2 the largest zoom, looking at the middle of the page.
void BM_PlayCostlyShape(benchmark::State& state)
{
    EnsureApplication();
    const dw::emf::EmfDocument document(Shape(static_cast<int>(state.range(0))));
    const int placement = static_cast<int>(state.range(1));
    QImage image = placement == 0 ? QImage(kPageWidth, kPageHeight, QImage::Format_RGB32)
                                  : QImage(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    const double fitHeight = 1920.0 * kPageHeight / kPageWidth;
    const QRectF target = placement == 0   ? QRectF(0, 0, kPageWidth, kPageHeight)
                          : placement == 1 ? QRectF(0, 540 - fitHeight / 2, 1920, fitHeight)
                                           : QRectF(960 - 10.0 * kPageWidth, 540 - 10.0 * kPageHeight,
                                                    20.0 * kPageWidth, 20.0 * kPageHeight);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, placement == 0);
        dw::PlayEmf(painter, document, target);
    }
    state.SetLabel(std::string(kShapeNames[state.range(0)]) + (placement == 0   ? " A3 image"
                                                               : placement == 1 ? " fit width"
                                                                                : " largest zoom"));
}
BENCHMARK(BM_PlayCostlyShape)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2}})->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
