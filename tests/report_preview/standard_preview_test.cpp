// SPDX-License-Identifier: MIT
// The window as a user meets it: how it opens, the page keys, the printer's
// notices, and closing it.

#include "report/preview/preview_image.h"
#include "tests/report_preview/preview_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace dw {
namespace {

using test::PreviewFixture;

class StandardPreviewTest : public PreviewFixture {};

TEST_F(StandardPreviewTest, OpensBeforeThePageAndShowsItAtPageWidthWhenItArrives)
{
    printer->SetTitle("Weight report");
    printer->BeginDoc();
    printer->NewPage();
    test::DrawPage(*printer, 1);
    window = ShowStandardPreview(*printer);
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Weight report"));
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Working..."));
    EXPECT_EQ(Preview().Zoom(), 218);
    EXPECT_EQ(Preview().ZoomMode(), TVpZoomMode::Fixed);
    EXPECT_TRUE(window->ZoomToWidth()->isChecked());
    EXPECT_FALSE(Preview().Image()->HasPage());
    EXPECT_TRUE(printer->ShowingPreview());

    window->setWindowState(Qt::WindowNoState);
    window->resize(kWindowWidth, kWindowHeight);
    printer->EndDoc();
    Notices();
    EXPECT_TRUE(Preview().Image()->HasPage());
    EXPECT_EQ(Preview().ZoomMode(), TVpZoomMode::PageWidth);
    EXPECT_EQ(Preview().Zoom(), 82);
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 1"));

    // One page: every way of turning it leaves it there.
    for (QToolButton* button : {window->NextPage(), window->PrevPage(), window->FirstPage(), window->LastPage()}) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(Preview().PageNumber(), 1);
        EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 1"));
    }
}

TEST_F(StandardPreviewTest, ZoomButtonsStayDownOneAtATime)
{
    test::RunPages(*printer, 1);
    Open();
    for (QToolButton* pressed :
         {window->ZoomToFit(), window->ZoomTo100(), window->ZoomTo100(), window->ZoomToWidth()}) {
        QTest::mouseClick(pressed, Qt::LeftButton);
        for (QToolButton* button : {window->ZoomToFit(), window->ZoomTo100(), window->ZoomToWidth()}) {
            EXPECT_EQ(button->isChecked(), button == pressed) << button->objectName().toStdString();
        }
    }
}

TEST_F(StandardPreviewTest, PageKeysReachTheWindowBeforeTheFocusedControl)
{
    struct Row {
        const char* name;
        int startPage;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Row rows[] = {
        {"Home", 3, Qt::Key_Home, Qt::NoModifier, 1},
        {"End", 3, Qt::Key_End, Qt::NoModifier, 5},
        {"Page Up", 3, Qt::Key_PageUp, Qt::NoModifier, 2},
        {"Page Down", 3, Qt::Key_PageDown, Qt::NoModifier, 4},
        {"Ctrl+Page Up", 3, Qt::Key_PageUp, Qt::ControlModifier, 1},
        {"Ctrl+Page Down", 3, Qt::Key_PageDown, Qt::ControlModifier, 5},
        {"Shift+Ctrl+Page Up is Page Up", 3, Qt::Key_PageUp, Qt::ShiftModifier | Qt::ControlModifier, 2},
        {"Alt+Ctrl+Page Down is Page Down", 3, Qt::Key_PageDown, Qt::AltModifier | Qt::ControlModifier, 4},
        {"Shift+Page Down", 3, Qt::Key_PageDown, Qt::ShiftModifier, 4},
        {"Ctrl+End", 3, Qt::Key_End, Qt::ControlModifier, 5},
        {"Page Up on the first page", 1, Qt::Key_PageUp, Qt::NoModifier, 1},
        {"Page Down on the last page", 5, Qt::Key_PageDown, Qt::NoModifier, 5},
    };
    test::RunPages(*printer, 5);
    Open();
    // The whole page in sight: the keys have nothing to scroll and turn pages.
    QTest::mouseClick(window->ZoomToFit(), Qt::LeftButton);
    for (QWidget* focused : {static_cast<QWidget*>(window->VpPreview()), static_cast<QWidget*>(window->Exit())}) {
        focused->setFocus();
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + " with the focus on " + focused->objectName().toStdString());
            Preview().SetPageNumber(row.startPage);
            QTest::keyClick(window->focusWidget(), row.key, row.modifiers);
            EXPECT_EQ(Preview().PageNumber(), row.page);
            EXPECT_EQ(Preview().Image()->PageNumber(), row.page);
            EXPECT_EQ(window->Status()->text(), QStringLiteral("Page %1 of 5").arg(row.page));
            // The new page is shown from its top; the key did not scroll it too.
            EXPECT_EQ(Preview().verticalScrollBar()->value(), 0);
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(StandardPreviewTest, EscapeClosesTheWindowAndDetachesIt)
{
    test::RunPages(*printer, 1);
    Open();
    window->Exit()->setFocus();
    QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(printer->ShowingPreview());
    EXPECT_EQ(printer->StatusWindow(), nullptr);
}

TEST_F(StandardPreviewTest, ProgressBarShowsOnlyBetweenTheEnds)
{
    struct Row {
        const char* name;
        int percent;
        bool visible;
        int position;
    };
    const Row rows[] = {
        {"a run under way", 37, true, 37},   {"nothing done", 0, false, 0},     {"all done", 100, false, 100},
        {"beyond the end", 150, false, 100}, {"below the start", -5, false, 0}, {"almost done", 99, true, 99},
    };
    printer->BeginDoc();
    Open();
    // Until the first progress notice the bar is there and empty.
    EXPECT_TRUE(window->VpGauge()->isVisible());
    EXPECT_EQ(window->VpGauge()->value(), 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer->SetProgress(row.percent);
        Notices();
        EXPECT_EQ(window->VpGauge()->isVisible(), row.visible);
        EXPECT_EQ(window->VpGauge()->value(), row.position);
    }
}

TEST_F(StandardPreviewTest, OnlyTheNoticeOfThePageShownRefitsIt)
{
    printer->BeginDoc();
    Open();
    printer->NewPage();
    printer->NewPage();  // page 1 finished
    Notices();
    EXPECT_TRUE(Preview().Image()->HasPage());
    EXPECT_EQ(Preview().ZoomMode(), TVpZoomMode::PageWidth);
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 2"));

    QTest::mouseClick(window->ZoomTo100(), Qt::LeftButton);
    printer->NewPage();
    printer->EndDoc();
    Notices();
    EXPECT_EQ(Preview().Zoom(), 100);
    EXPECT_EQ(Preview().ZoomMode(), TVpZoomMode::Fixed);
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 3"));
}

TEST_F(StandardPreviewTest, ClosingWhilePagesAreProducedCancelsTheRun)
{
    printer->BeginDoc();
    printer->NewPage();
    Open();
    QTest::mouseClick(window->Exit(), Qt::LeftButton);
    EXPECT_TRUE(printer->Cancelled());
    EXPECT_FALSE(printer->ShowingPreview());
    EXPECT_EQ(printer->StatusWindow(), nullptr);
    // Notices still on their way find nobody to tell.
    printer->NewPage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Notices();
    EXPECT_TRUE(window.isNull());
}

TEST_F(StandardPreviewTest, PrinterPreviewOpensTheRegisteredWindow)
{
    RegisterStandardPreview();
    test::RunPages(*printer, 1);
    printer->Preview();
    ASSERT_NE(printer->StatusWindow(), nullptr);
    window = qobject_cast<TVpStandardPreview*>(printer->StatusWindow()->parent());
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(printer->ShowingPreview());
    SetStandardPreviewFactory({});
}

}  // namespace
}  // namespace dw
