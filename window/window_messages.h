// SPDX-License-Identifier: MIT
#pragma once

#include <QEvent>
#include <QPainter>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <functional>

class QWidget;

namespace dw {

// The non-client messages of a window whose frame the program draws itself.
// The toolkit knows nothing of a non-client area, so the frame raises these
// as events on the window; window hooks see them like any other event, and a
// window that does not take one in its own event() gets the frame's default
// processing (the drawing, hit-testing and menus a desktop frame would do).
namespace WindowMessage {
extern const QEvent::Type NcPaint;
extern const QEvent::Type NcActivate;
extern const QEvent::Type NcHitTest;
extern const QEvent::Type NcRButtonDown;
extern const QEvent::Type NcRButtonUp;
extern const QEvent::Type GetMinMaxInfo;
// Sent by whoever changes a window's size limits so its frame asks again.
extern const QEvent::Type SizeLimitsChanged;
}  // namespace WindowMessage

// Where a point of the window lies.
enum class THitTest {
    Nowhere,
    Client,
    Caption,
    SysMenu,
    MinButton,
    MaxButton,
    CloseButton,
    HelpButton,
    Left,
    Right,
    Top,
    TopLeft,
    TopRight,
    Bottom,
    BottomLeft,
    BottomRight,
    Border,  // a part of the frame that does not size the window
};

// A non-client message with the default processing the frame attaches. It
// starts out ignored; a window (or a hook) takes it by accepting it, and one
// still ignored after the window's own processing gets the default.
class TNonClientEvent : public QEvent {
public:
    // What the frame does with the message when the window leaves it alone.
    void SetDefaultProcessing(std::function<void()> action) { m_default = std::move(action); }

    // Marks the window's own processing of the message as run (or skipped
    // because a hook handled it); the default runs at most once.
    void FinishOwnProcessing(bool takenByWindow);
    // The message was accepted by the window's own processing (or before it),
    // so no default ran.
    bool TakenByWindow() const { return m_takenByWindow; }

protected:
    explicit TNonClientEvent(Type type) : QEvent(type) { setAccepted(false); }

private:
    std::function<void()> m_default;
    bool m_ownProcessingDone = false;
    bool m_takenByWindow = false;
};

// Delivers a message to the window: to its hooks and its own event(), and
// runs the default processing when nothing accepted the message. Returns
// whether it was accepted instead.
bool SendNonClientEvent(QWidget* window, TNonClientEvent& event);

// Paint the non-client area. Raised from inside the frame's painting, so the
// painter is open on the window, in window coordinates ((0, 0) is the outer
// top-left corner of the frame). A hook may narrow the update region to keep
// the default drawing off a part it paints itself.
class TNcPaintEvent : public TNonClientEvent {
public:
    TNcPaintEvent(QPainter& painter, const QRegion& updateRegion)
        : TNonClientEvent(WindowMessage::NcPaint), m_painter(painter), m_updateRegion(updateRegion)
    {
    }
    QPainter& Painter() const { return m_painter; }
    const QRegion& UpdateRegion() const { return m_updateRegion; }
    void SetUpdateRegion(const QRegion& region) { m_updateRegion = region; }

private:
    QPainter& m_painter;
    QRegion m_updateRegion;
};

// The window became active or inactive: the frame is to show it.
class TNcActivateEvent : public TNonClientEvent {
public:
    explicit TNcActivateEvent(bool active) : TNonClientEvent(WindowMessage::NcActivate), m_active(active) {}
    bool Active() const { return m_active; }

private:
    bool m_active;
};

// Which part of the window lies under a screen point. The default
// processing fills Result; hooks may change it afterwards.
class TNcHitTestEvent : public TNonClientEvent {
public:
    explicit TNcHitTestEvent(QPoint globalPos) : TNonClientEvent(WindowMessage::NcHitTest), m_globalPos(globalPos) {}
    QPoint GlobalPos() const { return m_globalPos; }
    THitTest Result() const { return m_result; }
    void SetResult(THitTest value) { m_result = value; }

private:
    QPoint m_globalPos;
    THitTest m_result = THitTest::Nowhere;
};

// The right mouse button went down or up in the non-client area.
class TNcMouseEvent : public TNonClientEvent {
public:
    TNcMouseEvent(Type type, QPoint globalPos, THitTest hitTest)
        : TNonClientEvent(type), m_globalPos(globalPos), m_hitTest(hitTest)
    {
    }
    QPoint GlobalPos() const { return m_globalPos; }
    THitTest HitTest() const { return m_hitTest; }

private:
    QPoint m_globalPos;
    THitTest m_hitTest;
};

// The size limits of a window: the frame fills in its defaults before it
// sends the query, the window and its hooks may change any field, and the
// frame then applies what the query holds. Sizes are outer sizes; the
// maximized position is relative to the top-left corner of the screen.
// Accepting the event marks it answered (it has no default processing).
struct TMinMaxInfo {
    QSize MaxSize;
    QPoint MaxPosition;
    QSize MinTrackSize;
    QSize MaxTrackSize;
};

class TMinMaxInfoEvent : public TNonClientEvent {
public:
    explicit TMinMaxInfoEvent(const TMinMaxInfo& defaults)
        : TNonClientEvent(WindowMessage::GetMinMaxInfo), m_info(defaults)
    {
    }
    TMinMaxInfo& Info() { return m_info; }
    const TMinMaxInfo& Info() const { return m_info; }

private:
    TMinMaxInfo m_info;
};

// Tells the window's frame that the answer to its size query has changed.
void NotifySizeLimitsChanged(QWidget* window);

}  // namespace dw
