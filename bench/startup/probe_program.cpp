// SPDX-License-Identifier: MIT
// The program's own start-up, ending as soon as its window (the main window,
// or the preview of a report named on the command line) has been shown and
// drawn once (see close_after_first_paint.h).
//
// With "--kill-at-first-paint" it ends as an operator's kill ends it
// instead: SIGTERM is sent to the process just as the preview's page starts
// to be drawn the first time, the moment written (the monotonic clock, in
// nanoseconds) to the file DW_KILL_STAMP names, for the benchmark of how
// long the program takes to answer a kill while it draws a heavy page.
#include "app/program.h"
#include "close_after_first_paint.h"
#include "report/preview/preview_image.h"

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace {

// With "--close-messages" a message box is answered as soon as it shows, so
// that a file the program refuses ends the probe too: its time is that of
// the refusal.
class MessageCloser : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QTimer::singleShot(0, box, &QMessageBox::reject);
        }
        return false;
    }
};

void CloseMessages()
{
    qApp->installEventFilter(new MessageCloser);
}

class KillAtFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_sent && qobject_cast<dw::TVpPreviewImage*>(watched) != nullptr) {
            m_sent = true;
            const QByteArray stamp = qgetenv("DW_KILL_STAMP");
            QFile file(QString::fromLocal8Bit(stamp));
            if (!stamp.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                file.write(QByteArray::number(
                    static_cast<qlonglong>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())));
            }
            file.close();
            ::kill(::getpid(), SIGTERM);
        }
        return false;
    }

private:
    bool m_sent = false;
};

void KillAtFirstPaintOfThePage()
{
    qApp->installEventFilter(new KillAtFirstPaint);
    // A page that never shows fails the run instead of hanging the benchmark.
    QTimer::singleShot(60000, [] { QCoreApplication::exit(3); });
}

}  // namespace

int main(int argc, char* argv[])
{
    // The probe's own option is taken out: the program reads a file name
    // from its command line.
    bool shownOnly = false;
    bool killed = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shown-only") == 0)
            shownOnly = true;
        else if (std::strcmp(argv[i], "--kill-at-first-paint") == 0)
            killed = true;
        else if (std::strcmp(argv[i], "--close-messages") == 0)
            qAddPreRoutine(CloseMessages);
        else
            argv[kept++] = argv[i];
    }
    argv[kept] = nullptr;
    argc = kept;
    if (killed) {
        qAddPreRoutine(KillAtFirstPaintOfThePage);
        return dw::RunProgram(argc, argv);
    }
    return dw::RunProgram(argc, argv, [shownOnly](QWidget& window) { new CloseAfterFirstPaint(&window, shownOnly); });
}
