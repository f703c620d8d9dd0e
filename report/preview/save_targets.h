// SPDX-License-Identifier: MIT
#pragma once

// The file types the preview's Save dialog offers and what each writes: the
// report file, every registered export filter (only when a report stands
// behind the pages: a report loaded from a file has none to run again), and
// PDF, which works from the pages themselves. A name typed without an
// extension gets the chosen type's; a name is suggested from the report; the
// folder last used is remembered in the profile, in a section of its own.

#include "report/output/file_folder.h"

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace dw {

class TVpExportFilterLibrary;
class TVpPrinter;

enum class TVpSaveKind { Report, Filter, Pdf };

struct TVpSaveTarget {
    TVpSaveKind Kind = TVpSaveKind::Report;
    std::size_t FilterIndex = 0;  // Kind Filter: the entry of the library
    QString Name;                 // as the dialog shows it, pattern included
    QString Extension;            // without the dot
};

// Report file, then the library's filters when canExport, then PDF.
std::vector<TVpSaveTarget> SaveTargets(const TVpExportFilterLibrary& library, bool canExport);
// "name|pattern|name|pattern..." for the file dialog.
QString SaveFilterText(const std::vector<TVpSaveTarget>& targets);
// The report file, then every file.
QString LoadFilterText();

// What Save writes for a name and a type chosen in its dialog (chosen:
// index into targets): the type the name's extension names (any case),
// else the chosen one with its extension added. A name left as it was
// suggested (suggested: the name proposed, with the first type's
// extension) takes the chosen type and its extension instead, as the name
// was the program's and not the user's.
struct TVpSaveChoice {
    QString FileName;
    std::size_t Target = 0;
};
TVpSaveChoice FollowSaveName(const QString& fileName, const std::vector<TVpSaveTarget>& targets, std::size_t chosen,
                             const QString& suggested = {});
// "<stem>.<extension>" from the printer's suggested stem; empty without one.
QString SuggestedFileName(const TVpPrinter& printer, const TVpSaveTarget& target);

// Writes the printer's pages (or runs the filter) to fileName.
void SaveToTarget(TVpPrinter& printer, const TVpExportFilterLibrary& library, const TVpSaveTarget& target,
                  const std::string& fileName);

}  // namespace dw
