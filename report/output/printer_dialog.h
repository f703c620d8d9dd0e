// SPDX-License-Identifier: MIT
#pragma once

// The printer set-up: printer, paper, orientation, copies, pages and an
// output file, confirmed with OK. What it sets is what the preview's print
// button then uses without asking again; when the chosen paper is smaller
// than the report's page it says that such a page is scaled to fit.

#include "numeric/core/extended.h"
#include "report/core/page.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace dw {

class TVpPrinter;

// What the printer dialog is opened with and what the user chose in it.
struct TVpPrinterDialogRequest {
    int Copies = 1;
    // Pages of the report, for the page range the dialog offers.
    std::int32_t MaxPage = 0;
    // A printer object of its own, on the printer the settings name, for
    // the printers, papers and what each can do.
    TVpPrinter* VpPrinter = nullptr;
    std::int32_t FromPage = 0;
    std::int32_t ToPage = 0;
    // The sheet as it is set up now (the report's page when not chosen).
    TVpPaperSize Paper = TVpPaperSize::A4;
    TVpOrientation Orientation = TVpOrientation::poPortrait;
    std::string OutputFileName;
    // The report's page, millimetres, for saying when a sheet is smaller.
    Extended PageWidth = 0;
    Extended PageLength = 0;
};
struct TVpPrinterDialogChoice {
    int Copies = 1;
    int PrinterIndex = -1;
    // 0, 0 for all pages or the selection.
    std::int32_t FromPage = 0;
    std::int32_t ToPage = 0;
    std::optional<TVpOrientation> Orientation;
    std::optional<TVpPaperSize> Paper;
    // Empty: printed on the printer.
    std::string OutputFileName;
};

class TVpPrinterSetupDialog : public QDialog {
    Q_OBJECT

public:
    // request.VpPrinter must stay alive while the dialog is.
    explicit TVpPrinterSetupDialog(const TVpPrinterDialogRequest& request, QWidget* parent = nullptr);

    // What the dialog holds now.
    TVpPrinterDialogChoice Choice() const;

    QComboBox* PrinterBox() const noexcept { return m_printer; }
    QComboBox* PaperBox() const noexcept { return m_paper; }
    QComboBox* OrientationBox() const noexcept { return m_orientation; }
    QSpinBox* CopiesBox() const noexcept { return m_copies; }
    QSpinBox* FromPageBox() const noexcept { return m_fromPage; }
    QSpinBox* ToPageBox() const noexcept { return m_toPage; }
    QCheckBox* ToFileBox() const noexcept { return m_toFile; }
    QLineEdit* FileEdit() const noexcept { return m_file; }
    // Shown when the report's page is larger than the paper.
    QLabel* FitNote() const noexcept { return m_fitNote; }

private:
    void PrinterChanged();
    void UpdateFitNote();
    void BrowseFile();

    TVpPrinterDialogRequest m_request;
    std::vector<TVpPaperSize> m_papers;  // as listed in the paper box
    QComboBox* m_printer = nullptr;
    QComboBox* m_paper = nullptr;
    QComboBox* m_orientation = nullptr;
    QSpinBox* m_copies = nullptr;
    QRadioButton* m_allPages = nullptr;
    QRadioButton* m_somePages = nullptr;
    QSpinBox* m_fromPage = nullptr;
    QSpinBox* m_toPage = nullptr;
    QCheckBox* m_toFile = nullptr;
    QLineEdit* m_file = nullptr;
    QToolButton* m_browse = nullptr;
    QLabel* m_fitNote = nullptr;
};

// The paper's name as people know it ("A4", "Letter").
QString PaperName(TVpPaperSize size);

// Opens the set-up on the printer the request's printer object starts on;
// none when cancelled. Confirming selects the chosen printer for every later
// report command as well.
std::optional<TVpPrinterDialogChoice> RunSystemPrinterDialog(const TVpPrinterDialogRequest& request);

// The set-up for pages that have no report behind them (a report loaded
// from a file): the dialog (dialog, or the set-up dialog when empty) works
// on printer's own printer and settings, and what is confirmed is what its
// Print then uses. Cancelled, the printer is left as it was. True when
// something was confirmed.
using TVpPrinterDialogFunction = std::function<std::optional<TVpPrinterDialogChoice>(const TVpPrinterDialogRequest&)>;
bool SetUpStoredPagesPrinter(TVpPrinter& printer, const TVpPrinterDialogFunction& dialog = {});

}  // namespace dw
