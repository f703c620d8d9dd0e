// SPDX-License-Identifier: MIT
#pragma once

// What a recorded page holds, in the terms the report tests ask about: the
// texts with their reference points and fonts, and the filled rectangles.

#include "report/emf/emf_reader.h"
#include "report/output/vp_printer.h"
#include "report/generation/report.h"
#include "tests/support/printer_test_support.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace dw::test {

struct PageText {
    int X = 0;
    int Y = 0;
    QString Text;
    QString Face;
    int Height = 0;  // character height in pixels (the font's height, made positive)
    bool Bold = false;
    friend bool operator==(const PageText&, const PageText&) = default;
};

struct PageFill {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const PageFill&, const PageFill&) = default;
};

struct PageRecords {
    std::vector<PageText> Texts;
    std::vector<PageFill> Fills;
    int Lines = 0;  // LINETO records
};

inline PageRecords ReadPage(const emf::EmfDocument& page)
{
    PageRecords result;
    std::vector<std::pair<std::uint32_t, emf::LogFontW>> fonts;
    emf::LogFontW current;
    for (const emf::EmfRecord& record : page.Records()) {
        if (const auto* font = std::get_if<emf::FontRecord>(&record)) {
            fonts.emplace_back(font->Index, font->Font);
        } else if (const auto* value = std::get_if<emf::ValueRecord>(&record)) {
            if (value->Type == emf::kEmrSelectObject)
                for (const auto& [index, f] : fonts)
                    if (index == value->Value)
                        current = f;
        } else if (const auto* text = std::get_if<emf::TextRecord>(&record)) {
            result.Texts.push_back({text->Reference.X, text->Reference.Y, QString::fromStdU16String(text->Text),
                                    QString::fromStdU16String(current.FaceName), std::abs(current.Height),
                                    current.Weight >= 700});
        } else if (const auto* blt = std::get_if<emf::BltRecord>(&record)) {
            if (blt->Rop == emf::kPatCopy)
                result.Fills.push_back({blt->XDest, blt->YDest, blt->CxDest, blt->CyDest});
        } else if (const auto* point = std::get_if<emf::PointRecord>(&record)) {
            if (point->Type == emf::kEmrLineTo)
                ++result.Lines;
        }
    }
    return result;
}

// A screen of 96 pixels per inch that measures in millimetres.
inline VpEnvironment Screen()
{
    return VpEnvironment{96, false};
}

// A backend with one printer that takes A3 and A4, at 600 dpi.
inline std::shared_ptr<FakeBackend> A3Backend()
{
    auto backend = std::make_shared<FakeBackend>();
    backend->Printers.push_back(MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4, 600));
    backend->Default = "Office";
    return backend;
}

inline void UseBackend(TVpReport& report, std::shared_ptr<FakeBackend> backend)
{
    report.SetPrinterFactory([backend] { return std::make_unique<TVpPrinter>(backend, 96); });
}

// Runs Preview with a stand-in preview that stays attached until the
// report's run has ended, hands the printer object with its pages to
// inspect, then detaches, as closing the window does.
inline void PreviewAndInspect(TVpReport& report, const std::function<void(TVpPrinter&)>& inspect)
{
    // Looks again until the run has ended (a run that never begins a
    // document leaves the printer ready: a few rounds decide that).
    std::function<void(TVpPrinter*, int)> whenDone;
    whenDone = [&report, &inspect, &whenDone](TVpPrinter* printer, int rounds) {
        QTimer::singleShot(0, [&report, &inspect, &whenDone, printer, rounds] {
            const bool ended = report.Available() && (printer->Status() != TVpPrinterStatus::Ready || rounds > 20);
            if (!ended) {
                whenDone(printer, rounds + 1);
                return;
            }
            inspect(*printer);
            printer->SetShowingPreview(false);
        });
    };
    SetStandardPreviewFactory([&whenDone](TVpPrinter& printer) {
        printer.SetShowingPreview(true);
        whenDone(&printer, 0);
    });
    report.Preview();
    SetStandardPreviewFactory(nullptr);
}

}  // namespace dw::test
