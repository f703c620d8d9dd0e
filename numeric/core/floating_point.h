// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace dw {

// Runs a block of extended arithmetic in a known floating-point environment:
// 64-bit significand, round to nearest, every exception masked, no pending
// flags, on both the x87 unit and SSE. The caller's environment (both control
// words and the flags that were pending before) is put back on scope exit, so
// code inside can test the flags it raised itself without disturbing, or
// being disturbed by, the caller's. (The x87 inexact, underflow and denormal
// flags raised inside may stay pending; nothing reports them.)
class FloatingPointGuard {
public:
    FloatingPointGuard() noexcept;
    ~FloatingPointGuard();
    FloatingPointGuard(const FloatingPointGuard&) = delete;
    FloatingPointGuard& operator=(const FloatingPointGuard&) = delete;

private:
    std::uint16_t m_x87Control = 0;
    std::uint16_t m_x87Status = 0;
    std::uint32_t m_sseControlStatus = 0;
};

// Clears the invalid-operation, division-by-zero and overflow flags, so a
// computation can be checked afterwards by ThrowPendingFloatingPointError.
void ClearFloatingPointErrors() noexcept;

// Reports a computation's fault the way the program shows it: EInvalidOp,
// EZeroDivide or EOverflow for the first of these flags that is pending, in
// that order of precedence. The reported flags are cleared first so the same
// fault is not reported twice. Does nothing when none is pending.
void ThrowPendingFloatingPointError();

// ThrowPendingFloatingPointError for the computation that produced value.
// The compiler may move arithmetic past a call that reads the status flags;
// passing the result through memory first pins the computation before the
// check. value is taken by reference for that reason only; it is not changed.
void CheckFloatingPointResult(long double& value);

}  // namespace dw
