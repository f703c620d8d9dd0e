// SPDX-License-Identifier: MIT
#include "decor/transparent_button.h"

#include "common/error_display.h"
#include "decor/transparent_button_accessible.h"

#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>
#include <exception>

namespace dw {

namespace {

// A rectangle as the frame routines take it: right and bottom exclusive.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

// Nested frame lines, each one pixel inside the last: the top and left edges
// in the first colour, the bottom and right edges in the second. The corner
// pixels go the way the classic 3-D frame draws them (top-right and
// bottom-left belong to the bottom colour). Returns the box inside the frame.
Box Frame3D(QPainter& painter, Box box, const QColor& topColor, const QColor& bottomColor, int lines)
{
    int l = box.left;
    int t = box.top;
    int r = box.right - 1;
    int b = box.bottom - 1;
    for (; lines > 0; --lines) {
        if (r >= l && b >= t) {
            painter.fillRect(l, t, 1, b - t + 1, topColor);
            painter.fillRect(l, t, r - l, 1, topColor);
            painter.fillRect(r, t, 1, b - t, bottomColor);
            painter.fillRect(l, b, r - l + 1, 1, bottomColor);
        }
        ++l;
        ++t;
        --r;
        --b;
    }
    return Box{l, t, r + 1, b + 1};
}

// A one-pixel outline along the inside of the box, optionally filled.
void Outline(QPainter& painter, Box box, const QColor& pen, const QColor* fill = nullptr)
{
    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    if (w <= 0 || h <= 0)
        return;
    if (fill)
        painter.fillRect(box.left, box.top, w, h, *fill);
    painter.fillRect(box.left, box.top, w, 1, pen);
    painter.fillRect(box.left, box.bottom - 1, w, 1, pen);
    painter.fillRect(box.left, box.top, 1, h, pen);
    painter.fillRect(box.right - 1, box.top, 1, h, pen);
}

bool IsTopPosition(int align)
{
    return align <= 2;
}
bool IsBottomPosition(int align)
{
    return align >= 4 && align <= 6;
}
bool IsLeftPosition(int align)
{
    return align == 0 || align == 6 || align == 7;
}
bool IsRightPosition(int align)
{
    return align >= 2 && align <= 4;
}

// Bitmaps without transparency of their own mark it with one colour, the one
// in the bottom-left corner.
QImage Masked(const QImage& image, bool ownAlpha)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (ownAlpha || result.isNull())
        return result;
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return result;
}

QImage Greyed(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return result;
}

// The etched look of a disabled picture, matching the disabled caption: every
// inked pixel in the highlight colour one pixel right and down, then in the
// shadow colour in place.
QImage Disabled(const QImage& image, const QColor& highlight, const QColor& shadow)
{
    QImage result(image.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    auto inked = [&image](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return qAlpha(pixel) >= 128 && qGray(pixel) < 240;
    };
    for (int y = 0; y + 1 < image.height(); ++y) {
        for (int x = 0; x + 1 < image.width(); ++x) {
            if (inked(x, y))
                result.setPixel(x + 1, y + 1, highlight.rgba());
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (inked(x, y))
                result.setPixel(x, y, shadow.rgba());
        }
    }
    return result;
}

}  // namespace

TTransparentButton::TTransparentButton(QWidget* parent) : QWidget(parent)
{
    // Drawn over the parent's surface: no background of its own and never
    // the focus.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    // Moves without a button held still reach OnMouseMove.
    setMouseTracking(true);
    resize(40, 40);
    InstallTransparentButtonAccessibility();
}

TTransparentButton::~TTransparentButton() = default;

template <class Emit>
void TTransparentButton::Fire(Emit&& emitSignal)
{
    // A handler's error is shown here so that it never unwinds through the
    // toolkit and the button's own state stays consistent.
    try {
        emitSignal();
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowErrorText(DW_TEXT("Message", "Unexpected error"));
    }
}

void TTransparentButton::SetAutoGray(bool value)
{
    m_autoGray = value;
    update();
}

void TTransparentButton::SetBorderWidth(unsigned value)
{
    m_borderWidth = value;
    update();
}

void TTransparentButton::SetCaption(const QString& value)
{
    m_caption = value;
    UpdateShortcut();
    update();
}

void TTransparentButton::SetDown(bool value)
{
    m_down = value;
    // Letting go of a latched button ends the pressed look it kept; a press
    // still held ends it on its own release.
    if (!m_down && !m_held) {
        m_pressTracking = false;
        m_pressedLook = false;
    }
    update();
}

void TTransparentButton::SetFontColor(const QColor& value)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, value);
    setPalette(pal);
    update();
}

void TTransparentButton::SetFrameStyle(TFrameStyle value)
{
    m_frameStyle = value;
    update();
}

void TTransparentButton::SetGlyph(const QImage& value)
{
    m_glyph = value;
    if (!m_glyph.isNull() && m_glyph.height() > 0 && m_glyph.width() % m_glyph.height() == 0) {
        const int count = m_glyph.width() / m_glyph.height();
        m_numGlyphs = count > 4 ? 1 : count;
    }
    RebuildGlyphImages();
    update();
}

void TTransparentButton::SetNumGlyphs(int value)
{
    m_numGlyphs = std::clamp(value, 1, 4);
    RebuildGlyphImages();
    update();
}

QMenu* TTransparentButton::PopUpMenu() const
{
    return m_popUpMenu.data();
}

void TTransparentButton::SetPopUpMenu(QMenu* value)
{
    m_popUpMenu = value;
    update();
}

void TTransparentButton::SetShowPressed(bool value)
{
    m_showPressed = value;
    update();
}

void TTransparentButton::SetSpacing(int value)
{
    m_spacing = value;
    update();
}

void TTransparentButton::SetTextAlign(TTextAlign value)
{
    m_textAlign = value;
    update();
}

void TTransparentButton::SetTransparent(bool value)
{
    m_transparent = value;
    update();
}

void TTransparentButton::SetWordWrap(bool value)
{
    m_wordWrap = value;
    update();
}

void TTransparentButton::SetMovable(bool value)
{
    m_movable = value;
    update();
}

void TTransparentButton::Click()
{
    Fire([this] { emit OnClick(this); });
}

void TTransparentButton::RebuildGlyphImages()
{
    m_images.clear();
    if (m_glyph.isNull())
        return;
    int width = m_glyph.width() / m_numGlyphs;
    if (width == 0)
        width = m_glyph.width();
    const bool ownAlpha = m_glyph.hasAlphaChannel();
    for (int i = 0; i < m_numGlyphs; ++i)
        m_images.push_back(Masked(m_glyph.copy(i * width, 0, width, m_glyph.height()), ownAlpha));
    m_images.push_back(Greyed(m_images.front()));
    m_images.push_back(Disabled(m_images.front(), palette().color(QPalette::Light), palette().color(QPalette::Dark)));
}

int TTransparentButton::GlyphImageIndex() const
{
    if (!isEnabled())
        return m_numGlyphs == 1 ? m_numGlyphs + 1 : 1;
    if (m_frameStyle == TFrameStyle::fsExplorer && m_autoGray && !m_mouseOver)
        return m_numGlyphs;
    if (m_numGlyphs >= 3 && m_pressedLook)
        return 2;
    return 0;
}

void TTransparentButton::UpdateShortcut()
{
    if (m_shortcutId != 0)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

bool TTransparentButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && m_shortcutId != 0 &&
        static_cast<QShortcutEvent*>(e)->shortcutId() == m_shortcutId) {
        if (isEnabled())
            Click();
        return true;
    }
    return QWidget::event(e);
}

void TTransparentButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    const PaintColours colours{pal.color(QPalette::Button), pal.color(QPalette::Light), pal.color(QPalette::Dark),
                               pal.color(QPalette::Shadow)};
    const bool pressed = m_pressedLook && m_showPressed;
    PaintBase(painter, colours);
    PaintFrame(painter, colours, pressed);
    const int offset = pressed ? 1 : 0;
    const auto [glyphTop, glyphHeight] = PaintGlyph(painter, colours, offset);
    PaintCaption(painter, colours, offset, glyphTop, glyphHeight);
}

void TTransparentButton::PaintBase(QPainter& painter, const PaintColours& c) const
{
    const int w = width();
    const int h = height();
    switch (m_frameStyle) {
        case TFrameStyle::fsRegular:
            Outline(painter, Box{1, 1, w, h}, Qt::black, m_transparent ? nullptr : &c.Face);
            break;
        case TFrameStyle::fsIndent:
            Outline(painter, Box{0, 0, w - 1, h - 1}, c.Shadow);
            Outline(painter, Box{1, 1, w, h}, c.Highlight);
            break;
        default:
            if (!m_transparent)
                painter.fillRect(0, 0, w, h, c.Face);
            break;
    }
}

void TTransparentButton::PaintFrame(QPainter& painter, const PaintColours& c, bool pressed) const
{
    const QColor black = Qt::black;
    const Box r0{0, 0, width(), height()};
    const int lines = static_cast<int>(std::min<unsigned>(m_borderWidth, 0x7fff));
    switch (m_frameStyle) {
        case TFrameStyle::fsRegular:
        case TFrameStyle::fsIndent:
            if (pressed) {
                const Box inner = Frame3D(painter, r0, black, c.Highlight, lines);
                Frame3D(painter, inner, c.Shadow, c.Face, lines);
            } else if (m_frameStyle == TFrameStyle::fsRegular) {
                const Box inner = Frame3D(painter, r0, c.Highlight, black, lines);
                Frame3D(painter, inner, c.Face, c.Shadow, lines);
            } else {
                Frame3D(painter, r0, c.Shadow, c.Highlight, lines);
            }
            break;
        case TFrameStyle::fsExplorer:
            if (m_pressedLook) {
                if (m_mouseOver || m_down) {
                    if (m_showPressed)
                        Frame3D(painter, r0, c.Shadow, c.Highlight, lines);
                    else
                        Frame3D(painter, r0, c.Highlight, c.Shadow, lines);
                }
            } else if (m_mouseOver) {
                Frame3D(painter, r0, c.Highlight, c.Shadow, lines);
            }
            break;
        case TFrameStyle::fsNone:
            break;
        case TFrameStyle::fsLight:
            Frame3D(painter, r0, pressed ? c.Shadow : c.Highlight, pressed ? c.Highlight : c.Shadow, 1);
            break;
        case TFrameStyle::fsDark:
            Frame3D(painter, r0, pressed ? c.DarkShadow : c.Face, pressed ? c.Face : c.DarkShadow, 1);
            break;
        case TFrameStyle::fsMono:
            Frame3D(painter, r0, pressed ? c.DarkShadow : c.Highlight, pressed ? c.Highlight : c.DarkShadow, 1);
            break;
    }
}

std::pair<int, int> TTransparentButton::PaintGlyph(QPainter& painter, const PaintColours& c, int offset) const
{
    const int align = static_cast<int>(m_textAlign);
    const int w = width();
    const int h = height();
    int gw = 0;
    int gh = 0;
    if (!m_glyph.isNull()) {
        gh = m_glyph.height();
        gw = m_glyph.width() / m_numGlyphs;
        if (gw == 0)
            gw = m_glyph.width();
    }
    int glyphTop;
    if (IsBottomPosition(align))
        glyphTop = m_spacing;
    else if (IsTopPosition(align))
        glyphTop = h - gh - m_spacing;
    else
        glyphTop = (h - gh) / 2;
    int glyphLeft;
    if (m_textAlign == TTextAlign::ttaLeft)
        glyphLeft = w - gw - m_spacing;
    else if (m_textAlign == TTextAlign::ttaRight)
        glyphLeft = m_spacing;
    else
        glyphLeft = (w - gw) / 2;

    if (!m_images.empty()) {
        const QImage& image = m_images[static_cast<size_t>(GlyphImageIndex())];
        const QPoint at(glyphLeft + offset, glyphTop + offset);
        if (!m_transparent)
            painter.fillRect(QRect(at, image.size()), c.Face);
        painter.drawImage(at, image);
    }
    return {glyphTop, gh};
}

void TTransparentButton::PaintCaption(QPainter& painter, const PaintColours& c, int offset, int glyphTop,
                                      int glyphHeight) const
{
    if (m_caption.isEmpty())
        return;
    const int align = static_cast<int>(m_textAlign);
    const int w = width();
    const int h = height();
    painter.setFont(font());
    const int wrap = m_wordWrap ? Qt::TextWordWrap : 0;
    const QRect measured = QFontMetrics(font()).boundingRect(
        QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | wrap, m_caption);
    const int tw = measured.width();
    const int th = measured.height();
    int x;
    if (IsLeftPosition(align))
        x = m_spacing;
    else if (IsRightPosition(align))
        x = w - tw - m_spacing;
    else
        x = w / 2 - tw / 2;
    int y;
    if (IsTopPosition(align))
        y = glyphTop - th - m_spacing;
    else if (IsBottomPosition(align))
        y = glyphTop + glyphHeight + m_spacing;
    else
        y = h / 2 - th / 2;
    const QRect textRect(x + offset, y + offset, tw, th);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip | wrap;
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, flags, m_caption);
    } else {
        painter.setPen(c.Highlight);
        painter.drawText(textRect.translated(1, 1), flags, m_caption);
        painter.setPen(c.Shadow);
        painter.drawText(textRect, flags, m_caption);
    }
}

void TTransparentButton::mousePressEvent(QMouseEvent* e)
{
    HandlePress(e->button(), e->buttons(), e->modifiers(), e->position().toPoint());
}

void TTransparentButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press of a double click is just another press (and so,
    // after its release, another click).
    HandlePress(e->button(), e->buttons(), e->modifiers(), e->position().toPoint());
}

void TTransparentButton::HandlePress(Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers shift,
                                     QPoint pos)
{
    if (!isEnabled())
        return;
    if (button == Qt::LeftButton)
        m_clickArmed = true;
    // A tracked press whose release never reached us (a window opened by a
    // handler took the mouse) must not lock the button: when no other
    // button is held, the new press starts afresh.
    if (m_held && (held & ~Qt::MouseButtons(button)) == Qt::NoButton)
        m_held = false;
    if (m_held)
        return;
    m_held = true;
    m_pressPoint = pos;
    QPointer<TTransparentButton> self(this);
    Fire([&] { emit OnMouseDown(this, button, shift, pos); });
    if (!self)
        return;
    if (rect().contains(pos)) {
        m_pressTracking = true;
        m_pressedLook = true;
        repaint();
    }
    if (m_popUpMenu) {
        m_popUpMenu->exec(mapToGlobal(QPoint(0, height())));
        if (!self)
            return;
        // The menu has taken the release: nothing of this press clicks later.
        m_clickArmed = false;
        HandleRelease(button, shift, pos);
    }
}

void TTransparentButton::mouseMoveEvent(QMouseEvent* e)
{
    QPoint pos = e->position().toPoint();
    QPointer<TTransparentButton> self(this);
    Fire([&] { emit OnMouseMove(this, e->modifiers(), pos); });
    if (!self)
        return;
    // Only a held press drags: a latched button keeps tracking after its
    // release, and a pointer merely passing over it must not carry it off.
    if (m_pressTracking && m_movable && m_held && pos != m_pressPoint) {
        move(this->pos() + (pos - m_pressPoint));
        pos = m_pressPoint;
    }
    // While a button is held the toolkit holds back leaving and entering
    // until the release; the hover look follows the pointer all the same.
    if (m_held && rect().contains(pos) != m_mouseOver) {
        SetMouseOver(!m_mouseOver);
        if (!self)
            return;
    }
    if (!m_pressTracking)
        return;
    const bool inside = rect().contains(pos);
    if (inside != m_pressedLook) {
        m_pressedLook = inside;
        repaint();
    }
}

void TTransparentButton::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool click = e->button() == Qt::LeftButton && m_clickArmed && rect().contains(pos);
    if (e->button() == Qt::LeftButton)
        m_clickArmed = false;
    QPointer<TTransparentButton> self(this);
    // The click comes first, while the button still looks pressed.
    if (click) {
        Click();
        if (!self)
            return;
    }
    HandleRelease(e->button(), e->modifiers(), pos);
}

void TTransparentButton::HandleRelease(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos)
{
    if (!isEnabled() || !m_held)
        return;
    m_held = false;
    if (m_down)
        return;
    QPointer<TTransparentButton> self(this);
    Fire([&] { emit OnMouseUp(this, button, shift, pos); });
    if (!self)
        return;
    m_pressTracking = false;
    m_pressedLook = false;
    repaint();
}

void TTransparentButton::enterEvent(QEnterEvent*)
{
    SetMouseOver(true);
}

void TTransparentButton::leaveEvent(QEvent*)
{
    SetMouseOver(false);
}

void TTransparentButton::SetMouseOver(bool over)
{
    if (!isEnabled() || over == m_mouseOver)
        return;
    m_mouseOver = over;
    QPointer<TTransparentButton> self(this);
    if (over)
        Fire([this] { emit OnMouseEnter(this); });
    else
        Fire([this] { emit OnMouseExit(this); });
    if (self && m_frameStyle == TFrameStyle::fsExplorer)
        update();
}

void TTransparentButton::contextMenuEvent(QContextMenuEvent* e)
{
    // The press has already dropped our own menu; the parent's must not
    // follow it.
    if (m_popUpMenu)
        e->accept();
    else
        e->ignore();
}

void TTransparentButton::ResetMouseState()
{
    m_held = false;
    m_pressTracking = false;
    m_pressedLook = false;
    m_mouseOver = false;
    m_clickArmed = false;
}

void TTransparentButton::changeEvent(QEvent* e)
{
    switch (e->type()) {
        case QEvent::EnabledChange:
            if (!isEnabled())
                ResetMouseState();
            update();
            break;
        case QEvent::PaletteChange:
            // The disabled picture is drawn in the palette's colours.
            RebuildGlyphImages();
            update();
            break;
        case QEvent::FontChange:
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(e);
}

void TTransparentButton::hideEvent(QHideEvent* e)
{
    // A hidden button gets no release and no leave: end what they would end.
    m_mouseOver = false;
    m_clickArmed = false;
    if (m_held) {
        m_held = false;
        if (!m_down) {
            m_pressTracking = false;
            m_pressedLook = false;
        }
    }
    QWidget::hideEvent(e);
}

}  // namespace dw
