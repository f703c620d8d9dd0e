// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QWidget;

namespace dw {

// The program's whole run: the application object, the locale's conventions,
// both forms, the main window shown and the event loop; returns the exit code.
// `mainWindowReady`, when given, sees the main window just before it is shown
// (the start-up benchmark watches it there), so that what is timed is exactly
// the program's own start-up.
int RunProgram(int& argc, char** argv, const std::function<void(QWidget&)>& mainWindowReady = {});

}  // namespace dw
