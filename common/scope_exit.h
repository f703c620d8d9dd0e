// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

namespace dw {

// Runs an action when the scope ends, however it ends: the program's one
// way to put something back after work that may throw.
template <class Action>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) {}
    ~ScopeExit() { m_action(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action m_action;
};

// Sets a flag for the scope and puts its earlier value back, so guards
// against re-entry nest (a refresh inside a regroup, a size inside an align).
[[nodiscard]] inline auto RaiseForScope(bool& flag)
{
    const bool earlier = flag;
    flag = true;
    return ScopeExit([&flag, earlier] { flag = earlier; });
}

}  // namespace dw
