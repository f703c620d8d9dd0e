// SPDX-License-Identifier: MIT
#pragma once

// The preview window of a report: a toolbar to zoom, turn pages, print, set
// the printer up, save, export, load and close; the page in a scrolling
// area; a status line with a progress bar and "Page n of m". It opens
// maximized, is not modal, and frees itself when closed, which detaches it
// from its report printer and so cancels a run still producing pages.
//
// The page keys are seen by the window before the control that has the
// focus. Ctrl+Page Up and Ctrl+Home go to the first page, Ctrl+Page Down and
// Ctrl+End to the last. Page Down and Space read on: a screenful further
// down the page, and the next page once its bottom is in sight; Page Up and
// Shift+Space read back the same way, to the previous page's bottom (with
// Shift or Alt held as well as Ctrl, Page Up and Page Down count as without
// Ctrl). Home and End go to the page's top or bottom, and to the first or
// last page when it is there already or the whole page is in sight. When
// the page fits the window this is the plain page turning of old. Ctrl++
// (or Ctrl+=, or + alone) and Ctrl+- (or - alone) step the zoom through its
// ladder, Ctrl+0 returns to 100 %. Esc presses Close.
//
// The three zoom buttons are down exactly when their mode holds: none after
// a zoom by the wheel, the keys or the zoom box, unless that zoom is 100 %.
//
// One window per report printer: a report printing again while its preview
// is open shows the new pages in it and brings it to the front.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace dw {

class TVpPreview;
class TVpPrinter;
class TVpZoomBox;
enum class TVpGlyph;

class TVpStandardPreview : public QWidget {
    Q_OBJECT

public:
    // The window's size when it is not maximized.
    static constexpr int kNormalWidth = 571;
    static constexpr int kNormalHeight = 472;

    // Attaches the preview to printer (not owned), which must stay alive
    // until the window is closed.
    explicit TVpStandardPreview(TVpPrinter* printer, QWidget* parent = nullptr);
    ~TVpStandardPreview() override;

    TVpPreview* VpPreview() const noexcept { return m_vpPreview; }
    QToolButton* ZoomToFit() const noexcept { return m_zoomToFit; }
    QToolButton* ZoomTo100() const noexcept { return m_zoomTo100; }
    QToolButton* ZoomToWidth() const noexcept { return m_zoomToWidth; }
    QToolButton* FirstPage() const noexcept { return m_firstPage; }
    QToolButton* PrevPage() const noexcept { return m_prevPage; }
    QToolButton* NextPage() const noexcept { return m_nextPage; }
    QToolButton* LastPage() const noexcept { return m_lastPage; }
    QToolButton* Print() const noexcept { return m_print; }
    QToolButton* Save() const noexcept { return m_save; }
    QToolButton* Load() const noexcept { return m_load; }
    QPushButton* Exit() const noexcept { return m_exit; }
    QProgressBar* VpGauge() const noexcept { return m_vpGauge; }
    QLabel* Status() const noexcept { return m_status; }
    TVpZoomBox* ZoomBox() const noexcept { return m_zoomBox; }

    // "Page n of m" for the page shown.
    void UpdateStatusText();
    // The printer's pages were made anew: the old page goes, the window says
    // it is working again and comes to the front.
    void ShowNewRun();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // One speed button of the tool bar: where it is kept, its name, its
    // left edge, its hint (translated when shown, and its name for a
    // reader), its glyph, what a click does (under the error display) and
    // whether it stays down.
    struct SpeedButton {
        QToolButton* TVpStandardPreview::*Button;
        const char* Name;
        int Left;
        const char* Hint;
        TVpGlyph Glyph;
        void (TVpStandardPreview::*Click)();
        bool Checkable;
        // Where the hint is translated: a text the printer set-up also shows
        // is the set-up's own, so the catalogue holds it once.
        const char* HintContext = "dw::TVpStandardPreview";
    };
    QToolButton* AddSpeedButton(const SpeedButton& spec);
    void LayOut();
    bool PreviewKey(QKeyEvent* event);
    bool ZoomKey(const QKeyEvent& event);
    void ReadOn(bool forward);
    void SyncZoomButtons();

    void ZoomToFitClick();
    void ZoomTo100Click();
    void ZoomToWidthClick();
    void ShowPage(int n);
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveClick();
    void LoadClick();
    void VpPreviewPageAvailable(int pageNum);
    void VpPreviewProgressUpdate(int percent);

    TVpPreview* m_vpPreview = nullptr;
    QWidget* m_toolbar = nullptr;
    QToolButton* m_zoomToFit = nullptr;
    QToolButton* m_zoomTo100 = nullptr;
    QToolButton* m_zoomToWidth = nullptr;
    QToolButton* m_firstPage = nullptr;
    QToolButton* m_prevPage = nullptr;
    QToolButton* m_nextPage = nullptr;
    QToolButton* m_lastPage = nullptr;
    QToolButton* m_printSetup = nullptr;
    QToolButton* m_print = nullptr;
    QToolButton* m_save = nullptr;
    QToolButton* m_load = nullptr;
    QPushButton* m_exit = nullptr;
    QWidget* m_statusPanel = nullptr;
    QProgressBar* m_vpGauge = nullptr;
    QWidget* m_panel1 = nullptr;
    QLabel* m_status = nullptr;
    TVpZoomBox* m_zoomBox = nullptr;
};

// Opens a preview window on printer, shown non-modally and freed when
// closed; printer must outlive it or see it closed first. The window already
// open on printer is used again (ShowNewRun) rather than a second one.
TVpStandardPreview* ShowStandardPreview(TVpPrinter& printer);

// Makes TVpPrinter::Preview open the standard preview window; called once
// at start-up.
void RegisterStandardPreview();

}  // namespace dw
