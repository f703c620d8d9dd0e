// SPDX-License-Identifier: MIT
#include "report/preview/save_targets.h"

#include "common/error_display.h"
#include "common/errors.h"
#include "common/file_names.h"
#include "common/message_text.h"
#include "report/engine/export_filter.h"
#include "report/engine/pdf_export.h"
#include "report/engine/vp_printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>

namespace dw {

std::vector<TVpSaveTarget> SaveTargets(const TVpExportFilterLibrary& library, bool canExport)
{
    std::vector<TVpSaveTarget> targets;
    // The saved-report entry keeps its own text: its name runs into the
    // bracket.
    targets.push_back(
        {TVpSaveKind::Report, 0,
         QCoreApplication::translate("dw::TVpStandardPreview", "Vellumprint file") + QStringLiteral("(*.VPR)"),
         QStringLiteral("VPR")});
    if (canExport) {
        for (std::size_t i = 0; i < library.Count(); ++i) {
            const auto& entry = library.Entries()[i];
            const QString extension = QString::fromStdString(entry.FileExtension);
            targets.push_back({TVpSaveKind::Filter, i,
                               QString::fromStdString(Localized(entry.DisplayName)) + QStringLiteral(" (*.") +
                                   extension + QLatin1Char(')'),
                               extension});
        }
    }
    targets.push_back({TVpSaveKind::Pdf, 0,
                       QCoreApplication::translate("dw::TVpStandardPreview", "PDF file") + QStringLiteral(" (*.pdf)"),
                       QStringLiteral("pdf")});
    return targets;
}

QString SaveFilterText(const std::vector<TVpSaveTarget>& targets)
{
    QStringList parts;
    for (const TVpSaveTarget& target : targets) {
        parts << target.Name << QStringLiteral("*.") + target.Extension;
    }
    return parts.join(QLatin1Char('|'));
}

QString LoadFilterText()
{
    return QCoreApplication::translate("dw::TVpStandardPreview", "Vellumprint file") +
           QStringLiteral("(*.VPR)|*.VPR|") + QCoreApplication::translate("dw::TVpStandardPreview", "All files") +
           QStringLiteral(" (*)|*");
}

QString FileNameForTarget(const QString& fileName, const TVpSaveTarget& target, const QString& suggested)
{
    const QFileInfo file(fileName);
    if (!suggested.isEmpty() && file.fileName() == suggested) {
        const qsizetype dot = suggested.lastIndexOf(QLatin1Char('.'));
        const QString stem = dot > 0 ? suggested.left(dot) : suggested;
        return fileName.left(fileName.size() - suggested.size()) + stem + QLatin1Char('.') + target.Extension;
    }
    return QString::fromStdString(WithDefaultExtension(fileName.toStdString(), target.Extension.toStdString()));
}

QString SuggestedFileName(const TVpPrinter& printer, const TVpSaveTarget& target)
{
    if (printer.FileNameStem().empty()) {
        return {};
    }
    // A stem that would name a folder is no file name.
    QString stem = QString::fromStdString(printer.FileNameStem());
    stem.replace(QLatin1Char('/'), QLatin1Char('-'));
    return stem + QLatin1Char('.') + target.Extension;
}

void SaveToTarget(TVpPrinter& printer, const TVpExportFilterLibrary& library, const TVpSaveTarget& target,
                  const std::string& fileName)
{
    switch (target.Kind) {
        case TVpSaveKind::Report:
            // Writes nothing while pages are still being produced.
            printer.Save(fileName);
            return;
        case TVpSaveKind::Pdf:
            SavePagesAsPdf(printer, fileName);
            return;
        case TVpSaveKind::Filter:
            break;
    }
    if (!printer.CanExport()) {
        // Never offered then; should it be asked for, say so rather than
        // write nothing and say nothing.
        throw EVpError(
            DW_TEXT("Message", "A report loaded from a file can be saved as a report file or as PDF, not exported"));
    }
    if (target.FilterIndex >= library.Count()) {
        return;
    }
    // A filter of its own for this export, freed whatever the run does.
    const std::unique_ptr<TVpExportFilter> filter = library.CreateFilter(target.FilterIndex, fileName);
    printer.ExportToFilter(*filter);
}

}  // namespace dw
