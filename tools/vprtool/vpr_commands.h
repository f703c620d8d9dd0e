// SPDX-License-Identifier: MIT
#pragma once

// What vprtool does with a checked command line. A file that cannot be read,
// used or written raises the program's own errors (dw::Exception), named
// with the file and, for one page, the page; a page number the report does
// not have raises UsageError.

#include "tools/vprtool/tool_arguments.h"

class QTextStream;

namespace dw::vprtool {

// Runs one command; returns the exit status. out gets the results, err the
// complaints that do not stop the command (a damaged page among good ones).
int RunCommand(const ToolArguments& arguments, QTextStream& out, QTextStream& err);

// The commands that draw pages need fonts and painting, hence a GUI
// application object; the others run without one.
bool NeedsGui(Command command);

}  // namespace dw::vprtool
