// SPDX-License-Identifier: MIT
#include "report/preview/standard_preview.h"

#include "common/error_display.h"
#include "common/input_file.h"
#include "common/scope_exit.h"
#include "design/designed_palette.h"
#include "report/output/export_filter.h"
#include "report/output/vp_printer.h"
#include "report/output/printer_dialog.h"
#include "report/preview/preview.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/preview_glyphs.h"
#include "report/preview/preview_image.h"
#include "report/preview/print_hint.h"
#include "report/preview/save_targets.h"
#include "report/preview/zoom_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>
#include <algorithm>
#include <memory>

namespace dw {

namespace {

constexpr int kToolbarHeight = 33;
constexpr int kStatusPanelHeight = 19;
constexpr int kPanel1Width = 128;
constexpr int kButtonSize = 25;
constexpr int kButtonTop = 4;
constexpr int kStoredZoom = 218;
// The zoom group sits right of Close, clear of the stored buttons.
constexpr int kZoomBoxLeft = 384;

// Runs a button's action with the program's error display, and tells
// whether the window is still there afterwards: printing, exporting and
// dialogs let events through, among them a close.
template <class Action>
void RunGuarded(TVpStandardPreview* window, Action action)
{
    QPointer<TVpStandardPreview> alive(window);
    RunReportingErrors([&] { action(alive); });
}

// A reader announces the preview as a window (a plain widget would be a
// "filler" to it) and takes its title as the window's name.
QAccessibleInterface* PreviewWindowAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1String(TVpStandardPreview::staticMetaObject.className()) && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

TVpStandardPreview::TVpStandardPreview(TVpPrinter* printer, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("VpStandardPreview"));
    // The tool bar's glyphs and the grey around the page were drawn for the
    // designed light desktop; a dark desktop theme would sink them.
    setPalette(DesignedPalette());
    resize(kNormalWidth, kNormalHeight);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    // The speed buttons, left to right. At most one zoom button is down,
    // the one whose mode holds; which one follows the zoom, not the clicks
    // (SyncZoomButtons).
    static constexpr SpeedButton kSpeedButtons[] = {
        {&TVpStandardPreview::m_zoomToFit, "ZoomToFit", 4, QT_TR_NOOP("Zoom to fit"), TVpGlyph::ZoomToFit,
         &TVpStandardPreview::ZoomToFitClick, true},
        {&TVpStandardPreview::m_zoomTo100, "ZoomTo100", 29, QT_TR_NOOP("Zoom to 100%"), TVpGlyph::ZoomTo100,
         &TVpStandardPreview::ZoomTo100Click, true},
        {&TVpStandardPreview::m_zoomToWidth, "ZoomToWidth", 54, QT_TR_NOOP("Zoom to page width"), TVpGlyph::ZoomToWidth,
         &TVpStandardPreview::ZoomToWidthClick, true},
        {&TVpStandardPreview::m_firstPage, "FirstPage", 84, QT_TR_NOOP("First Page"), TVpGlyph::FirstPage,
         &TVpStandardPreview::FirstPageClick, false},
        {&TVpStandardPreview::m_prevPage, "PrevPage", 109, QT_TR_NOOP("Previous page"), TVpGlyph::PrevPage,
         &TVpStandardPreview::PrevPageClick, false},
        {&TVpStandardPreview::m_nextPage, "NextPage", 134, QT_TR_NOOP("Next page"), TVpGlyph::NextPage,
         &TVpStandardPreview::NextPageClick, false},
        {&TVpStandardPreview::m_lastPage, "LastPage", 159, QT_TR_NOOP("Last page"), TVpGlyph::LastPage,
         &TVpStandardPreview::LastPageClick, false},
        {&TVpStandardPreview::m_printSetup, "PrintSetup", 189,
         QT_TRANSLATE_NOOP("dw::TVpPrinterSetupDialog", "Printer setup"), TVpGlyph::PrintSetup,
         &TVpStandardPreview::PrintSetupClick, false, "dw::TVpPrinterSetupDialog"},
        {&TVpStandardPreview::m_print, "Print", 214, QT_TR_NOOP("Print"), TVpGlyph::Print,
         &TVpStandardPreview::PrintClick, false},
        {&TVpStandardPreview::m_save, "Save", 244, QT_TR_NOOP("Save"), TVpGlyph::Save, &TVpStandardPreview::SaveClick,
         false},
        {&TVpStandardPreview::m_load, "Load", 269, QT_TR_NOOP("Load"), TVpGlyph::Load, &TVpStandardPreview::LoadClick,
         false},
    };
    for (const SpeedButton& spec : kSpeedButtons) {
        QToolButton* button = AddSpeedButton(spec);
        this->*spec.Button = button;
        connect(button, &QToolButton::clicked, this,
                [this, click = spec.Click] { RunReportingErrors([this, click] { (this->*click)(); }); });
    }

    m_exit = new QPushButton(GlyphIcon(TVpGlyph::Close), tr("&Close"), m_toolbar);
    m_exit->setObjectName(QStringLiteral("Exit"));
    m_exit->setIconSize(QSize(kGlyphSize, kGlyphSize));
    m_exit->setGeometry(300, kButtonTop, 75, kButtonSize);

    m_statusPanel = new QWidget(this);
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel"));
    m_vpGauge = new QProgressBar(m_statusPanel);
    m_vpGauge->setObjectName(QStringLiteral("VpGauge"));
    m_vpGauge->setRange(0, 100);
    m_vpGauge->setValue(0);
    m_vpGauge->setTextVisible(false);
    m_vpGauge->setGeometry(2, 2, 100, kStatusPanelHeight - 3);
    m_panel1 = new QWidget(m_statusPanel);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_status = new QLabel(tr("Working..."), m_panel1);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->move(2, 3);
    m_status->resize(kPanel1Width - 4, kStatusPanelHeight - 3);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Between the progress bar and the page text: what a command did, or
    // that the sheet is older than the main window's inputs.
    m_note = new QLabel(m_statusPanel);
    m_note->setObjectName(QStringLiteral("Note"));
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_noteTimer = new QTimer(this);
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(kNoteMilliseconds);
    connect(m_noteTimer, &QTimer::timeout, this, &TVpStandardPreview::ShowStandingNote);
    // A reader names the bar by what it measures.
    m_vpGauge->setAccessibleName(tr("Progress"));

    m_vpPreview = new TVpPreview(this);
    m_vpPreview->setObjectName(QStringLiteral("VpPreview"));
    m_vpPreview->SetZoom(kStoredZoom);
    m_vpPreview->OnPageAvailable = [this](TVpPreview&, int pageNum) { VpPreviewPageAvailable(pageNum); };
    m_vpPreview->OnProgressUpdate = [this](TVpPreview&, int percent) { VpPreviewProgressUpdate(percent); };
    m_zoomBox = new TVpZoomBox(*m_vpPreview, m_toolbar);
    m_zoomBox->move(kZoomBoxLeft, kButtonTop);
    LayOut();

    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
    SetKeyboardOrder();
    static const bool accessible = [] {
        QAccessible::installFactory(PreviewWindowAccessible);
        return true;
    }();
    (void)accessible;

    setWindowState(windowState() | Qt::WindowMaximized);
    m_vpPreview->SetVpPrinter(printer);
    setWindowTitle(printer != nullptr ? QString::fromStdString(printer->Title()) : QString());
    m_zoomToWidth->setChecked(true);
    // From here on the buttons tell the zoom mode; until the first page
    // arrives page width is down, the mode it will be shown in.
    connect(m_vpPreview, &TVpPreview::ZoomChanged, this, &TVpStandardPreview::SyncZoomButtons);
    m_vpPreview->setFocus();

    // The page keys reach the window before the control that has the focus.
    qApp->installEventFilter(this);
}

TVpStandardPreview::~TVpStandardPreview()
{
    qApp->removeEventFilter(this);
}

QToolButton* TVpStandardPreview::AddSpeedButton(const SpeedButton& spec)
{
    auto* button = new QToolButton(m_toolbar);
    button->setObjectName(QString::fromLatin1(spec.Name));
    button->setGeometry(spec.Left, kButtonTop, kButtonSize, kButtonSize);
    button->setToolTip(QCoreApplication::translate(spec.HintContext, spec.Hint));
    // A reader names an icon-only button by its hint.
    button->setAccessibleName(button->toolTip());
    button->setIcon(GlyphIcon(spec.Glyph));
    button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setCheckable(spec.Checkable);
    // Reached by Tab, so that every command works from the keyboard; a click
    // leaves the focus where it was (on the page, as a rule).
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void TVpStandardPreview::LayOut()
{
    const int w = width();
    const int h = height();
    m_toolbar->setGeometry(0, 0, w, kToolbarHeight);
    m_statusPanel->setGeometry(0, h - kStatusPanelHeight, w, kStatusPanelHeight);
    m_panel1->setGeometry(w - kPanel1Width, 0, kPanel1Width, kStatusPanelHeight);
    m_vpPreview->setGeometry(0, kToolbarHeight, w, std::max(0, h - kToolbarHeight - kStatusPanelHeight));
    const int noteLeft = m_vpGauge->geometry().right() + 6;
    m_note->setGeometry(noteLeft, 0, std::max(0, w - kPanel1Width - noteLeft - 4), kStatusPanelHeight);
}

void TVpStandardPreview::SetKeyboardOrder()
{
    // The page, the tool bar from the left, Close, the zoom box, and round
    // to the page.
    QWidget* const order[] = {m_vpPreview, m_zoomToFit, m_zoomTo100, m_zoomToWidth,   m_firstPage,
                              m_prevPage,  m_nextPage,  m_lastPage,  m_printSetup,    m_print,
                              m_save,      m_load,      m_exit,      m_zoomBox->Box()};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void TVpStandardPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
    RunReportingErrors([this] { m_vpPreview->ArrangeImage(); });
}

void TVpStandardPreview::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Detached at once rather than when the window is finally freed: the
    // report's run stops and its Preview command can return.
    m_vpPreview->SetVpPrinter(nullptr);
    event->accept();
}

bool TVpStandardPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_print && event->type() == QEvent::ToolTip) {
        // Worked out when asked for, so it always tells what Print will do
        // now. A printer that cannot say is reported by Print, not by a hover.
        try {
            if (TVpPrinter* printer = m_vpPreview->VpPrinter()) {
                m_print->setToolTip(PrintHint(printer->PrintPlan()));
            }
        } catch (const std::exception&) {
            m_print->setToolTip(tr("Print"));
        }
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // The key is seen once, when it reaches its first receiver in this
        // window, and not again as it is passed up to the parents.
        QWidget* firstReceiver = focusWidget() != nullptr ? focusWidget() : this;
        if (widget == firstReceiver && widget->window() == this) {
            return PreviewKey(static_cast<QKeyEvent*>(event));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TVpStandardPreview::PreviewKey(QKeyEvent* event)
{
    if (ZoomKey(*event)) {
        return true;
    }
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Ctrl counts only when it is the only one of the three held.
    const bool withCtrl = held == Qt::ControlModifier;
    QWidget* focused = focusWidget();
    // Typing a zoom: the box keeps its editing keys.
    const bool inZoomBox = focused != nullptr && m_zoomBox->isAncestorOf(focused);
    // The desktop's keys for the commands of the tool bar.
    if (held == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_P) {
        if (!event->isAutoRepeat() && m_printSetup->isEnabled())
            m_printSetup->click();
        return true;
    }
    if (withCtrl && !event->isAutoRepeat()) {
        QToolButton* command = event->key() == Qt::Key_P   ? m_print
                               : event->key() == Qt::Key_S ? m_save
                               : event->key() == Qt::Key_O ? m_load
                                                           : nullptr;
        if (command != nullptr) {
            if (command->isEnabled())
                command->click();
            return true;
        }
    }
    switch (event->key()) {
        case Qt::Key_Home:
        case Qt::Key_End: {
            if (inZoomBox) {
                return false;
            }
            const bool end = event->key() == Qt::Key_End;
            RunReportingErrors([&] {
                // Within a page taller than the window, its top or bottom
                // first; the first or last page when already there.
                if (withCtrl || !m_vpPreview->ScrollToEnd(end)) {
                    end ? LastPageClick() : FirstPageClick();
                    m_vpPreview->ScrollToEnd(end);
                }
            });
            break;
        }
        case Qt::Key_PageUp:
            RunReportingErrors([&] { withCtrl ? FirstPageClick() : ReadOn(false); });
            return inZoomBox;
        case Qt::Key_PageDown:
            RunReportingErrors([&] { withCtrl ? LastPageClick() : ReadOn(true); });
            return inZoomBox;
        case Qt::Key_Space:
            // Only on the page: on Close the space bar presses it.
            if (focused != m_vpPreview || (held & ~Qt::ShiftModifier)) {
                return false;
            }
            RunReportingErrors([&] { ReadOn(held != Qt::ShiftModifier); });
            return true;
        case Qt::Key_Escape:
            if (inZoomBox) {
                // Leaves the box unchanged rather than the window.
                return false;
            }
            // Close is the window's cancel button.
            m_exit->click();
            return true;
        default:
            break;
    }
    // The focused control still gets the key.
    return false;
}

bool TVpStandardPreview::ZoomKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Shift may be needed to reach "+" on the keyboard; it changes nothing.
    const bool ctrl = (held & ~Qt::ShiftModifier) == Qt::ControlModifier;
    const bool plain = (held & ~Qt::ShiftModifier) == Qt::NoModifier;
    QWidget* focused = focusWidget();
    const bool inZoomBox = focused != nullptr && m_zoomBox->isAncestorOf(focused);
    const int key = event.key();
    const bool in = key == Qt::Key_Plus || (key == Qt::Key_Equal && ctrl);
    const bool out = key == Qt::Key_Minus || key == Qt::Key_Underscore;
    // Alone the signs zoom only where they cannot be meant as text.
    if (!(ctrl || (plain && !inZoomBox)) || !(in || out || (key == Qt::Key_0 && ctrl))) {
        return false;
    }
    RunReportingErrors([&] {
        if (in) {
            m_vpPreview->ZoomIn();
        } else if (out) {
            m_vpPreview->ZoomOut();
        } else {
            m_vpPreview->ZoomKeepingCentre(100);
        }
    });
    return true;
}

void TVpStandardPreview::ReadOn(bool forward)
{
    if (m_vpPreview->ScrollScreen(forward)) {
        return;
    }
    const std::int32_t before = m_vpPreview->PageNumber();
    forward ? NextPageClick() : PrevPageClick();
    // Reading back, the previous page is met at its bottom.
    if (!forward && m_vpPreview->PageNumber() != before) {
        m_vpPreview->ScrollToEnd(true);
    }
}

void TVpStandardPreview::SyncZoomButtons()
{
    const TVpZoomMode mode = m_vpPreview->ZoomMode();
    m_zoomToFit->setChecked(mode == TVpZoomMode::WholePage);
    m_zoomToWidth->setChecked(mode == TVpZoomMode::PageWidth);
    m_zoomTo100->setChecked(mode == TVpZoomMode::Fixed && m_vpPreview->Zoom() == 100);
}

void TVpStandardPreview::UpdateStatusText()
{
    const TVpPrinter* printer = m_vpPreview->VpPrinter();
    if (printer == nullptr) {
        return;
    }
    m_status->setText(tr("Page %1 of %2").arg(m_vpPreview->PageNumber()).arg(printer->PageCount()));
    // The page view tells a reader which page of how many it shows, and
    // what the page says.
    m_vpPreview->setAccessibleName(m_status->text());
    m_vpPreview->setAccessibleDescription(m_vpPreview->Image()->ReadingText());
}

void TVpStandardPreview::ZoomToFitClick()
{
    // Notices already posted (a page that has just become available) are
    // dealt with before the zoom is worked out.
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->FitWholePage();
        SyncZoomButtons();
    }
}

void TVpStandardPreview::ZoomTo100Click()
{
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->SetZoom(100);
        SyncZoomButtons();
    }
}

void TVpStandardPreview::ZoomToWidthClick()
{
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->FitPageWidth();
        SyncZoomButtons();
    }
}

void TVpStandardPreview::ShowPage(int n)
{
    m_vpPreview->SetPageNumber(n);
    UpdateStatusText();
}

void TVpStandardPreview::FirstPageClick()
{
    ShowPage(1);
}

void TVpStandardPreview::PrevPageClick()
{
    ShowPage(m_vpPreview->PageNumber() - 1);
}

void TVpStandardPreview::NextPageClick()
{
    ShowPage(m_vpPreview->PageNumber() + 1);
}

void TVpStandardPreview::LastPageClick()
{
    if (const TVpPrinter* printer = m_vpPreview->VpPrinter()) {
        ShowPage(printer->PageCount());
    }
}

void TVpStandardPreview::PrintSetupClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>&) {
        if (TVpPrinter* printer = m_vpPreview->VpPrinter()) {
            // Pages without a report behind them (loaded from a file) are
            // set up on their own printer object rather than not at all.
            if (printer->OnPrintSetup) {
                printer->PrintSetup();
            } else {
                SetUpStoredPagesPrinter(*printer);
            }
        }
    });
}

void TVpStandardPreview::PrintClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>& alive) {
        TVpPrinter* printer = m_vpPreview->VpPrinter();
        if (printer == nullptr) {
            return;
        }
        // The sheet shown is not what the main window holds now: printing
        // it is asked about, no being the answer Enter gives.
        if (m_sheetOutdated &&
            !AskPreviewQuestion(this, tr("This sheet is older than the inputs in the main window: the main "
                                         "window's last print failed. Print this older sheet all the same?"))) {
            SayDone(tr("Not printed"));
            return;
        }
        if (!alive || m_vpPreview->VpPrinter() != printer) {
            return;
        }
        printer->Print();
        if (alive && m_vpPreview->VpPrinter() == printer) {
            SayDone(printer->LastJob() ? PrintedText(*printer->LastJob()) : tr("Nothing was printed"));
        }
    });
}

void TVpStandardPreview::SaveClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>& alive) {
        TVpPrinter* printer = m_vpPreview->VpPrinter();
        if (printer == nullptr) {
            return;
        }
        const TVpExportFilterLibrary& library = TVpExportFilterLibrary::Instance();
        // Only what works for the pages shown is offered.
        const std::vector<TVpSaveTarget> targets = SaveTargets(library, printer->CanExport());
        const QString suggested = SuggestedFileName(*printer, targets.front());
        const std::optional<TVpFileDialogChoice> choice = RunPreviewFileDialog(
            {TVpFileDialogKind::Save, SaveFilterText(targets), this, RememberedFolder(), suggested});
        if (!choice || !alive || m_vpPreview->VpPrinter() != printer) {
            return;
        }
        const std::size_t index = choice->FilterIndex >= 1 ? static_cast<std::size_t>(choice->FilterIndex - 1) : 0;
        // "отчёт.pdf" is a PDF whatever the type box says.
        const TVpSaveChoice save = FollowSaveName(choice->FileName, targets, index, suggested);
        const TVpSaveTarget& target = targets[save.Target];
        RememberFolderOf(save.FileName);
        // A report file is written only once the pages are all made.
        if (target.Kind == TVpSaveKind::Report && printer->Status() != TVpPrinterStatus::Finished) {
            SayDone(tr("Not saved: the sheet is still being made"));
            return;
        }
        SaveToTarget(*printer, library, target, save.FileName.toStdString());
        if (!alive) {
            return;
        }
        // An export cancelled from its progress window writes nothing.
        if (!QFileInfo::exists(save.FileName)) {
            SayDone(tr("Nothing was saved"));
        } else {
            SayDone(target.Kind == TVpSaveKind::Filter ? tr("Exported: %1").arg(save.FileName)
                                                       : tr("Saved: %1").arg(save.FileName));
        }
    });
}

void TVpStandardPreview::LoadClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>& alive) {
        const std::optional<TVpFileDialogChoice> choice =
            RunPreviewFileDialog({TVpFileDialogKind::Open, LoadFilterText(), this, RememberedFolder(), {}});
        if (!choice || !alive) {
            return;
        }
        RememberFolderOf(choice->FileName);
        TVpPrinter* printer = m_vpPreview->VpPrinter();
        if (printer == nullptr) {
            return;
        }
        const QFileInfo file(choice->FileName);
        if (!file.exists() || file.isDir()) {
            ShowPreviewMessage(
                this,
                QString::fromStdString(Localized(CannotOpenFileBecause(
                    choice->FileName.toStdString(), file.isDir() ? NotAFileReason(S_IFDIR) : MissingFileReason()))));
            return;
        }
        try {
            printer->Load(choice->FileName.toStdString());
        } catch (...) {
            // The pages held before are gone with the failed load; none of
            // them may stay on the screen as if it could still be saved.
            m_vpPreview->ResetToFirstPage();
            UpdateStatusText();
            throw;
        }
        // The zoom stays; the page size is still the report's, as the file
        // carries none.
        const ScopeExit status([this] { UpdateStatusText(); });
        // The window is named after the file from now on, as its print jobs
        // are; the file's pages are what they are, older than no window.
        m_sheetOutdated = false;
        ShowTitle();
        ShowStandingNote();
        m_vpPreview->SetPageNumber(1);
        m_vpPreview->Image()->ShowPage(1);
    });
}

void TVpStandardPreview::VpPreviewPageAvailable(int)
{
    UpdateStatusText();
}

void TVpStandardPreview::VpPreviewProgressUpdate(int percent)
{
    m_vpGauge->setValue(std::clamp(percent, 0, 100));
    const int position = m_vpGauge->value();
    m_vpGauge->setVisible(position > 0 && position < 100);
}

void TVpStandardPreview::SayDone(const QString& text)
{
    QFont font = m_note->font();
    font.setBold(false);
    m_note->setFont(font);
    m_note->setText(text);
    m_note->setToolTip(text);
    m_noteTimer->start();
}

void TVpStandardPreview::ShowStandingNote()
{
    m_noteTimer->stop();
    const QString note = m_sheetOutdated ? tr("Older than the main window's inputs") : QString();
    // Standing out from the passing messages: it holds until a new sheet.
    QFont font = m_note->font();
    font.setBold(m_sheetOutdated);
    m_note->setFont(font);
    m_note->setText(note);
    m_note->setToolTip(m_sheetOutdated ? tr("The main window's last print failed: this sheet does not show the "
                                            "inputs the main window holds now")
                                       : QString());
}

void TVpStandardPreview::ShowTitle()
{
    const TVpPrinter* printer = m_vpPreview->VpPrinter();
    const QString title = printer != nullptr ? QString::fromStdString(printer->Title()) : QString();
    setWindowTitle(m_sheetOutdated ? tr("%1 (older than the main window's inputs)").arg(title) : title);
}

void TVpStandardPreview::MarkSheetOutdated()
{
    m_sheetOutdated = true;
    ShowTitle();
    ShowStandingNote();
}

void TVpStandardPreview::ShowNewRun()
{
    m_sheetOutdated = false;
    ShowTitle();
    ShowStandingNote();
    m_vpPreview->ResetToFirstPage();
    m_status->setText(tr("Working..."));
    VpPreviewProgressUpdate(0);
    m_vpGauge->setVisible(true);
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

TVpStandardPreview* OpenStandardPreview(const TVpPrinter* printer)
{
    if (printer == nullptr) {
        return nullptr;
    }
    if (auto* control = qobject_cast<TVpPreview*>(printer->StatusWindow());
        control != nullptr && control->VpPrinter() == printer && printer->ShowingPreview()) {
        return qobject_cast<TVpStandardPreview*>(control->window());
    }
    return nullptr;
}

TVpStandardPreview* ShowStandardPreview(TVpPrinter& printer)
{
    if (TVpStandardPreview* open = OpenStandardPreview(&printer)) {
        open->ShowNewRun();
        return open;
    }
    auto* window = new TVpStandardPreview(&printer);
    window->show();
    return window;
}

void RegisterStandardPreview()
{
    SetStandardPreviewFactory([](TVpPrinter& printer) { ShowStandardPreview(printer); });
}

}  // namespace dw
