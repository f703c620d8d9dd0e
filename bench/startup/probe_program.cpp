// SPDX-License-Identifier: MIT
// The program's own start-up, ending as soon as its window (the main window,
// or the preview of a report named on the command line) has been shown and
// drawn once (see close_after_first_paint.h).
#include "app/program.h"
#include "close_after_first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <cstring>

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

}  // namespace

int main(int argc, char* argv[])
{
    // The probe's own option is taken out: the program reads a file name
    // from its command line.
    bool shownOnly = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shown-only") == 0)
            shownOnly = true;
        else if (std::strcmp(argv[i], "--close-messages") == 0)
            qAddPreRoutine(CloseMessages);
        else
            argv[kept++] = argv[i];
    }
    argv[kept] = nullptr;
    argc = kept;
    return dw::RunProgram(argc, argv, [shownOnly](QWidget& window) { new CloseAfterFirstPaint(&window, shownOnly); });
}
