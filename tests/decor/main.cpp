// SPDX-License-Identifier: MIT
#include "tests/support/test_main.h"

#include <QFont>

int main(int argc, char** argv)
{
    // The forms ask for this face by name; tests draw it with the installed
    // stand-in.
    return dw::test::RunAllTests(argc, argv,
                                 {.AfterStart = [] { QFont::insertSubstitution("MS Sans Serif", "Liberation Sans"); }});
}
