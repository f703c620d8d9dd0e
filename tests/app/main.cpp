// SPDX-License-Identifier: MIT
#include "app/application.h"
#include "tests/support/test_main.h"

int main(int argc, char** argv)
{
    // The program's own application object, so its error box and its
    // last-resort catching are what the tests see. The main window restores
    // "davov" when shown and saves it when destroyed, so each test gets a
    // profile of its own or tests would feed each other's values.
    return dw::test::RunAllTests(
        argc, argv,
        {.MakeApplication = [](int& count, char** arguments) -> std::unique_ptr<QCoreApplication> {
             return std::make_unique<dw::TApplication>(count, arguments);
         },
         .CNumbers = false,
         .PrivateSpooler = true,
         .ProfilePerTest = true});
}
