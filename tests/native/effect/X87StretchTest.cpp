// The stretch as the release computes it: on the x87. This test program
// compiles PictureSetup.cpp with -mfpmath=387, so its step sums live in x87
// registers as in the 32-bit build, and compares it with the same stretch in
// SSE2 doubles (the 64-bit build's), computed here.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/runtime/X87.h"
#include "effect/PictureSetup.h"

namespace {

// The source column (or row) of each screen column in double arithmetic.
std::vector<int> DoubleSteps(int picture, int screen) {
    std::vector<int> index(static_cast<std::size_t>(screen));
    const double step = static_cast<double>(picture) / screen;
    double s = 0.0;
    for (int i = 0; i < screen; ++i) {
        index[static_cast<std::size_t>(i)] = s < picture ? (s > 0.0 ? static_cast<int>(s) : 0) : picture - 1;
        s += step;
    }
    return index;
}

// Stretches a picture whose pixel at (c, r) holds c in one row and r in a
// column, and counts screen columns and rows that took another source than
// the double arithmetic says.
int Differences(int pw, int ph, int sw, int sh) {
    // Each row holds its column number; the first column holds the row number.
    const std::size_t size = static_cast<std::size_t>(std::max(pw * ph, sw * sh));
    std::vector<std::uint16_t> columnOf(static_cast<std::size_t>(sw)), rowOf(static_cast<std::size_t>(sh));
    int differences = 0;
    {
        std::vector<unsigned char> map(size), scratch(static_cast<std::size_t>(pw * ph));
        for (int r = 0; r < ph; ++r)
            for (int c = 0; c < pw; ++c) map[static_cast<std::size_t>(r * pw + c)] = static_cast<unsigned char>(c & 0xFF);
        ScalePictureToScreen(map.data(), scratch.data(), pw, ph, sw, sh);
        const std::vector<int> expected = DoubleSteps(pw, sw);
        for (int x = 0; x < sw; ++x)
            if (map[static_cast<std::size_t>(x)] != (expected[static_cast<std::size_t>(x)] & 0xFF)) ++differences;
    }
    {
        // Rows are turned bottom-up: screen row y (from the bottom) takes picture row ph - 1 - source.
        std::vector<unsigned char> map(size), scratch(static_cast<std::size_t>(pw * ph));
        for (int r = 0; r < ph; ++r)
            for (int c = 0; c < pw; ++c)
                map[static_cast<std::size_t>(r * pw + c)] = static_cast<unsigned char>((ph - 1 - r) & 0xFF);
        ScalePictureToScreen(map.data(), scratch.data(), pw, ph, sw, sh);
        const std::vector<int> expected = DoubleSteps(ph, sh);
        for (int y = 0; y < sh; ++y)
            if (map[static_cast<std::size_t>(y) * sw] != (expected[static_cast<std::size_t>(y)] & 0xFF)) ++differences;
    }
    return differences;
}

void SetControlWord(unsigned short word) { __asm__ volatile("fldcw %0" : : "m"(word)); }

class X87Stretch : public ::testing::Test {
protected:
    void SetUp() override { saved_ = X87ControlWord(); }
    void TearDown() override { SetControlWord(saved_); }
    unsigned short saved_ = 0;
};

const int kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200},
                         {320, 200}, {1920, 1080}, {1366, 768}, {333, 257}};

// With the release's start-up precision every common size pair stretches as in double.
TEST_F(X87Stretch, DoublePrecisionStretchesAsTheSixtyFourBitBuild) {
    SetX87DoublePrecision();
    for (const auto& p : kSizes)
        for (const auto& s : kSizes) {
            SCOPED_TRACE(::testing::Message() << p[0] << "x" << p[1] << " on " << s[0] << "x" << s[1]);
            EXPECT_EQ(Differences(p[0], p[1], s[0], s[1]), 0);
        }
}

// The fault the start-up precision mends: at 64-bit extended precision a
// 640 x 480 picture on 800 x 600 takes neighbouring columns and rows. This
// also proves that this program's stretch really runs on the x87.
TEST_F(X87Stretch, ExtendedPrecisionWouldStretchOtherwise) {
    SetControlWord(0x037F);
    EXPECT_GT(Differences(640, 480, 800, 600), 0);
}

}  // namespace
