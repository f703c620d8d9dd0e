// SPDX-License-Identifier: MIT
#include "window/window_hook.h"

#include "common/error_display.h"
#include "window/window_messages.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <vector>

namespace dw {

// The one event filter of a window, shared by all the hooks attached to it.
// It is a child of the window so it goes with it; while it dispatches, the
// window (and with it the interceptor) may be destroyed by the window's own
// processing, which every step after that checks for.
class TWindowInterceptor : public QObject {
public:
    static TWindowInterceptor* Find(const QWidget* window)
    {
        auto found = Registry().find(window);
        return found == Registry().end() ? nullptr : found->second;
    }

    static TWindowInterceptor* Obtain(QWidget* window)
    {
        if (TWindowInterceptor* existing = Find(window))
            return existing;
        return new TWindowInterceptor(window);
    }

    ~TWindowInterceptor() override
    {
        Unregister();
        for (TWindowHook* hook : m_hooks) hook->m_interceptor = nullptr;
    }

    void Add(TWindowHook* hook)
    {
        m_hooks.push_back(hook);
        hook->m_interceptor = this;
    }

    void Remove(TWindowHook* hook)
    {
        m_hooks.erase(std::remove(m_hooks.begin(), m_hooks.end(), hook), m_hooks.end());
        hook->m_interceptor = nullptr;
        if (!m_hooks.empty())
            return;
        // The last hook has gone: the window gets its events straight again.
        if (m_window)
            m_window->removeEventFilter(this);
        Unregister();
        if (m_depth == 0)
            delete this;
        else
            m_retired = true;  // deleted when the dispatch under way unwinds
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || m_retired)
            return false;
        QPointer<TWindowInterceptor> self(this);
        QWidget* window = m_window;
        ++m_depth;

        TWindowMessage message{window, event, false};
        RunChain(message, &TWindowHook::m_before);
        if (!self)
            return true;

        auto* nonClient = dynamic_cast<TNonClientEvent*>(event);
        if (message.Handled && !MustBeProcessed(event)) {
            if (nonClient)
                nonClient->FinishOwnProcessing(true);
            Leave();
            return true;
        }

        std::exception_ptr failure;
        try {
            // QWidget::event is protected, QObject::event public; the call
            // dispatches to the window's own override all the same.
            static_cast<QObject*>(window)->event(event);
            if (nonClient)
                nonClient->FinishOwnProcessing(event->isAccepted());
        } catch (...) {
            failure = std::current_exception();
        }
        if (!self)
            return true;  // the window's processing destroyed the window

        if (m_window) {
            TWindowMessage after{window, event, false};
            RunChain(after, &TWindowHook::m_after);
        }
        if (failure) {
            RunReportingErrors([&] { std::rethrow_exception(failure); });
        }
        if (self)
            Leave();
        return true;
    }

private:
    explicit TWindowInterceptor(QWidget* window) : QObject(window), m_window(window)
    {
        setObjectName(QStringLiteral("WindowHookInterceptor"));
        Registry()[window] = this;
        window->installEventFilter(this);
    }

    static std::unordered_map<const QWidget*, TWindowInterceptor*>& Registry()
    {
        static std::unordered_map<const QWidget*, TWindowInterceptor*> registry;
        return registry;
    }

    void Unregister()
    {
        auto found = std::find_if(Registry().begin(), Registry().end(),
                                  [this](const auto& entry) { return entry.second == this; });
        if (found != Registry().end())
            Registry().erase(found);
    }

    // The native window goes or comes with these; they must reach the window
    // whatever a hook says, or the widget and its native window part ways.
    static bool MustBeProcessed(const QEvent* event)
    {
        switch (event->type()) {
            case QEvent::PlatformSurface:
            case QEvent::WinIdChange:
            case QEvent::DeferredDelete:
                return true;
            default:
                return false;
        }
    }

    // Newest first. Taken as a snapshot so that a handler may attach or
    // detach hooks; one detached meanwhile is passed over.
    void RunChain(TWindowMessage& message, TWindowHookHandler TWindowHook::*handler)
    {
        std::vector<QPointer<TWindowHook>> hooks(m_hooks.rbegin(), m_hooks.rend());
        for (const QPointer<TWindowHook>& hook : hooks) {
            if (!hook || hook->m_interceptor != this || !((*hook).*handler))
                continue;
            // A copy: the handler may replace itself while it runs.
            TWindowHookHandler call = (*hook).*handler;
            RunReportingErrors([&] { call(message); });
            if (message.Handled)
                break;
        }
    }

    void Leave()
    {
        if (--m_depth == 0 && m_retired)
            delete this;
    }

    QPointer<QWidget> m_window;
    std::vector<TWindowHook*> m_hooks;  // in the order they were attached
    int m_depth = 0;                    // dispatches under way (they nest)
    bool m_retired = false;
};

TWindowHook::TWindowHook(QObject* parent) : QObject(parent) {}

TWindowHook::~TWindowHook()
{
    Detach();
}

void TWindowHook::SetWindow(QWidget* window)
{
    if (window == m_window)
        return;
    const bool wasActive = Active();
    Detach();
    m_window = window;
    if (wasActive)
        Attach();
}

void TWindowHook::SetActive(bool value)
{
    if (value)
        Attach();
    else
        Detach();
}

void TWindowHook::Attach()
{
    if (Active() || !m_window)
        return;
    TWindowInterceptor::Obtain(m_window)->Add(this);
}

void TWindowHook::Detach()
{
    if (m_interceptor)
        m_interceptor->Remove(this);
}

const QObject* TWindowHook::InterceptorOf(const QWidget* window)
{
    return TWindowInterceptor::Find(window);
}

}  // namespace dw
