// The grace period after the set-up in which input ends the saver without a
// password: whole seconds, a clock set back, and a clock that wraps.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/PasswordGrace.h"

namespace {

TEST(PasswordGrace, FiveWholeSecondsFromTheSetUp) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const struct {
        int32_t start, now;
        bool within;
    } cases[] = {
        {1000, 1000, true},        // at once
        {1000, 1004, true},        // 4 seconds: still no password
        {1000, 1005, false},       // 5 seconds: the password is asked
        {1000, 1006, false},
        {1000, 999, true},         // clock set back by a second
        {1000, -5000, true},       // clock set far back
        {kMax - 1, kMin + 1, true},   // 3 seconds across the wrap
        {kMax, kMin + 3, true},       // 4 seconds across the wrap
        {kMax, kMin + 4, false},      // 5 seconds across the wrap
        {0, kMax, false},             // as long ago as 32 bits can say
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " -> " << c.now);
        EXPECT_EQ(WithinPasswordGrace(c.start, c.now), c.within);
    }
}

}  // namespace
