// SPDX-License-Identifier: MIT
#pragma once

// Pages drawn through the canvas interface, the same way onto a painter or
// into a metafile: a report page of labels, frames and lines, font styles,
// and the awkward edges.

#include "report/emf/canvas.h"
#include "report/emf/emf_canvas.h"
#include "report/emf/emf_reader.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace dw::emf::test {

struct Scene {
    const char* Name;
    int Width;
    int Height;
    std::function<void(TVpCanvas&)> Draw;
};

inline TCanvasFont Font(const char* name, int size, bool bold = false, QColor color = Qt::black)
{
    TCanvasFont font;
    font.Name = QString::fromUtf8(name);
    font.Size = size;
    font.Style.Bold = bold;
    font.Color = color;
    return font;
}

// A label as the engine prints one: a white box the size of the caption
// plus one pixel, then the caption at its top-left corner.
inline void Label(TVpCanvas& canvas, int x, int y, const QString& caption)
{
    const QSize extent = canvas.TextExtent(caption);
    canvas.SetBrush(TBrushStyle::bsSolid, Qt::white);
    canvas.FillRect({x, y, x + extent.width() + 1, y + extent.height() + 1});
    canvas.TextOut(x, y, caption);
}

// An A3 page at 96 pixels per inch with 60 labels in two columns.
inline void ReportPage(TVpCanvas& canvas)
{
    canvas.SetFont(Font("Arial", 12, true), 96);
    Label(canvas, 128, 48, QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    canvas.SetFont(Font("Arial", 10), 96);
    for (int i = 0; i < 59; ++i) {
        const int x = i < 30 ? 48 : 600;
        const int y = 95 + (i % 30) * 45;
        if (i % 3 == 0)
            Label(canvas, x, y, QStringLiteral("Вес талевого блока %1").arg(i));
        else if (i % 3 == 1)
            Label(canvas, x, y, QStringLiteral("%1,%2 т.").arg(1000 + 37 * i).arg(i % 100, 2, 10, QLatin1Char('0')));
        else
            Label(canvas, x, y, QStringLiteral("Length of section %1: 1 234,5 m").arg(i));
    }
}

inline void FramesAndLines(TVpCanvas& canvas)
{
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(200, 230, 255));
    canvas.FillRect({10, 10, 390, 290});
    canvas.SetPen(Qt::black, 1, TPenStyle::psSolid);
    canvas.SetBrush(TBrushStyle::bsSolid, Qt::yellow);
    canvas.Rectangle({20, 20, 120, 80});
    canvas.SetPen(Qt::red, 3, TPenStyle::psSolid);
    canvas.SetBrush(TBrushStyle::bsClear, Qt::white);
    canvas.Rectangle({140, 20, 240, 80});
    canvas.SetPen(Qt::black, 1, TPenStyle::psClear);
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(0, 128, 0));
    canvas.Rectangle({260, 20, 360, 80});
    // A frame as the engine draws it: one-pixel lines, end points excluded.
    canvas.SetPen(QColor(0, 0, 128), 1, TPenStyle::psSolid);
    for (int k = 0; k < 4; ++k) {
        canvas.MoveTo(20, 100 + k);
        canvas.LineTo(360, 100 + k);
        canvas.MoveTo(20 + k, 100);
        canvas.LineTo(20 + k, 200);
    }
    const TPenStyle styles[] = {TPenStyle::psDash, TPenStyle::psDot, TPenStyle::psDashDot, TPenStyle::psDashDotDot};
    int y = 210;
    for (TPenStyle style : styles) {
        canvas.SetPen(Qt::black, 1, style);
        canvas.MoveTo(40, y);
        canvas.LineTo(360, y);
        y += 10;
    }
    canvas.SetPen(Qt::darkMagenta, 5, TPenStyle::psSolid);
    canvas.MoveTo(60, 130);
    canvas.LineTo(300, 190);
    canvas.SetPen(Qt::black, 1, TPenStyle::psSolid);
    canvas.MoveTo(300, 130);
    canvas.LineTo(60, 190);
}

inline void FontStyles(TVpCanvas& canvas)
{
    int y = 10;
    const int sizes[] = {8, 10, 12, 14, 24};
    for (int size : sizes) {
        canvas.SetFont(Font("Arial", size), 96);
        canvas.TextOut(10, y, QStringLiteral("Размер %1 pt: 0123456789").arg(size));
        y += canvas.TextExtent(QStringLiteral("W")).height() + 4;
    }
    TCanvasFont styled = Font("MS Sans Serif", 10, true, Qt::darkRed);
    canvas.SetFont(styled, 96);
    canvas.TextOut(10, y, QStringLiteral("Bold жирный"));
    styled.Style = {false, true, true, false};
    styled.Color = Qt::blue;
    canvas.SetFont(styled, 96);
    canvas.TextOut(200, y, QStringLiteral("Italic underlined"));
    styled.Style = {false, false, false, true};
    styled.Color = Qt::darkGreen;
    canvas.SetFont(styled, 96);
    y += 24;
    canvas.TextOut(10, y, QStringLiteral("Struck out: 12,5"));
    canvas.SetFont(Font("Times New Roman", 14), 96);
    canvas.TextOut(200, y, QStringLiteral("Times 14 — «ёЁ»"));
}

inline void Edges(TVpCanvas& canvas)
{
    canvas.SetFont(Font("Arial", 10), 96);
    canvas.TextOut(-20, -5, QStringLiteral("cut off at the corner"));
    canvas.TextOut(10, 40, QString());
    canvas.SetBrush(TBrushStyle::bsSolid, Qt::black);
    canvas.FillRect({50, 50, 50, 90});  // empty
    canvas.FillRect({60, 60, 61, 61});  // one pixel
    canvas.SetPen(Qt::black, 0, TPenStyle::psSolid);
    canvas.MoveTo(70, 70);
    canvas.LineTo(70, 70);  // nothing
    canvas.LineTo(71, 70);  // one pixel
    canvas.TextOut(10, 80, QStringLiteral("tab\there, ctrl\x01 and \U0001F600 pair"));
    canvas.TextOut(150, 120, QStringLiteral("past the edge of the page ......"));
}

// A small recorded picture stretched into the page twice, once enlarged.
inline void StretchDrawn(TVpCanvas& canvas)
{
    TEmfCanvas picture(200, 150, 96);
    FramesAndLines(picture);
    const EmfDocument document(picture.Finish());
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(255, 240, 200));
    canvas.FillRect({0, 0, 300, 200});
    canvas.StretchDraw({10, 10, 110, 85}, document);
    canvas.StretchDraw({120, 20, 290, 190}, document);
}

inline std::vector<Scene> Scenes()
{
    return {
        {"ReportPage", 1123, 1587, ReportPage},   {"FramesAndLines", 400, 300, FramesAndLines},
        {"FontStyles", 400, 200, FontStyles},     {"Edges", 200, 140, Edges},
        {"StretchDrawn", 300, 200, StretchDrawn},
    };
}

}  // namespace dw::emf::test
