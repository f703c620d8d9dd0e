// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class QMenu;

class QPainter;

namespace dw {

enum class TFrameStyle { fsRegular = 0, fsIndent = 1, fsExplorer = 2, fsNone = 3, fsLight = 4, fsDark = 5, fsMono = 6 };

// The glyph takes the side opposite the text.
enum class TTextAlign {
    ttaTopLeft = 0,
    ttaTop = 1,
    ttaTopRight = 2,
    ttaRight = 3,
    ttaBottomRight = 4,
    ttaBottom = 5,
    ttaBottomLeft = 6,
    ttaLeft = 7,
    ttaCenter = 8
};

// A flat push button that draws itself over its parent's background and never
// takes the keyboard focus, so a command started from it sees the focus where
// the user left it. Nothing of the button is opaque unless Transparent is off.
//
// Enabled, Visible and Font are the widget's own (the font follows the
// parent's until set); the caption colour is the palette's WindowText, set by
// SetFontColor. System colours come from the palette: Button (face), Light
// (highlight), Dark (shadow) and Shadow (3-D dark shadow).
//
// A press must not move the focus: the parents up to the window should not
// take click focus themselves, or the toolkit hands it to them before the
// button sees the press.
class TTransparentButton : public QWidget {
    Q_OBJECT

public:
    explicit TTransparentButton(QWidget* parent = nullptr);
    ~TTransparentButton() override;

    bool AutoGray() const { return m_autoGray; }
    void SetAutoGray(bool value);

    unsigned BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(unsigned value);

    // "&" marks the accelerator letter (Alt+letter through the window's
    // shortcuts); "&&" is a plain ampersand.
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& value);

    bool Down() const { return m_down; }
    void SetDown(bool value);

    void SetFontColor(const QColor& value);

    TFrameStyle FrameStyle() const { return m_frameStyle; }
    void SetFrameStyle(TFrameStyle value);

    // NumGlyphs images side by side; each is masked by its bottom-left pixel
    // colour unless the image carries transparency of its own.
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& value);

    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int value);  // 1 ... 4

    QMenu* PopUpMenu() const;
    void SetPopUpMenu(QMenu* value);

    bool ShowPressed() const { return m_showPressed; }
    void SetShowPressed(bool value);

    int Spacing() const { return m_spacing; }
    void SetSpacing(int value);

    TTextAlign TextAlign() const { return m_textAlign; }
    void SetTextAlign(TTextAlign value);

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    bool Movable() const { return m_movable; }
    void SetMovable(bool value);

    // What the user sees, for callers that need to know.
    bool IsPressedLook() const { return m_pressedLook; }
    bool IsMouseOver() const { return m_mouseOver; }

    // Fires OnClick as a completed mouse click or the accelerator does.
    // An error raised by the handler is shown, not passed on.
    void Click();

    // The images painted: NumGlyphs cut from Glyph, then the grey and the
    // disabled version of the first.
    const std::vector<QImage>& GlyphImages() const { return m_images; }

signals:
    void OnClick(QObject* sender);
    void OnMouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseMove(QObject* sender, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseUp(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseEnter(QObject* sender);
    void OnMouseExit(QObject* sender);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void HandlePress(Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers shift, QPoint pos);
    void HandleRelease(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void ResetMouseState();
    void SetMouseOver(bool over);
    void RebuildGlyphImages();
    void UpdateShortcut();
    int GlyphImageIndex() const;

    // The painting, in its order: base, frame, glyph, caption.
    struct PaintColours {
        QColor Face, Highlight, Shadow, DarkShadow;
    };
    void PaintBase(QPainter& painter, const PaintColours& colours) const;
    void PaintFrame(QPainter& painter, const PaintColours& colours, bool pressed) const;
    // Returns the glyph's top and height, which place a caption above or below it.
    std::pair<int, int> PaintGlyph(QPainter& painter, const PaintColours& colours, int offset) const;
    void PaintCaption(QPainter& painter, const PaintColours& colours, int offset, int glyphTop, int glyphHeight) const;
    template <class Emit>
    void Fire(Emit&& emitSignal);

    bool m_autoGray = true;
    unsigned m_borderWidth = 1;
    QString m_caption;
    bool m_down = false;
    TFrameStyle m_frameStyle = TFrameStyle::fsExplorer;
    QImage m_glyph;
    int m_numGlyphs = 1;
    QPointer<QMenu> m_popUpMenu;
    bool m_showPressed = true;
    int m_spacing = 2;
    TTextAlign m_textAlign = TTextAlign::ttaCenter;
    bool m_transparent = true;
    bool m_wordWrap = false;
    bool m_movable = false;

    bool m_held = false;           // a press is being tracked
    bool m_pressTracking = false;  // that press started inside the button
    bool m_pressedLook = false;
    bool m_mouseOver = false;
    bool m_clickArmed = false;  // a left press landed here; its release inside clicks
    QPoint m_pressPoint;
    std::vector<QImage> m_images;
    int m_shortcutId = 0;
};

}  // namespace dw
