// SPDX-License-Identifier: MIT
#pragma once

// The two notices the report's printer posts to its status window (a
// preview or the progress window): the progress of a run in percent, and
// the number of pages finished so far. They are posted, never sent, so a
// window sees them when the run lets the event loop work.

#include <QEvent>

namespace dw {

class TVpPrinterNotice : public QEvent {
public:
    // Numbered after the platform's first user message and the one after it.
    static constexpr QEvent::Type kProgress = static_cast<QEvent::Type>(QEvent::User + 0x400);
    static constexpr QEvent::Type kPagesDone = static_cast<QEvent::Type>(QEvent::User + 0x401);

    TVpPrinterNotice(QEvent::Type type, int value) : QEvent(type), m_value(value) {}

    // Percent for kProgress, pages finished for kPagesDone.
    int Value() const noexcept { return m_value; }

private:
    int m_value;
};

}  // namespace dw
