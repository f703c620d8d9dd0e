// SPDX-License-Identifier: MIT
#pragma once

// The report preview window the program has open, for tests and benchmarks
// that drive the print command from outside.

#include "report/preview/standard_preview.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace dw::test {

// The visible preview window; none when no preview is open.
inline TVpStandardPreview* OpenPreview()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<TVpStandardPreview*>(window); preview && preview->isVisible())
            return preview;
    return nullptr;
}

// Runs the action, which may open a preview and wait in it, and closes any
// preview that opens meanwhile (or within a moment after: a queued press
// lands in the loop later); says whether one opened.
inline bool PreviewOpenedDuring(const std::function<void()>& action)
{
    bool opened = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (TVpStandardPreview* preview = OpenPreview()) {
            opened = true;
            preview->close();
        }
    });
    poll.start();
    action();
    QEventLoop settle;
    QTimer::singleShot(100, &settle, &QEventLoop::quit);
    settle.exec();
    poll.stop();
    return opened;
}

}  // namespace dw::test
