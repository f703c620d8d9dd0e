#include "app/program.h"

#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"
#include "report/preview/standard_preview.h"

namespace dw {

int RunProgram(int& argc, char** argv, const std::function<void(QWidget&)>& mainWindowReady)
{
    TApplication application(argc, argv);
    // Marks, date and time patterns and names for every formatter, before any
    // window exists; the watcher reads the conventions again when the system
    // locale changes.
    LoadLocaleFormats();
    LocaleChangeWatcher localeChangeWatcher;

    // The report's preview opens in the standard preview window.
    RegisterStandardPreview();

    TForm1 form1;
    Form1 = &form1;
    TForm2 form2;
    Form2 = &form2;

    if (mainWindowReady)
        mainWindowReady(form1);
    form1.show();
    return TApplication::exec();
}

}  // namespace dw
