// SPDX-License-Identifier: MIT
// Zoom arithmetic, what a resize re-applies, and the mouse on the page.

#include "report/preview/preview.h"
#include "report/preview/preview_image.h"
#include "tests/report_preview/preview_fixture.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>
#include <optional>

namespace dw {
namespace {

using test::PreviewFixture;

struct ZoomRow {
    const char* name;
    bool withPrinter;
    QSize control;
    std::function<void(TVpPreview&)> action;
    int zoom;
    TVpZoomMode mode;
    QSize image;
    QPoint at;
};

TEST(PreviewZoom, FollowsThePageArithmetic)
{
    const auto fitWidth = [](TVpPreview& p) { p.FitPageWidth(); };
    const auto fitWhole = [](TVpPreview& p) { p.FitWholePage(); };
    const auto zoom = [](int value) { return [value](TVpPreview& p) { p.SetZoom(value); }; };
    const QSize worked(1024, 700);
    const ZoomRow rows[] = {
        {"page width, A3 in 1024 x 700", true, worked, fitWidth, 82, TVpZoomMode::PageWidth, {924, 1306}, {50, 0}},
        {"whole page, A3 in 1024 x 700", true, worked, fitWhole, 42, TVpZoomMode::WholePage, {475, 671}, {274, 14}},
        {"100 %", true, worked, zoom(100), 100, TVpZoomMode::Fixed, {1127, 1591}, {0, 0}},
        {"whole page under 2 % keeps the zoom, not the mode",
         true,
         {15, 15},
         fitWhole,
         218,
         TVpZoomMode::WholePage,
         {2451, 3465},
         {0, 0}},
        {"2 % is the least", true, worked, zoom(2), 2, TVpZoomMode::Fixed, {26, 36}, {499, 332}},
        {"1 % is ignored", true, worked, zoom(1), 218, TVpZoomMode::Fixed, {2451, 3465}, {0, 0}},
        {"2000 % is the most", true, worked, zoom(2000), 2000, TVpZoomMode::Fixed, {22454, 31752}, {0, 0}},
        {"2001 % is ignored", true, worked, zoom(2001), 218, TVpZoomMode::Fixed, {2451, 3465}, {0, 0}},
        {"no printer: a letter sheet", false, worked, zoom(100), 100, TVpZoomMode::Fixed, {220, 283}, {402, 208}},
        {"no printer: page width", false, worked, fitWidth, 451, TVpZoomMode::PageWidth, {978, 1264}, {23, 0}},
    };
    for (const ZoomRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto printer = test::MakeA3Printer();
        test::RunPages(*printer, 1);
        TVpPreview preview;
        preview.SetVpPrinter(row.withPrinter ? printer.get() : nullptr);
        preview.resize(row.control);
        preview.show();
        preview.SetZoom(218);
        row.action(preview);
        EXPECT_EQ(preview.Zoom(), row.zoom);
        EXPECT_EQ(preview.ZoomMode(), row.mode);
        EXPECT_EQ(preview.Image()->size(), row.image);
        EXPECT_EQ(preview.ImagePosition(), row.at);
        EXPECT_EQ(preview.Image()->pos(), row.at) << "scrolled back to the origin";
        EXPECT_EQ(preview.Image()->Zoom(), row.zoom);
    }
}

// A printer that has not begun a document has no pixel factors yet; its
// page is measured at the screen's resolution rather than divided by zero.
TEST(PreviewZoom, PrinterWithoutADocumentStillFits)
{
    auto printer = test::MakeA3Printer();
    TVpPreview preview;
    preview.SetVpPrinter(printer.get());
    preview.resize(1024, 700);
    preview.FitPageWidth();
    EXPECT_EQ(preview.Zoom(), 82);
    EXPECT_EQ(preview.Image()->size(), QSize(924, 1306));
}

class ResizeTest : public PreviewFixture {};

TEST_F(ResizeTest, ResizingReappliesTheModeOfTheLastZoomButton)
{
    struct Row {
        const char* name;
        QToolButton* (TVpStandardPreview::*button)() const;
        int zoomAfterResize;
    };
    const Row rows[] = {
        {"Zoom to 100% stays at 100", &TVpStandardPreview::ZoomTo100, 100},
        {"Zoom to fit fits the whole page again", &TVpStandardPreview::ZoomToFit, 42},
        {"Zoom to page width fits the width again", &TVpStandardPreview::ZoomToWidth, 82},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        window->resize(800, 600);
        QTest::mouseClick((window->*row.button)(), Qt::LeftButton);
        window->resize(kWindowWidth, kWindowHeight);
        ASSERT_EQ(Preview().size(), QSize(1024, 700));
        EXPECT_EQ(Preview().Zoom(), row.zoomAfterResize);
        EXPECT_TRUE((window->*row.button)()->isChecked());
    }
}

class MouseTest : public PreviewFixture {
protected:
    void Wheel(int delta, Qt::KeyboardModifiers modifiers)
    {
        QWidget* viewport = Preview().viewport();
        const QPointF at(300, 200);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
};

TEST_F(MouseTest, CtrlWheelZoomsWithinTheBoundsAndPlainWheelScrolls)
{
    struct Row {
        const char* name;
        int startZoom;  // 0: the page width the page arrived at
        int delta;
        Qt::KeyboardModifiers modifiers;
        int zoom;
        TVpZoomMode mode;
        bool scrolled;
    };
    const Row rows[] = {
        {"Ctrl+wheel away zooms in", 0, 120, Qt::ControlModifier, 90, TVpZoomMode::Fixed, true},
        {"Ctrl+wheel back zooms out", 0, -120, Qt::ControlModifier, 75, TVpZoomMode::Fixed, false},
        {"two notches at once", 0, 240, Qt::ControlModifier, 99, TVpZoomMode::Fixed, true},
        {"half a notch waits for the other half", 0, 60, Qt::ControlModifier, 82, TVpZoomMode::PageWidth, false},
        {"no further than 2000", 1950, 120, Qt::ControlModifier, 2000, TVpZoomMode::Fixed, true},
        {"no smaller than 2", 2, -120, Qt::ControlModifier, 2, TVpZoomMode::Fixed, false},
        {"plain wheel scrolls down", 0, -120, Qt::NoModifier, 82, TVpZoomMode::PageWidth, true},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preview().FitPageWidth();
        if (row.startZoom != 0) {
            Preview().SetZoom(row.startZoom);
        }
        Wheel(row.delta, row.modifiers);
        Wheel(0, Qt::NoModifier);  // ends a half notch left over
        EXPECT_EQ(Preview().Zoom(), row.zoom);
        EXPECT_EQ(Preview().ZoomMode(), row.mode);
        EXPECT_EQ(Preview().verticalScrollBar()->value() > 0, row.scrolled);
    }
}

TEST_F(MouseTest, DraggingThePagePansIt)
{
    test::RunPages(*printer, 1);
    Open();
    Preview().SetZoom(300);
    QWidget* viewport = Preview().viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(600, 500));
    QTest::mouseMove(viewport, QPoint(450, 300));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(450, 300));
    EXPECT_EQ(Preview().horizontalScrollBar()->value(), 150);
    EXPECT_EQ(Preview().verticalScrollBar()->value(), 200);
    EXPECT_EQ(Preview().Image()->pos(), QPoint(-150, -200));
}

}  // namespace
}  // namespace dw
