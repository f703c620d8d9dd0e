// SPDX-License-Identifier: MIT
#pragma once

#include "report/emf/canvas.h"
#include "report/emf/text_painting.h"

#include <QSize>
#include <QString>

#include <memory>

namespace dw {

// The report's measuring device: a memory context compatible with the
// screen. Labels lay their lines out on it, so a label's size on the sheet is
// the size of its text on the screen the report was laid out for, whatever
// device prints it later. Fonts are realised at the device's resolution, as
// the recording canvas realises them, so a measured width is the width the
// page is drawn with.
class TVpMeasuringDevice {
public:
    explicit TVpMeasuringDevice(int pixelsPerInch = 96);

    // Selects the font; selecting the same font again costs nothing.
    void SetFont(const TCanvasFont& font);
    // Sum of the character advances and the height of a character cell.
    QSize TextExtent(const QString& text);

private:
    int m_pixelsPerInch;
    TCanvasFont m_font;
    std::unique_ptr<PlacedFont> m_placed;
};

}  // namespace dw
