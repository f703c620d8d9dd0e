// The program's start-up exactly as main() does it, ending as soon as the main
// window has been shown and painted once.
#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "close_after_first_paint.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"

int main(int argc, char* argv[])
{
    dw::TApplication application(argc, argv);
    dw::LoadLocaleFormats();
    dw::LocaleChangeWatcher localeChangeWatcher;
    dw::TForm1 form1;
    dw::Form1 = &form1;
    dw::TForm2 form2;
    dw::Form2 = &form2;
    CloseAfterFirstPaint closer(&form1);
    form1.show();
    return dw::TApplication::exec();
}
