// SPDX-License-Identifier: MIT
#pragma once

// One stored page of a report on the screen: a white sheet with the page's
// metafile played onto it as vectors at the screen's own resolution, a thin
// frame and a drop shadow. It lives inside the preview's scrolling area,
// which sizes and places it; mouse input passes through to that area.

#include <QWidget>

#include <cstdint>
#include <memory>

namespace dw {

namespace emf {
class EmfDocument;
}

class TVpPrinter;

class TVpPreviewImage : public QWidget {
    Q_OBJECT

public:
    explicit TVpPreviewImage(QWidget* parent = nullptr);

    TVpPrinter* VpPrinter() const noexcept { return m_vpPrinter; }
    // Not owned.
    void SetVpPrinter(TVpPrinter* printer) noexcept { m_vpPrinter = printer; }

    std::int32_t PageNumber() const noexcept { return m_pageNumber; }
    bool HasPage() const noexcept { return m_hasPage; }

    // The zoom the image was last laid out for.
    int Zoom() const noexcept { return m_zoom; }
    void SetZoom(int zoom) noexcept { m_zoom = zoom; }

    // Fetches page n from the printer and repaints; without the page (not
    // stored yet, or no printer) the image shows nothing. A damaged page
    // raises its error after the image has been left empty.
    void ShowPage(std::int32_t n);

    // The page's texts in reading order, line by line from the top and
    // left to right within a line, one per line: what a screen reader is
    // given of the page. Empty without a page.
    QString ReadingText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TVpPrinter* m_vpPrinter = nullptr;
    std::int32_t m_pageNumber = 1;
    std::shared_ptr<const emf::EmfDocument> m_metafile;
    bool m_hasPage = false;
    int m_zoom = 100;
};

// The texts a page draws, in reading order (see ReadingText).
QString PageReadingText(const emf::EmfDocument& page);

}  // namespace dw
