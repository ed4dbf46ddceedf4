// The pseudo-random sequence of the platform's C run-time (rand, srand), so
// that the release, which links no C run-time, draws the same pictures.
#pragma once

#include <cstdint>

// The generator's state is the seed srand was given (1 before any).
// Returns the next number, 0 to 32767: the state becomes
// state * 214013 + 2531011 and bits 16 to 30 of it are the result.
inline int CrtRandNext(std::uint32_t* state) {
    *state = *state * 214013u + 2531011u;
    return static_cast<int>((*state >> 16) & 0x7FFFu);
}
