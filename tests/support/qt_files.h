// SPDX-License-Identifier: MIT
#pragma once

// Whole files and whole runs of another program, for the tests that hold
// their bytes and names in the toolkit's types.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dw::test {

// The file's bytes; none when it cannot be read.
QByteArray ReadAll(const QString& path);
// Replaces the file's bytes; a file that cannot be written fails the test.
void WriteAll(const QString& path, const QByteArray& bytes);

struct CommandRun {
    bool Finished = false;  // ended by itself, within the time, with an exit code
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

// Runs a program to its end; one that outlasts timeoutMs is killed and
// reported as not finished.
CommandRun RunCommand(const QString& program, const QStringList& arguments, int timeoutMs = 120000);

// A metafile page of one polyline of `points` points: megabytes that read
// and fit, for a report large enough to be stopped while it is written.
QByteArray LargePage(int points);

// True once the process holds open a file in folder other than input (the
// file being written); false when it ended first.
bool WaitForOutputIn(qint64 pid, const QString& folder, const QString& input);

}  // namespace dw::test
