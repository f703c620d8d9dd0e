// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QFontMetrics;
class QMenu;
class QPainter;

namespace dw {

class TGradientCaption;
class TWindowHook;
struct TWindowMessage;

enum class THideDirection { hdLeftToRight = 0, hdRightToLeft = 1 };

// A piece of caption text drawn before the form's caption, in its own font.
// Changes show at the next caption paint.
class TCaptionPart {
public:
    explicit TCaptionPart(TGradientCaption* owner);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& value) { m_caption = value; }

    // With ParentFont the part uses the caption's Font and font colour;
    // setting a font of its own clears ParentFont.
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& value);
    QColor FontColor() const;
    bool ParentFont() const { return m_parentFont; }

    // Default: the desktop's inactive caption text colour.
    QColor InactiveColor() const;
    void SetInactiveColor(const QColor& value) { m_inactiveColor = value; }

    // Gives way together with the next part when the bar is too narrow.
    bool GlueNext() const { return m_glueNext; }
    void SetGlueNext(bool value) { m_glueNext = value; }

    bool Visible() const { return m_visible; }
    void SetVisible(bool value) { m_visible = value; }

private:
    friend class TGradientCaption;

    TGradientCaption* m_owner;
    QString m_caption;
    QFont m_font;
    bool m_parentFont = true;
    QColor m_inactiveColor;  // invalid: the desktop's colour
    bool m_glueNext = false;
    bool m_visible = true;
};

class TCaptionPartList {
public:
    explicit TCaptionPartList(TGradientCaption* owner) : m_owner(owner) {}

    // A new part at the end; the caption is repainted.
    TCaptionPart& Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    TCaptionPart& operator[](int index) { return *m_items.at(static_cast<std::size_t>(index)); }
    const TCaptionPart& operator[](int index) const { return *m_items.at(static_cast<std::size_t>(index)); }

private:
    TGradientCaption* m_owner;
    std::vector<std::unique_ptr<TCaptionPart>> m_items;
};

// Paints the caption bar of its form: a colour gradient from StartColor to
// the desktop's caption colour, the form's small icon and the caption texts.
// It works through a window hook on the form: it keeps the frame's own
// drawing off the caption while the non-client area is painted, paints the
// bar after it, follows the frame's activation look, and shows PopupMenu on
// a right click in the non-client area. The form needs a frame the program
// draws (TWindowFrame); on a window without one no non-client messages come
// and the caption has nothing to do.
//
// Colours left at their defaults (StartColor, FontInactiveColor, the font
// colour while DefaultFont is set) follow the desktop colours at each paint.
class TGradientCaption : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool DefaultFont READ DefaultFont WRITE SetDefaultFont)
    Q_PROPERTY(QString FormCaption READ FormCaption WRITE SetFormCaption)
    Q_PROPERTY(QColor FontInactiveColor READ FontInactiveColor WRITE SetFontInactiveColor)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(bool GradientActive READ GradientActive WRITE SetGradientActive)
    Q_PROPERTY(bool GradientInactive READ GradientInactive WRITE SetGradientInactive)
    Q_PROPERTY(int GradientSteps READ GradientSteps WRITE SetGradientSteps)
    Q_PROPERTY(QColor StartColor READ StartColor WRITE SetStartColor)

public:
    // The owner is the form whose caption is painted; the caption is its child.
    explicit TGradientCaption(QWidget* owner);
    ~TGradientCaption() override;

    bool Active() const { return m_active; }
    void SetActive(bool value);

    TCaptionPartList& Captions() { return m_captions; }
    const TCaptionPartList& Captions() const { return m_captions; }

    bool DefaultFont() const { return m_defaultFont; }
    void SetDefaultFont(bool value);

    const QString& FormCaption() const { return m_formCaption; }
    void SetFormCaption(const QString& value);

    QColor FontInactiveColor() const;
    void SetFontInactiveColor(const QColor& value);

    // Font and colour of FormCaption and of the parts with ParentFont. Setting
    // the font clears DefaultFont and hands the font to those parts.
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& value);
    QColor FontColor() const;

    bool GradientActive() const { return m_gradientActive; }
    void SetGradientActive(bool value);
    bool GradientInactive() const { return m_gradientInactive; }
    void SetGradientInactive(bool value);

    // Only the low byte counts: 256 colours are none, which is a solid bar.
    int GradientSteps() const { return m_gradientSteps; }
    void SetGradientSteps(int value);

    THideDirection HideDirection() const { return m_hideDirection; }
    void SetHideDirection(THideDirection value);

    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* value);

    QColor StartColor() const;
    void SetStartColor(const QColor& value);

    // The caption paints: Active, and the owner is a top-level window.
    bool InEffect() const;
    // The look last painted: active or inactive.
    bool DrawnActive() const { return m_drawnActive; }
    // The bar the caption paints, in window coordinates: the caption bar
    // left of the caption buttons.
    QRect CaptionRect() const;

    // One text as laid out in the bar (x from the bar's left edge).
    struct TCaptionText {
        QString Text;
        QFont Font;
        QColor Color;
        int Left = 0;
        int Width = 0;
    };
    // The texts drawn in a bar of the given width, whose text area starts at
    // textLeft (after the icon).
    std::vector<TCaptionText> LayoutTexts(int width, int textLeft, bool active) const;
    // The bar as painted, in the active or inactive look.
    QImage RenderCaption(QSize size, bool active) const;

    // The text cut from the end, with "...", until it fits the width.
    static QString ShortenText(const QString& text, int width, const QFontMetrics& metrics);
    // The caption font of a desktop of the classic look: "MS Sans Serif",
    // 8 point (11 pixels at 96 dpi), bold.
    static QFont SystemCaptionFont();

    // Attaches or detaches the hook and repaints the caption.
    void Refresh();

signals:
    void OnActivate(QObject* sender);
    void OnDeactivate(QObject* sender);

private:
    friend class TCaptionPart;
    friend class TCaptionPartList;

    void Before(TWindowMessage& message);
    void After(TWindowMessage& message);
    void PaintCaption(QPainter& painter);
    bool ShowsIcon() const;
    void ApplyParentFont();
    bool LookHasGradient() const;

    QPointer<QWidget> m_owner;
    TWindowHook* m_hook = nullptr;
    TCaptionPartList m_captions;

    bool m_active = true;
    bool m_defaultFont = true;
    QString m_formCaption;
    QColor m_fontInactiveColor;  // invalid: the desktop's colour
    QFont m_font;
    bool m_gradientActive = true;
    bool m_gradientInactive = false;
    int m_gradientSteps = 64;
    THideDirection m_hideDirection = THideDirection::hdLeftToRight;
    QPointer<QMenu> m_popupMenu;
    QColor m_startColor;  // invalid: the desktop's window text colour

    bool m_drawnActive = false;
    QRegion m_savedRegion;
    bool m_regionSubstituted = false;
    bool m_popupPending = false;
};

}  // namespace dw
