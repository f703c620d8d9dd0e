// SPDX-License-Identifier: MIT
#include "window/window_hook.h"

#include "common/error_display.h"
#include "common/errors.h"
#include "window/window_messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace dw {
namespace {

const QEvent::Type kProbe = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kRaise = static_cast<QEvent::Type>(QEvent::registerEventType());

// A window that records what its own processing saw, and raises on request.
class ProbeWindow : public QWidget {
public:
    std::vector<std::string>* log = nullptr;
    bool acceptsNonClient = false;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == WindowMessage::NcActivate && acceptsNonClient) {
            event->accept();
            return true;
        }
        if (event->type() == kProbe) {
            log->push_back("window");
            return true;
        }
        if (event->type() == kRaise) {
            log->push_back("window raises");
            throw EConvertError(DW_TEXT("Message", "Window failed"));
        }
        return QWidget::event(event);
    }
};

// Records the messages shown to the user.
class ErrorRecorder {
public:
    ErrorRecorder()
    {
        m_previous = SetErrorDisplay([this](const std::string& message) { messages.push_back(message); });
    }
    ~ErrorRecorder() { SetErrorDisplay(m_previous); }
    std::vector<std::string> messages;

private:
    ErrorDisplayHandler m_previous;
};

class WindowHookTest : public ::testing::Test {
protected:
    void SetUp() override { window.log = &log; }

    // A hook whose handlers log under its name and act on the probe message.
    TWindowHook& AddHook(const std::string& name, bool handledBefore = false, bool handledAfter = false)
    {
        auto hook = std::make_unique<TWindowHook>();
        hook->SetWindow(&window);
        hook->SetBeforeMessage([this, name, handledBefore](TWindowMessage& message) {
            if (message.Event->type() != kProbe && message.Event->type() != kRaise)
                return;
            log.push_back(name + " before");
            message.Handled = handledBefore;
        });
        hook->SetAfterMessage([this, name, handledAfter](TWindowMessage& message) {
            if (message.Event->type() != kProbe && message.Event->type() != kRaise)
                return;
            log.push_back(name + " after");
            message.Handled = handledAfter;
        });
        hook->Attach();
        hooks.push_back(std::move(hook));
        return *hooks.back();
    }

    void Send(QEvent::Type type)
    {
        QEvent event(type);
        QCoreApplication::sendEvent(&window, &event);
    }

    std::vector<std::string> log;
    ProbeWindow window;
    std::vector<std::unique_ptr<TWindowHook>> hooks;
};

TEST_F(WindowHookTest, HandlersRunNewestFirstAroundTheWindowsOwnProcessing)
{
    AddHook("a");
    AddHook("b");
    Send(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"b before", "a before", "window", "b after", "a after"}));
}

TEST_F(WindowHookTest, HandledStopsTheChainItIsIn)
{
    struct Row {
        const char* name;
        bool handledBefore;
        bool handledAfter;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"before handled skips the window and every after-handler", true, false, {"new before"}},
        {"after handled stops only the after-chain", false, true, {"new before", "old before", "window", "new after"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.clear();
        hooks.clear();
        AddHook("old");
        AddHook("new", row.handledBefore, row.handledAfter);
        Send(kProbe);
        EXPECT_EQ(log, row.expected);
    }
}

TEST_F(WindowHookTest, AfterHandlersRunWhenTheWindowRaisesAndTheErrorIsShown)
{
    ErrorRecorder errors;
    AddHook("a");
    Send(kRaise);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "window raises", "a after"}));
    EXPECT_EQ(errors.messages, (std::vector<std::string>{"Window failed"}));
}

TEST_F(WindowHookTest, AHandlerErrorIsShownAndTheMessageGoesOn)
{
    ErrorRecorder errors;
    AddHook("old");
    TWindowHook& failing = AddHook("new");
    failing.SetBeforeMessage([](TWindowMessage& message) {
        if (message.Event->type() == kProbe)
            throw EConvertError(DW_TEXT("Message", "'x' is not a valid floating point value"));
    });
    Send(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"old before", "window", "new after", "old after"}));
    EXPECT_EQ(errors.messages, (std::vector<std::string>{"'x' is not a valid floating point value"}));
}

TEST_F(WindowHookTest, OneInterceptorPerWindowGoneWithTheLastHook)
{
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), nullptr);
    TWindowHook& first = AddHook("a");
    const QObject* interceptor = TWindowHook::InterceptorOf(&window);
    ASSERT_NE(interceptor, nullptr);
    TWindowHook& second = AddHook("b");
    AddHook("c");
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), interceptor);
    EXPECT_EQ(window.findChildren<QObject*>(interceptor->objectName()).size(), 1);

    first.Detach();
    second.Detach();
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), interceptor);
    hooks.back()->Detach();
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), nullptr);
    EXPECT_TRUE(window.findChildren<QObject*>(QStringLiteral("WindowHookInterceptor")).isEmpty());

    // Detached, the window is left alone.
    log.clear();
    Send(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"window"}));
}

TEST_F(WindowHookTest, AHookMayDetachItselfOrAnotherWhileAMessageRuns)
{
    TWindowHook& old = AddHook("old");
    TWindowHook& middle = AddHook("middle");
    TWindowHook& newest = AddHook("new");
    newest.SetBeforeMessage([&](TWindowMessage& message) {
        if (message.Event->type() != kProbe)
            return;
        log.push_back("new before");
        newest.Detach();
        middle.Detach();
    });
    Send(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"new before", "old before", "window", "old after"}));
    old.Detach();
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), nullptr);
}

TEST_F(WindowHookTest, DestroyingAHookOrTheWindowDetaches)
{
    AddHook("a");
    hooks.clear();
    EXPECT_EQ(TWindowHook::InterceptorOf(&window), nullptr);

    auto doomed = std::make_unique<ProbeWindow>();
    doomed->log = &log;
    TWindowHook hook;
    hook.SetWindow(doomed.get());
    hook.Attach();
    EXPECT_TRUE(hook.Active());
    doomed.reset();
    EXPECT_FALSE(hook.Active());
    EXPECT_EQ(hook.Window(), nullptr);
}

TEST_F(WindowHookTest, AWindowDestroyedByItsOwnProcessingEndsTheDispatch)
{
    auto* doomed = new ProbeWindow;
    doomed->log = &log;
    bool afterRan = false;
    TWindowHook hook;
    hook.SetWindow(doomed);
    hook.SetAfterMessage([&](TWindowMessage& message) {
        if (message.Event->type() == QEvent::DeferredDelete)
            afterRan = true;
    });
    hook.Attach();
    doomed->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(afterRan);
    EXPECT_FALSE(hook.Active());
}

TEST_F(WindowHookTest, TheHookStaysWhenTheNativeWindowIsMadeAgain)
{
    int probes = 0;
    TWindowHook hook;
    hook.SetWindow(&window);
    // Even a hook that swallows everything cannot keep the native window
    // from being destroyed and created.
    hook.SetBeforeMessage([&](TWindowMessage& message) {
        if (message.Event->type() == kProbe)
            ++probes;
        message.Handled = true;
    });
    hook.Attach();
    window.show();
    const WId first = window.winId();
    ASSERT_NE(window.windowHandle(), nullptr);
    window.windowHandle()->destroy();
    window.windowHandle()->create();
    EXPECT_TRUE(window.windowHandle()->handle() != nullptr);
    EXPECT_TRUE(hook.Active());
    Send(kProbe);
    EXPECT_EQ(probes, 1);
    (void)first;
    hook.Detach();
}

TEST_F(WindowHookTest, NonClientMessagesGetTheDefaultOnlyWhenNobodyTookThem)
{
    struct Row {
        const char* name;
        bool hooked;
        bool handledBefore;
        bool windowAccepts;
        bool expectDefault;
    };
    const Row rows[] = {
        {"no hook: the sender runs the default", false, false, false, true},
        {"no hook, the window takes it: no default", false, false, true, false},
        {"a hook: the default runs between before and after", true, false, false, true},
        {"a hook, the window takes it: no default", true, false, true, false},
        {"handled before: no default", true, true, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.clear();
        hooks.clear();
        window.acceptsNonClient = row.windowAccepts;
        if (row.hooked) {
            auto& hook = AddHook("h");
            hook.SetBeforeMessage([&](TWindowMessage& message) {
                if (message.Event->type() == WindowMessage::NcActivate) {
                    log.push_back("before");
                    message.Handled = row.handledBefore;
                }
            });
            hook.SetAfterMessage([&](TWindowMessage& message) {
                if (message.Event->type() == WindowMessage::NcActivate)
                    log.push_back("after");
            });
        }
        TNcActivateEvent event(true);
        event.SetDefaultProcessing([&] { log.push_back("default"); });
        SendNonClientEvent(&window, event);
        const bool defaultRan = std::find(log.begin(), log.end(), "default") != log.end();
        EXPECT_EQ(defaultRan, row.expectDefault);
        if (row.hooked && !row.handledBefore && !row.windowAccepts) {
            EXPECT_EQ(log, (std::vector<std::string>{"before", "default", "after"}));
        }
    }
}

TEST_F(WindowHookTest, AnAfterHandlerAnswersTheSizeQuery)
{
    TWindowHook& hook = AddHook("limits");
    hook.SetAfterMessage([](TWindowMessage& message) {
        if (message.Event->type() != WindowMessage::GetMinMaxInfo)
            return;
        auto* query = static_cast<TMinMaxInfoEvent*>(message.Event);
        query->Info().MinTrackSize = QSize(445, 365);
        query->Info().MaxTrackSize = QSize(445, 365);
        query->accept();
    });
    TMinMaxInfo defaults{QSize(1032, 776), QPoint(-4, -4), QSize(112, 27), QSize(1032, 776)};
    TMinMaxInfoEvent query(defaults);
    SendNonClientEvent(&window, query);
    EXPECT_TRUE(query.isAccepted());
    EXPECT_EQ(query.Info().MinTrackSize, QSize(445, 365));
    EXPECT_EQ(query.Info().MaxTrackSize, QSize(445, 365));
    EXPECT_EQ(query.Info().MaxPosition, QPoint(-4, -4));
}

}  // namespace
}  // namespace dw
