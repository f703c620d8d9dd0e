// SPDX-License-Identifier: MIT
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace dw {

class TWindowInterceptor;

// One message as a hook sees it. A handler may change the fields of the
// event (the program's own non-client messages carry their parameters and
// results there) and may mark the message handled.
struct TWindowMessage {
    QWidget* Window = nullptr;
    QEvent* Event = nullptr;
    bool Handled = false;
};

using TWindowHookHandler = std::function<void(TWindowMessage& message)>;

// Observes every event of one window, before and after the window's own
// processing of it.
//
// For each window there is one interceptor, an event filter on the window,
// however many hooks are attached; it goes away with the last hook. For each
// event it:
//  1. offers the event to the before-handlers, newest hook first; a handler
//     that marks it handled stops the chain and the event goes no further
//     (events that destroy or re-create the native window are processed all
//     the same);
//  2. runs the window's own processing by calling the window's event() itself
//     (and, for a non-client message nobody accepted, the frame's default
//     processing), then reports the event as filtered so the toolkit does not
//     deliver it a second time;
//  3. offers the event to the after-handlers, newest first, even when the
//     window's processing raised an error; one that marks it handled stops
//     the after-chain. The error is then shown through the error display.
// An error raised by a handler is shown through the error display and the
// event goes on.
//
// Step 2 stands in for the window's own processing, so event filters that
// were installed on the window before its first hook are not reached for
// the events the interceptor delivers; filters installed later run before
// the hooks, as filters always run before the object they watch.
//
// The filter sits on the widget object, not on its native window, so it
// stays in place when the native window is destroyed and created again (a
// change of window flags, a screen change); the hook detaches when the widget
// itself is destroyed.
class TWindowHook : public QObject {
    Q_OBJECT

public:
    explicit TWindowHook(QObject* parent = nullptr);
    ~TWindowHook() override;

    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

    // The window observed. An attached hook moves to the new window at once.
    QWidget* Window() const { return m_window; }
    void SetWindow(QWidget* window);

    // Attached to its window and seeing its events.
    bool Active() const { return m_interceptor != nullptr; }
    void SetActive(bool value);
    // Attaching without a window does nothing.
    void Attach();
    void Detach();

    void SetBeforeMessage(TWindowHookHandler handler) { m_before = std::move(handler); }
    void SetAfterMessage(TWindowHookHandler handler) { m_after = std::move(handler); }

    // The interceptor of a window while any hook is attached to it, else null.
    static const QObject* InterceptorOf(const QWidget* window);

private:
    friend class TWindowInterceptor;

    QPointer<QWidget> m_window;
    TWindowHookHandler m_before;
    TWindowHookHandler m_after;
    TWindowInterceptor* m_interceptor = nullptr;
};

}  // namespace dw
