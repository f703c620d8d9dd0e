// SPDX-License-Identifier: MIT
#pragma once

// The print button's tooltip: where and how it prints (printer or file,
// paper, orientation, copies), since it prints at once without a dialog.

#include <QString>

namespace dw {

struct TVpPrintPlan;

QString PrintHint(const TVpPrintPlan& plan);

}  // namespace dw
