// SPDX-License-Identifier: MIT
// A label as any form could describe it, printed on a report into the page
// store: any caption bytes, any font size (0, negative, huge), any frame,
// alignment and sizing switches, any bounds. The run must end in pages or
// in one of the program's own errors, never in a crash, a hang or a read
// or write outside a buffer.
//
// Labels need Qt: the target does its work only in a build with the GUI
// layers (DW_FUZZ_WITH_QT, clang with ASan and UBSan); in the plain fuzz
// build it is an empty harness, so running every target still works there.

#include <cstddef>
#include <cstdint>

#ifdef DW_FUZZ_WITH_QT
#include "common/errors.h"
#include "report/elements/label.h"
#include "report/output/vp_printer.h"
#include "report/generation/report.h"
#include "tests/support/printer_test_support.h"

#include <QApplication>

#include <array>
#include <cstring>
#include <memory>

namespace {

// Reads the fixed fields from the front of the input; what is left is the caption.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <class T>
    T Take()
    {
        T value{};
        const std::size_t n = m_size < sizeof(T) ? m_size : sizeof(T);
        if (n > 0)
            std::memcpy(&value, m_data, n);
        m_data += n;
        m_size -= n;
        return value;
    }
    QString Rest() const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(m_data), static_cast<qsizetype>(m_size));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

std::shared_ptr<dw::test::FakeBackend> Backend()
{
    static const std::shared_ptr<dw::test::FakeBackend> backend = [] {
        auto made = std::make_shared<dw::test::FakeBackend>();
        made->Printers.push_back(dw::test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4, 600));
        made->Default = "Office";
        return made;
    }();
    return backend;
}

}  // namespace

// Font look-ups keep fontconfig's own caches for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QApplication> application = std::make_unique<QApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dw;
    Reader in(data, size);
    const auto switches = in.Take<std::uint8_t>();
    const auto alignment = in.Take<std::uint8_t>();
    const auto frameSides = in.Take<std::uint8_t>();
    const auto frameWidth = in.Take<std::int16_t>();
    const auto fontSize = in.Take<std::int32_t>();
    std::array<std::int32_t, 4> pixels{};  // left, top, width, height
    for (std::int32_t& p : pixels) p = in.Take<std::int32_t>();
    const QString caption = in.Rest();

    try {
        TVpReport report(VpEnvironment{96, false});
        report.ShowProgress = false;
        report.BeginLoading();
        report.Page().SetPaperSize(TVpPaperSize::A4);
        TVpLabel& label = report.AddElement<TVpLabel>("Fuzzed");
        TCanvasFont font;
        font.Name = QStringLiteral("Arial");
        font.Size = fontSize;
        font.Style.Bold = (switches & 0x01) != 0;
        if ((switches & 0x02) != 0) {
            label.SetFont(font);
            label.ReadFontSize(fontSize);
        }
        label.SetAutoSize((switches & 0x04) != 0);
        label.SetWordWrap((switches & 0x08) != 0);
        label.SetAutoStretch((switches & 0x10) != 0);
        label.SetTransparent((switches & 0x20) != 0);
        label.SetAlignment(static_cast<TAlignment>(alignment % 3));
        label.Frame().DrawTop = (frameSides & 0x01) != 0;
        label.Frame().DrawBottom = (frameSides & 0x02) != 0;
        label.Frame().DrawLeft = (frameSides & 0x04) != 0;
        label.Frame().DrawRight = (frameSides & 0x08) != 0;
        label.Frame().Width = frameWidth;
        label.SetCaption(caption);
        // Stored geometry is tenths of a millimetre of the designed pixel at 96 per inch.
        const auto native = [](std::int32_t p) { return static_cast<Extended>(p) * 254 / 96; };
        const std::array<Extended, TVpPrintableSize::kValueCount> values{native(pixels[3]), native(pixels[0]),
                                                                         native(pixels[1]), native(pixels[2])};
        label.Size().ReadValues(values);
        report.Loaded();
        if ((switches & 0x40) != 0) {
            // The report's own font is what a label without one prints in.
            report.SetFont(font);
        }

        const auto backend = Backend();
        report.SetPrinterFactory([backend] { return std::make_unique<TVpPrinter>(backend, 96); });
        // No window: Preview is one run into the page store.
        report.OnPreview = [](TVpReport&) {};
        report.Preview();
    } catch (const dw::Exception&) {
        // The program's own refusal is a fine outcome.
    }
    return 0;
}

#else

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t)
{
    return 0;
}

#endif
