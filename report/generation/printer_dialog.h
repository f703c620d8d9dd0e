// SPDX-License-Identifier: MIT
#pragma once

#include "report/generation/report.h"

#include <optional>

namespace dw {

// The system print dialog on the printer the report printer object starts
// on, with the copies and page range a report offers. Confirming selects the
// chosen printer for every later report command as well.
std::optional<TVpPrinterDialogChoice> RunSystemPrinterDialog(const TVpPrinterDialogRequest& request);

}  // namespace dw
