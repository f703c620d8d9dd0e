// SPDX-License-Identifier: MIT
#include "tests/support/preview_test_support.h"

#include "report/emf/canvas.h"
#include "report/output/printer_settings.h"

namespace dw::test {

std::unique_ptr<TVpPrinter> MakeA3Printer()
{
    auto printer = std::make_unique<TVpPrinter>(std::make_shared<NoPrinters>(), 96);
    printer->SetPaperSize(TVpPaperSize::A3);
    return printer;
}

void DrawPage(TVpPrinter& printer, int n, int pointSize)
{
    TVpCanvas* canvas = printer.Canvas();
    if (canvas == nullptr) {
        return;
    }
    canvas->SetFont(TCanvasFont{QStringLiteral("Arial"), pointSize, {}, Qt::black}, printer.CanvasPixelsPerInch());
    canvas->TextOut(printer.XPos(300), printer.YPos(300), QStringLiteral("Page %1").arg(n));
    canvas->SetBrush(TBrushStyle::bsSolid, QColor(0, 0, 255));
    canvas->FillRect(TRect{printer.XPos(300), printer.YPos(500), printer.XPos(300 + 100 * n), printer.YPos(600)});
}

void RunPages(TVpPrinter& printer, int pageCount)
{
    printer.BeginDoc();
    for (int n = 1; n <= pageCount; ++n) {
        printer.NewPage();
        DrawPage(printer, n);
    }
    printer.EndDoc();
}

}  // namespace dw::test
