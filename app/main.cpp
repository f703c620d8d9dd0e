#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"

int main(int argc, char* argv[])
{
    dw::TApplication application(argc, argv);
    // Marks, date and time patterns and names for every formatter, before any
    // window exists; the watcher reads the conventions again when the system
    // locale changes.
    dw::LoadLocaleFormats();
    dw::LocaleChangeWatcher localeChangeWatcher;

    dw::TForm1 form1;
    dw::Form1 = &form1;
    dw::TForm2 form2;
    dw::Form2 = &form2;

    form1.show();
    return dw::TApplication::exec();
}
