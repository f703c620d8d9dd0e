// SPDX-License-Identifier: MIT
#include "tools/vprtool/tool_arguments.h"

#include "report/core/file_limits.h"
#include "report/emf/emf_reader.h"

#include <map>

namespace dw::vprtool {

namespace {

std::optional<Command> CommandNamed(const QString& name)
{
    static const std::map<QString, Command> commands{
        {QStringLiteral("info"), Command::Info}, {QStringLiteral("pdf"), Command::Pdf},
        {QStringLiteral("png"), Command::Png},   {QStringLiteral("emf"), Command::Emf},
        {QStringLiteral("pack"), Command::Pack},
    };
    const auto found = commands.find(name);
    return found == commands.end() ? std::nullopt : std::optional<Command>(found->second);
}

int Number(const QString& option, const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) {
        throw UsageError(QStringLiteral("%1 needs a whole number, not \"%2\"").arg(option, text));
    }
    return value;
}

}  // namespace

QString UsageText()
{
    return QStringLiteral(
               "Usage: vprtool COMMAND ...\n"
               "Reads and writes saved report files (*.VPR) without the program.\n"
               "\n"
               "  vprtool info FILE.VPR\n"
               "      page count, compression, when the file was written, each page's size\n"
               "  vprtool pdf FILE.VPR -o OUT.pdf\n"
               "      every page as a page of a PDF document\n"
               "  vprtool png FILE.VPR [--page N] [--dpi D] -o OUT.png\n"
               "      pages as PNG pictures at D dots per inch (default 96, %1 to %2);\n"
               "      without --page a report of several pages gives OUT-1.png, OUT-2.png, ...\n"
               "  vprtool emf FILE.VPR --page N -o OUT.emf\n"
               "      the metafile of page N, byte for byte\n"
               "  vprtool pack [--compress] OUT.VPR PAGE.emf...\n"
               "      a report file holding the metafiles as its pages, in the order given\n"
               "  vprtool --help\n"
               "  vprtool --version\n"
               "      the tool's name and version\n"
               "\n"
               "Only regular files are read: a pipe, device or folder given as input is refused.\n"
               "Nothing the program writes is larger than these, so more is refused at once:\n"
               "  a report file  %3 bytes (its offsets are 32-bit)\n"
               "  a metafile     %4 bytes\n"
               "  a page         %5 mm a side\n"
               "Files are written beside their target and renamed over it when complete; a\n"
               "link is followed and stays a link, and a folder, device or pipe is not replaced.\n"
               "\n"
               "Exit status:\n"
               "  0  done\n"
               "  1  a file could not be read, used or written: missing, not a regular file,\n"
               "     too large, damaged, without pages, or a page too large to draw\n"
               "  2  a bad command line, or a --page the report does not have\n")
        .arg(kMinDpi)
        .arg(kMaxDpi)
        .arg(kMaxReportFileSize)
        .arg(kMaxMetafileSize)
        .arg(emf::kMaxPageSideMm);
}

QString VersionText()
{
    return QStringLiteral("vprtool " DW_VERSION "\n");
}

ToolArguments ParseArguments(const QStringList& arguments)
{
    ToolArguments result;
    if (arguments.isEmpty()) {
        throw UsageError(QStringLiteral("no command given"));
    }
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return result;
        }
        if (argument == QLatin1String("--version")) {
            result.Action = Command::Version;
            return result;
        }
    }
    const std::optional<Command> command = CommandNamed(arguments.front());
    if (!command) {
        throw UsageError(QStringLiteral("unknown command \"%1\"").arg(arguments.front()));
    }
    result.Action = *command;

    QStringList positional;
    bool outputSeen = false;
    bool dpiSeen = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= arguments.size()) {
                throw UsageError(QStringLiteral("%1 needs a value").arg(argument));
            }
            return arguments[++i];
        };
        if (argument == QLatin1String("-o") || argument == QLatin1String("--output")) {
            if (outputSeen) {
                throw UsageError(QStringLiteral("-o given twice"));
            }
            result.Output = value();
            outputSeen = true;
        } else if (argument == QLatin1String("--page")) {
            if (result.Page) {
                throw UsageError(QStringLiteral("--page given twice"));
            }
            result.Page = Number(argument, value());
            if (*result.Page < 1) {
                throw UsageError(QStringLiteral("--page counts from 1"));
            }
        } else if (argument == QLatin1String("--dpi")) {
            if (dpiSeen) {
                throw UsageError(QStringLiteral("--dpi given twice"));
            }
            result.Dpi = Number(argument, value());
            dpiSeen = true;
            if (result.Dpi < kMinDpi || result.Dpi > kMaxDpi) {
                throw UsageError(QStringLiteral("--dpi must lie between %1 and %2").arg(kMinDpi).arg(kMaxDpi));
            }
        } else if (argument == QLatin1String("--compress")) {
            result.Compress = true;
        } else if (argument == QLatin1String("--")) {
            positional.append(arguments.mid(i + 1));
            break;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            throw UsageError(QStringLiteral("unknown option \"%1\"").arg(argument));
        } else {
            positional.append(argument);
        }
    }

    const auto refuse = [&](bool given, const char* option) {
        if (given) {
            throw UsageError(
                QStringLiteral("%1 does not apply to \"%2\"").arg(QLatin1String(option), arguments.front()));
        }
    };
    refuse(result.Compress && result.Action != Command::Pack, "--compress");
    refuse(result.Page.has_value() && result.Action != Command::Png && result.Action != Command::Emf, "--page");
    refuse(dpiSeen && result.Action != Command::Png, "--dpi");
    refuse(outputSeen && (result.Action == Command::Info || result.Action == Command::Pack), "-o");

    if (result.Action == Command::Pack) {
        if (positional.size() < 2) {
            throw UsageError(QStringLiteral("pack needs the report file to write and at least one metafile"));
        }
        result.Output = positional.takeFirst();
        result.Pages = positional;
        return result;
    }
    if (positional.isEmpty()) {
        throw UsageError(QStringLiteral("no report file given"));
    }
    if (positional.size() > 1) {
        throw UsageError(
            QStringLiteral("one report file at a time, not \"%1\"").arg(positional.join(QLatin1Char(' '))));
    }
    result.Input = positional.front();
    if (result.Action != Command::Info && result.Output.isEmpty()) {
        throw UsageError(QStringLiteral("%1 needs -o OUT").arg(arguments.front()));
    }
    if (result.Action == Command::Emf && !result.Page) {
        throw UsageError(QStringLiteral("emf needs --page N"));
    }
    return result;
}

}  // namespace dw::vprtool
