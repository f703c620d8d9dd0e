// SPDX-License-Identifier: MIT
// Reading down a sheet taller than the window with the keys and the wheel:
// Page Down and Space go a screenful on within the page before they turn
// it, Home and End reach the page's top and bottom, and a wheel notch moves
// the same share of the view at any zoom.

#include "report/preview/preview_image.h"
#include "tests/report_preview/preview_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace dw {
namespace {

using test::PreviewFixture;

enum class Where { Top, Bottom, ScreenDown, ScreenUp };

struct ReadingRow {
    const char* name;
    int zoom;  // 0: page width
    int startPage;
    Where start;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int page;
    Where end;
};

class ReadingKeysTest : public PreviewFixture {
protected:
    QScrollBar& Vertical() { return *Preview().verticalScrollBar(); }

    void Run(const ReadingRow& row, int pageCount)
    {
        SCOPED_TRACE(row.name);
        if (row.zoom == 0) {
            QTest::mouseClick(window->ZoomToWidth(), Qt::LeftButton);
        } else {
            Preview().SetZoom(row.zoom);
        }
        QTest::mouseClick(window->FirstPage(), Qt::LeftButton);
        for (int n = 1; n < row.startPage; ++n) {
            QTest::mouseClick(window->NextPage(), Qt::LeftButton);
        }
        ASSERT_GT(Vertical().maximum(), 0) << "the page must be taller than the window";
        Vertical().setValue(row.start == Where::Bottom ? Vertical().maximum() : 0);
        Preview().setFocus();
        const int from = Vertical().value();
        QTest::keyClick(window->focusWidget(), row.key, row.modifiers);

        EXPECT_EQ(Preview().PageNumber(), row.page);
        EXPECT_EQ(window->Status()->text(), QStringLiteral("Page %1 of %2").arg(row.page).arg(pageCount));
        const int view = Preview().viewport()->height();
        const int at = Vertical().value();
        switch (row.end) {
            case Where::Top:
                EXPECT_EQ(at, 0);
                break;
            case Where::Bottom:
                EXPECT_EQ(at, Vertical().maximum());
                break;
            case Where::ScreenDown:
            case Where::ScreenUp: {
                // Most of a screen, and the edge of the last one still in sight.
                const int moved = row.end == Where::ScreenDown ? at - from : from - at;
                EXPECT_GT(moved, view * 9 / 10);
                EXPECT_LT(moved, view);
                break;
            }
        }
        // The image sits where the scroll bars say.
        EXPECT_EQ(Preview().Image()->y(), Preview().ImagePosition().y() - at);
    }
};

TEST_F(ReadingKeysTest, OnePageReportAtPageWidth)
{
    const ReadingRow rows[] = {
        {"Page Down at the top shows the bottom", 0, 1, Where::Top, Qt::Key_PageDown, Qt::NoModifier, 1, Where::Bottom},
        {"Page Down at the bottom stays there", 0, 1, Where::Bottom, Qt::Key_PageDown, Qt::NoModifier, 1,
         Where::Bottom},
        {"Space at the top", 0, 1, Where::Top, Qt::Key_Space, Qt::NoModifier, 1, Where::Bottom},
        {"Shift+Space at the bottom", 0, 1, Where::Bottom, Qt::Key_Space, Qt::ShiftModifier, 1, Where::Top},
        {"Page Up at the bottom", 0, 1, Where::Bottom, Qt::Key_PageUp, Qt::NoModifier, 1, Where::Top},
        {"Page Up at the top stays there", 0, 1, Where::Top, Qt::Key_PageUp, Qt::NoModifier, 1, Where::Top},
        {"End", 0, 1, Where::Top, Qt::Key_End, Qt::NoModifier, 1, Where::Bottom},
        {"Home", 0, 1, Where::Bottom, Qt::Key_Home, Qt::NoModifier, 1, Where::Top},
        {"Ctrl+End", 0, 1, Where::Top, Qt::Key_End, Qt::ControlModifier, 1, Where::Bottom},
        {"Ctrl+Home", 0, 1, Where::Bottom, Qt::Key_Home, Qt::ControlModifier, 1, Where::Top},
        {"Shift+Ctrl+Page Down reads on like Page Down", 0, 1, Where::Top, Qt::Key_PageDown,
         Qt::ShiftModifier | Qt::ControlModifier, 1, Where::Bottom},
        {"Page Down at 200 % goes a screenful", 200, 1, Where::Top, Qt::Key_PageDown, Qt::NoModifier, 1,
         Where::ScreenDown},
        {"Space at 200 % goes a screenful", 200, 1, Where::Top, Qt::Key_Space, Qt::NoModifier, 1, Where::ScreenDown},
        {"Page Up at 200 % from the bottom", 200, 1, Where::Bottom, Qt::Key_PageUp, Qt::NoModifier, 1, Where::ScreenUp},
        {"End at 2000 %", 2000, 1, Where::Top, Qt::Key_End, Qt::NoModifier, 1, Where::Bottom},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const ReadingRow& row : rows) {
        Run(row, 1);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ReadingKeysTest, ThreePagesAtPageWidthTurnAtTheEnds)
{
    const ReadingRow rows[] = {
        {"Page Down at the bottom of page 1 turns to the top of page 2", 0, 1, Where::Bottom, Qt::Key_PageDown,
         Qt::NoModifier, 2, Where::Top},
        {"Space at the bottom of page 2 turns to page 3", 0, 2, Where::Bottom, Qt::Key_Space, Qt::NoModifier, 3,
         Where::Top},
        {"Page Up at the top of page 2 turns back to the bottom of page 1", 0, 2, Where::Top, Qt::Key_PageUp,
         Qt::NoModifier, 1, Where::Bottom},
        {"Page Down at the top of page 1 stays on it", 0, 1, Where::Top, Qt::Key_PageDown, Qt::NoModifier, 1,
         Where::Bottom},
        {"Home at the top of page 2 goes to page 1", 0, 2, Where::Top, Qt::Key_Home, Qt::NoModifier, 1, Where::Top},
        {"End at the bottom of page 2 goes to the end of page 3", 0, 2, Where::Bottom, Qt::Key_End, Qt::NoModifier, 3,
         Where::Bottom},
        {"Ctrl+Page Down goes to the last page", 0, 1, Where::Bottom, Qt::Key_PageDown, Qt::ControlModifier, 3,
         Where::Top},
        {"Ctrl+Home from the middle page", 0, 2, Where::Bottom, Qt::Key_Home, Qt::ControlModifier, 1, Where::Top},
    };
    test::RunPages(*printer, 3);
    Open();
    for (const ReadingRow& row : rows) {
        Run(row, 3);
    }
    EXPECT_TRUE(errors.empty());
}

// A notch of the wheel moves the page by the same share of the view
// whether the whole sheet is a few hundred pixels or a few letters fill
// the screen.
TEST_F(ReadingKeysTest, AWheelNotchMovesTheSameShareAtEveryZoom)
{
    test::RunPages(*printer, 1);
    Open();
    const auto notch = [this](int zoom) {
        Preview().SetZoom(zoom);
        QWidget* viewport = Preview().viewport();
        const QPointF at(300, 200);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
        return Vertical().value();
    };
    const int view = Preview().viewport()->height();
    const int atPageWidth = notch(82);
    // A scroll bar coming or going changes the view by a few pixels.
    EXPECT_NEAR(notch(200), atPageWidth, 2);
    EXPECT_NEAR(notch(2000), atPageWidth, 2);
    EXPECT_GE(atPageWidth, view / 20);
    EXPECT_LE(atPageWidth, view / 4);
}

}  // namespace
}  // namespace dw
