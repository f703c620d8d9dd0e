// SPDX-License-Identifier: MIT
#pragma once

// A print spooler of the tests' own, with one PDF queue, for tests of the
// real printing path. It listens only on a socket in the directory that
// SetPrivateCupsDirectory named (where the test program points every
// spooler lookup), so no other queue on the machine is ever reached.

#include <QString>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dw::test {

inline constexpr const char* kTestQueue = "DwTestPdf";
inline constexpr const char* kTestQueueLocation = "Test bench";

// Starts the spooler once per process (later calls give the first answer):
// empty when it runs with its queue as the default, else why it cannot run.
const std::string& StartPrivateSpooler();
// A second queue of the same spooler whose printer takes A4 paper only, as
// the common office printer does; empty when it is there, else why not.
inline constexpr const char* kA4Queue = "DwTestA4";
const std::string& StartA4OnlyQueue();

// Stops it and removes what it left outside its directory.
void StopPrivateSpooler();

// The PDF files the queue has printed so far.
std::vector<std::filesystem::path> PrintedFiles();
// A job the spooler has taken, as its own records keep it.
struct SpooledJob {
    int Id = 0;
    std::string Title;
    int Copies = 1;
    std::string Queue;  // the queue it was sent to
    std::string Media;  // the paper asked for, as the spooler keeps it
};
// The jobs of the spooler's records, oldest first.
std::vector<SpooledJob> CompletedJobs();

// The end of the spooler's error log, for failure messages.
std::string SpoolerLogTail();

// Waits for a condition with a bound, letting Qt work meanwhile.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit);

}  // namespace dw::test
