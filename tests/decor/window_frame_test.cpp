// SPDX-License-Identifier: MIT
#include "decor/window_frame.h"

#include "frame_test_support.h"
#include "window/window_hook.h"
#include "window/window_messages.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <vector>

namespace dw {
namespace {

using testing::FramedWindow;

TEST(WindowFrameGeometry, TheMainWindowIs445By365WithA437By338ClientArea)
{
    FramedWindow w;
    EXPECT_EQ(w.form->geometry(), QRect(192, 109, 445, 365));
    EXPECT_EQ(w.client->geometry(), QRect(4, 23, 437, 338));
    EXPECT_EQ(w.frame->CaptionBarRect(), QRect(4, 4, 437, 18));
    EXPECT_EQ(w.caption->CaptionRect(), QRect(4, 4, 437 - 3 * 18, 18));
    EXPECT_TRUE(w.form->windowFlags() & Qt::FramelessWindowHint);
    w.form->show();
    EXPECT_EQ(w.form->frameGeometry(), QRect(192, 109, 445, 365));
    EXPECT_EQ(w.NonClient()->geometry(), QRect(0, 0, 445, 365));
}

TEST(WindowFrameGeometry, CaptionButtonsFollowTheFrameStyle)
{
    struct Row {
        const char* name;
        TFormBorderStyle style;
        TBorderIcons icons;
        TBorderIcons effective;
        int count;
        QRect caption;  // of a 300 x 200 window
    };
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize | biHelp;
    const Row rows[] = {
        {"sizeable with the usual three", TFormBorderStyle::bsSizeable, biSystemMenu | biMinimize | biMaximize,
         biSystemMenu | biMinimize | biMaximize, 3, QRect(4, 4, 292 - 54, 18)},
        {"help gives way to minimise and maximise", TFormBorderStyle::bsSizeable, all,
         biSystemMenu | biMinimize | biMaximize, 3, QRect(4, 4, 292 - 54, 18)},
        {"minimise alone brings a disabled maximise", TFormBorderStyle::bsSingle, biSystemMenu | biMinimize,
         biSystemMenu | biMinimize, 3, QRect(3, 3, 294 - 54, 18)},
        {"no system menu, no minimise or maximise", TFormBorderStyle::bsSizeable, biMinimize | biMaximize, 0, 0,
         QRect(4, 4, 292, 18)},
        {"help alone stays", TFormBorderStyle::bsSingle, biSystemMenu | biHelp, biSystemMenu | biHelp, 2,
         QRect(3, 3, 294 - 36, 18)},
        {"a dialog keeps system menu and help", TFormBorderStyle::bsDialog, all, biSystemMenu | biHelp, 2,
         QRect(3, 3, 294 - 36, 18)},
        {"a tool window keeps the system menu", TFormBorderStyle::bsToolWindow, all, biSystemMenu, 1,
         QRect(3, 3, 294 - 15, 15)},
        {"a sizeable tool window", TFormBorderStyle::bsSizeToolWin, all, biSystemMenu, 1, QRect(4, 4, 292 - 15, 15)},
        {"no border shrinks nothing", TFormBorderStyle::bsNone, biSystemMenu | biMinimize | biMaximize,
         biSystemMenu | biMinimize | biMaximize, 3, QRect(0, 0, 300 - 54, 18)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TCaptionButtons buttons = EffectiveCaptionButtons(row.style, row.icons);
        EXPECT_EQ(buttons.Icons, row.effective);
        EXPECT_EQ(buttons.Count, row.count);
        EXPECT_EQ(CaptionRect(QSize(300, 200), row.style, row.icons), row.caption);
    }
}

TEST(WindowFrameGeometry, HitTestFindsEveryPartOfTheFrame)
{
    FramedWindow w;
    struct Row {
        const char* name;
        QPoint pos;
        THitTest expected;
    };
    const Row rows[] = {
        {"outside", QPoint(-1, 10), THitTest::Nowhere},
        {"client", QPoint(200, 200), THitTest::Client},
        {"caption", QPoint(200, 10), THitTest::Caption},
        {"icon", QPoint(10, 10), THitTest::SysMenu},
        {"close", QPoint(430, 12), THitTest::CloseButton},
        {"maximise", QPoint(412, 12), THitTest::MaxButton},
        {"minimise", QPoint(396, 12), THitTest::MinButton},
        {"gap between maximise and close", QPoint(422, 12), THitTest::Caption},
        {"left edge", QPoint(1, 200), THitTest::Left},
        {"right edge", QPoint(443, 200), THitTest::Right},
        {"top edge", QPoint(200, 1), THitTest::Top},
        {"bottom edge", QPoint(200, 363), THitTest::Bottom},
        {"top-left corner", QPoint(1, 1), THitTest::TopLeft},
        {"top-left corner along the left edge", QPoint(2, 15), THitTest::TopLeft},
        {"top-right corner", QPoint(440, 2), THitTest::TopRight},
        {"bottom-left corner", QPoint(2, 360), THitTest::BottomLeft},
        {"bottom-right corner", QPoint(444, 364), THitTest::BottomRight},
        {"line under the caption", QPoint(200, 22), THitTest::Border},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(w.frame->HitTest(row.pos), row.expected);
    }
}

TEST(WindowFrameGeometry, AHookMayChangeTheHitTest)
{
    FramedWindow w;
    TWindowHook hook;
    hook.SetWindow(w.form.get());
    hook.SetAfterMessage([](TWindowMessage& message) {
        if (message.Event->type() == WindowMessage::NcHitTest) {
            auto* hit = static_cast<TNcHitTestEvent*>(message.Event);
            if (hit->Result() == THitTest::Right)
                hit->SetResult(THitTest::Nowhere);
        }
    });
    hook.Attach();
    EXPECT_EQ(w.frame->HitTest(QPoint(443, 200)), THitTest::Nowhere);
    EXPECT_EQ(w.frame->HitTest(QPoint(1, 200)), THitTest::Left);
}

// Answers the size query as the main window's form storage does: neither
// larger nor smaller than 445 x 365, maximized at (199, 106).
class FixedSizeLimits {
public:
    explicit FixedSizeLimits(QWidget* window)
    {
        m_hook.SetWindow(window);
        m_hook.SetAfterMessage([this](TWindowMessage& message) {
            if (message.Event->type() != WindowMessage::GetMinMaxInfo)
                return;
            ++queries;
            TMinMaxInfo& info = static_cast<TMinMaxInfoEvent*>(message.Event)->Info();
            info.MaxPosition = QPoint(199, 106);
            info.MaxSize = QSize(445, 365);
            info.MinTrackSize = QSize(445, 365);
            info.MaxTrackSize = QSize(445, 365);
            message.Event->accept();
        });
        m_hook.Attach();
        NotifySizeLimitsChanged(window);
    }
    int queries = 0;

private:
    TWindowHook m_hook;
};

QPoint Centre(const QRect& rect)
{
    return rect.center();
}

TEST(WindowFrameButtons, MaximiseAndRestoreHonourTheSizeLimits)
{
    FramedWindow w;
    FixedSizeLimits limits(w.form.get());
    w.ShowActive();
    EXPECT_EQ(w.form->minimumSize(), QSize(445, 365));
    EXPECT_EQ(w.form->maximumSize(), QSize(445, 365));

    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MaxButton)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.form->geometry(), QRect(199, 106, 445, 365));
    EXPECT_EQ(w.form->normalGeometry(), QRect(192, 109, 445, 365));

    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MaxButton)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.form->geometry(), QRect(192, 109, 445, 365));
}

TEST(WindowFrameButtons, MaximizedBeforeItIsShownTheWindowOpensAtTheMaximizedPlace)
{
    FramedWindow w;
    FixedSizeLimits limits(w.form.get());
    // As a stored placement is put back: the normal rectangle, then the state.
    w.form->setGeometry(150, 120, 445, 365);
    w.form->setWindowState(Qt::WindowMaximized);
    w.ShowActive();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.form->geometry(), QRect(199, 106, 445, 365));
    EXPECT_EQ(w.form->normalGeometry(), QRect(150, 120, 445, 365));
    w.form->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), QRect(150, 120, 445, 365));
}

TEST(WindowFrameButtons, MinimisingAMaximizedWindowKeepsItMaximized)
{
    FramedWindow w;
    FixedSizeLimits limits(w.form.get());
    w.ShowActive();
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MaxButton)));
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MinButton)));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
              Qt::WindowMaximized | Qt::WindowMinimized);
    w.form->setWindowState(w.form->windowState() & ~Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.form->geometry(), QRect(199, 106, 445, 365));
}

TEST(WindowFrameButtons, WithoutLimitsMaximisingFillsTheWorkAreaWithTheFrameOffIt)
{
    FramedWindow w;
    w.ShowActive();
    const QRect available = w.form->screen()->availableGeometry();
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MaxButton)));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), available.adjusted(-4, -4, 4, 4));
}

TEST(WindowFrameButtons, MinimiseAndCloseWork)
{
    FramedWindow w;
    w.ShowActive();
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MinButton)));
    EXPECT_TRUE(w.form->windowState() & Qt::WindowMinimized);

    w.form->setWindowState(Qt::WindowNoState);
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::CloseButton)));
    EXPECT_FALSE(w.form->isVisible());
}

class RefusingWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

TEST(WindowFrameButtons, CloseAsksTheWindowFirst)
{
    RefusingWindow form;
    auto* client = new QWidget(&form);
    client->resize(200, 100);
    TWindowFrame frame(&form, client);
    form.show();
    QTest::mouseClick(frame.NonClientWidget(), Qt::LeftButton, {}, Centre(frame.ButtonRect(THitTest::CloseButton)));
    EXPECT_TRUE(form.isVisible());
}

TEST(WindowFrameButtons, AButtonActsOnlyWhenReleasedOverIt)
{
    FramedWindow w;
    w.ShowActive();
    const QPoint close = Centre(w.frame->ButtonRect(THitTest::CloseButton));
    QTest::mousePress(w.NonClient(), Qt::LeftButton, {}, close);
    EXPECT_TRUE(w.frame->ButtonPressed(THitTest::CloseButton));
    QTest::mouseMove(w.NonClient(), QPoint(200, 10));
    EXPECT_FALSE(w.frame->ButtonPressed(THitTest::CloseButton));
    QTest::mouseRelease(w.NonClient(), Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_TRUE(w.form->isVisible());
}

TEST(WindowFrameButtons, ADisabledMaximiseDoesNothing)
{
    FramedWindow w;
    w.frame->SetBorderIcons(biSystemMenu | biMinimize);
    w.ShowActive();
    EXPECT_FALSE(w.frame->ButtonEnabled(THitTest::MaxButton));
    QTest::mouseClick(w.NonClient(), Qt::LeftButton, {}, Centre(w.frame->ButtonRect(THitTest::MaxButton)));
    QTest::mouseDClick(w.NonClient(), Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_FALSE(w.form->windowState() & Qt::WindowMaximized);
}

TEST(WindowFrameMouse, DraggingTheCaptionMovesTheWindow)
{
    FramedWindow w;
    w.ShowActive();
    QTest::mousePress(w.NonClient(), Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(w.NonClient(), QPoint(150, 30));
    QTest::mouseRelease(w.NonClient(), Qt::LeftButton, {}, QPoint(150, 30));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->pos(), QPoint(242, 129));
    EXPECT_EQ(w.form->size(), QSize(445, 365));
}

TEST(WindowFrameMouse, DoubleClickOnTheCaptionMaximisesAndRestores)
{
    FramedWindow w;
    FixedSizeLimits limits(w.form.get());
    w.ShowActive();
    QTest::mouseDClick(w.NonClient(), Qt::LeftButton, {}, QPoint(200, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), QRect(199, 106, 445, 365));
    QTest::mouseDClick(w.NonClient(), Qt::LeftButton, {}, QPoint(200, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), QRect(192, 109, 445, 365));
}

TEST(WindowFrameMouse, DraggingAnEdgeKeepsTheFixedSize)
{
    FramedWindow w;
    FixedSizeLimits limits(w.form.get());
    w.ShowActive();
    struct Row {
        const char* name;
        QPoint from, to;
    };
    const Row rows[] = {
        {"right edge outwards", QPoint(443, 200), QPoint(500, 200)},
        {"left edge inwards", QPoint(1, 200), QPoint(60, 200)},
        {"bottom-right corner", QPoint(444, 364), QPoint(300, 300)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTest::mousePress(w.NonClient(), Qt::LeftButton, {}, row.from);
        QTest::mouseMove(w.NonClient(), row.to);
        QTest::mouseRelease(w.NonClient(), Qt::LeftButton, {}, row.to);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.form->geometry(), QRect(192, 109, 445, 365));
    }
    w.form->resize(600, 500);
    EXPECT_EQ(w.form->size(), QSize(445, 365));
}

TEST(WindowFrameMouse, WithoutLimitsAnEdgeResizesWithinTheDefaults)
{
    FramedWindow w;
    w.ShowActive();
    QTest::mousePress(w.NonClient(), Qt::LeftButton, {}, QPoint(443, 200));
    QTest::mouseMove(w.NonClient(), QPoint(493, 200));
    QTest::mouseRelease(w.NonClient(), Qt::LeftButton, {}, QPoint(493, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), QRect(192, 109, 495, 365));
    EXPECT_EQ(w.client->geometry(), QRect(4, 23, 487, 338));
    // The left edge cannot pull the window below its smallest width.
    QTest::mousePress(w.NonClient(), Qt::LeftButton, {}, QPoint(1, 200));
    QTest::mouseMove(w.NonClient(), QPoint(480, 200));
    QTest::mouseRelease(w.NonClient(), Qt::LeftButton, {}, QPoint(480, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form->geometry(), QRect(192 + 495 - 112, 109, 112, 365));
}

// Records the non-client messages a window receives.
class MessageLog {
public:
    explicit MessageLog(QWidget* window)
    {
        m_hook.SetWindow(window);
        m_hook.SetBeforeMessage([this](TWindowMessage& message) {
            const QEvent::Type type = message.Event->type();
            if (type == WindowMessage::NcActivate)
                activations.push_back(static_cast<TNcActivateEvent*>(message.Event)->Active());
            else if (type == WindowMessage::NcRButtonDown)
                rightButton.push_back("down");
            else if (type == WindowMessage::NcRButtonUp)
                rightButton.push_back("up");
        });
        m_hook.Attach();
    }
    std::vector<bool> activations;
    std::vector<std::string> rightButton;

private:
    TWindowHook m_hook;
};

TEST(WindowFrameMessages, ActivationChangesRaiseTheNonClientActivation)
{
    FramedWindow w(437, 338, false);
    MessageLog log(w.form.get());
    w.ShowActive();
    ASSERT_TRUE(w.form->isActiveWindow());
    EXPECT_TRUE(w.frame->DrawnActive());

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(w.frame->DrawnActive());
    ASSERT_GE(log.activations.size(), 2u);
    EXPECT_TRUE(log.activations.front());
    EXPECT_FALSE(log.activations.back());
}

TEST(WindowFrameMessages, ARightClickInTheFrameOpensTheSystemMenu)
{
    FramedWindow w(437, 338, false);
    MessageLog log(w.form.get());
    w.ShowActive();
    QTest::mouseClick(w.NonClient(), Qt::RightButton, {}, QPoint(200, 10));
    EXPECT_EQ(log.rightButton, (std::vector<std::string>{"down", "up"}));
    ASSERT_NE(w.frame->SystemMenu(), nullptr);
    EXPECT_TRUE(w.frame->SystemMenu()->isVisible());
    QStringList texts;
    for (QAction* action : w.frame->SystemMenu()->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Восстановить", "Свернуть", "Развернуть", "Закрыть\tAlt+F4"}));
    w.frame->SystemMenu()->hide();
}

TEST(WindowFrameMessages, WithoutTheCaptionTheFrameDrawsTheTitleBarItself)
{
    FramedWindow w(437, 338, false);
    w.ShowActive();
    const QImage image = w.Paint();
    // The desktop's own bar runs from the active caption colour.
    EXPECT_TRUE(testing::Near(image.pixel(4 + 20, 4), qRgb(0, 0, 128), 6)) << testing::Hex(image.pixel(24, 4));
    EXPECT_TRUE(testing::Near(image.pixel(440, 4), qRgb(0, 0, 255), 6)) << testing::Hex(image.pixel(440, 4));
    // The icon.
    EXPECT_EQ(image.pixel(14, 12), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace dw
