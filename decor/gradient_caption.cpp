// SPDX-License-Identifier: MIT
#include "decor/gradient_caption.h"
#include "design/design_fonts.h"

#include "decor/gradient_fill.h"
#include "decor/window_frame.h"
#include "window/window_hook.h"
#include "window/window_messages.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace dw {

namespace {

// Text is measured on the kind of device it is painted on.
const QPaintDevice* MeasuringDevice()
{
    static const QImage device(1, 1, QImage::Format_RGB32);
    return &device;
}

int TextWidth(const QString& text, const QFont& font)
{
    return QFontMetrics(font, MeasuringDevice()).horizontalAdvance(text);
}

}  // namespace

TCaptionPart::TCaptionPart(TGradientCaption* owner) : m_owner(owner), m_font(owner->Font()) {}

void TCaptionPart::SetFont(const QFont& value)
{
    m_font = value;
    m_parentFont = false;
}

QColor TCaptionPart::FontColor() const
{
    if (m_parentFont)
        return m_owner->FontColor();
    return DesktopCaptionColours().CaptionText;
}

QColor TCaptionPart::InactiveColor() const
{
    return m_inactiveColor.isValid() ? m_inactiveColor : DesktopCaptionColours().InactiveCaptionText;
}

TCaptionPart& TCaptionPartList::Add()
{
    m_items.push_back(std::make_unique<TCaptionPart>(m_owner));
    TCaptionPart& part = *m_items.back();
    m_owner->Refresh();
    return part;
}

TGradientCaption::TGradientCaption(QWidget* owner)
    : QObject(owner), m_owner(owner), m_captions(this), m_font(SystemCaptionFont())
{
    setObjectName(QStringLiteral("GradientCaption"));
    m_hook = new TWindowHook(this);
    m_hook->SetWindow(owner);
    m_hook->SetBeforeMessage([this](TWindowMessage& message) { Before(message); });
    m_hook->SetAfterMessage([this](TWindowMessage& message) { After(message); });
    Refresh();
}

TGradientCaption::~TGradientCaption()
{
    // No handler may reach a caption half torn down.
    m_hook->Detach();
    // The frame draws the caption itself from now on.
    if (TWindowFrame* frame = TWindowFrame::Of(m_owner))
        frame->RedrawNonClient();
}

QFont TGradientCaption::SystemCaptionFont()
{
    return DesignFont(QStringLiteral("MS Sans Serif"), 11, true);
}

bool TGradientCaption::InEffect() const
{
    return m_active && m_owner && m_owner->isWindow();
}

void TGradientCaption::Refresh()
{
    const bool inEffect = InEffect();
    m_hook->SetActive(inEffect);
    m_drawnActive = false;
    if (m_owner && m_owner->isVisible()) {
        if (inEffect)
            m_drawnActive = m_owner->isActiveWindow();
        if (TWindowFrame* frame = TWindowFrame::Of(m_owner))
            frame->RedrawNonClient();
    }
}

void TGradientCaption::SetActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    Refresh();
    if (value)
        emit OnActivate(this);
    else
        emit OnDeactivate(this);
}

void TGradientCaption::SetDefaultFont(bool value)
{
    if (value == m_defaultFont)
        return;
    m_defaultFont = value;
    if (value) {
        m_font = SystemCaptionFont();
        ApplyParentFont();
    }
    Refresh();
}

void TGradientCaption::SetFormCaption(const QString& value)
{
    if (value == m_formCaption)
        return;
    m_formCaption = value;
    Refresh();
}

QColor TGradientCaption::FontInactiveColor() const
{
    return m_fontInactiveColor.isValid() ? m_fontInactiveColor : DesktopCaptionColours().InactiveCaptionText;
}

void TGradientCaption::SetFontInactiveColor(const QColor& value)
{
    if (value == m_fontInactiveColor)
        return;
    m_fontInactiveColor = value;
    if (!m_drawnActive)
        Refresh();
}

void TGradientCaption::SetFont(const QFont& value)
{
    m_font = value;
    m_defaultFont = false;
    ApplyParentFont();
}

QColor TGradientCaption::FontColor() const
{
    return DesktopCaptionColours().CaptionText;
}

void TGradientCaption::ApplyParentFont()
{
    for (int i = 0; i < m_captions.Count(); ++i)
        if (m_captions[i].m_parentFont)
            m_captions[i].m_font = m_font;
}

bool TGradientCaption::LookHasGradient() const
{
    return m_drawnActive ? m_gradientActive : m_gradientInactive;
}

void TGradientCaption::SetGradientActive(bool value)
{
    if (value == m_gradientActive)
        return;
    m_gradientActive = value;
    if (m_drawnActive)
        Refresh();
}

void TGradientCaption::SetGradientInactive(bool value)
{
    if (value == m_gradientInactive)
        return;
    m_gradientInactive = value;
    if (!m_drawnActive)
        Refresh();
}

void TGradientCaption::SetGradientSteps(int value)
{
    if (value == m_gradientSteps)
        return;
    m_gradientSteps = value;
    if (LookHasGradient())
        Refresh();
}

void TGradientCaption::SetHideDirection(THideDirection value)
{
    if (value == m_hideDirection)
        return;
    m_hideDirection = value;
    Refresh();
}

QMenu* TGradientCaption::PopupMenu() const
{
    return m_popupMenu;
}

void TGradientCaption::SetPopupMenu(QMenu* value)
{
    m_popupMenu = value;
}

QColor TGradientCaption::StartColor() const
{
    return m_startColor.isValid() ? m_startColor : DesktopCaptionColours().WindowText;
}

void TGradientCaption::SetStartColor(const QColor& value)
{
    if (value == m_startColor)
        return;
    m_startColor = value;
    Refresh();
}

QRect TGradientCaption::CaptionRect() const
{
    if (!m_owner)
        return {};
    if (const TWindowFrame* frame = TWindowFrame::Of(m_owner))
        return dw::CaptionRect(m_owner->size(), frame->BorderStyle(), frame->BorderIcons(), frame->Scale());
    return dw::CaptionRect(m_owner->size(), TFormBorderStyle::bsSizeable, biSystemMenu | biMinimize | biMaximize);
}

bool TGradientCaption::ShowsIcon() const
{
    const TWindowFrame* frame = TWindowFrame::Of(m_owner);
    if (!frame)
        return false;
    const TFormBorderStyle style = frame->BorderStyle();
    return (EffectiveCaptionButtons(style, frame->BorderIcons()).Icons & biSystemMenu) &&
           (style == TFormBorderStyle::bsSingle || style == TFormBorderStyle::bsSizeable);
}

QString TGradientCaption::ShortenText(const QString& text, int width, const QFontMetrics& metrics)
{
    // Cut by characters, not by UTF-16 units, so no pair is split.
    const QList<uint> characters = text.toUcs4();
    const int length = static_cast<int>(characters.size());
    QString shortened = text;
    for (int i = 1; i <= length; ++i) {
        if (metrics.horizontalAdvance(shortened) <= width)
            break;
        const int keep = std::max(0, length - i - 1);
        shortened =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), keep) + QStringLiteral("...");
    }
    return shortened;
}

std::vector<TGradientCaption::TCaptionText> TGradientCaption::LayoutTexts(int width, int textLeft, bool active) const
{
    struct Piece {
        QString text;
        QFont font;
        QColor color;
        bool glueNext;
    };
    // With the frame drawn larger, its caption's text is too.
    const TWindowFrame* frame = TWindowFrame::Of(m_owner);
    const int scale = frame ? frame->Scale() : 100;
    const auto scaled = [scale](QFont font) {
        if (scale != 100) {
            if (font.pixelSize() > 0)
                font.setPixelSize(ScaledMeasure(font.pixelSize(), scale));
            else
                font.setPointSizeF(font.pointSizeF() * scale / 100.0);
        }
        return font;
    };
    const QFont formFont = scaled(m_font);
    std::vector<Piece> parts;
    for (int i = 0; i < m_captions.Count(); ++i) {
        const TCaptionPart& part = m_captions[i];
        if (!part.Visible())
            continue;
        const QFont font = scaled(part.ParentFont() ? m_font : part.Font());
        const QColor color = active ? part.FontColor() : part.InactiveColor();
        parts.push_back({part.Caption(), font, color, part.GlueNext()});
    }
    std::vector<TCaptionText> laidOut;
    if (m_formCaption.isEmpty() && parts.empty())
        return laidOut;

    std::size_t first = 0;
    if (m_hideDirection == THideDirection::hdLeftToRight) {
        // The parts on the left give way first, each with those glued to it.
        int needed = 2 + TextWidth(m_formCaption, formFont);
        for (const Piece& part : parts) needed += TextWidth(part.text, part.font);
        while (needed > width - textLeft && first < parts.size()) {
            bool glued = false;
            do {
                needed -= TextWidth(parts[first].text, parts[first].font);
                glued = parts[first].glueNext;
                ++first;
            } while (glued && first < parts.size());
        }
    }
    std::vector<Piece> drawn(parts.begin() + static_cast<std::ptrdiff_t>(first), parts.end());
    if (!m_formCaption.isEmpty())
        drawn.push_back({m_formCaption, formFont, active ? FontColor() : FontInactiveColor(), false});

    int left = textLeft + 2;
    for (const Piece& piece : drawn) {
        if (m_hideDirection == THideDirection::hdRightToLeft && left >= width)
            break;
        const QFontMetrics metrics(piece.font, MeasuringDevice());
        const QString text = ShortenText(piece.text, width - left, metrics);
        const int textWidth = metrics.horizontalAdvance(text);
        laidOut.push_back({text, piece.font, piece.color, left, textWidth});
        left += textWidth;
    }
    return laidOut;
}

QImage TGradientCaption::RenderCaption(QSize size, bool active) const
{
    QImage image(size, QImage::Format_RGB32);
    if (size.isEmpty())
        return image;
    const int width = size.width(), height = size.height();
    QPainter painter(&image);
    const QColor end = DesktopCaptionColours().EndColour(active);
    if (active ? m_gradientActive : m_gradientInactive) {
        // The gradient starts a quarter width left of the bar, so its left
        // edge already shows a fifth of the way to the end colour.
        FillGradient(painter, QRect(-(width / 4), 0, width + width / 4, height), StartColor(), end,
                     m_gradientSteps & 0xFF);
    } else {
        painter.fillRect(image.rect(), end);
    }

    int textLeft = 0;
    if (ShowsIcon()) {
        const TWindowFrame* frame = TWindowFrame::Of(m_owner);
        const int iconSize = FrameMetrics(TFormBorderStyle::bsSizeable, frame ? frame->Scale() : 100).SmallIconSize;
        QIcon icon = m_owner->windowIcon();
        if (icon.isNull())
            icon = m_owner->style()->standardIcon(QStyle::SP_TitleBarMenuButton);
        painter.drawPixmap(QRect(1 + (height - iconSize) / 2, (height - iconSize) / 2, iconSize, iconSize),
                           icon.pixmap(QSize(iconSize, iconSize), 1.0));
        textLeft = height;
    }
    for (const TCaptionText& text : LayoutTexts(width, textLeft, active)) {
        painter.setFont(text.Font);
        painter.setPen(text.Color);
        // Single line, centred in the bar, '&' drawn as it is; clipped to
        // what is left of the bar.
        painter.drawText(QRect(text.Left, 0, std::max(0, width - text.Left), height),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text.Text);
    }
    return image;
}

void TGradientCaption::PaintCaption(QPainter& painter)
{
    const TWindowFrame* frame = TWindowFrame::Of(m_owner);
    if (!frame || frame->BorderStyle() == TFormBorderStyle::bsNone)
        return;
    const QRect rect = CaptionRect();
    if (rect.isEmpty())
        return;
    painter.drawImage(rect.topLeft(), RenderCaption(rect.size(), m_drawnActive));
}

void TGradientCaption::Before(TWindowMessage& message)
{
    const QEvent::Type type = message.Event->type();
    if (type == WindowMessage::NcPaint) {
        auto* paint = static_cast<TNcPaintEvent*>(message.Event);
        m_savedRegion = paint->UpdateRegion();
        const QRect rect = CaptionRect();
        m_regionSubstituted = m_savedRegion.intersects(rect);
        if (m_regionSubstituted)
            paint->SetUpdateRegion(m_savedRegion.subtracted(rect));
    } else if (type == WindowMessage::NcActivate) {
        m_drawnActive = static_cast<TNcActivateEvent*>(message.Event)->Active();
    } else if (type == WindowMessage::NcRButtonDown) {
        if (m_popupMenu) {
            m_popupPending = true;
            message.Event->accept();
            message.Handled = true;
        }
    } else if (type == WindowMessage::NcRButtonUp) {
        if (m_popupPending) {
            m_popupPending = false;
            if (TWindowFrame* frame = TWindowFrame::Of(m_owner))
                frame->CancelMouseMode();
            if (QWidget* grabber = QWidget::mouseGrabber())
                grabber->releaseMouse();
            if (m_popupMenu)
                m_popupMenu->popup(static_cast<TNcMouseEvent*>(message.Event)->GlobalPos());
            message.Event->accept();
            message.Handled = true;
        }
    }
}

void TGradientCaption::After(TWindowMessage& message)
{
    const QEvent::Type type = message.Event->type();
    if (type == WindowMessage::NcPaint) {
        auto* paint = static_cast<TNcPaintEvent*>(message.Event);
        if (m_regionSubstituted) {
            paint->SetUpdateRegion(m_savedRegion);
            m_regionSubstituted = false;
        }
        PaintCaption(paint->Painter());
    } else if (type == WindowMessage::NcActivate) {
        if (TWindowFrame* frame = TWindowFrame::Of(m_owner))
            frame->RedrawNonClient(CaptionRect());
    }
}

}  // namespace dw
