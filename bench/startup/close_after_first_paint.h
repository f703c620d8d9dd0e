// SPDX-License-Identifier: MIT
#pragma once

// Ends a start-up probe once its window has really been drawn: on the
// offscreen platform show() only queues the exposure, so closing right after
// show() would time a window nobody could have seen.
//
// With shownOnly the probe closes on the first turn of the event loop
// instead, before the first paint: the narrower reading of "shown", kept so
// both figures come from the same run (the probes' "--shown-only").
//
// With DW_CLOSE_STAMP set to a file name, the moment of the close (the
// monotonic clock, in nanoseconds) is written there, for the benchmark of
// how long the process takes to end after its last window closed.
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <chrono>

class CloseAfterFirstPaint : public QObject {
public:
    // Owned by the window, so it lasts as long as the window it watches.
    CloseAfterFirstPaint(QWidget* window, bool shownOnly) : QObject(window), m_window(window)
    {
        if (shownOnly) {
            QTimer::singleShot(0, m_window, [window = m_window] { Close(window); });
            return;
        }
        window->installEventFilter(this);
        // A platform that never draws the window fails the run instead of
        // hanging the benchmark.
        QTimer::singleShot(10000, this, [] { QCoreApplication::exit(3); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && !m_closing) {
            m_closing = true;
            // The window's own paint and its children's finish first.
            QTimer::singleShot(0, m_window, [window = m_window] { Close(window); });
        }
        return false;
    }

    static void Close(QWidget* window)
    {
        const QByteArray stamp = qgetenv("DW_CLOSE_STAMP");
        if (!stamp.isEmpty()) {
            QFile file(QString::fromLocal8Bit(stamp));
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                file.write(QByteArray::number(
                    static_cast<qlonglong>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())));
            }
        }
        window->close();
    }

private:
    QWidget* m_window;
    bool m_closing = false;
};
