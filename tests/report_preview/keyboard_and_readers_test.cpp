// SPDX-License-Identifier: MIT
// The preview without a mouse: every command from the keyboard, and what a
// screen reader is told of the window, its progress bar and its page.

#include "common/stop_request.h"
#include "report/emf/canvas.h"
#include "report/preview/preview_image.h"
#include "tests/report_preview/preview_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <string>

namespace dw {
namespace {

using test::PreviewFixture;

class PreviewKeyboardAndReaders : public PreviewFixture {
protected:
    void OpenActive()
    {
        Open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.data()));
        window->VpPreview()->setFocus();
    }
    // Where a key typed now goes.
    QWidget* Focused() const
    {
        return QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window.data();
    }
};

// Tab goes from the page along the tool bar, to Close and the zoom box and
// round to the page; Shift+Tab goes back the same way.
TEST_F(PreviewKeyboardAndReaders, TabReachesEveryCommand)
{
    const char* const chain[] = {"ZoomToFit", "ZoomTo100", "ZoomToWidth", "FirstPage", "PrevPage",
                                 "NextPage",  "LastPage",  "PrintSetup",  "Print",     "Save",
                                 "Load",      "Exit",      "ZoomPercent", "VpPreview"};
    test::RunPages(*printer, 3);
    OpenActive();
    for (const char* name : chain) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused()->objectName().toStdString(), name) << "Tab";
    }
    for (int i = static_cast<int>(std::size(chain)) - 2; i >= 0; --i) {
        QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focused()->objectName().toStdString(), chain[i]) << "Shift+Tab";
    }
    EXPECT_TRUE(errors.empty());
}

// What the keys do once there.
TEST_F(PreviewKeyboardAndReaders, TheKeysPressTheCommands)
{
    struct Row {
        const char* name;
        int tabs;  // from the page
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;        // shown afterwards
        int setUpCalls;  // printer set-ups opened
    };
    const Row rows[] = {
        {"Space on Next page", 6, Qt::Key_Space, Qt::NoModifier, 2, 0},
        {"Space on Last page", 7, Qt::Key_Space, Qt::NoModifier, 3, 0},
        {"Ctrl+Shift+P on the page", 0, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier, 1, 1},
        {"Ctrl+Shift+P on Close", 12, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier, 1, 1},
        {"Space on Printer setup", 8, Qt::Key_Space, Qt::NoModifier, 1, 1},
    };
    test::RunPages(*printer, 3);
    int setUps = 0;
    printer->OnPrintSetup = [&setUps](TVpPrinter&) { ++setUps; };
    OpenActive();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        setUps = 0;
        Preview().SetPageNumber(1);
        window->VpPreview()->setFocus();
        for (int i = 0; i < row.tabs; ++i) {
            QTest::keyClick(Focused(), Qt::Key_Tab);
        }
        QTest::keyClick(Focused(), row.key, row.modifiers);
        EXPECT_EQ(Preview().PageNumber(), row.page);
        EXPECT_EQ(setUps, row.setUpCalls);
    }
    EXPECT_TRUE(errors.empty());
}

// A reader hears the window as a window, the progress bar by its name and
// the page's texts in the order they are read: line by line from the top,
// left to right, however they were drawn.
TEST_F(PreviewKeyboardAndReaders, AReaderIsToldWhatEachPartIs)
{
    // Open first, as a report's preview is, and told of the page when it is made.
    OpenActive();
    printer->BeginDoc();
    printer->NewPage();
    TVpCanvas* canvas = printer->Canvas();
    canvas->SetFont(TCanvasFont{QStringLiteral("Arial"), 10, {}, Qt::black}, printer->CanvasPixelsPerInch());
    const struct {
        int x, y;
        const char* text;
    } drawn[] = {
        {1500, 800, "48,070 т."}, {300, 300, "ИЗМЕРЕНИЕ ВЕСА"},      {300, 800, "Вес на крюке"},
        {1500, 500, "11,100 т."}, {300, 500, "Вес талевой системы"},
    };
    for (const auto& text : drawn) {
        canvas->TextOut(printer->XPos(text.x), printer->YPos(text.y), QString::fromUtf8(text.text));
    }
    printer->EndDoc();
    Notices();

    struct Row {
        const char* name;
        std::function<QString()> told;
        QString expected;
    };
    const auto interface = [](QObject* object) { return QAccessible::queryAccessibleInterface(object); };
    const Row rows[] = {
        {"the window's role", [&] { return QString::number(static_cast<int>(interface(window.data())->role())); },
         QString::number(static_cast<int>(QAccessible::Window))},
        {"the progress bar's name", [&] { return interface(window->VpGauge())->text(QAccessible::Name); },
         QStringLiteral("Progress")},
        {"the page view's name", [&] { return interface(window->VpPreview())->text(QAccessible::Name); },
         QStringLiteral("Page 1 of 1")},
        {"the page's texts", [&] { return interface(window->VpPreview())->text(QAccessible::Description); },
         QStringLiteral("ИЗМЕРЕНИЕ ВЕСА\nВес талевой системы 11,100 т.\nВес на крюке 48,070 т.")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.told(), row.expected) << row.name;
    }
    EXPECT_TRUE(errors.empty());
}

// The page's texts are gathered from every record of the page before the
// window shows, which on a page of millions of records takes seconds: a
// kill meanwhile (the program asked to end) ends the gathering at once, and
// the window that is about to close tells nothing.
TEST_F(PreviewKeyboardAndReaders, AKillEndsGatheringThePagesTexts)
{
    printer->BeginDoc();
    printer->NewPage();
    TVpCanvas* canvas = printer->Canvas();
    canvas->SetFont(TCanvasFont{QStringLiteral("Arial"), 10, {}, Qt::black}, printer->CanvasPixelsPerInch());
    canvas->TextOut(printer->XPos(300), printer->YPos(300), QStringLiteral("ИЗМЕРЕНИЕ ВЕСА"));
    printer->EndDoc();
    const std::shared_ptr<const emf::EmfDocument> page = printer->GetPage(1);
    ASSERT_NE(page, nullptr);

    struct Row {
        const char* name;
        bool asked;
        QString told;
    };
    const Row rows[] = {
        {"no kill", false, QStringLiteral("ИЗМЕРЕНИЕ ВЕСА")},
        {"killed before", true, QString()},
    };
    for (const Row& row : rows) {
        if (row.asked)
            RequestStop();
        EXPECT_EQ(PageReadingText(*page), row.told) << row.name;
        ClearStopRequest();
    }
}

}  // namespace
}  // namespace dw
