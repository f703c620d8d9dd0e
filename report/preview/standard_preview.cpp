#include "report/preview/standard_preview.h"

#include "common/error_display.h"
#include "report/engine/export_filter.h"
#include "report/engine/vp_printer.h"
#include "report/preview/preview.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/preview_glyphs.h"
#include "report/preview/preview_image.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

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

// The saved-report entry of the file dialogs: its name, then its pattern.
QString SavedReportFilter()
{
    const QString extension = QStringLiteral("VPR");
    return QStringLiteral("Vellumprint file") + QStringLiteral("(*.") + extension + QStringLiteral(")|*.") + extension;
}

// The saved report first, then every export filter in registration order.
QString SaveFilter(const TVpExportFilterLibrary& library)
{
    QString filter = SavedReportFilter();
    for (const auto& entry : library.Entries()) {
        const QString name = QString::fromStdString(entry.DisplayName);
        const QString extension = QString::fromStdString(entry.FileExtension);
        filter += QStringLiteral("|") + name + QStringLiteral(" (*.") + extension + QStringLiteral(")|*.") + extension;
    }
    return filter;
}

// Runs a button's action with the program's error display, and tells
// whether the window is still there afterwards: printing, exporting and
// dialogs let events through, among them a close.
template <class Action>
void RunGuarded(TVpStandardPreview* window, Action action)
{
    QPointer<TVpStandardPreview> alive(window);
    RunReportingErrors([&] { action(alive); });
}

}  // namespace

TVpStandardPreview::TVpStandardPreview(TVpPrinter* printer, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("VpStandardPreview"));
    resize(kNormalWidth, kNormalHeight);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_zoomToFit = AddSpeedButton("ZoomToFit", 4, "Zoom to fit", TVpGlyph::ZoomToFit);
    m_zoomTo100 = AddSpeedButton("ZoomTo100", 29, "Zoom to 100%", TVpGlyph::ZoomTo100);
    m_zoomToWidth = AddSpeedButton("ZoomToWidth", 54, "Zoom to page width", TVpGlyph::ZoomToWidth);
    m_firstPage = AddSpeedButton("FirstPage", 84, "First Page", TVpGlyph::FirstPage);
    m_prevPage = AddSpeedButton("PrevPage", 109, "Previous page", TVpGlyph::PrevPage);
    m_nextPage = AddSpeedButton("NextPage", 134, "Next page", TVpGlyph::NextPage);
    m_lastPage = AddSpeedButton("LastPage", 159, "Last page", TVpGlyph::LastPage);
    m_printSetup = AddSpeedButton("PrintSetup", 189, "Printer setup", TVpGlyph::PrintSetup);
    m_print = AddSpeedButton("Print", 214, "Print", TVpGlyph::Print);
    m_save = AddSpeedButton("Save", 244, "Save", TVpGlyph::Save);
    m_load = AddSpeedButton("Load", 269, "Load", TVpGlyph::Load);

    // One zoom button is down at a time; pressing the one that is down
    // keeps it down and still zooms.
    auto* zoomGroup = new QButtonGroup(this);
    zoomGroup->setExclusive(true);
    for (QToolButton* button : {m_zoomToFit, m_zoomTo100, m_zoomToWidth}) {
        button->setCheckable(true);
        zoomGroup->addButton(button);
    }

    m_exit = new QPushButton(GlyphIcon(TVpGlyph::Close), QStringLiteral("&Close"), m_toolbar);
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
    m_status = new QLabel(QStringLiteral("Working..."), m_panel1);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->move(2, 3);
    m_status->resize(kPanel1Width - 4, kStatusPanelHeight - 3);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_vpPreview = new TVpPreview(this);
    m_vpPreview->setObjectName(QStringLiteral("VpPreview"));
    m_vpPreview->SetZoom(kStoredZoom);
    m_vpPreview->OnPageAvailable = [this](TVpPreview&, int pageNum) { VpPreviewPageAvailable(pageNum); };
    m_vpPreview->OnProgressUpdate = [this](TVpPreview&, int percent) { VpPreviewProgressUpdate(percent); };
    LayOut();

    connect(m_zoomToFit, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { ZoomToFitClick(); }); });
    connect(m_zoomTo100, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { ZoomTo100Click(); }); });
    connect(m_zoomToWidth, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { ZoomToWidthClick(); }); });
    connect(m_firstPage, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { FirstPageClick(); }); });
    connect(m_prevPage, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { PrevPageClick(); }); });
    connect(m_nextPage, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { NextPageClick(); }); });
    connect(m_lastPage, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { LastPageClick(); }); });
    connect(m_printSetup, &QToolButton::clicked, this, [this] { PrintSetupClick(); });
    connect(m_print, &QToolButton::clicked, this, [this] { PrintClick(); });
    connect(m_save, &QToolButton::clicked, this, [this] { SaveClick(); });
    connect(m_load, &QToolButton::clicked, this, [this] { LoadClick(); });
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);

    setWindowState(windowState() | Qt::WindowMaximized);
    m_vpPreview->SetVpPrinter(printer);
    setWindowTitle(printer != nullptr ? QString::fromStdString(printer->Title()) : QString());
    m_zoomToWidth->setChecked(true);
    m_vpPreview->setFocus();

    // The page keys reach the window before the control that has the focus.
    qApp->installEventFilter(this);
}

TVpStandardPreview::~TVpStandardPreview()
{
    qApp->removeEventFilter(this);
}

QToolButton* TVpStandardPreview::AddSpeedButton(const char* name, int left, const char* hint, TVpGlyph glyph)
{
    auto* button = new QToolButton(m_toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, kButtonTop, kButtonSize, kButtonSize);
    button->setToolTip(QString::fromLatin1(hint));
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Speed buttons never take the focus from the page or the Close button.
    button->setFocusPolicy(Qt::NoFocus);
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
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Ctrl counts only when it is the only one of the three held.
    const bool withCtrl = held == Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Home:
            RunReportingErrors([this] { FirstPageClick(); });
            break;
        case Qt::Key_End:
            RunReportingErrors([this] { LastPageClick(); });
            break;
        case Qt::Key_PageUp:
            RunReportingErrors([&] { withCtrl ? FirstPageClick() : PrevPageClick(); });
            break;
        case Qt::Key_PageDown:
            RunReportingErrors([&] { withCtrl ? LastPageClick() : NextPageClick(); });
            break;
        case Qt::Key_Escape:
            // Close is the window's cancel button.
            m_exit->click();
            return true;
        default:
            break;
    }
    // The focused control still gets the key.
    return false;
}

void TVpStandardPreview::UpdateStatusText()
{
    const TVpPrinter* printer = m_vpPreview->VpPrinter();
    if (printer == nullptr) {
        return;
    }
    m_status->setText(QStringLiteral("Page") + QLatin1Char(' ') + QString::number(m_vpPreview->PageNumber()) +
                      QLatin1Char(' ') + QStringLiteral("of") + QLatin1Char(' ') +
                      QString::number(printer->PageCount()));
}

void TVpStandardPreview::ZoomToFitClick()
{
    // Notices already posted (a page that has just become available) are
    // dealt with before the zoom is worked out.
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->FitWholePage();
    }
}

void TVpStandardPreview::ZoomTo100Click()
{
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->SetZoom(100);
    }
}

void TVpStandardPreview::ZoomToWidthClick()
{
    QPointer<TVpStandardPreview> alive(this);
    QCoreApplication::processEvents();
    if (alive) {
        m_vpPreview->FitPageWidth();
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
            printer->PrintSetup();
        }
    });
}

void TVpStandardPreview::PrintClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>&) {
        if (TVpPrinter* printer = m_vpPreview->VpPrinter()) {
            printer->Print();
        }
    });
}

void TVpStandardPreview::SaveClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>& alive) {
        const TVpExportFilterLibrary& library = TVpExportFilterLibrary::Instance();
        const std::optional<TVpFileDialogChoice> choice =
            RunPreviewFileDialog({TVpFileDialogKind::Save, SaveFilter(library), this});
        if (!choice || !alive) {
            return;
        }
        TVpPrinter* printer = m_vpPreview->VpPrinter();
        if (printer == nullptr) {
            return;
        }
        const std::string fileName = choice->FileName.toStdString();
        if (choice->FilterIndex <= 1) {
            // Writes nothing while pages are still being produced.
            printer->Save(fileName);
            return;
        }
        const auto index = static_cast<std::size_t>(choice->FilterIndex - 2);
        if (index >= library.Count()) {
            return;
        }
        // A filter of its own for this export, freed whatever the run does.
        const std::unique_ptr<TVpExportFilter> filter = library.CreateFilter(index, fileName);
        printer->ExportToFilter(*filter);
    });
}

void TVpStandardPreview::LoadClick()
{
    RunGuarded(this, [this](const QPointer<TVpStandardPreview>& alive) {
        const std::optional<TVpFileDialogChoice> choice =
            RunPreviewFileDialog({TVpFileDialogKind::Open, SavedReportFilter(), this});
        if (!choice || !alive) {
            return;
        }
        TVpPrinter* printer = m_vpPreview->VpPrinter();
        if (printer == nullptr) {
            return;
        }
        const QFileInfo file(choice->FileName);
        if (!file.exists() || file.isDir()) {
            ShowPreviewMessage(this, QStringLiteral("Cannot open file %1: %2")
                                         .arg(choice->FileName,
                                              file.isDir() ? QStringLiteral("it is a folder, not a file")
                                                           : QStringLiteral("it does not exist")));
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
        struct StatusOnExit {
            TVpStandardPreview* Window;
            ~StatusOnExit() { Window->UpdateStatusText(); }
        } status{this};
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

TVpStandardPreview* ShowStandardPreview(TVpPrinter& printer)
{
    auto* window = new TVpStandardPreview(&printer);
    window->show();
    return window;
}

void RegisterStandardPreview()
{
    SetStandardPreviewFactory([](TVpPrinter& printer) { ShowStandardPreview(printer); });
}

}  // namespace dw
