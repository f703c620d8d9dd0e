// SPDX-License-Identifier: MIT
// The program's own start-up, ending as soon as the main window has been
// shown and drawn once (see close_after_first_paint.h).
#include "app/program.h"
#include "close_after_first_paint.h"

#include <cstring>

int main(int argc, char* argv[])
{
    // The probe's own option is taken out: the program reads a file name
    // from its command line.
    bool shownOnly = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shown-only") == 0)
            shownOnly = true;
        else
            argv[kept++] = argv[i];
    }
    argv[kept] = nullptr;
    argc = kept;
    return dw::RunProgram(argc, argv, [shownOnly](QWidget& window) { new CloseAfterFirstPaint(&window, shownOnly); });
}
