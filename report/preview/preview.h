// SPDX-License-Identifier: MIT
#pragma once

// The scrolling area of the preview window. It shows one page of a report
// printer's store through its page image, owns the zoom, and is the
// printer's status window: the printer's progress and page notices arrive
// here and are passed on through OnProgressUpdate and OnPageAvailable.
//
// Beyond the buttons of its window it answers the mouse as a document view
// is expected to: the wheel scrolls a fixed share of the view at any zoom,
// Ctrl with the wheel zooms, and the page can be dragged.

#include <QAbstractScrollArea>
#include <QPoint>

#include <cstdint>
#include <functional>

#include "numeric/core/extended.h"

namespace dw {

class TVpPreviewImage;
class TVpPrinter;

enum class TVpZoomMode { WholePage, PageWidth, Fixed };

class TVpPreview : public QAbstractScrollArea {
    Q_OBJECT

public:
    using TVpPageAvailableEvent = std::function<void(TVpPreview& sender, int pageNum)>;
    using TVpProgressUpdateEvent = std::function<void(TVpPreview& sender, int percent)>;

    static constexpr int kMinZoom = 2;
    static constexpr int kMaxZoom = 2000;

    explicit TVpPreview(QWidget* parent = nullptr);
    // Detaches from the printer, which cancels a run still producing pages.
    ~TVpPreview() override;

    // Percent. Values outside kMinZoom..kMaxZoom are ignored; any other
    // switches to the fixed mode and lays the image out again.
    int Zoom() const noexcept { return m_zoom; }
    void SetZoom(int value);
    TVpZoomMode ZoomMode() const noexcept { return m_zoomMode; }

    // The page shown, from 1. Setting it shows that page when the printer
    // has it; pages beyond either end are ignored.
    std::int32_t PageNumber() const noexcept { return m_pageNumber; }
    void SetPageNumber(std::int32_t n);

    TVpPrinter* VpPrinter() const noexcept { return m_vpPrinter; }
    // Attaches the control to printer (none detaches it): it becomes the
    // printer's status window, the printer knows a preview is showing, and
    // page 1 is shown when it is there. Not owned.
    void SetVpPrinter(TVpPrinter* printer);

    TVpPreviewImage* Image() const noexcept { return m_image; }
    // Where the image lies in the area when it is scrolled to its origin.
    QPoint ImagePosition() const noexcept { return {m_imageLeft, m_imageTop}; }

    // Sizes the image for the zoom and centres it where it is smaller than
    // the control; scrolls back to the origin.
    void ArrangeImage();
    // The zoom that shows the whole page, and the mode that keeps it so.
    void FitWholePage();
    // The zoom that fills the control's width, and the mode that keeps it so.
    void FitPageWidth();
    // One step of the zoom ladder up or down, the middle of the view
    // staying where it is.
    void ZoomIn();
    void ZoomOut();
    // A fixed zoom (ignored outside the bounds) that keeps the middle of the
    // view where it is, as the zoom box and the keys want it.
    void ZoomKeepingCentre(int zoom);

    // A screenful down (forward) or up within the page; false when the page
    // is already at that end, so the caller may turn the page instead.
    bool ScrollScreen(bool forward);
    // To the page's bottom (or top); false when the page is already there or
    // fits the view.
    bool ScrollToEnd(bool bottom);
    // Page 1 again, whether the printer has it or not: after the printer's
    // pages were replaced, nothing of the old ones stays on the screen.
    void ResetToFirstPage();

    TVpPageAvailableEvent OnPageAvailable;
    TVpProgressUpdateEvent OnProgressUpdate;

signals:
    // The zoom or its mode changed, by any means.
    void ZoomChanged();

protected:
    void customEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct PageExtent {
        Extended Width = 0;
        Extended Height = 0;
    };
    // The page in screen pixels at 100 %; none while its size is unknown.
    bool PagePixels(PageExtent& extent) const;
    int ImageWidthAt(int zoom) const;
    int ImageHeightAt(int zoom) const;
    void PageAvailable(int pageNum);
    void UpdateScrollRanges();
    void PlaceImage();
    void ZoomAround(int zoom, const QPoint& viewportPos);
    void ScrollByWheel(QWheelEvent* event);

    TVpPrinter* m_vpPrinter = nullptr;
    TVpPreviewImage* m_image;
    int m_zoom = 100;
    TVpZoomMode m_zoomMode = TVpZoomMode::Fixed;
    std::int32_t m_pageNumber = 1;
    int m_imageLeft = 0;
    int m_imageTop = 0;
    int m_wheelRemainder = 0;
    QPoint m_scrollRemainder;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_dragScroll;
};

}  // namespace dw
