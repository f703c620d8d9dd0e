// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace dw {

// The end of a desktop session, a shutdown or an operator's kill (SIGTERM,
// SIGHUP, SIGINT) closes the program's windows as a click on their close box
// would, so the inputs typed since the start are saved in the profile before
// the program ends (with status 128 + the signal's number). A second such
// signal while that runs ends the program at once, as it did before.
//
// One object at a time; it puts the previous handlers back when it goes.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // 128 + the number of the signal that closed the windows, 0 while none
    // has: the status the run ends with, whichever loop was running.
    static int AnsweredStatus();

private:
    void Arrived();

    QSocketNotifier* m_notifier = nullptr;
};

// While it lives, a termination signal ends the program at once, as it
// would without the handlers above: for steps before any window exists,
// such as reading the report named on the command line, where there is
// nothing to save and the event loop that would close the windows is not
// running yet. Unfinished files are removed as ever.
class EndAtOnceOnSignals {
public:
    EndAtOnceOnSignals();
    ~EndAtOnceOnSignals();
    EndAtOnceOnSignals(const EndAtOnceOnSignals&) = delete;
    EndAtOnceOnSignals& operator=(const EndAtOnceOnSignals&) = delete;

private:
    bool m_before;
};

}  // namespace dw
