// SPDX-License-Identifier: MIT
#pragma once

// The report preview window the program has open, for tests and benchmarks
// that drive the print command from outside.

#include "report/preview/standard_preview.h"

#include <QApplication>
#include <QWidget>

namespace dw::test {

// The visible preview window; none when no preview is open.
inline TVpStandardPreview* OpenPreview()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<TVpStandardPreview*>(window); preview && preview->isVisible())
            return preview;
    return nullptr;
}

}  // namespace dw::test
