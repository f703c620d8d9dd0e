// SPDX-License-Identifier: MIT
// The zoom as a reader changes it: the zoom box, its buttons, the zoom keys,
// Ctrl with the wheel and a resize of the window, each seen in the number
// the box shows and in which of the three zoom buttons is down.

#include "report/preview/zoom_box.h"
#include "tests/report_preview/preview_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

namespace dw {
namespace {

using test::PreviewFixture;

enum class Down { None, Fit, Hundred, Width };

class ZoomBoxTest : public PreviewFixture {
public:
    QLineEdit& Box() { return *window->ZoomBox()->Box(); }

    void Type(const QString& text)
    {
        QTest::mouseClick(&Box(), Qt::LeftButton);
        QCoreApplication::processEvents();  // the click selects what the box shows
        // The keys go where the keyboard is, as a person's would.
        QTest::keyClicks(window->focusWidget(), text);
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window->focusWidget(), key, modifiers);
    }

    void CtrlWheel(int delta)
    {
        QWidget* viewport = Preview().viewport();
        const QPointF at(300, 200);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }

    void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    Down ButtonDown()
    {
        const bool fit = window->ZoomToFit()->isChecked();
        const bool hundred = window->ZoomTo100()->isChecked();
        const bool width = window->ZoomToWidth()->isChecked();
        if (fit + hundred + width > 1) {
            ADD_FAILURE() << "more than one zoom button down";
        }
        return fit ? Down::Fit : hundred ? Down::Hundred : width ? Down::Width : Down::None;
    }
};

struct ZoomAction {
    const char* name;
    std::function<void(ZoomBoxTest&)> steps;
    const char* shown;  // what the zoom box says afterwards
    Down down;
};

TEST_F(ZoomBoxTest, EveryWayOfZoomingShowsItsPercentAndTheRightButton)
{
    // Each row starts from the A3 sheet just arrived: page width, 82 %, in a
    // preview 1024 x 700.
    const ZoomAction rows[] = {
        {"the zoom box shows the page-width zoom", [](ZoomBoxTest&) {}, "82%", Down::Width},
        {"zoom in from 82 % lands on 100 %, the 100 % button goes down",
         [](ZoomBoxTest& t) { t.Click(t.window->ZoomBox()->ZoomInButton()); }, "100%", Down::Hundred},
        {"zoom in twice",
         [](ZoomBoxTest& t) {
             t.Click(t.window->ZoomBox()->ZoomInButton());
             t.Click(t.window->ZoomBox()->ZoomInButton());
         },
         "125%", Down::None},
        {"zoom out from 82 %", [](ZoomBoxTest& t) { t.Click(t.window->ZoomBox()->ZoomOutButton()); }, "75%",
         Down::None},
        {"150 typed and Enter", [](ZoomBoxTest& t) { t.Type(QStringLiteral("150")); }, "150%", Down::None},
        {"\"250 %\" typed", [](ZoomBoxTest& t) { t.Type(QStringLiteral("250 %")); }, "250%", Down::None},
        {"100 typed", [](ZoomBoxTest& t) { t.Type(QStringLiteral("100")); }, "100%", Down::Hundred},
        {"2 typed, the least", [](ZoomBoxTest& t) { t.Type(QStringLiteral("2")); }, "2%", Down::None},
        {"2000 typed, the most", [](ZoomBoxTest& t) { t.Type(QStringLiteral("2000")); }, "2000%", Down::None},
        {"1 typed is refused", [](ZoomBoxTest& t) { t.Type(QStringLiteral("1")); }, "82%", Down::Width},
        {"2001 typed is refused", [](ZoomBoxTest& t) { t.Type(QStringLiteral("2001")); }, "82%", Down::Width},
        {"nothing typed is refused", [](ZoomBoxTest& t) { t.Type(QString()); }, "82%", Down::Width},
        {"1.5 typed is refused, not read as 15", [](ZoomBoxTest& t) { t.Type(QStringLiteral("1.5")); }, "82%",
         Down::Width},
        {"1e308 typed is refused, not read as 1308", [](ZoomBoxTest& t) { t.Type(QStringLiteral("1e308")); }, "82%",
         Down::Width},
        {"150 with a letter after it is refused", [](ZoomBoxTest& t) { t.Type(QStringLiteral("150x")); }, "82%",
         Down::Width},
        {"typing left without Enter is dropped",
         [](ZoomBoxTest& t) {
             QTest::mouseClick(&t.Box(), Qt::LeftButton);
             QCoreApplication::processEvents();
             QTest::keyClicks(t.window->focusWidget(), QStringLiteral("300"));
             t.Preview().setFocus();
         },
         "82%", Down::Width},
        {"the up arrow in the box climbs the ladder",
         [](ZoomBoxTest& t) {
             QTest::mouseClick(&t.Box(), Qt::LeftButton);
             t.Key(Qt::Key_Up);
             t.Key(Qt::Key_Up);
         },
         "125%", Down::None},
        {"the down arrow in the box",
         [](ZoomBoxTest& t) {
             QTest::mouseClick(&t.Box(), Qt::LeftButton);
             t.Key(Qt::Key_Down);
         },
         "75%", Down::None},
        {"zoom in at 2000 % stays",
         [](ZoomBoxTest& t) {
             t.Type(QStringLiteral("2000"));
             t.Click(t.window->ZoomBox()->ZoomInButton());
         },
         "2000%", Down::None},
        {"zoom out at 2 % stays",
         [](ZoomBoxTest& t) {
             t.Type(QStringLiteral("2"));
             t.Click(t.window->ZoomBox()->ZoomOutButton());
         },
         "2%", Down::None},
        {"Ctrl++", [](ZoomBoxTest& t) { t.Key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); }, "100%",
         Down::Hundred},
        {"Ctrl+=", [](ZoomBoxTest& t) { t.Key(Qt::Key_Equal, Qt::ControlModifier); }, "100%", Down::Hundred},
        {"Ctrl+-", [](ZoomBoxTest& t) { t.Key(Qt::Key_Minus, Qt::ControlModifier); }, "75%", Down::None},
        {"+ alone", [](ZoomBoxTest& t) { t.Key(Qt::Key_Plus); }, "100%", Down::Hundred},
        {"- alone", [](ZoomBoxTest& t) { t.Key(Qt::Key_Minus); }, "75%", Down::None},
        {"Ctrl+0 after zooming out",
         [](ZoomBoxTest& t) {
             t.Key(Qt::Key_Minus, Qt::ControlModifier);
             t.Key(Qt::Key_0, Qt::ControlModifier);
         },
         "100%", Down::Hundred},
        {"Ctrl+wheel", [](ZoomBoxTest& t) { t.CtrlWheel(120); }, "90%", Down::None},
        {"Zoom to fit", [](ZoomBoxTest& t) { t.Click(t.window->ZoomToFit()); }, "42%", Down::Fit},
        {"Zoom to 100%", [](ZoomBoxTest& t) { t.Click(t.window->ZoomTo100()); }, "100%", Down::Hundred},
        {"Zoom to 100% pressed again stays down",
         [](ZoomBoxTest& t) {
             t.Click(t.window->ZoomTo100());
             t.Click(t.window->ZoomTo100());
         },
         "100%", Down::Hundred},
        {"Zoom to page width after a wheel zoom",
         [](ZoomBoxTest& t) {
             t.CtrlWheel(120);
             t.Click(t.window->ZoomToWidth());
         },
         "82%", Down::Width},
        {"a resize after Zoom to fit fits again",
         [](ZoomBoxTest& t) {
             t.Click(t.window->ZoomToFit());
             t.window->resize(800, 600);
         },
         "33%", Down::Fit},
        {"a resize at page width fits the width again", [](ZoomBoxTest& t) { t.window->resize(800, 600); }, "64%",
         Down::Width},
        {"a resize after a wheel zoom keeps it",
         [](ZoomBoxTest& t) {
             t.CtrlWheel(120);
             t.window->resize(800, 600);
         },
         "90%", Down::None},
        {"a resize after a typed 100 keeps it",
         [](ZoomBoxTest& t) {
             t.Type(QStringLiteral("100"));
             t.window->resize(800, 600);
         },
         "100%", Down::Hundred},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const ZoomAction& row : rows) {
        SCOPED_TRACE(row.name);
        window->resize(kWindowWidth, kWindowHeight);
        Click(window->ZoomToWidth());
        Preview().setFocus();
        ASSERT_EQ(Box().text(), QStringLiteral("82%"));
        row.steps(*this);
        EXPECT_EQ(Box().text().toStdString(), row.shown);
        EXPECT_EQ(TVpZoomBox::ZoomText(Preview().Zoom()).toStdString(), row.shown) << "the box tells the zoom";
        EXPECT_EQ(ButtonDown(), row.down);
    }
    EXPECT_TRUE(errors.empty());
}

// Typing in the box keeps its own keys: a minus, Home and Esc edit the
// number there and neither zoom, scroll nor close the window.
TEST_F(ZoomBoxTest, TheBoxKeepsItsEditingKeys)
{
    test::RunPages(*printer, 1);
    Open();
    Click(window->ZoomToWidth());
    QTest::mouseClick(&Box(), Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_Minus);
    QTest::keyClick(window->focusWidget(), Qt::Key_Home);
    EXPECT_EQ(Preview().Zoom(), 82);
    QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Box().text(), QStringLiteral("82%"));
    EXPECT_EQ(window->focusWidget(), &Preview()) << "Esc hands the keys back to the page";
}

}  // namespace
}  // namespace dw
