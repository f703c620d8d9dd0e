// SPDX-License-Identifier: MIT
#include "app/saved_report_preview.h"

#include "app/termination_signals.h"
#include "common/error_display.h"
#include "common/errors.h"
#include "common/input_file.h"
#include "report/output/printer.h"
#include "report/output/vp_printer.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"

#include <QEventLoop>
#include <QPointer>

#include <sys/stat.h>
#include <filesystem>
#include <system_error>

namespace dw {

TVpStandardPreview& OpenSavedReport(TVpPrinter& printer, const std::string& fileName)
{
    // The same words the preview's own load button uses for a name that
    // leads nowhere; a folder is no report either.
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (error || !std::filesystem::exists(status)) {
        throw EFileError(CannotOpenFileBecause(fileName, MissingFileReason()));
    }
    if (std::filesystem::is_directory(status)) {
        throw EFileError(CannotOpenFileBecause(fileName, NotAFileReason(S_IFDIR)));
    }
    {
        // No window is there yet to close, and nothing to save: an operator's
        // kill while the file is read ends the program there and then.
        const EndAtOnceOnSignals endAtOnce;
        printer.Load(fileName);
        // The first page is read before the window opens, so a file that is
        // no report is refused at once; the others are read when shown, so a
        // report of thousands of compressed pages opens without a wait. A
        // later page that is damaged says so, with the file and the page,
        // when turned to.
        if (printer.PageCount() > 0) {
            printer.GetPage(1);
        }
    }
    // The file carries no paper. Its pages are the program's report sheet,
    // A3 portrait: the page is shown in that shape and printed on that paper
    // as the print command does, whatever the printer's own default.
    printer.SetPaperSize(TVpPaperSize::A3);
    printer.SetOrientation(TPrinterOrientation::poPortrait);
    // The file's name names the window and any print job made from it.
    printer.SetTitle(std::filesystem::path(fileName).filename().string());

    TVpStandardPreview& window = *ShowStandardPreview(printer);
    // Every page is there already, so no page notice will come to set the
    // zoom and the status line: set them as that notice would.
    window.VpPreview()->FitPageWidth();
    window.UpdateStatusText();
    return window;
}

int PreviewSavedReport(TVpPrinter& printer, const std::string& fileName,
                       const std::function<void(TVpStandardPreview&)>& previewShown)
{
    QPointer<TVpStandardPreview> window;
    try {
        window = &OpenSavedReport(printer, fileName);
    } catch (const std::exception& failure) {
        ShowError(failure);
        return 1;
    }
    // The window frees itself when closed; the run ends with it.
    QEventLoop untilClosed;
    QObject::connect(window.data(), &QObject::destroyed, &untilClosed, &QEventLoop::quit);
    if (previewShown) {
        previewShown(*window);
    }
    // A window closed before the loop starts is already on its way out.
    if (!window.isNull() && window->isVisible()) {
        untilClosed.exec();
    }
    // A window closed by an operator's kill or the session's end is no run
    // that went well: the status says so, as the main window's run does.
    return TerminationSignals::AnsweredStatus();
}

}  // namespace dw
