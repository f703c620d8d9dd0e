// SPDX-License-Identifier: MIT
#pragma once

namespace dw {

// Sets a flag for a scope and puts its old value back, also when the work
// inside throws: the guards elements keep while they size or align themselves.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : m_flag(flag), m_old(flag) { flag = true; }
    ~ScopedFlag() { m_flag = m_old; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

}  // namespace dw
