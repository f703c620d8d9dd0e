// SPDX-License-Identifier: MIT
#include "tests/support/test_main.h"

int main(int argc, char** argv)
{
    // Running the tool as a process needs an application object, and
    // recording text on a page needs fonts, hence a GUI one.
    return dw::test::RunAllTests(argc, argv, {.Application = dw::test::TestApplication::Gui, .CNumbers = false});
}
