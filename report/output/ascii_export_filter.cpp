// SPDX-License-Identifier: MIT
#include "report/output/ascii_export_filter.h"

#include "common/replace_file.h"

#include <cerrno>

namespace dw {

TVpAsciiExportFilter::TVpAsciiExportFilter(std::string fileName) : TVpExportFilter(std::move(fileName)) {}

// Frees an unfinished output, which removes its temporary file.
TVpAsciiExportFilter::~TVpAsciiExportFilter() = default;

void TVpAsciiExportFilter::BeginExport(std::int32_t /*pageWidth*/, std::int32_t pageLength, const TCanvasFont& font)
{
    m_grid.BeginExport(font.Size, pageLength);
    m_file.reset();  // a run begun again starts from nothing
    m_file = std::make_unique<ReplaceFileWriter>(FileName());
}

void TVpAsciiExportFilter::ClosePage()
{
    if (!m_file) {
        ThrowInOutError(EBADF);
    }
    m_page.clear();
    m_grid.AppendPage(m_page);
    m_file->Write(m_page);
}

void TVpAsciiExportFilter::EndExport()
{
    if (!m_file) {
        return;
    }
    m_file->Commit();
    m_file.reset();
}

void TVpAsciiExportFilter::OpenPage()
{
    m_grid.OpenPage();
}

void TVpAsciiExportFilter::PlaceText(long double x, long double y, const TCanvasFont& /*font*/,
                                     const QColor& /*background*/, TAlignment alignment, const std::string& text)
{
    m_grid.PlaceText(x, y, alignment, text);
}

}  // namespace dw
