// SPDX-License-Identifier: MIT
#include "report/output/printer_dialog.h"

#include "common/errors.h"
#include "common/file_names.h"
#include "report/emf/emf_reader.h"
#include "report/output/file_folder.h"
#include "report/output/printer.h"
#include "report/output/vp_printer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace dw {

namespace {

constexpr int kMaxCopies = 999;

bool IsTablePaper(TVpPaperSize size)
{
    return size != TVpPaperSize::Default && size != TVpPaperSize::Custom;
}

// Portrait millimetres of a table paper; none for Default and Custom.
std::optional<QSizeF> PaperMillimetres(TVpPaperSize size)
{
    const std::optional<TVpPaperDimension> dimensions = PaperDimensions(size);
    if (!dimensions) {
        return std::nullopt;
    }
    return QSizeF(static_cast<double>(dimensions->Width), static_cast<double>(dimensions->Length));
}

}  // namespace

QString PaperName(TVpPaperSize size)
{
    if (const std::optional<int> code = PaperCode(size); code && IsTablePaper(size)) {
        const QPageSize paper(QPageSize::id(*code));
        if (paper.isValid()) {
            return paper.name();
        }
    }
    if (const std::optional<QSizeF> mm = PaperMillimetres(size)) {
        return QCoreApplication::translate("dw::TVpPrinterSetupDialog", "%1 × %2 mm")
            .arg(mm->width())
            .arg(mm->height());
    }
    return QCoreApplication::translate("dw::TVpPrinterSetupDialog", "the printer's own paper");
}

TVpPrinterSetupDialog::TVpPrinterSetupDialog(const TVpPrinterDialogRequest& request, QWidget* parent)
    : QDialog(parent), m_request(request)
{
    setObjectName(QStringLiteral("PrinterSetupDialog"));
    setWindowTitle(tr("Printer setup"));

    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("Printer"));
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("Paper"));
    m_orientation = new QComboBox(this);
    m_orientation->setObjectName(QStringLiteral("Orientation"));
    m_orientation->addItem(tr("Portrait"));
    m_orientation->addItem(tr("Landscape"));
    m_orientation->setCurrentIndex(request.Orientation == TVpOrientation::poLandscape ? 1 : 0);
    m_copies = new QSpinBox(this);
    m_copies->setObjectName(QStringLiteral("Copies"));
    m_copies->setRange(1, kMaxCopies);
    m_copies->setValue(std::clamp(request.Copies, 1, kMaxCopies));

    auto* pages = new QWidget(this);
    auto* pagesLayout = new QHBoxLayout(pages);
    pagesLayout->setContentsMargins(0, 0, 0, 0);
    m_allPages = new QRadioButton(tr("All"), pages);
    m_somePages = new QRadioButton(tr("From"), pages);
    auto* pageGroup = new QButtonGroup(this);
    pageGroup->addButton(m_allPages);
    pageGroup->addButton(m_somePages);
    const int lastPage = std::max(1, request.MaxPage);
    m_fromPage = new QSpinBox(pages);
    m_fromPage->setRange(1, lastPage);
    m_toPage = new QSpinBox(pages);
    m_toPage->setRange(1, lastPage);
    const bool range = request.FromPage > 0 || request.ToPage > 0;
    m_fromPage->setValue(range ? std::max(1, request.FromPage) : 1);
    m_toPage->setValue(range && request.ToPage > 0 ? request.ToPage : lastPage);
    (range ? m_somePages : m_allPages)->setChecked(true);
    pagesLayout->addWidget(m_allPages);
    pagesLayout->addWidget(m_somePages);
    pagesLayout->addWidget(m_fromPage);
    pagesLayout->addWidget(new QLabel(tr("to"), pages));
    pagesLayout->addWidget(m_toPage);
    pagesLayout->addStretch();

    auto* fileRow = new QWidget(this);
    auto* fileLayout = new QHBoxLayout(fileRow);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    m_toFile = new QCheckBox(tr("Print to a PDF file:"), fileRow);
    m_toFile->setObjectName(QStringLiteral("ToFile"));
    m_file = new QLineEdit(QString::fromStdString(request.OutputFileName), fileRow);
    m_file->setObjectName(QStringLiteral("OutputFile"));
    m_file->setMinimumWidth(220);
    m_browse = new QToolButton(fileRow);
    m_browse->setText(tr("Browse..."));
    m_toFile->setChecked(!request.OutputFileName.empty());
    fileLayout->addWidget(m_toFile);
    fileLayout->addWidget(m_file, 1);
    fileLayout->addWidget(m_browse);

    m_fitNote = new QLabel(this);
    m_fitNote->setObjectName(QStringLiteral("FitNote"));
    m_fitNote->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("Printer:"), m_printer);
    form->addRow(tr("Paper:"), m_paper);
    form->addRow(tr("Orientation:"), m_orientation);
    form->addRow(tr("Copies:"), m_copies);
    form->addRow(tr("Pages:"), pages);
    form->addRow(fileRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_fitNote);
    layout->addWidget(buttons);

    TPrinter& printers = request.VpPrinter->Printer();
    for (const std::string& name : printers.Printers()) {
        m_printer->addItem(QString::fromStdString(name));
    }
    int current = 0;
    try {
        current = printers.PrinterIndex();
    } catch (const EPrinter&) {
        current = 0;
    }
    m_printer->setCurrentIndex(current);
    PrinterChanged();
    if (const auto found = std::find(m_papers.begin(), m_papers.end(), request.Paper); found != m_papers.end()) {
        m_paper->setCurrentIndex(static_cast<int>(found - m_papers.begin()));
    }
    UpdateFitNote();

    connect(m_printer, &QComboBox::currentIndexChanged, this, [this] { PrinterChanged(); });
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] { UpdateFitNote(); });
    connect(m_orientation, &QComboBox::currentIndexChanged, this, [this] { UpdateFitNote(); });
    connect(m_browse, &QToolButton::clicked, this, [this] { BrowseFile(); });
    connect(m_file, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            m_toFile->setChecked(true);
        }
    });
}

void TVpPrinterSetupDialog::PrinterChanged()
{
    TVpPrinter& printer = *m_request.VpPrinter;
    const TVpPaperSize kept =
        m_paper->currentIndex() >= 0 ? m_papers[static_cast<std::size_t>(m_paper->currentIndex())] : m_request.Paper;
    try {
        printer.SetPrinterIndex(m_printer->currentIndex());
    } catch (const EPrinter&) {
        // A printer that cannot be opened offers only its own paper.
    }
    const TPrinterSettings& settings = printer.PrinterSettings();
    const QSignalBlocker blocker(m_paper);
    m_paper->clear();
    m_papers.clear();
    for (std::size_t i = 0; i < kPaperSizeCount; ++i) {
        const auto size = static_cast<TVpPaperSize>(i);
        if (IsTablePaper(size) && settings.Supports(size)) {
            m_papers.push_back(size);
            m_paper->addItem(PaperName(size));
        }
    }
    if (m_papers.empty()) {
        m_papers.push_back(settings.PaperSize());
        m_paper->addItem(PaperName(settings.PaperSize()));
    }
    // The paper chosen before if this printer has it, else the printer's own.
    auto found = std::find(m_papers.begin(), m_papers.end(), kept);
    if (found == m_papers.end()) {
        found = std::find(m_papers.begin(), m_papers.end(), settings.PaperSize());
    }
    m_paper->setCurrentIndex(found == m_papers.end() ? 0 : static_cast<int>(found - m_papers.begin()));

    const bool copies = settings.DeviceMode().Supports(kDmCopies);
    m_copies->setEnabled(copies);
    if (!copies) {
        m_copies->setValue(1);
    }
    // The built-in PDF printer always writes a file.
    const bool pdfOnly = printer.Printer().IsPdfPrinter();
    if (pdfOnly) {
        m_toFile->setChecked(true);
    }
    m_toFile->setEnabled(!pdfOnly);
    UpdateFitNote();
}

void TVpPrinterSetupDialog::UpdateFitNote()
{
    const int index = m_paper->currentIndex();
    std::optional<QSizeF> paper =
        index >= 0 ? PaperMillimetres(m_papers[static_cast<std::size_t>(index)]) : std::optional<QSizeF>();
    const double pageWidth = static_cast<double>(m_request.PageWidth);
    const double pageLength = static_cast<double>(m_request.PageLength);
    if (!paper || pageWidth <= 0 || pageLength <= 0) {
        m_fitNote->clear();
        m_fitNote->hide();
        return;
    }
    if (m_orientation->currentIndex() == 1) {
        paper->transpose();
    }
    if (paper->width() + 0.5 >= pageWidth && paper->height() + 0.5 >= pageLength) {
        m_fitNote->clear();
        m_fitNote->hide();
        return;
    }
    m_fitNote->setText(tr("The report's page (%1 × %2 mm) is larger than this paper. What lies within the paper "
                          "prints at full size; a page that reaches beyond it is scaled down to fit, never cut.")
                           .arg(pageWidth)
                           .arg(pageLength));
    m_fitNote->show();
}

void TVpPrinterSetupDialog::BrowseFile()
{
    const QString start = m_file->text().trimmed().isEmpty() ? RememberedFolder() : m_file->text().trimmed();
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Print to a PDF file"), start, tr("PDF file (*.pdf)"));
    if (!chosen.isEmpty()) {
        RememberFolderOf(chosen);
        m_file->setText(QString::fromStdString(WithDefaultExtension(chosen.toStdString(), "pdf")));
        m_toFile->setChecked(true);
    }
}

TVpPrinterDialogChoice TVpPrinterSetupDialog::Choice() const
{
    TVpPrinterDialogChoice choice;
    choice.PrinterIndex = m_printer->currentIndex();
    choice.Copies = m_copies->value();
    if (m_somePages->isChecked()) {
        choice.FromPage = std::min(m_fromPage->value(), m_toPage->value());
        choice.ToPage = std::max(m_fromPage->value(), m_toPage->value());
    }
    if (m_paper->currentIndex() >= 0) {
        choice.Paper = m_papers[static_cast<std::size_t>(m_paper->currentIndex())];
    }
    choice.Orientation = m_orientation->currentIndex() == 1 ? TVpOrientation::poLandscape : TVpOrientation::poPortrait;
    const QString file = m_file->text().trimmed();
    if (m_toFile->isChecked() && !file.isEmpty()) {
        choice.OutputFileName = WithDefaultExtension(file.toStdString(), "pdf");
    }
    return choice;
}

std::optional<TVpPrinterDialogChoice> RunSystemPrinterDialog(const TVpPrinterDialogRequest& request)
{
    if (request.VpPrinter == nullptr)
        return std::nullopt;
    TVpPrinterSetupDialog dialog(request, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    TVpPrinterDialogChoice choice = dialog.Choice();
    // Later report commands start on the printer chosen here.
    try {
        GlobalPrinter().SetPrinterIndex(choice.PrinterIndex);
    } catch (const EPrinter&) {
        // The two lists differ; the report keeps its own index.
    }
    return choice;
}

bool SetUpStoredPagesPrinter(TVpPrinter& printer, const TVpPrinterDialogFunction& dialog)
{
    if (!printer.PrinterOK())
        return false;
    const int index = printer.PrinterIndex();
    TVpPrinterDialogRequest request;
    request.VpPrinter = &printer;
    request.Copies = printer.Copies();
    request.MaxPage = printer.PageCount();
    request.FromPage = printer.FirstPage();
    request.ToPage = printer.LastPage();
    request.Paper = printer.PaperSize();
    request.Orientation = printer.Orientation() == TPrinterOrientation::poLandscape ? TVpOrientation::poLandscape
                                                                                    : TVpOrientation::poPortrait;
    request.OutputFileName = printer.Printer().OutputFileName();
    // The pages' own paper, from the first page.
    if (printer.PageCount() > 0) {
        if (const auto page = printer.GetPage(1)) {
            request.PageWidth = page->PageMillimetres().Width;
            request.PageLength = page->PageMillimetres().Height;
        }
    }
    const TVpPaperSize paper = printer.PaperSize();
    const TPrinterOrientation orientation = printer.Orientation();
    const int copies = printer.Copies();
    const std::optional<TVpPrinterDialogChoice> choice = dialog ? dialog(request) : RunSystemPrinterDialog(request);
    if (!choice) {
        // The dialog tried other printers on this object: back to the one set.
        printer.SetPrinterIndex(index);
        printer.SetPaperSize(paper);
        printer.SetOrientation(orientation);
        printer.SetCopies(copies);
        return false;
    }
    printer.SetPrinterIndex(choice->PrinterIndex);
    if (choice->Paper)
        printer.SetPaperSize(*choice->Paper);
    if (choice->Orientation)
        printer.SetOrientation(*choice->Orientation == TVpOrientation::poLandscape ? TPrinterOrientation::poLandscape
                                                                                   : TPrinterOrientation::poPortrait);
    printer.SetCopies(choice->Copies);
    printer.SetFirstPage(choice->FromPage);
    printer.SetLastPage(choice->ToPage);
    printer.Printer().SetOutputFileName(choice->OutputFileName);
    return true;
}

}  // namespace dw
