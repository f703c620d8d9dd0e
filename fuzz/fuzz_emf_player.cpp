// SPDX-License-Identifier: MIT
// fuzz-options: -timeout=60 -report_slow_units=60
// Metafiles from anywhere: any bytes must either read as a document or end
// in "Metafile is not valid", never in a crash, a hang or a read outside the
// input. The bitmaps of a document that reads are decoded as playing would,
// as many as one playing decodes.
// In a build with the Qt layers (fuzz/run.sh uses build-fuzz-qt for it),
// DW_FUZZ_WITH_QT is set and the document is also played: onto a small image
// stretched, mirrored, shrunk to nothing, blown up far beyond it and turned,
// onto a page zoomed far of which only a corner is shown, and smoothed onto
// an image of the page's own size, as the tool renders it (where a shape of
// many edges costs the most). Whatever the placement, no page may take
// longer than the fuzzer's timeout. That timeout is a minute (the option
// above): it counts time on the clock, and the heaviest seeds (text
// outlines as clips) take 2 to 4 s to play in all those ways
// under the sanitizers, which a run at the lowest priority on a busy machine
// stretches to several times that. What a page costs unhindered is measured
// by the benchmarks.
//
// The plain fuzz build has no Qt, so the library of report/emf is not there;
// the plain files it needs are compiled into this harness instead.

#include "report/core/page_errors.h"
#include "report/emf/emf_dib.h"
#include "report/emf/emf_reader.h"

#ifdef DW_FUZZ_WITH_QT
#include "report/emf/emf_player.h"
#include "tests/support/null_paint_device.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#else
#include "report/emf/emf_dib.cpp"
#include "report/emf/emf_format.cpp"
#include "report/emf/emf_reader.cpp"
#endif

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#ifdef DW_FUZZ_WITH_QT
// Font look-ups keep fontconfig's own caches for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dw::emf;
    try {
        const EmfDocument document = EmfDocument::FromBytes(std::span<const std::uint8_t>(data, size));
        // As many pixels as the player decodes for one page at most.
        std::uint64_t pixelsLeft = kMaxDibPixels;
        for (const EmfRecord& record : document.Records()) {
            const DibRef* dib = nullptr;
            if (const auto* blt = std::get_if<BltRecord>(&record); blt && blt->Source)
                dib = &*blt->Source;
            else if (const auto* brush = std::get_if<BrushRecord>(&record); brush && brush->Pattern)
                dib = &*brush->Pattern;
            const std::uint64_t pixels =
                dib ? static_cast<std::uint64_t>(dib->Info.Width) * static_cast<std::uint64_t>(dib->Info.Height) : 0;
            if (dib != nullptr && pixels <= pixelsLeft) {
                pixelsLeft -= pixels;
                const DibImage image = DecodeDib(dib->Info, document.Range(dib->Bits), true);
                if (!image.Pixels.empty() && image.Pixels.size() != static_cast<std::size_t>(image.Width) *
                                                                        static_cast<std::size_t>(image.Height))
                    __builtin_trap();
            }
        }
#ifdef DW_FUZZ_WITH_QT
        QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        for (const QRectF& target : {QRectF(3, 2, 40, 28), QRectF(45, 30, -40, -25), QRectF(3, 2, 0.05, 0.05),
                                     QRectF(-1e6, -1e6, 2e6, 2e6), QRectF(1e6, 1e6, -2e6, -1.5e6)})
            dw::PlayEmf(painter, document, target);
        painter.translate(24, 16);
        painter.rotate(30);
        dw::PlayEmf(painter, document, QRectF(-20, -14, 40, 28));
        painter.end();

        // An A3 page at the preview's largest zoom, tens of thousands of
        // pixels each way: what the player builds for it must stay bounded.
        static dw::test::NullPaintDevice zoomed(22460, 31740);
        QPainter corner(&zoomed);
        corner.setClipRect(11000, 15000, 64, 48);
        dw::PlayEmf(corner, document, QRectF(0, 0, zoomed.width(), zoomed.height()));
        corner.end();

        // The page at its own size (an A3 page is 1123 x 1587 at 96 dpi),
        // within an image of at most 2048 pixels a side.
        const EmfDocument::FrameRect frame = document.FramePixels();
        const auto sideOf = [](double v) { return std::isfinite(v) ? std::clamp(std::fabs(v), 1.0, 1.0e9) : 1.0; };
        const double frameWidth = sideOf(frame.Width), frameHeight = sideOf(frame.Height);
        const double scale = 2048 / std::max({frameWidth, frameHeight, 2048.0});
        const int width = std::clamp(static_cast<int>(std::ceil(frameWidth * scale)), 1, 2048);
        const int height = std::clamp(static_cast<int>(std::ceil(frameHeight * scale)), 1, 2048);
        QImage page(width, height, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter whole(&page);
        whole.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        dw::PlayEmf(whole, document, QRectF(0, 0, width, height));
#endif
    } catch (const dw::EInvalidGraphic& e) {
        if (e.Message() != "Metafile is not valid")
            __builtin_trap();
    }
    return 0;
}
