// SPDX-License-Identifier: MIT
#include "app/program.h"

#include "app/app_icon.h"
#include "app/application.h"
#include "app/form1.h"
#include "app/saved_report_preview.h"
#include "app/sheet_holder.h"
#include "app/termination_signals.h"
#include "app/translations.h"
#include "journal/core/journal.h"
#include "journal/core/journal_csv.h"
#include "journal/widgets/crew_journal.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"
#include "report/generation/printer_profile.h"
#include "report/output/file_folder.h"
#include "report/output/vp_printer.h"
#include "report/preview/standard_preview.h"
#include "storage/core/ini_file.h"
#include "units/display_settings.h"

#include <QTimer>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace dw {

namespace {

// --help and --version are answered before the application object exists:
// it wants a display, and asking the program what it is must work in a
// terminal without one (over ssh, in a script, from a package check).
// Returns the exit code when one of them was asked for.
std::optional<int> AnswerQuestions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h") {
            std::fputs(
                "Usage: drillweight [FILE.VPR]\n"
                "       drillweight --export-journal FILE | --import-journal FILE\n"
                "       drillweight --help | --version\n"
                "Without a file: the weight calculation window.\n"
                "With a saved report file: that report in the print preview alone\n"
                "(one file at a time).\n"
                "--export-journal writes every record of the journal to FILE (CSV).\n"
                "--import-journal adds the records of FILE (CSV) to the journal:\n"
                "  all of them or, when a line is not a record, none.\n"
                "--version prints the program's name and version.\n"
                "\"man drillweight\" explains the fields, the results and the keys.\n",
                stdout);
            return 0;
        }
        if (argument == "--version") {
            std::fputs("drillweight " DW_VERSION "\n", stdout);
            return 0;
        }
    }
    return std::nullopt;
}

// The journal's two exchanges run without a window, so a script or a
// terminal without a display can take the shift's records away or bring
// them in. Returns the exit code when one of them was asked for.
std::optional<int> ExchangeJournal(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        const bool exporting = argument == "--export-journal";
        if (!exporting && argument != "--import-journal")
            continue;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "drillweight: %s needs a file name\nTry \"drillweight --help\".\n", argv[i]);
            return 2;
        }
        const std::string fileName = argv[i + 1];
        Journal journal(Journal::DefaultFileName());
        try {
            if (exporting) {
                const std::size_t count = ExportJournal(journal, fileName);
                std::printf("drillweight: %zu record%s exported to %s\n", count, count == 1 ? "" : "s",
                            fileName.c_str());
            } else {
                const JournalImportCount count = ImportJournal(journal, fileName);
                std::printf("drillweight: %zu record%s imported from %s, %zu already in the journal\n", count.Added,
                            count.Added == 1 ? "" : "s", fileName.c_str(), count.Skipped);
            }
        } catch (const Exception& error) {
            if (const std::optional<MessageText> notice = journal.TakeNotice())
                std::fprintf(stderr, "drillweight: %s\n", notice->English().c_str());
            std::fprintf(stderr, "drillweight: %s\n", error.Message().c_str());
            return 1;
        }
        if (const std::optional<MessageText> notice = journal.TakeNotice())
            std::fprintf(stderr, "drillweight: %s\n", notice->English().c_str());
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int RunProgram(int& argc, char** argv, const std::function<void(QWidget&)>& windowReady)
{
    if (const std::optional<int> answered = AnswerQuestions(argc, argv))
        return *answered;
    if (const std::optional<int> exchanged = ExchangeJournal(argc, argv))
        return *exchanged;

    TApplication application(argc, argv);
    TerminationSignals terminationSignals;
    // The user's language for the dialogs, the preview and every message;
    // before any window exists, so each is built with its words.
    Translations translations;
    // A language the crew chose wins over the locale's, in the main window
    // as in a saved report's preview opened alone.
    UseCatalogueLanguage(units::ReadDisplaySettings(TIniFile("davov")).Language);
    // Lets the desktop match the program's windows to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(DW_APP_ID));
    // Every window of the program carries its icon, the report preview too
    // (also when it shows a saved report alone).
    QApplication::setWindowIcon(ProgramIcon());
    // Marks, date and time patterns and names for every formatter, before any
    // window exists; the watcher reads the conventions again when the system
    // locale changes.
    LoadLocaleFormats();
    LocaleChangeWatcher localeChangeWatcher;

    // The report's preview opens in the standard preview window.
    RegisterStandardPreview();
    // Its file dialogs open in the folder last used, kept in the profile.
    SetFolderProfile("davov");
    // The printer set-up is kept there too, before the report holder reads it.
    SetPrinterProfile("davov");

    // A saved report named on the command line (Qt has taken its own options
    // out by now) opens in the preview alone; the main window is not needed.
    // After "--" a name is a file even when it begins with "-".
    const bool namesOnly = argc > 1 && std::string_view(argv[1]) == "--";
    const int first = namesOnly ? 2 : 1;
    if (argc > first) {
        const std::string argument = argv[first];
        // A name that looks like an option is not a report the user meant;
        // saying so beats "File does not exist".
        if (!namesOnly && argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "drillweight: unknown option %s\nTry \"drillweight --help\".\n", argv[1]);
            return 2;
        }
        // The preview shows one report; opening the first of several names
        // and passing over the rest in silence would leave the user looking
        // for windows that never come.
        if (argc > first + 1) {
            std::fprintf(stderr,
                         "drillweight: one report file at a time: %d were given (%s, %s%s)\n"
                         "Try \"drillweight --help\".\n",
                         argc - first, argv[first], argv[first + 1], argc > first + 2 ? ", ..." : "");
            return 2;
        }
        TVpPrinter printer;
        return PreviewSavedReport(printer, argument, [&](TVpStandardPreview& preview) {
            if (windowReady)
                windowReady(preview);
        });
    }

    // The report holder outlives the window that prints through it.
    TSheetHolder form2;
    TForm1 form1(&form2);

    if (windowReady)
        windowReady(form1);
    form1.show();
    // A damaged journal is said at the start of the run, but only once the
    // window is up: start-up itself never touches the journal.
    QTimer::singleShot(500, &form1, [&form1] { form1.Journal().CheckAtStart(); });
    return TApplication::exec();
}

}  // namespace dw
