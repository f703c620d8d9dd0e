// SPDX-License-Identifier: MIT
#pragma once

#include "window/window_messages.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <QWindow>

#include <optional>

class QMenu;
class QMouseEvent;
class QWindow;
class QWindowStateChangeEvent;

namespace dw {

class TWindowHook;
class TNonClientArea;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;  // a set of TBorderIcon

// The frame's measures, classic desktop values at 96 dpi. A sizeable frame
// is 4 pixels on every side and the caption bar 18 pixels with a 1-pixel line
// under it, so a 445 x 365 window has a 437 x 338 client area at (4, 23).
struct TFrameMetrics {
    int FrameWidth = 0;     // left and right frame, each
    int FrameHeight = 0;    // top and bottom frame, each
    int CaptionHeight = 0;  // the bar and the line under it; 0 without a caption
    int ButtonWidth = 0;    // one caption button's slot
    int SmallIconSize = 16;
};

TFrameMetrics FrameMetrics(TFormBorderStyle style);
// The measures of a frame drawn at percent of its designed size.
TFrameMetrics FrameMetrics(TFormBorderStyle style, int percent);
// A designed pixel measure at percent, rounded.
int ScaledMeasure(int pixels, int percent);

// The caption buttons a frame shows: the border icons as the frame style
// allows them. Count is the number of button slots taken from the right of
// the bar (minimise and maximise come as a pair, one disabled if absent).
struct TCaptionButtons {
    TBorderIcons Icons = 0;
    int Count = 0;
};

TCaptionButtons EffectiveCaptionButtons(TFormBorderStyle style, TBorderIcons icons);

// The part of the caption bar left of its buttons, in window coordinates:
// the rectangle a caption painter owns.
QRect CaptionRect(QSize windowSize, TFormBorderStyle style, TBorderIcons icons, int percent = 100);

// The desktop's caption colours. The desktop has no caption-colour settings
// of its own here; they follow the application palette: the active caption
// runs into the highlight colour, the inactive one into a grey of the same
// weight, and the texts are the highlighted-text colour and a light grey.
struct TCaptionColours {
    bool GradientCaptions = true;  // the desktop draws gradient caption bars
    QColor ActiveCaption;
    QColor InactiveCaption;
    QColor GradientActiveCaption;
    QColor GradientInactiveCaption;
    QColor CaptionText;
    QColor InactiveCaptionText;
    QColor WindowText;

    // The colour the bar runs into on its right.
    QColor EndColour(bool active) const
    {
        if (GradientCaptions)
            return active ? GradientActiveCaption : GradientInactiveCaption;
        return active ? ActiveCaption : InactiveCaption;
    }
};

// The caption colours of the designed desktop (fonts/designed_palette.h):
// the bar looks the same under a dark or high-contrast desktop theme.
TCaptionColours DesktopCaptionColours();
// Replaces the palette-derived colours (a theme, or a test); nullopt goes back.
void SetDesktopCaptionColours(std::optional<TCaptionColours> colours);

// The frame and caption bar of a frameless top-level window, drawn by the
// program: the sizing frame, the caption with its icon, title and buttons.
// The window's own controls live in the client area widget, which the frame
// places inside itself; the window keeps its position and grows by the frame.
//
// Everything goes through the window hook as the window's non-client
// messages: painting, activation, hit-testing, right clicks and the size
// query, so a hook on the window can take over any of it.
//
// Minimise, maximise and restore use the window state. Maximising asks the
// size limits and puts the window at their maximized position and size; the
// size limits also bound the window's minimum and maximum size, which the
// window manager and every resize honour. Moving and sizing are handed to the
// window manager; where there is none, the frame tracks the mouse itself.
class TWindowFrame : public QObject {
    Q_OBJECT

public:
    // The frame belongs to the window and goes with it.
    TWindowFrame(QWidget* window, QWidget* clientArea);
    ~TWindowFrame() override;

    static TWindowFrame* Of(const QWidget* window);

    // The widget that paints and handles the frame (it lies under the client area).
    QWidget* NonClientWidget() const;

    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons value);

    TFrameMetrics Metrics() const { return FrameMetrics(m_borderStyle, m_scale); }
    // The frame and caption bar drawn larger with a window drawn larger:
    // percent of their designed measures and caption font. The client area
    // keeps its size; the window grows round it.
    int Scale() const { return m_scale; }
    void SetScale(int percent);
    // In window coordinates.
    QRect ClientRect() const;
    QRect CaptionBarRect() const;
    QRect IconRect() const;
    // The face of a caption button; empty when the frame has no such button.
    QRect ButtonRect(THitTest button) const;
    bool ButtonEnabled(THitTest button) const;
    bool ButtonPressed(THitTest button) const { return m_pressedButton == button && m_pressedInside; }

    // The look the frame shows, set by the non-client activation message.
    bool DrawnActive() const { return m_drawnActive; }

    // The default hit test, in window coordinates.
    THitTest DefaultHitTest(QPoint pos) const;
    // The hit test as the window answers it (through its hooks).
    THitTest HitTest(QPoint pos);

    // Asks the window for its size limits and applies them.
    TMinMaxInfo UpdateSizeLimits();
    // The limits the frame would use if nobody answered the query.
    TMinMaxInfo DefaultSizeLimits() const;

    // Repaints the non-client area (all of it by default).
    void RedrawNonClient();
    void RedrawNonClient(const QRegion& region);

    // Ends a move, resize or button press the frame is tracking.
    void CancelMouseMode();

    // The window menu: restore, minimise, maximise, close.
    void ShowSystemMenu(QPoint globalPos);
    QMenu* SystemMenu() const;
    // The words of the window menu's own entries; the designed ones are
    // Russian, as the window they belong to.
    struct TMenuCaptions {
        QString Restore = QStringLiteral("Восстановить");
        QString Minimize = QStringLiteral("Свернуть");
        QString Maximize = QStringLiteral("Развернуть");
        QString Close = QStringLiteral("Закрыть");
    };
    void SetMenuCaptions(const TMenuCaptions& captions) { m_menuCaptions = captions; }
    const TMenuCaptions& MenuCaptions() const { return m_menuCaptions; }

signals:
    // The window menu is built and about to show: the window may add its
    // own entries.
    void SystemMenuBuilt(QMenu* menu);

public:
private:
    friend class TNonClientArea;

    void OnWindowEvent(QEvent* event);
    void Layout();
    void ConnectNativeWindow();
    void OnWindowStateChange(QWindowStateChangeEvent* event);
    void TakeOverMaximized(bool insideStateChange);
    void PlaceMaximized(bool insideStateChange);
    void SetMaximizedGeometry(bool insideStateChange);
    void KeepNativeWindowUnmaximized();
    void ApplyLimits(const TMinMaxInfo& info, bool maximized);
    QRect MaximizedRect(const TMinMaxInfo& info) const;
    void SetDrawnActive(bool active);

    void PaintNonClient(QPainter& painter, const QRegion& region);
    void DefaultPaint(QPainter& painter, const QRegion& region);
    void PaintButton(QPainter& painter, THitTest button);

    void MousePress(QMouseEvent* event);
    void MouseDoubleClick(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseRelease(QMouseEvent* event);
    void ClickButton(THitTest button);
    void BeginMove(QPoint globalPos);
    void BeginResize(THitTest edge, QPoint globalPos);
    void ToggleMaximized();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_clientArea;
    QPointer<TNonClientArea> m_nonClient;
    TWindowHook* m_hook = nullptr;
    QPointer<QMenu> m_systemMenu;
    TMenuCaptions m_menuCaptions;
    int m_scale = 100;

    TFormBorderStyle m_borderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons m_borderIcons = biSystemMenu | biMinimize | biMaximize;
    bool m_drawnActive = false;

    // The window's own minimum and maximum size, the defaults of the size query.
    QSize m_ownMinimum;
    QSize m_ownMaximum;
    QSize m_appliedMinimum;
    QSize m_appliedMaximum;

    bool m_maximizedApplied = false;
    QRect m_normalGeometry;
    QRect m_maximizedGeometry;
    int m_maximizeCorrections = 0;
    QPointer<QWindow> m_nativeWindow;
    bool m_inNativeChange = false;

    enum class Mode { None, Button, Move, Resize };
    Mode m_mode = Mode::None;
    THitTest m_pressedButton = THitTest::Nowhere;
    bool m_pressedInside = false;
    THitTest m_resizeEdge = THitTest::Nowhere;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};

}  // namespace dw
