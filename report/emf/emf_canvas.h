// SPDX-License-Identifier: MIT
#pragma once

// The canvas that records a page as an enhanced metafile of width x height
// pixels of a reference device with pixelsPerInch pixels per inch (the
// screen's, for stored pages). Fonts are measured with the same font the
// painter canvas uses at that resolution; every character's advance is
// written with the text, so the page lays out the same wherever it plays.
// Pens, brushes and fonts are selected explicitly before the drawing that
// needs them, replaced ones are deleted, and Finish() deletes the rest.

#include "report/emf/canvas.h"
#include "report/emf/emf_writer.h"
#include "report/emf/text_painting.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace dw {

class TEmfCanvas : public TVpCanvas {
public:
    TEmfCanvas(int width, int height, int pixelsPerInch = 96);

    void SetFont(const TCanvasFont& font, int pixelsPerInch) override;
    void SetBrush(TBrushStyle style, const QColor& color) override;
    void SetPen(const QColor& color, int width, TPenStyle style) override;
    void FillRect(const TRect& rect) override;
    void Rectangle(const TRect& rect) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const QString& text) override;
    QSize TextExtent(const QString& text) override;
    // Recorded as a picture: the metafile is played onto an image of the
    // rectangle's size, which is written with its transparency.
    void StretchDraw(const TRect& rect, const emf::EmfDocument& metafile) override;

    // Closes the metafile and returns its bytes; drawing afterwards raises
    // std::logic_error.
    std::vector<std::uint8_t> Finish();

private:
    struct PenSpec {
        std::uint32_t Style = 0;
        std::int32_t Width = 1;
        emf::ColorRef Color = 0;
        friend bool operator==(const PenSpec&, const PenSpec&) = default;
    };
    struct BrushSpec {
        std::uint32_t Style = 0;
        emf::ColorRef Color = 0;
        friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
    };
    struct FontSpec {
        emf::LogFontW Font;
        bool operator==(const FontSpec& other) const;
    };
    template <typename Spec>
    struct Selected {
        Spec Wanted;
        std::optional<Spec> Recorded;
        std::uint32_t Handle = 0;
    };

    void RealizePen();
    void RealizeBrush();
    void RealizeFont();
    // Creates, selects and deletes the replaced object of one kind.
    template <typename Spec, typename Create>
    void Realize(Selected<Spec>& selected, Create create);

    emf::EmfWriter m_writer;
    Selected<PenSpec> m_pen;
    Selected<BrushSpec> m_brush;
    Selected<FontSpec> m_font;
    PlacedFont m_measure;
    QColor m_textColor = Qt::black;
    std::optional<emf::ColorRef> m_recordedTextColor;
    bool m_brushClear = false;
};

emf::ColorRef ToColorRef(const QColor& color);

}  // namespace dw
