// SPDX-License-Identifier: MIT
#include "common/stop_request.h"

#include <atomic>

namespace dw {

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");

}  // namespace

EStopped::EStopped() : Exception(MessageText(DW_TEXT("Message", "Stopped: the program is ending"))) {}

void RequestStop() noexcept
{
    g_stopRequested.store(true, std::memory_order_relaxed);
}

void ClearStopRequest() noexcept
{
    g_stopRequested.store(false, std::memory_order_relaxed);
}

bool StopRequested() noexcept
{
    return g_stopRequested.load(std::memory_order_relaxed);
}

void ThrowIfStopRequested()
{
    if (StopRequested())
        throw EStopped();
}

}  // namespace dw
