// SPDX-License-Identifier: MIT
#include "numeric/core/floating_point.h"

#include "common/errors.h"

#include <cfenv>

namespace dw {

namespace {

constexpr int kReportedFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// x87 control word: every exception masked, 64-bit significand, round to nearest.
constexpr std::uint16_t kX87Control = 0x037F;
constexpr std::uint16_t kX87Flags = 0x003F;
// SSE control/status: the six flags, the six masks, the rounding field.
constexpr std::uint32_t kSseFlags = 0x003F;
constexpr std::uint32_t kSseMasks = 0x1F80;
constexpr std::uint32_t kSseRounding = 0x6000;

// The library's environment calls store and reload the whole x87 environment
// each time, which costs more than a parse; the guard reads the control words
// and flags directly and writes back only what it had to change (usually
// nothing: the program runs in the guard's own mode). SSE flags live in the
// control/status register and come back with it; x87 flags can only be set
// through a stored environment, so that slower road is taken only when the
// reported x87 flags differ on exit from what the caller had.
std::uint16_t X87Status() noexcept
{
    std::uint16_t status;
    asm volatile("fnstsw %0" : "=m"(status)::"memory");
    return status;
}

void ClearX87Flags() noexcept
{
    asm volatile("fnclex" ::: "memory");
}

void SetX87Flags(std::uint16_t flags) noexcept
{
    ClearX87Flags();
    if (flags == 0)
        return;
    struct {
        std::uint32_t words[7];
    } environment;
    asm volatile("fnstenv %0" : "=m"(environment)::"memory");
    environment.words[1] |= flags;  // the status word
    asm volatile("fldenv %0" ::"m"(environment) : "memory");
}

// Invalid operation, division by zero and overflow: the same bits in the x87
// status word and the SSE control/status register.
constexpr std::uint16_t kReportedBits = 0x0001 | 0x0004 | 0x0008;

std::uint32_t SseControlStatus() noexcept
{
    std::uint32_t value;
    asm volatile("stmxcsr %0" : "=m"(value)::"memory");
    return value;
}

void SetSseControlStatus(std::uint32_t value) noexcept
{
    asm volatile("ldmxcsr %0" ::"m"(value) : "memory");
}

constexpr std::uint32_t SseGuarded(std::uint32_t value) noexcept
{
    return (value & ~(kSseFlags | kSseRounding)) | kSseMasks;
}

bool SseNeedsChange(std::uint32_t value) noexcept
{
    return (value & (kReportedBits | kSseRounding | kSseMasks)) != kSseMasks;
}

}  // namespace

FloatingPointGuard::FloatingPointGuard() noexcept
{
    asm volatile("fnstcw %0" : "=m"(m_x87Control)::"memory");
    m_sseControlStatus = SseControlStatus();
    m_x87Status = X87Status() & kX87Flags;
    // Flags the caller left behind must not look like the block's own.
    if ((m_x87Status & kReportedBits) != 0)
        ClearX87Flags();
    if (m_x87Control != kX87Control)
        asm volatile("fldcw %0" ::"m"(kX87Control) : "memory");
    if (SseNeedsChange(m_sseControlStatus))
        SetSseControlStatus(SseGuarded(m_sseControlStatus));
}

FloatingPointGuard::~FloatingPointGuard()
{
    const std::uint16_t now = X87Status() & kX87Flags;
    if (m_x87Control != kX87Control)
        asm volatile("fldcw %0" ::"m"(m_x87Control) : "memory");
    // Back to the caller's register unless the block left it as it was.
    const std::uint32_t sse = SseControlStatus();
    if (sse != m_sseControlStatus &&
        (SseNeedsChange(m_sseControlStatus) || (sse & kReportedBits) != (m_sseControlStatus & kReportedBits)))
        SetSseControlStatus(m_sseControlStatus);
    // Inexact, underflow and denormal flags raised inside may stay: nothing
    // reports them, and nearly every block raises inexact.
    if ((now & kReportedBits) != (m_x87Status & kReportedBits))
        SetX87Flags(m_x87Status);
}

void ClearFloatingPointErrors() noexcept
{
    std::feclearexcept(kReportedFlags);
}

void ThrowPendingFloatingPointError()
{
    const int pending = std::fetestexcept(kReportedFlags);
    if (pending == 0)
        return;
    std::feclearexcept(pending);
    if (pending & FE_INVALID)
        throw EInvalidOp();
    if (pending & FE_DIVBYZERO)
        throw EZeroDivide();
    throw EOverflow();
}

void CheckFloatingPointResult(long double& value)
{
    asm volatile("" : "+m"(value));
    ThrowPendingFloatingPointError();
}

}  // namespace dw
