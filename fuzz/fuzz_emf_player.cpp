// Metafiles from anywhere: any bytes must either read as a document or end
// in "Metafile is not valid", never in a crash, a hang or a read outside the
// input. Every bitmap of a document that reads is decoded as playing would.
// In a build with the Qt layers (fuzz/run.sh uses build-fuzz-qt for it),
// DW_FUZZ_WITH_QT is set and the document is also played onto a small image,
// stretched and placed oddly.
//
// The plain fuzz build has no Qt, so the library of report/emf is not there;
// the plain files it needs are compiled into this harness instead.

#include "report/core/page_errors.h"
#include "report/emf/emf_dib.h"
#include "report/emf/emf_reader.h"

#ifdef DW_FUZZ_WITH_QT
#include "report/emf/emf_player.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

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
        for (const EmfRecord& record : document.Records()) {
            const DibRef* dib = nullptr;
            if (const auto* blt = std::get_if<BltRecord>(&record); blt && blt->Source)
                dib = &*blt->Source;
            else if (const auto* brush = std::get_if<BrushRecord>(&record); brush && brush->Pattern)
                dib = &*brush->Pattern;
            if (dib != nullptr) {
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
        dw::PlayEmf(painter, document, QRectF(3, 2, 40, 28));
        dw::PlayEmf(painter, document, QRectF(45, 30, -40, -25));
#endif
    } catch (const dw::EInvalidGraphic& e) {
        if (e.Message() != "Metafile is not valid")
            __builtin_trap();
    }
    return 0;
}
