// SPDX-License-Identifier: MIT
#pragma once

// The print button's tooltip: where and how it prints (printer or file,
// paper, orientation, copies), since it prints at once without a dialog.

#include <QString>

namespace dw {

struct TVpPrintPlan;

QString PrintHint(const TVpPrintPlan& plan);
// What the status line says once a job has gone out: the printer, sheet and
// copies ("Sent to the printer: Office, A4, 2 copies"), or the PDF file
// written.
QString PrintedText(const TVpPrintPlan& job);

}  // namespace dw
