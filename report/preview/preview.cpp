// SPDX-License-Identifier: MIT
#include "report/preview/preview.h"

#include "common/error_display.h"
#include "report/core/units.h"
#include "report/output/printer_notices.h"
#include "report/output/vp_printer.h"
#include "report/preview/preview_image.h"
#include "report/preview/zoom_ladder.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace dw {

namespace {

// A page whose printer is not known is taken as a letter sheet.
constexpr Extended kLetterWidth = 215.9L;
constexpr Extended kLetterHeight = 279.4L;
constexpr int kNativePerInch = 254;
// One wheel notch.
constexpr int kWheelNotch = 120;
constexpr int kScrollStep = 16;
// A wheel notch scrolls this share of the view: enough to read on at any
// zoom, whether the page is a thumbnail or a few letters fill the screen.
constexpr int kWheelShareOfView = 10;

// Page pixels on the screen. A printer that has not begun a document yet
// has no factors; its pages are still measured at the screen's resolution,
// so that pages loaded into it are shown at their size and not as a dot.
int ScreenXSize(const TVpPrinter& printer, Extended native)
{
    if (printer.XFactor() > 0) {
        return printer.XSize(native);
    }
    return RoundPixel(native * printer.ScreenResolution() / kNativePerInch);
}

int ScreenYSize(const TVpPrinter& printer, Extended native)
{
    if (printer.YFactor() > 0) {
        return printer.YSize(native);
    }
    return RoundPixel(native * printer.ScreenResolution() / kNativePerInch);
}

int RoundToInt(double value)
{
    return static_cast<int>(std::lround(value));
}

}  // namespace

TVpPreview::TVpPreview(QWidget* parent) : QAbstractScrollArea(parent), m_image(new TVpPreviewImage(viewport()))
{
    resize(250, 250);
    // The grey of the window around the sheet, not the white of a text field.
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
    m_image->move(0, 0);
}

TVpPreview::~TVpPreview()
{
    SetVpPrinter(nullptr);
}

void TVpPreview::SetVpPrinter(TVpPrinter* printer)
{
    TVpPrinter* previous = std::exchange(m_vpPrinter, printer);
    m_image->SetVpPrinter(printer);
    if (previous != nullptr && previous->StatusWindow() == this) {
        // Detaching cancels a run that is still producing pages.
        RunReportingErrors([&] { previous->SetShowingPreview(false); });
        previous->SetStatusWindow(nullptr);
    }
    if (printer != nullptr) {
        printer->SetStatusWindow(this);
        printer->SetShowingPreview(true);
    }
    RunReportingErrors([&] {
        SetPageNumber(1);
        m_image->ShowPage(1);
    });
    viewport()->update();
}

void TVpPreview::SetPageNumber(std::int32_t n)
{
    if ((n == m_pageNumber && m_image->HasPage()) || n <= 0 || m_vpPrinter == nullptr || n > m_vpPrinter->PageCount()) {
        return;
    }
    m_pageNumber = n;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_image->ShowPage(n);
}

void TVpPreview::ResetToFirstPage()
{
    m_pageNumber = 1;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_image->ShowPage(1);
}

void TVpPreview::SetZoom(int value)
{
    if (value < kMinZoom || value > kMaxZoom) {
        return;
    }
    m_zoomMode = TVpZoomMode::Fixed;
    m_zoom = value;
    ArrangeImage();
    emit ZoomChanged();
}

bool TVpPreview::PagePixels(PageExtent& extent) const
{
    if (m_vpPrinter == nullptr) {
        extent = {kLetterWidth, kLetterHeight};
    } else {
        extent = {static_cast<Extended>(ScreenXSize(*m_vpPrinter, m_vpPrinter->PageWidth())),
                  static_cast<Extended>(ScreenYSize(*m_vpPrinter, m_vpPrinter->PageHeight()))};
    }
    // A paper of no size (a device that cannot tell it) gives no zoom.
    return extent.Width > 0 && extent.Height > 0;
}

int TVpPreview::ImageWidthAt(int zoom) const
{
    if (m_vpPrinter == nullptr) {
        return RoundPixel(kLetterWidth * 0.01L * zoom) + 4;
    }
    return ScreenXSize(*m_vpPrinter, m_vpPrinter->PageWidth() * 0.01L * zoom) + 4;
}

int TVpPreview::ImageHeightAt(int zoom) const
{
    if (m_vpPrinter == nullptr) {
        return RoundPixel(kLetterHeight * 0.01L * zoom) + 4;
    }
    return ScreenYSize(*m_vpPrinter, m_vpPrinter->PageHeight() * 0.01L * zoom) + 4;
}

void TVpPreview::ArrangeImage()
{
    const int w = ImageWidthAt(m_zoom);
    const int h = ImageHeightAt(m_zoom);
    // The control's whole size counts, scroll bars included.
    m_imageLeft = w < width() ? (width() - w) / 2 : 0;
    m_imageTop = h < height() ? (height() - h) / 2 : 0;
    m_image->resize(w, h);
    m_image->SetZoom(m_zoom);
    UpdateScrollRanges();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    PlaceImage();
}

void TVpPreview::FitWholePage()
{
    PageExtent page;
    if (PagePixels(page)) {
        const int a = RoundPixel(static_cast<Extended>(width()) / page.Width * 95);
        const int b = RoundPixel(static_cast<Extended>(height()) / page.Height * 95);
        SetZoom(std::min(a, b));
    }
    m_zoomMode = TVpZoomMode::WholePage;
    emit ZoomChanged();
}

void TVpPreview::FitPageWidth()
{
    PageExtent page;
    if (PagePixels(page)) {
        // A page of a known printer keeps a margin of a tenth of the width;
        // the letter sheet taken without one keeps a twentieth.
        const int factor = m_vpPrinter != nullptr ? 90 : 95;
        SetZoom(RoundPixel(static_cast<Extended>(width()) / page.Width * factor));
    }
    ArrangeImage();
    m_zoomMode = TVpZoomMode::PageWidth;
    emit ZoomChanged();
}

void TVpPreview::ZoomIn()
{
    ZoomKeepingCentre(ZoomStepIn(m_zoom));
}

void TVpPreview::ZoomOut()
{
    ZoomKeepingCentre(ZoomStepOut(m_zoom));
}

void TVpPreview::ZoomKeepingCentre(int zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom) {
        return;
    }
    const QSize area = viewport()->size();
    ZoomAround(zoom, QPoint(area.width() / 2, area.height() / 2));
}

bool TVpPreview::ScrollScreen(bool forward)
{
    QScrollBar* vertical = verticalScrollBar();
    const int before = vertical->value();
    // A line of the last screen stays in sight, so the eye finds its place.
    const int step = std::max(1, vertical->pageStep() - kScrollStep);
    vertical->setValue(forward ? before + step : before - step);
    return vertical->value() != before;
}

bool TVpPreview::ScrollToEnd(bool bottom)
{
    QScrollBar* vertical = verticalScrollBar();
    const int before = vertical->value();
    vertical->setValue(bottom ? vertical->maximum() : vertical->minimum());
    return vertical->value() != before;
}

void TVpPreview::UpdateScrollRanges()
{
    const QSize area = viewport()->size();
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    // A page that fits is not scrolled: its centring, worked out on the
    // control's whole size, may reach a pixel or two under a scroll bar
    // that would otherwise be shown for nothing.
    const auto range = [](int offset, int extent, int room) { return extent <= room ? 0 : offset + extent - room; };
    horizontal->setRange(0, range(m_imageLeft, m_image->width(), area.width()));
    horizontal->setPageStep(std::max(1, area.width()));
    vertical->setRange(0, range(m_imageTop, m_image->height(), area.height()));
    vertical->setPageStep(std::max(1, area.height()));
    PlaceImage();
}

void TVpPreview::PlaceImage()
{
    m_image->move(m_imageLeft - horizontalScrollBar()->value(), m_imageTop - verticalScrollBar()->value());
}

void TVpPreview::PageAvailable(int pageNum)
{
    if (pageNum == m_pageNumber && !m_image->HasPage() && m_vpPrinter != nullptr &&
        m_vpPrinter->PagesDone() >= m_image->PageNumber()) {
        FitPageWidth();
        m_image->ShowPage(m_image->PageNumber());
    }
    if (OnPageAvailable) {
        OnPageAvailable(*this, pageNum);
    }
}

void TVpPreview::customEvent(QEvent* event)
{
    if (event->type() == TVpPrinterNotice::kProgress) {
        const int percent = static_cast<TVpPrinterNotice*>(event)->Value();
        RunReportingErrors([&] {
            if (OnProgressUpdate) {
                OnProgressUpdate(*this, percent);
            }
        });
        return;
    }
    if (event->type() == TVpPrinterNotice::kPagesDone) {
        const int pages = static_cast<TVpPrinterNotice*>(event)->Value();
        RunReportingErrors([&] { PageAvailable(pages); });
        return;
    }
    QAbstractScrollArea::customEvent(event);
}

void TVpPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    switch (m_zoomMode) {
        case TVpZoomMode::WholePage:
            FitWholePage();
            break;
        case TVpZoomMode::PageWidth:
            FitPageWidth();
            break;
        case TVpZoomMode::Fixed:
            break;
    }
    ArrangeImage();
}

bool TVpPreview::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        UpdateScrollRanges();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TVpPreview::scrollContentsBy(int, int)
{
    PlaceImage();
}

void TVpPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Page keys turn pages in the window; scrolling by them as well
            // would leave the new page half way down.
            event->ignore();
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void TVpPreview::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        // A zoom gesture ends where plain scrolling starts.
        m_wheelRemainder = 0;
        ScrollByWheel(event);
        return;
    }
    event->accept();
    m_wheelRemainder += event->angleDelta().y();
    int steps = m_wheelRemainder / kWheelNotch;
    m_wheelRemainder -= steps * kWheelNotch;
    int zoom = m_zoom;
    for (; steps > 0; --steps) {
        zoom = std::max(zoom + 1, RoundToInt(zoom * 1.1));
    }
    for (; steps < 0; ++steps) {
        zoom = std::min(zoom - 1, RoundToInt(zoom / 1.1));
    }
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom != m_zoom) {
        ZoomAround(zoom, event->position().toPoint());
    }
}

void TVpPreview::ScrollByWheel(QWheelEvent* event)
{
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    QPoint move;
    if (!event->pixelDelta().isNull()) {
        // A touchpad says how far the fingers went.
        move = event->pixelDelta();
    } else {
        // Parts of a notch add up, so a fine wheel scrolls as far as a
        // notched one.
        const QSize area = viewport()->size();
        m_scrollRemainder += QPoint(event->angleDelta().x() * area.width(), event->angleDelta().y() * area.height());
        const int perNotch = kWheelNotch * kWheelShareOfView;
        move = QPoint(m_scrollRemainder.x() / perNotch, m_scrollRemainder.y() / perNotch);
        m_scrollRemainder -= move * perNotch;
    }
    // Alt turns the wheel sideways, as in every scrolled view, unless the
    // system has turned it already.
    if ((event->modifiers() & Qt::AltModifier) && move.x() == 0) {
        move = QPoint(move.y(), 0);
    }
    const QPoint before(horizontal->value(), vertical->value());
    horizontal->setValue(horizontal->value() - move.x());
    vertical->setValue(vertical->value() - move.y());
    if (QPoint(horizontal->value(), vertical->value()) != before || move.isNull()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TVpPreview::ZoomAround(int zoom, const QPoint& viewportPos)
{
    // The point of the page under the mouse stays under it.
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    const QPoint onImage =
        viewportPos + QPoint(horizontal->value(), vertical->value()) - QPoint(m_imageLeft, m_imageTop);
    const double fx = static_cast<double>(onImage.x()) / std::max(1, m_image->width());
    const double fy = static_cast<double>(onImage.y()) / std::max(1, m_image->height());
    SetZoom(zoom);
    horizontal->setValue(m_imageLeft + RoundToInt(fx * m_image->width()) - viewportPos.x());
    vertical->setValue(m_imageTop + RoundToInt(fy * m_image->height()) - viewportPos.y());
}

void TVpPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_dragStart = event->globalPosition().toPoint();
    m_dragScroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void TVpPreview::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - m_dragStart;
    horizontalScrollBar()->setValue(m_dragScroll.x() - moved.x());
    verticalScrollBar()->setValue(m_dragScroll.y() - moved.y());
    event->accept();
}

void TVpPreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    viewport()->unsetCursor();
    event->accept();
}

}  // namespace dw
