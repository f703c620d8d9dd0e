#include "app/program.h"

#include "app/app_icon.h"
#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/saved_report_preview.h"
#include "app/termination_signals.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"
#include "report/engine/vp_printer.h"
#include "report/preview/standard_preview.h"

#include <cstdio>
#include <string>

namespace dw {

int RunProgram(int& argc, char** argv, const std::function<void(QWidget&)>& mainWindowReady)
{
    TApplication application(argc, argv);
    TerminationSignals terminationSignals;
    // Lets the desktop match the program's windows to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.drillweight"));
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

    // A saved report named on the command line (Qt has taken its own options
    // out by now) opens in the preview alone; the main window is not needed.
    if (argc > 1) {
        const std::string argument = argv[1];
        if (argument == "--help" || argument == "-h") {
            std::fputs(
                "Usage: drillweight [FILE.VPR]\n"
                "Without a file: the weight calculation window.\n"
                "With a saved report file: that report in the print preview alone.\n",
                stdout);
            return 0;
        }
        // A name that looks like an option is not a report the user meant;
        // saying so beats "File does not exist".
        if (argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "drillweight: unknown option %s\nTry \"drillweight --help\".\n", argv[1]);
            return 2;
        }
        TVpPrinter printer;
        return PreviewSavedReport(printer, argument);
    }

    // The report holder outlives the window that prints through it.
    TForm2 form2;
    TForm1 form1(&form2);

    if (mainWindowReady)
        mainWindowReady(form1);
    form1.show();
    return TApplication::exec();
}

}  // namespace dw
