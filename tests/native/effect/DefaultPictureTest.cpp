#include "effect/DefaultPicture.h"

#include "effect/PictureSetup.h"
#include "framework/runtime/CrtRand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

using Palette = std::array<unsigned char, 768>;

Palette DefaultPalette() {
    Palette p;
    p.fill(0x77);
    FillDefaultPalette(p.data());
    return p;
}

int Brightness(const Palette& p, int i) {
    return p[3 * i] + p[3 * i + 1] + p[3 * i + 2];
}

struct EntryCase {
    int index;
    int r, g, b;
};

class DefaultPaletteEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DefaultPaletteEntryTest, MatchesRamp) {
    const EntryCase& c = GetParam();
    const Palette p = DefaultPalette();
    EXPECT_EQ(p[3 * c.index], c.r) << "entry " << c.index;
    EXPECT_EQ(p[3 * c.index + 1], c.g) << "entry " << c.index;
    EXPECT_EQ(p[3 * c.index + 2], c.b) << "entry " << c.index;
}

INSTANTIATE_TEST_SUITE_P(Samples, DefaultPaletteEntryTest,
                         ::testing::Values(EntryCase{0, 0, 0, 0}, EntryCase{10, 0, 0, 0},
                                           EntryCase{11, 12, 3, 0}, EntryCase{20, 43, 12, 1},
                                           EntryCase{35, 82, 27, 3}, EntryCase{36, 84, 28, 3},
                                           EntryCase{37, 85, 29, 3}, EntryCase{38, 87, 30, 4},
                                           EntryCase{136, 181, 128, 64}, EntryCase{200, 221, 192, 145},
                                           EntryCase{254, 250, 246, 237}, EntryCase{255, 255, 255, 255}));

TEST(DefaultPalette, BrightnessRisesStrictlyFromEntryTen) {
    const Palette p = DefaultPalette();
    for (int i = 0; i < 255; ++i) {
        if (i < 10) {
            EXPECT_EQ(Brightness(p, i), Brightness(p, i + 1)) << i;
        } else {
            EXPECT_LT(Brightness(p, i), Brightness(p, i + 1)) << i;
        }
    }
}

TEST(DefaultPalette, BrightnessOrderingLeavesPictureUntouched) {
    Palette p = DefaultPalette();
    const Palette before = p;
    std::vector<unsigned char> pixels(256);
    for (int i = 0; i < 256; ++i) {
        pixels[i] = static_cast<unsigned char>(i);
    }
    const std::vector<unsigned char> pixelsBefore = pixels;
    SortPaletteByBrightness(pixels.data(), static_cast<int>(pixels.size()), p.data());
    EXPECT_EQ(p, before);
    EXPECT_EQ(pixels, pixelsBefore);
}

// The smoothing pass written out literally, for comparison.
void SmoothLiterally(std::vector<unsigned char>& b, int width, int height) {
    const long w = width;
    const long end = w * height - w;
    for (long k = w + 4; k < end; ++k) {
        const int s = 2 * b[k - w - 4] + 4 * b[k - w - 2] + 2 * b[k - w - 1] + b[k - w] + b[k - 1] + b[k] +
                      b[k + w - 1];
        int q = s / 12;
        if (q != 0) {
            --q;
        }
        b[k] = static_cast<unsigned char>(q);
    }
}

struct Size {
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& os, const Size& s) {
    return os << s.width << "x" << s.height;
}

class DefaultPictureSizeTest : public ::testing::TestWithParam<Size> {};

TEST_P(DefaultPictureSizeTest, BordersAreZeroAndPassesMatchLiteralForm) {
    const Size s = GetParam();
    const std::size_t n = static_cast<std::size_t>(s.width) * s.height;
    std::vector<unsigned char> pixels(n, 0xEE);
    std::uint32_t state = 1234;
    FillDefaultNoise(pixels.data(), s.width, s.height, &state);

    const std::size_t head = std::min<std::size_t>(n, s.width + 4);
    const std::size_t tail = std::min<std::size_t>(n, s.width);
    for (std::size_t k = 0; k < head; ++k) {
        ASSERT_EQ(pixels[k], 0) << k;
    }
    for (std::size_t k = n - tail; k < n; ++k) {
        ASSERT_EQ(pixels[k], 0) << k;
    }

    std::vector<unsigned char> literal = pixels;
    std::vector<unsigned char> twice = pixels;
    for (int pass = 0; pass < 2; ++pass) {
        SmoothDefaultPicture(pixels.data(), s.width, s.height);
        SmoothLiterally(literal, s.width, s.height);
        ASSERT_EQ(pixels, literal) << "pass " << pass;
    }
    SmoothDefaultPictureTwice(twice.data(), s.width, s.height);
    ASSERT_EQ(twice, literal) << "both passes in one sweep";
    for (std::size_t k = 0; k < head; ++k) {
        ASSERT_EQ(pixels[k], 0) << k;
    }
    for (std::size_t k = n - tail; k < n; ++k) {
        ASSERT_EQ(pixels[k], 0) << k;
    }
}

// Sizes around the point where the noise range [W + 4, W*H - W) becomes empty.
INSTANTIATE_TEST_SUITE_P(Sizes, DefaultPictureSizeTest,
                         ::testing::Values(Size{1, 1}, Size{1, 6}, Size{1, 7}, Size{2, 3}, Size{2, 4},
                                           Size{3, 3}, Size{5, 3}, Size{6, 3}, Size{7, 2}, Size{64, 48},
                                           Size{33, 17}, Size{1, 40}, Size{2, 40}, Size{6, 9}, Size{333, 5}));

// The C run-time's sequence whatever the build's own rand: the platform's
// rand after srand(1) starts 41, 18467, 6334, 26500, 19169.
TEST(DefaultPicture, NoiseIsTheCRunTimeRandModulo256InIncreasingOrder) {
    const int w = 16;
    const int h = 8;
    std::vector<unsigned char> pixels(w * h);
    std::uint32_t state = 1;
    FillDefaultNoise(pixels.data(), w, h, &state);
    const int first[] = {41 % 256, 18467 % 256, 6334 % 256, 26500 % 256, 19169 % 256};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pixels[w + 4 + i], first[i]) << i;
    }
    std::uint32_t again = 1;
    for (int k = w + 4; k < w * h - w; ++k) {
        ASSERT_EQ(pixels[k], CrtRandNext(&again) % 256) << k;
    }
    EXPECT_EQ(state, again) << "the state moves on by one number a byte";
}

TEST(DefaultPicture, PassesBoundTheMaximum) {
    // A bright interior reaches the bounds exactly: 255 -> 254 -> 253.
    const int w = 20;
    const int h = 10;
    std::vector<unsigned char> pixels(w * h, 255);
    SmoothDefaultPicture(pixels.data(), w, h);
    EXPECT_EQ(*std::max_element(pixels.begin() + w + 4, pixels.end() - w), 254);
    SmoothDefaultPicture(pixels.data(), w, h);
    EXPECT_EQ(*std::max_element(pixels.begin() + w + 4, pixels.end() - w), 253);

    std::uint32_t state = 7;
    std::vector<unsigned char> noise(64 * 48);
    FillDefaultNoise(noise.data(), 64, 48, &state);
    SmoothDefaultPicture(noise.data(), 64, 48);
    EXPECT_LE(*std::max_element(noise.begin(), noise.end()), 254);
    SmoothDefaultPicture(noise.data(), 64, 48);
    EXPECT_LE(*std::max_element(noise.begin(), noise.end()), 253);
}

TEST(DefaultPicture, SmallSumsBecomeZero) {
    // Only b[k] is non-zero, so S = b[k]: q = S / 12, less one when non-zero.
    const int w = 8;
    const int h = 4;
    const int k = 2 * w + 3;
    const int cases[][2] = {{0, 0}, {11, 0}, {12, 0}, {23, 0}, {24, 1}, {35, 1}, {36, 2}, {255, 20}};
    for (const auto& c : cases) {
        std::vector<unsigned char> pixels(w * h, 0);
        pixels[k] = static_cast<unsigned char>(c[0]);
        SmoothDefaultPicture(pixels.data(), w, h);
        EXPECT_EQ(pixels[k], c[1]) << "S = " << c[0];
    }
}

TEST(DefaultPicture, SameSeedSameRelief) {
    const int w = 40;
    const int h = 30;
    std::vector<unsigned char> a(w * h);
    std::vector<unsigned char> b(w * h);
    std::vector<unsigned char> c(w * h);
    Palette pa;
    Palette pb;
    GenerateDefaultPicture(a.data(), w, h, pa.data(), 4242);
    GenerateDefaultPicture(b.data(), w, h, pb.data(), 4242);
    GenerateDefaultPicture(c.data(), w, h, pb.data(), 4243);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(pa, DefaultPalette());
}

TEST(DefaultPicture, BadSizesTouchNoPixels) {
    unsigned char guard[4] = {1, 2, 3, 4};
    Palette p;
    const Size sizes[] = {{0, 0}, {0, 5}, {5, 0}, {-3, 4}, {4, -3}, {-1, -1}};
    for (const Size& s : sizes) {
        GenerateDefaultPicture(guard, s.width, s.height, p.data(), 1);
        EXPECT_EQ(guard[0], 1);
        EXPECT_EQ(guard[3], 4);
    }
    EXPECT_EQ(p, DefaultPalette());
    GenerateDefaultPicture(nullptr, 4, 4, nullptr, 1);  // nothing to write
}

}  // namespace
