// Pages of one costly shape, played as the tool renders a page (A3 at
// 96 dpi, smoothed) and as the preview shows it (a 1920 x 1080 window at fit
// width and at the largest zoom, 2000 %): a filled star of 5,000 points and
// zigzag polylines of 100,000 and 1,000,000 points under a 40-pixel pen,
// besides a star of 100 points and a chart of 20,000 points that are drawn.
// Each should take a fraction of a second, the largest zoom under one.

#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr int kWidth = 1123;
constexpr int kHeight = 1587;

void EnsureGuiApplication()
{
    static std::unique_ptr<QGuiApplication> application;
    if (QCoreApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "shape_cost_bench";
    static char* argv[] = {name, nullptr};
    application = std::make_unique<QGuiApplication>(argc, argv);
}

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
    b.Record(1, {0, 0, kWidth - 1, kHeight - 1, 0, 0, 29713, 41990, 0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 1024,
                 768, 271, 203, 0, 0, 0, 271000, 203000});
    b.Record(38, {1, 0, penWidth, 0, 0xFF0000});
    b.Record(37, {1});
    b.Record(39, {2, 0, 0x0000FF, 0});
    b.Record(37, {2});
    b.Record(19, {2});
    b.U32(polygon ? 86 : 87);
    b.U32(static_cast<std::uint32_t>(28 + 4 * points.size()));
    for (std::uint32_t v : {0u, 0u, std::uint32_t(kWidth), std::uint32_t(kHeight)}) b.U32(v);
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
                points.emplace_back(static_cast<int>(kWidth / 2 + kWidth / 2 * std::cos(i * 2.39996)),
                                    static_cast<int>(kHeight / 2 + kHeight / 2 * std::sin(i * 2.39996)));
            return Page(true, points, 1);
        }
        case 1:
        case 2: {
            const int n = which == 1 ? 100000 : 1000000;
            for (int i = 0; i < n; ++i) points.emplace_back((i * 37) % kWidth, i % 2 ? 0 : kHeight);
            return Page(false, points, 40);
        }
        default:
            for (int i = 0; i < 20000; ++i)
                points.emplace_back(i * (kWidth - 1) / 20000,
                                    static_cast<int>(kHeight / 2 + 300 * std::sin(i * 2 * std::numbers::pi / 4000)));
            return Page(false, points, 3);
    }
}

const char* const kShapeNames[] = {"star5000", "zigzag100000w40", "zigzag1000000w40", "star100", "chart20000w3"};

// range(0): the shape; range(1): 0 the tool's A3 image, 1 fit width,
// 2 the largest zoom, looking at the middle of the page.
void BM_PlayCostlyShape(benchmark::State& state)
{
    EnsureGuiApplication();
    const dw::emf::EmfDocument document(Shape(static_cast<int>(state.range(0))));
    const int placement = static_cast<int>(state.range(1));
    QImage image = placement == 0 ? QImage(kWidth, kHeight, QImage::Format_RGB32)
                                  : QImage(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    const double fitHeight = 1920.0 * kHeight / kWidth;
    const QRectF target = placement == 0   ? QRectF(0, 0, kWidth, kHeight)
                          : placement == 1 ? QRectF(0, 540 - fitHeight / 2, 1920, fitHeight)
                                           : QRectF(960 - 10.0 * kWidth, 540 - 10.0 * kHeight, 20.0 * kWidth,
                                                    20.0 * kHeight);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, placement == 0);
        dw::PlayEmf(painter, document, target);
    }
    state.SetLabel(std::string(kShapeNames[state.range(0)]) +
                   (placement == 0   ? " A3 image"
                    : placement == 1 ? " fit width"
                                     : " largest zoom"));
}
BENCHMARK(BM_PlayCostlyShape)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
