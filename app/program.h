// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QWidget;

namespace dw {

// The program's whole run: the application object, the locale's conventions,
// both forms, the main window shown and the event loop; returns the exit code.
// `windowReady`, when given, sees the program's first window: the main window
// just before it is shown (the start-up benchmark watches it there, so that
// what is timed is exactly the program's own start-up), or the preview of a
// report named on the command line once it is up (where the tests act in it
// as a person would).
int RunProgram(int& argc, char** argv, const std::function<void(QWidget&)>& windowReady = {});

}  // namespace dw
