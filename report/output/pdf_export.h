// SPDX-License-Identifier: MIT
#pragma once

// The preview's pages as a PDF file: one PDF page per report page, each on
// the paper the page was drawn for, its texts kept as text, drawn by the
// same player that puts stored pages on a printer's sheet. Works from the
// pages alone, so a report loaded from a file is saved as PDF as well.

#include <string>

namespace dw {

class TVpPrinter;

// Writes the stored pages of printer once its run has finished (nothing
// before, as with saving the report file), titled with its title, through
// the program's one file writer. EFileError naming the file when it cannot
// be written; EVpError when there is no page to write.
void SavePagesAsPdf(TVpPrinter& printer, const std::string& fileName);

}  // namespace dw
