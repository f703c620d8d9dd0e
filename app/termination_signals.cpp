// SPDX-License-Identifier: MIT
#include "app/termination_signals.h"

#include "common/error_display.h"
#include "common/replace_file.h"
#include "common/stop_request.h"

#include <QApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace dw {

namespace {

constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT};

// A signal handler may do almost nothing: it writes the signal's number into
// a pipe, and the event loop does the rest when it next runs.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[kSignals.size()];

// The next one of the same kind ends the program the usual way, should
// closing hang, and takes no unfinished file along.
void OnSecondSignal(int number)
{
    RemoveUnfinishedFiles();
    ::signal(number, SIG_DFL);
    ::raise(number);
}

// The signal the event loop has answered, 0 before any.
int g_answered = 0;

// Set while nothing is there to close or save (EndAtOnceOnSignals).
volatile std::sig_atomic_t g_endAtOnce = 0;

void OnSignal(int number)
{
    if (g_endAtOnce != 0) {
        OnSecondSignal(number);
        return;
    }
    const int savedErrno = errno;
    ::signal(number, OnSecondSignal);
    // The event loop reads the pipe only when the step it runs is done; a
    // page that takes seconds to paint sees this and stops at once.
    RequestStop();
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;  // the program still runs; a kill then just ends it, as before
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::Arrived);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (g_pipe[0] < 0) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    delete m_notifier;
    ClearStopRequest();
    g_answered = 0;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::Arrived()
{
    unsigned char number = 0;
    if (::read(g_pipe[0], &number, 1) != 1) {
        return;
    }
    // Every window closes as if by its close box: the main window saves the
    // profile, an open preview lets its waiting command return, a modal
    // dialog's loop ends. Then every event loop ends, nested ones too.
    // At the end of a session nobody is there to answer a message box: a
    // save that fails on the way says so on standard error and the program
    // ends all the same.
    SetErrorDisplay({});
    g_answered = number;
    QApplication::closeAllWindows();
    QCoreApplication::exit(128 + number);
    // Answered: whatever still runs before the loops end draws as ever.
    ClearStopRequest();
}

int TerminationSignals::AnsweredStatus()
{
    return g_answered == 0 ? 0 : 128 + g_answered;
}

EndAtOnceOnSignals::EndAtOnceOnSignals() : m_before(g_endAtOnce != 0)
{
    g_endAtOnce = 1;
}

EndAtOnceOnSignals::~EndAtOnceOnSignals()
{
    g_endAtOnce = m_before ? 1 : 0;
}

}  // namespace dw
