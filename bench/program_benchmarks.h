// SPDX-License-Identifier: MIT
#pragma once

// The main of the benchmark programs that measure the program's own windows.

#include "app/application.h"
#include "bench/run_benchmarks.h"

#include <QTemporaryDir>

namespace dw::bench {

// No display; the main window's profile and the journal its calculations
// keep go to a folder of their own, so the user's saved values and records
// are neither read nor written; the program's own
// application object, so its style is the one the crew sees.
inline int RunInTheProgramsApplication(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toUtf8());
    qputenv("XDG_DATA_HOME", profile.path().toUtf8());
    TApplication application(argc, argv);
    return RunBenchmarks(argc, argv);
}

}  // namespace dw::bench
