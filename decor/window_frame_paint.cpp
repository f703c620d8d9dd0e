// SPDX-License-Identifier: MIT
#include "decor/window_frame.h"

#include "decor/gradient_fill.h"
#include "design/design_fonts.h"
#include "design/designed_palette.h"
#include "design/text_line.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>

// How the frame looks: borders, caption bar, icon, title and buttons. What
// it does (hit tests, moving, sizing, the buttons' clicks) lives in
// window_frame.cpp.

namespace dw {

namespace {

// The caption font a desktop of the classic look uses; the families it names
// are mapped to an installed one with the same metrics.
QFont FrameCaptionFont()
{
    return DesignFont(QStringLiteral("MS Sans Serif"), 11, true);
}

}  // namespace

void TWindowFrame::DefaultPaint(QPainter& painter, const QRegion& region)
{
    if (m_borderStyle == TFormBorderStyle::bsNone)
        return;
    painter.save();
    painter.setClipRegion(region.subtracted(ClientRect()));
    const QPalette palette = m_window->palette();
    const QColor face = palette.color(QPalette::Button);
    const QColor light = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor darkShadow = palette.color(QPalette::Shadow);
    const QRect outer(QPoint(0, 0), m_window->size());

    // Everything outside the client area starts as frame face.
    painter.fillRect(outer, face);
    // The raised edge: face and white on the top-left, black and grey on the
    // bottom-right.
    const int w = outer.width(), h = outer.height();
    painter.fillRect(QRect(0, 0, w - 1, 1), face);
    painter.fillRect(QRect(0, 0, 1, h - 1), face);
    painter.fillRect(QRect(1, 1, w - 3, 1), light);
    painter.fillRect(QRect(1, 1, 1, h - 3), light);
    painter.fillRect(QRect(0, h - 1, w, 1), darkShadow);
    painter.fillRect(QRect(w - 1, 0, 1, h), darkShadow);
    painter.fillRect(QRect(1, h - 2, w - 2, 1), shadow);
    painter.fillRect(QRect(w - 2, 1, 1, h - 2), shadow);

    const QRect bar = CaptionBarRect();
    if (!bar.isEmpty()) {
        const TCaptionColours colours = DesktopCaptionColours();
        const QColor left = m_drawnActive ? colours.ActiveCaption : colours.InactiveCaption;
        if (colours.GradientCaptions)
            FillGradient(painter, bar, left, colours.EndColour(m_drawnActive), 64);
        else
            painter.fillRect(bar, left);

        int textLeft = bar.left() + 2;
        const QRect iconRect = IconRect();
        if (!iconRect.isEmpty()) {
            QIcon icon = m_window->windowIcon();
            if (icon.isNull())
                icon = m_window->style()->standardIcon(QStyle::SP_TitleBarMenuButton);
            painter.drawPixmap(iconRect, icon.pixmap(iconRect.size(), 1.0));
            textLeft = bar.left() + bar.height() + 2;
        }
        int textRight = bar.right();
        for (THitTest button : {THitTest::MinButton, THitTest::HelpButton, THitTest::MaxButton, THitTest::CloseButton})
            if (const QRect buttonFace = ButtonRect(button); !buttonFace.isEmpty())
                textRight = std::min(textRight, buttonFace.left() - 2);
        QFont font = FrameCaptionFont();
        font.setPixelSize(ScaledMeasure(font.pixelSize(), m_scale));
        const QRect textRect(textLeft, bar.top(), std::max(0, textRight - textLeft), bar.height());
        // A caption drawn by someone else (it took its place out of the
        // region) leaves nothing of the title to draw here.
        if (region.intersects(textRect)) {
            painter.setFont(font);
            painter.setPen(m_drawnActive ? colours.CaptionText : colours.InactiveCaptionText);
            // A title that fits, the usual case, is laid out once for measuring
            // and drawing; only a long one is shortened with an ellipsis.
            const TTextLine title(m_window->windowTitle(), font);
            if (title.Advance() <= textRect.width()) {
                title.Draw(painter,
                           QPointF(textRect.left(), textRect.top() + (textRect.height() - title.Height()) / 2));
            } else {
                const QFontMetrics fontMetrics(font, painter.device());
                painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                 fontMetrics.elidedText(m_window->windowTitle(), Qt::ElideRight, textRect.width()));
            }
        }

        for (THitTest button : {THitTest::MinButton, THitTest::MaxButton, THitTest::CloseButton, THitTest::HelpButton})
            PaintButton(painter, button);
    }
    painter.restore();
}

void TWindowFrame::PaintButton(QPainter& painter, THitTest button)
{
    const QRect face = ButtonRect(button);
    if (face.isEmpty())
        return;
    const QPalette palette = m_window->palette();
    const QColor faceColour = palette.color(QPalette::Button);
    const QColor light = palette.color(QPalette::Light);
    const QColor midlight = palette.color(QPalette::Midlight);
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor darkShadow = palette.color(QPalette::Shadow);
    const bool pressed = ButtonPressed(button);
    const bool enabled = ButtonEnabled(button);

    const int x = face.left(), y = face.top(), w = face.width(), h = face.height();
    painter.fillRect(face, faceColour);
    const QColor outerTopLeft = pressed ? darkShadow : light;
    const QColor innerTopLeft = pressed ? shadow : midlight;
    const QColor outerBottomRight = pressed ? light : darkShadow;
    const QColor innerBottomRight = pressed ? midlight : shadow;
    painter.fillRect(QRect(x, y, w - 1, 1), outerTopLeft);
    painter.fillRect(QRect(x, y, 1, h - 1), outerTopLeft);
    painter.fillRect(QRect(x + 1, y + 1, w - 3, 1), innerTopLeft);
    painter.fillRect(QRect(x + 1, y + 1, 1, h - 3), innerTopLeft);
    painter.fillRect(QRect(x, y + h - 1, w, 1), outerBottomRight);
    painter.fillRect(QRect(x + w - 1, y, 1, h), outerBottomRight);
    painter.fillRect(QRect(x + 1, y + h - 2, w - 2, 1), innerBottomRight);
    painter.fillRect(QRect(x + w - 2, y + 1, 1, h - 2), innerBottomRight);

    // The glyph, pixel by pixel so it stays crisp; a pressed button shows it
    // one pixel down and right, a disabled one embossed in grey.
    const int shift = pressed ? 1 : 0;
    auto glyph = [&](QPoint offset, const QColor& colour) {
        const int gx = x + offset.x() + shift, gy = y + offset.y() + shift;
        auto dot = [&](int px, int py, int pw, int ph) { painter.fillRect(QRect(gx + px, gy + py, pw, ph), colour); };
        const bool maximized = m_window->windowState() & Qt::WindowMaximized;
        switch (button) {
            case THitTest::MinButton:
                dot(4, h - 6, w - 10, 2);
                break;
            case THitTest::MaxButton:
                if (maximized) {
                    // Two windows, the front one lower left.
                    const int s = std::max(4, w - 10);
                    dot(5, 2, s, 2);
                    dot(5, 2, 1, s - 2);
                    dot(5 + s - 1, 2, 1, s);
                    dot(5 + s - 3, 2 + s - 1, 3, 1);
                    dot(3, 5, s, 2);
                    dot(3, 5, 1, s);
                    dot(3 + s - 1, 5, 1, s);
                    dot(3, 5 + s - 1, s, 1);
                } else {
                    const int bw = w - 7, bh = h - 5;
                    dot(3, 2, bw, 2);
                    dot(3, 2, 1, bh);
                    dot(3 + bw - 1, 2, 1, bh);
                    dot(3, 2 + bh - 1, bw, 1);
                }
                break;
            case THitTest::CloseButton: {
                const int s = std::min(w - 8, h - 6);
                const int cx = (w - s) / 2 - 1, cy = (h - s) / 2;
                for (int i = 0; i < s; ++i) {
                    dot(cx + i, cy + i, 2, 1);
                    dot(cx + s - 1 - i, cy + i, 2, 1);
                }
                break;
            }
            case THitTest::HelpButton: {
                QFont font = FrameCaptionFont();
                painter.setFont(font);
                painter.setPen(colour);
                painter.drawText(QRect(gx, gy, w - 1, h - 1), Qt::AlignCenter, QStringLiteral("?"));
                break;
            }
            default:
                break;
        }
    };
    if (enabled) {
        glyph(QPoint(0, 0), palette.color(QPalette::ButtonText));
    } else {
        glyph(QPoint(1, 1), light);
        glyph(QPoint(0, 0), shadow);
    }
}

}  // namespace dw
