// SPDX-License-Identifier: MIT
#pragma once

#include "report/core/text_grid.h"
#include "report/engine/export_filter.h"

#include <memory>
#include <string>

namespace dw {

class ReplaceFileWriter;

// The text export: the printed texts of each page laid out on a grid of
// character cells (the report font's size) and the grid's non-empty lines
// written as UTF-8 text with CR LF line ends, the pages back to back.
//
// The file is written beside its target and put in place by EndExport, so a
// run that fails, or a filter freed without EndExport, leaves the file the
// user had untouched and nothing else behind. Failures raise EInOutError.
class TVpAsciiExportFilter : public TVpExportFilter {
public:
    explicit TVpAsciiExportFilter(std::string fileName);
    ~TVpAsciiExportFilter() override;

    MessageText DescriptionText() const override { return DW_TEXT("Message", "Text export (ASCII) filter"); }
    std::string FileExtension() const override { return "TXT"; }
    MessageText DisplayName() const override { return DW_TEXT("Message", "Text file"); }

    // Lays the grid for font.Size and pageLength (the width is not used) and
    // opens the output. A font of size 0 raises EZeroDivide before anything
    // is opened.
    void BeginExport(std::int32_t pageWidth, std::int32_t pageLength, const TCanvasFont& font) override;
    // Writes the page's lines; before BeginExport there is no file to write
    // to ("I/O error 9").
    void ClosePage() override;
    // Puts the file in place. After a failed write it raises that failure
    // again, as the file was not written; without BeginExport, or a second
    // time, it does nothing.
    void EndExport() override;
    void OpenPage() override;
    // The font and the background are not used: cells have the run's size.
    void PlaceText(long double x, long double y, const TCanvasFont& font, const QColor& background,
                   TAlignment alignment, const std::string& text) override;

private:
    TextGrid m_grid;
    std::unique_ptr<ReplaceFileWriter> m_file;
    std::string m_page;
};

}  // namespace dw
