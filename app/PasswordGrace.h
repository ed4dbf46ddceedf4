// The grace period after the saver's set-up, during which input ends the saver
// without asking for the screen-saver password. Window-free: tested natively.
#pragma once

#include <cstdint>

// No password is asked during this many seconds after the set-up finished.
constexpr int32_t kPasswordGraceSeconds = 5;

// True while input may end the saver without a password: fewer than
// kPasswordGraceSeconds whole seconds from startTime to now, a clock set back
// (a negative difference) included. Both are calendar seconds cut to 32 bits;
// the difference is taken modulo 2^32 so that it stays right across a wrap.
constexpr bool WithinPasswordGrace(int32_t startTime, int32_t now) {
    const int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(startTime));
    return elapsed < kPasswordGraceSeconds;
}
