// SPDX-License-Identifier: MIT
#include "report/elements/label.h"

#include "common/scope_exit.h"
#include "report/elements/text_measure.h"
#include "report/output/export_filter.h"
#include "report/output/vp_printer.h"

#include <algorithm>
#include <cstdint>

namespace dw {

namespace {

QString WithoutTrailingSpaces(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == QLatin1Char(' ')) --end;
    return line.left(end);
}

}  // namespace

TVpCustomLabel::TVpCustomLabel(const VpEnvironment& environment) : TVpPrintable(environment) {}

void TVpCustomLabel::SetName(const std::string& name)
{
    const QString oldName = QString::fromStdString(Name());
    TVpPrintable::SetName(name);
    if (m_caption.isEmpty() || m_caption == oldName)
        SetCaption(QString::fromStdString(name));
}

void TVpCustomLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    // A form being loaded lays nothing out: the stored size decides until
    // the caption is set again, and start-up measures no text.
    if (!Loading())
        FormatLines();
}

void TVpCustomLabel::SetLines(const QStringList& lines)
{
    m_lines = lines;
    if (!Loading())
        FormatLines();
}

void TVpCustomLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize && !Loading())
        FormatLines();
}

TCanvasFont TVpCustomLabel::Font() const
{
    const IVpElementReport* report = ParentReport();
    return m_parentFont && report != nullptr ? report->Font() : m_font;
}

void TVpCustomLabel::SetFont(const TCanvasFont& font)
{
    m_font = font;
    m_parentFont = false;
    if (!Loading())
        FormatLines();
}

void TVpCustomLabel::Loaded()
{
    TVpPrintable::Loaded();
    if (m_storedFontSize > 0) {
        TCanvasFont font = Font();
        if (font.Size != m_storedFontSize) {
            font.Size = m_storedFontSize;
            SetFont(font);
        }
    }
}

void TVpCustomLabel::SetAlignment(TAlignment alignment)
{
    TVpPrintable::SetAlignment(alignment);
    if (alignment != TAlignment::taLeftJustify)
        m_autoSize = false;
}

void TVpCustomLabel::ParentChanged()
{
    if (!Loading())
        FormatLines();
}

void TVpCustomLabel::BeforePrint()
{
    TVpPrintable::BeforePrint();
    SetCaption(m_caption);
}

QSize TVpCustomLabel::MeasureExtent(const QString& text)
{
    if (IVpElementReport* report = ParentReport()) {
        TVpMeasuringDevice& device = report->MeasuringDevice();
        device.SetFont(Font());
        return device.TextExtent(text);
    }
    // Without a report the label measures on a screen device of its own,
    // with the font enlarged by its zoom instead. Not kept: a font held in a
    // static would outlive the application object that fonts need.
    TVpMeasuringDevice own(96);
    TCanvasFont font = Font();
    font.Size = ScaleByZoom(font.Size);
    own.SetFont(font);
    return own.TextExtent(text);
}

int TVpCustomLabel::ScaleByZoom(int pixels) const
{
    return RoundPixel(static_cast<Extended>(pixels) * Size().Zoom() * 0.01L);
}

int TVpCustomLabel::TextWidth(const QString& text)
{
    const int width = MeasureExtent(text).width() + 1;
    return ParentReport() != nullptr ? ScaleByZoom(width) : width;
}

int TVpCustomLabel::TextHeight()
{
    const int height = MeasureExtent(QStringLiteral("A")).height();
    return ParentReport() != nullptr ? ScaleByZoom(height) : height;
}

void TVpCustomLabel::BreakAtSpaces(const QString& line, int width)
{
    if (line.isEmpty()) {
        m_formattedLines.append(QString());
        return;
    }
    // Advances add up character by character, so the width of "line, space,
    // word" is the sum of the three: each word is measured once, and a long
    // caption costs no more than its length.
    const QStringList words = line.split(QLatin1Char(' '));
    const auto extent = [this](const QString& text) { return static_cast<std::int64_t>(MeasureExtent(text).width()); };
    const std::int64_t space = extent(QStringLiteral(" "));
    const auto tooWide = [this, width](std::int64_t advance) {
        Extended pixels = static_cast<Extended>(advance + 1);
        if (ParentReport() != nullptr)
            pixels = pixels * Size().Zoom() * 0.01L;
        return RoundPixel(std::min<Extended>(pixels, 1e9L)) > width;
    };
    QString current;
    std::int64_t currentAdvance = 0;
    for (const QString& word : words) {
        const std::int64_t wordAdvance = extent(word);
        if (!current.isEmpty() && tooWide(currentAdvance + space + wordAdvance)) {
            m_formattedLines.append(current);
            current = word;
            currentAdvance = wordAdvance;
        } else if (current.isEmpty()) {
            current = word;
            currentAdvance = wordAdvance;
        } else {
            current += QLatin1Char(' ') + word;
            currentAdvance += space + wordAdvance;
        }
    }
    m_formattedLines.append(current);
}

void TVpCustomLabel::FormatLines()
{
    if (!HasParent())
        return;
    const QStringList source = m_caption.isEmpty() ? m_lines : QStringList{m_caption};
    m_formattedLines.clear();
    if (m_autoSize || !m_wordWrap) {
        m_formattedLines = source;
    } else {
        const int width = PixelBounds().Width;
        for (const QString& line : source) BreakAtSpaces(line, width);
    }

    PixelRect bounds = PixelBounds();
    if (m_autoSize) {
        if (m_autoSizing)
            return;
        const auto sizing = RaiseForScope(m_autoSizing);
        int width = 0;
        for (const QString& line : m_formattedLines) width = std::max(width, TextWidth(line));
        if (Frame().DrawLeft)
            width += Frame().Width;
        if (Frame().DrawRight)
            width += Frame().Width;
        bounds.Width = width;
        if (m_lines.isEmpty())
            bounds.Height = ParentReport() != nullptr ? TextHeight() + 1 : MeasureExtent(QStringLiteral("W")).height();
    } else if (ParentReport() != nullptr) {
        bounds.Height = std::max(bounds.Height, TextHeight() + 1);
    }
    if (bounds != PixelBounds())
        SetBounds(bounds);
}

void TVpCustomLabel::Print(Extended offsetX, Extended offsetY)
{
    TVpPrinter* printer = VpPrinter();
    if (printer == nullptr || printer->Canvas() == nullptr)
        return;
    const Extended left = Size().NativeValue(TVpPrintableSize::kLeft);
    const Extended top = Size().NativeValue(TVpPrintableSize::kTop);
    const Extended width = Size().NativeValue(TVpPrintableSize::kWidth);
    const Extended height = Size().NativeValue(TVpPrintableSize::kHeight);

    // A caption an OnPrint handler replaced goes back when the print ends,
    // also when the print fails half-way.
    bool replaced = false;
    const ScopeExit restore([this, &replaced, caption = m_caption] {
        if (!replaced)
            return;
        try {
            SetCaption(caption);
        } catch (...) {
            // The caption itself is back; only its layout failed.
        }
    });
    if (!m_caption.isEmpty() && OnPrint) {
        QString text = m_caption;
        OnPrint(*this, text);
        if (text != m_caption) {
            replaced = true;
            SetCaption(text);
        } else {
            FormatLines();
        }
    } else {
        FormatLines();
    }
    PrintLines(left + offsetX, top + offsetY, width, height);

    if (StoringPages() && Frame().AnyFrame()) {
        const TRect rect{printer->XPos(left + offsetX), printer->YPos(top + offsetY),
                         printer->XPos(left + offsetX + width), printer->YPos(top + offsetY + height)};
        Frame().Draw(*printer->Canvas(), rect, printer->XFactor(), printer->YFactor());
    }
}

void TVpCustomLabel::PrintLines(Extended x, Extended y, Extended width, Extended height)
{
    TVpPrinter& printer = *VpPrinter();
    const TCanvasFont font = Font();
    TVpCanvas* canvas = printer.Canvas();
    canvas->SetFont(font, printer.CanvasPixelsPerInch());
    const Extended lineHeight = canvas->TextExtent(QStringLiteral("W")).height() / printer.YFactor();

    const bool storing = StoringPages();
    const auto fill = [&](Extended top, Extended bottom) {
        if (!storing || m_transparent)
            return;
        printer.Canvas()->SetBrush(TBrushStyle::bsSolid, Color());
        printer.Canvas()->FillRect({printer.XPos(x), printer.YPos(top), printer.XPos(x + width), printer.YPos(bottom)});
    };
    fill(y, y + height);
    if (storing && Frame().AnyFrame()) {
        const int offset = Frame().ContentOffset();
        if (Frame().DrawTop)
            y += offset;
        if (Frame().DrawLeft)
            x += offset;
    }
    Extended limit = y + height + 1;
    TVpExportFilter* filter = ParentReport() != nullptr ? ParentReport()->ExportFilter() : nullptr;

    for (QString line : m_formattedLines) {
        if (y + lineHeight > limit) {
            // Growth needs a band to grow; a label directly on the report
            // keeps to its size.
            if (!m_autoStretch || ParentBand() == nullptr)
                break;
            line = WithoutTrailingSpaces(line);
            if (line.isEmpty())
                break;
            const TVpBandGrowth growth = ParentBand()->GrowForLine(lineHeight);
            if (growth.Moved) {
                y = growth.NewY;
                x += growth.DeltaX;
                canvas = printer.Canvas();
                if (canvas == nullptr)
                    return;
                canvas->SetFont(font, printer.CanvasPixelsPerInch());
            }
            limit = y + lineHeight;
            fill(y, limit);
        }
        Extended reference = x;
        if (Alignment() == TAlignment::taRightJustify)
            reference = x + width;
        else if (Alignment() == TAlignment::taCenter)
            reference = x + width * 0.5L;
        if (storing && !line.isEmpty()) {
            int left = printer.XPos(reference);
            if (Alignment() != TAlignment::taLeftJustify) {
                const int textWidth = canvas->TextExtent(line).width();
                left = static_cast<int>(std::clamp<std::int64_t>(
                    std::int64_t{left} - (Alignment() == TAlignment::taRightJustify ? textWidth : textWidth / 2),
                    INT32_MIN, INT32_MAX));
            }
            canvas->TextOut(left, printer.YPos(y), line);
        }
        if (filter != nullptr)
            filter->PlaceText(reference, y, font, Color(), Alignment(), line.toStdString());
        y += lineHeight;
    }
}

}  // namespace dw
