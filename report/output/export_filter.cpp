// SPDX-License-Identifier: MIT
#include "report/output/export_filter.h"

#include "common/errors.h"
#include "report/output/ascii_export_filter.h"

namespace dw {

// A filter of no format of its own receives the run and writes nothing.
void TVpExportFilter::BeginExport(std::int32_t /*pageWidth*/, std::int32_t /*pageLength*/, const TCanvasFont& /*font*/)
{
}

void TVpExportFilter::ClosePage() {}

void TVpExportFilter::EndExport() {}

void TVpExportFilter::OpenPage() {}

void TVpExportFilter::PlaceText(long double /*x*/, long double /*y*/, const TCanvasFont& /*font*/,
                                const QColor& /*background*/, TAlignment /*alignment*/, const std::string& /*text*/)
{
}

TVpExportFilterLibrary& TVpExportFilterLibrary::Instance()
{
    // The text export is registered here rather than by a static object of
    // its own file, which a static library may leave out of the program and
    // whose turn among the start-up initialisers is not defined: this way
    // the register is filled exactly once, before anyone first looks at it.
    static TVpExportFilterLibrary library = [] {
        TVpExportFilterLibrary filled;
        filled.RegisterFilter<TVpAsciiExportFilter>();
        return filled;
    }();
    return library;
}

void TVpExportFilterLibrary::RegisterFilter(TFactory factory)
{
    // Only an instance knows its names; one without a file opens nothing.
    const std::unique_ptr<TVpExportFilter> probe = factory(std::string());
    TVpExportFilterLibraryEntry entry{std::move(factory), probe->DisplayName(), probe->FileExtension()};
    m_entries.push_back(std::move(entry));
}

std::unique_ptr<TVpExportFilter> TVpExportFilterLibrary::CreateFilter(std::size_t index,
                                                                      const std::string& fileName) const
{
    if (index >= m_entries.size()) {
        throw ERangeError(DW_TEXT("Message", "Range check error"));
    }
    return m_entries[index].Create(fileName);
}

}  // namespace dw
