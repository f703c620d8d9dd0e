// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

namespace dw {

class TVpPrinter;
class TVpStandardPreview;

// `drillweight FILE.VPR`: a saved report opened from the file manager or a
// terminal goes straight into the preview window, without the main window.
//
// Loads fileName (as the file system spells it) into printer and opens the
// standard preview on it. The first page is read before the window opens,
// so a file that is no report is refused here; the others when shown.
// Throws EFileError "Cannot open file <file>: it does not exist" (or "it is
// a folder, not a file"), else the load's own error, which names the
// file (and the page when a page is damaged).
TVpStandardPreview& OpenSavedReport(TVpPrinter& printer, const std::string& fileName);

// The whole run of that path: the error box and exit code 1 when the file
// cannot be shown, otherwise 0 once the window has been closed.
// `previewShown`, when given, sees the window as soon as it is up.
int PreviewSavedReport(TVpPrinter& printer, const std::string& fileName,
                       const std::function<void(TVpStandardPreview&)>& previewShown = {});

}  // namespace dw
