// SPDX-License-Identifier: MIT
#pragma once

// A request that the program end, as an operator's kill or the end of a
// session makes it: set from a signal handler, read by the steps that can
// run long (playing a page of millions of records, decoding one), which
// stop where they are so that the program can close its windows, save the
// profile and end at once instead of when the step is done. A step stopped
// this way leaves what it drew or read unfinished; nothing after it in the
// run is shown to anyone.
//
// The flag is a lock-free atomic, so setting it is safe in a signal handler.

#include "common/errors.h"

#include <cstddef>

namespace dw {

// A step that reads (a page decoded, a page expanded) and is stopped this
// way fails with this; while the request stands, the error display writes
// it to standard error, as every error once the windows are closing.
class EStopped : public Exception {
public:
    EStopped();
};

// How much work a long step does between two looks at the flag: a few
// milliseconds' worth, against which the look itself costs nothing.
inline constexpr std::size_t kStopCheckRecords = 4096;
inline constexpr std::size_t kStopCheckBytes = std::size_t{1} << 20;

// Safe in a signal handler.
void RequestStop() noexcept;
// For whoever set it once the request has been answered (and for tests).
void ClearStopRequest() noexcept;
bool StopRequested() noexcept;
// Throws EStopped when the program has been asked to end.
void ThrowIfStopRequested();

}  // namespace dw
