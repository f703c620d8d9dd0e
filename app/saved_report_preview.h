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
// standard preview on it. Every page is read once before the window opens,
// so a damaged file is refused here rather than after the window is up.
// Throws EFileError "File does not exist" for a missing file or a folder,
// else the load's own error.
TVpStandardPreview& OpenSavedReport(TVpPrinter& printer, const std::string& fileName);

// The whole run of that path: the error box and exit code 1 when the file
// cannot be shown, otherwise 0 once the window has been closed.
// `previewShown`, when given, sees the window as soon as it is up.
int PreviewSavedReport(TVpPrinter& printer, const std::string& fileName,
                       const std::function<void(TVpStandardPreview&)>& previewShown = {});

}  // namespace dw
