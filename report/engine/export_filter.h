// SPDX-License-Identifier: MIT
#pragma once

// Export filters receive the texts of a report while the report is produced
// once more with its pages not stored, and write them to a file in a format
// of their own. The preview's save dialog offers every registered filter as
// a file type beside the saved report.

#include "common/message_text.h"
#include "report/core/alignment.h"
#include "report/emf/canvas.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dw {

class TVpExportFilter {
public:
    // fileName is the target chosen by the user; nothing is opened yet.
    explicit TVpExportFilter(std::string fileName) : m_fileName(std::move(fileName)) {}
    virtual ~TVpExportFilter() = default;
    TVpExportFilter(const TVpExportFilter&) = delete;
    TVpExportFilter& operator=(const TVpExportFilter&) = delete;

    const std::string& FileName() const noexcept { return m_fileName; }

    virtual MessageText DescriptionText() const { return DW_TEXT("Message", "Abstract non-working export filter"); }
    // Without the dot.
    virtual std::string FileExtension() const { return {}; }
    // The file type's name in the save dialog.
    virtual MessageText DisplayName() const { return DW_TEXT("Message", "Abstract filter"); }

    // The run starts. Page width and length in tenths of a millimetre; font
    // is the report's.
    virtual void BeginExport(std::int32_t pageWidth, std::int32_t pageLength, const TCanvasFont& font);
    virtual void ClosePage();
    virtual void EndExport();
    virtual void OpenPage();
    // One printed line of an element: (x, y) in tenths of a millimetre from
    // the sheet's top-left corner, x being the line's left edge, right edge
    // or centre as alignment says and y its top edge.
    virtual void PlaceText(long double x, long double y, const TCanvasFont& font, const QColor& background,
                           TAlignment alignment, const std::string& text);

private:
    std::string m_fileName;
};

// The registered filters, in the order of registration.
class TVpExportFilterLibrary {
public:
    using TFactory = std::function<std::unique_ptr<TVpExportFilter>(const std::string& fileName)>;

    struct TVpExportFilterLibraryEntry {
        TFactory Create;
        MessageText DisplayName;
        std::string FileExtension;
    };

    // The program's register; the text export is in it from the start.
    static TVpExportFilterLibrary& Instance();

    // Asks a throw-away instance (empty file name) for its name and extension.
    void RegisterFilter(TFactory factory);
    template <class Filter>
    void RegisterFilter()
    {
        RegisterFilter([](const std::string& fileName) { return std::make_unique<Filter>(fileName); });
    }

    const std::vector<TVpExportFilterLibraryEntry>& Entries() const noexcept { return m_entries; }
    std::size_t Count() const noexcept { return m_entries.size(); }
    // A new filter of entry index (0-based) for fileName.
    std::unique_ptr<TVpExportFilter> CreateFilter(std::size_t index, const std::string& fileName) const;

private:
    std::vector<TVpExportFilterLibraryEntry> m_entries;
};

}  // namespace dw
