#include "x11/FrameStats.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kMs = 1000000;

TEST(FrameStats, RateAndLoadOverEachFullSecond) {
    CFrameStats stats;
    EXPECT_EQ(stats.Text(), "-- fps");
    // 25 frames 40 ms apart, each using 10 ms of CPU: 25 fps at 25 %.
    for (int i = 0; i <= 25; ++i) stats.OnFrame(1000 * kMs + i * 40 * kMs, i * 10 * kMs);
    ASSERT_TRUE(stats.HasFigures());
    EXPECT_DOUBLE_EQ(stats.Fps(), 25.0);
    EXPECT_DOUBLE_EQ(stats.CpuPercent(), 25.0);
    EXPECT_EQ(stats.Text(), "25.0 fps, CPU 25.0%");
    // Within the next second the figures stay those of the last one.
    stats.OnFrame(2000 * kMs + 500 * kMs, 250 * kMs);
    EXPECT_DOUBLE_EQ(stats.Fps(), 25.0);
}

TEST(FrameStats, AClockGoingBackStartsOver) {
    CFrameStats stats;
    stats.OnFrame(5000 * kMs, 0);
    stats.OnFrame(1000 * kMs, 0);
    stats.OnFrame(1500 * kMs, 0);
    EXPECT_FALSE(stats.HasFigures());
    stats.OnFrame(2000 * kMs, 0);
    ASSERT_TRUE(stats.HasFigures());
    EXPECT_DOUBLE_EQ(stats.Fps(), 2.0);
}

}  // namespace
