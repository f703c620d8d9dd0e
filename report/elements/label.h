// SPDX-License-Identifier: MIT
#pragma once

#include "report/elements/printable.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace dw {

// A printable caption, broken into lines. Setting the caption lays the lines
// out again; an auto-sized label then takes the size of its text as the
// screen shows it, keeping its left and top.
class TVpCustomLabel : public TVpPrintable {
public:
    // May give another text for this print only.
    using TPrintEvent = std::function<void(TVpCustomLabel& sender, QString& caption)>;

    explicit TVpCustomLabel(const VpEnvironment& environment);

    void SetName(const std::string& name) override;

    const QString& Caption() const noexcept { return m_caption; }
    void SetCaption(const QString& caption);
    // The source text when Caption is empty.
    const QStringList& Lines() const noexcept { return m_lines; }
    void SetLines(const QStringList& lines);
    // The lines as they will be printed.
    const QStringList& FormattedLines() const noexcept { return m_formattedLines; }

    bool AutoSize() const noexcept { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    bool AutoStretch() const noexcept { return m_autoStretch; }
    void SetAutoStretch(bool autoStretch) noexcept { m_autoStretch = autoStretch; }
    bool WordWrap() const noexcept { return m_wordWrap; }
    void SetWordWrap(bool wordWrap) noexcept { m_wordWrap = wordWrap; }
    bool Transparent() const noexcept { return m_transparent; }
    void SetTransparent(bool transparent) noexcept { m_transparent = transparent; }

    // The report's font while ParentFont is set, the label's own otherwise.
    TCanvasFont Font() const;
    // Gives the label a font of its own.
    void SetFont(const TCanvasFont& font);
    bool ParentFont() const noexcept { return m_parentFont; }

    // Stored with the form: the point size the label prints at, whatever the
    // resolution of the screen the form was stored on.
    void ReadFontSize(int size) noexcept { m_storedFontSize = size; }
    int WriteFontSize() const { return Font().Size; }
    void Loaded() override;

    TPrintEvent OnPrint;

    void SetAlignment(TAlignment alignment) override;
    void ParentChanged() override;
    void BeforePrint() override;
    void Print(Extended offsetX, Extended offsetY) override;

    void FormatLines();
    // Pixels on the measuring device at the label's zoom: a line's width
    // (its extent plus one) and the height of a character cell.
    int TextWidth(const QString& text);
    int TextHeight();

private:
    QSize MeasureExtent(const QString& text);
    int ScaleByZoom(int pixels) const;
    void BreakAtSpaces(const QString& line, int width);
    void PrintLines(Extended x, Extended y, Extended width, Extended height);

    QString m_caption;
    QStringList m_lines;
    QStringList m_formattedLines;
    TCanvasFont m_font;
    bool m_parentFont = true;
    bool m_autoSize = true;
    bool m_autoStretch = false;
    bool m_wordWrap = true;
    bool m_transparent = false;
    bool m_autoSizing = false;
    int m_storedFontSize = 0;
};

class TVpLabel : public TVpCustomLabel {
public:
    using TVpCustomLabel::TVpCustomLabel;
};

}  // namespace dw
