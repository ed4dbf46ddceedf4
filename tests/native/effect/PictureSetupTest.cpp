#include "effect/PictureSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

using Palette = std::array<unsigned char, 768>;

Palette WhitePalette() {
    Palette p;
    p.fill(255);
    return p;
}

void SetEntry(Palette& p, int i, int r, int g, int b) {
    p[3 * i] = static_cast<unsigned char>(r);
    p[3 * i + 1] = static_cast<unsigned char>(g);
    p[3 * i + 2] = static_cast<unsigned char>(b);
}

std::array<int, 3> Entry(const Palette& p, int i) {
    return {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
}

TEST(SortPaletteByBrightness, OrdersGreysAndRemapsPixels) {
    Palette p = WhitePalette();
    SetEntry(p, 0, 90, 90, 90);
    SetEntry(p, 1, 30, 30, 30);
    SetEntry(p, 2, 60, 60, 60);
    std::vector<unsigned char> pixels = {0, 1, 2, 255, 2, 0};
    SortPaletteByBrightness(pixels.data(), static_cast<int>(pixels.size()), p.data());
    EXPECT_EQ(Entry(p, 0), (std::array<int, 3>{30, 30, 30}));
    EXPECT_EQ(Entry(p, 1), (std::array<int, 3>{60, 60, 60}));
    EXPECT_EQ(Entry(p, 2), (std::array<int, 3>{90, 90, 90}));
    EXPECT_EQ(pixels, (std::vector<unsigned char>{2, 0, 1, 255, 1, 2}));
}

TEST(SortPaletteByBrightness, EqualBrightnessFollowsTheExchangeLoop) {
    // X(60) a(50) b(50) c(40): the loop ends with c, b, a, X, so a and b swap
    // their order although they are never compared unequal to each other.
    Palette p = WhitePalette();
    SetEntry(p, 0, 60, 0, 0);
    SetEntry(p, 1, 50, 0, 0);
    SetEntry(p, 2, 0, 50, 0);
    SetEntry(p, 3, 40, 0, 0);
    std::vector<unsigned char> pixels = {0, 1, 2, 3};
    SortPaletteByBrightness(pixels.data(), 4, p.data());
    EXPECT_EQ(Entry(p, 0), (std::array<int, 3>{40, 0, 0}));
    EXPECT_EQ(Entry(p, 1), (std::array<int, 3>{0, 50, 0}));
    EXPECT_EQ(Entry(p, 2), (std::array<int, 3>{50, 0, 0}));
    EXPECT_EQ(Entry(p, 3), (std::array<int, 3>{60, 0, 0}));
    EXPECT_EQ(pixels, (std::vector<unsigned char>{3, 2, 1, 0}));
}

TEST(SortPaletteByBrightness, SortedRampIsUntouched) {
    Palette p;
    for (int i = 0; i < 256; ++i) {
        SetEntry(p, i, i, i / 2, 0);
    }
    SetEntry(p, 7, 9, 3, 0);  // as bright as entry 8: ties stay put too
    const Palette before = p;
    std::vector<unsigned char> pixels(1000);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(i * 7);
    }
    const std::vector<unsigned char> pixelsBefore = pixels;
    SortPaletteByBrightness(pixels.data(), static_cast<int>(pixels.size()), p.data());
    EXPECT_EQ(p, before);
    EXPECT_EQ(pixels, pixelsBefore);
}

TEST(SortPaletteByBrightness, RandomPaletteEveryPixelKeepsItsColour) {
    std::mt19937 rng(5);
    for (int round = 0; round < 20; ++round) {
        Palette p;
        for (auto& byte : p) {
            byte = static_cast<unsigned char>(rng() % (round % 2 ? 4 : 256));  // many ties on odd rounds
        }
        std::vector<unsigned char> pixels(4096);
        for (auto& v : pixels) {
            v = static_cast<unsigned char>(rng());
        }
        const Palette before = p;
        const std::vector<unsigned char> pixelsBefore = pixels;
        SortPaletteByBrightness(pixels.data(), static_cast<int>(pixels.size()), p.data());
        for (int i = 0; i < 255; ++i) {
            ASSERT_LE(p[3 * i] + p[3 * i + 1] + p[3 * i + 2], p[3 * i + 3] + p[3 * i + 4] + p[3 * i + 5]);
        }
        for (std::size_t n = 0; n < pixels.size(); ++n) {
            ASSERT_EQ(Entry(p, pixels[n]), Entry(before, pixelsBefore[n])) << n;
        }
    }
}

TEST(SortPaletteByBrightness, WithoutPixelsOnlyThePaletteIsOrdered) {
    Palette p = WhitePalette();
    SetEntry(p, 0, 90, 90, 90);
    SetEntry(p, 1, 30, 30, 30);
    unsigned char pixel = 0;
    SortPaletteByBrightness(&pixel, 0, p.data());
    EXPECT_EQ(pixel, 0);
    SortPaletteByBrightness(&pixel, -5, p.data());
    EXPECT_EQ(pixel, 0);
    SortPaletteByBrightness(nullptr, 10, p.data());
    EXPECT_EQ(Entry(p, 0), (std::array<int, 3>{30, 30, 30}));
    SortPaletteByBrightness(&pixel, 1, nullptr);
    EXPECT_EQ(pixel, 0);
}

// Picture coded so that every byte tells its row and column apart.
struct Scaled {
    std::vector<unsigned char> heightMap;
    int w, h, screenW, screenH;
};

Scaled ScaleCoded(int w, int h, int screenW, int screenH, bool codeColumns) {
    Scaled s{std::vector<unsigned char>(std::max(w * h, screenW * screenH)), w, h, screenW, screenH};
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            s.heightMap[r * w + c] = static_cast<unsigned char>(codeColumns ? c : r);
        }
    }
    std::vector<unsigned char> scratch(w * h, 0xCC);
    ScalePictureToScreen(s.heightMap.data(), scratch.data(), w, h, screenW, screenH);
    return s;
}

TEST(ScalePictureToScreen, StretchesColumnsByAccumulatedSteps) {
    const Scaled s = ScaleCoded(640, 480, 1024, 768, true);
    EXPECT_EQ(s.heightMap[3], 1);  // 3 * 0.625 = 1.875
    EXPECT_EQ(s.heightMap[500 * 1024 + 3], 1);
    double sx = 0.0;
    for (int x = 0; x < 1024; ++x) {
        ASSERT_EQ(s.heightMap[x], static_cast<unsigned char>(static_cast<int>(sx))) << x;
        sx += 0.625;
    }
}

TEST(ScalePictureToScreen, FlipsRowsBottomUp) {
    const Scaled s = ScaleCoded(640, 480, 1024, 768, false);
    // Screen row y shows picture row (counted from the bottom) trunc(y * 0.625).
    double sy = 0.0;
    for (int y = 0; y < 768; ++y) {
        const int pictureRowFromTop = 479 - static_cast<int>(sy);
        ASSERT_EQ(s.heightMap[y * 1024 + 17], static_cast<unsigned char>(pictureRowFromTop)) << y;
        sy += 0.625;
    }
}

struct ScaleCase {
    int w, h, screenW, screenH;
};

std::ostream& operator<<(std::ostream& os, const ScaleCase& c) {
    return os << c.w << "x" << c.h << " on " << c.screenW << "x" << c.screenH;
}

class ScalePictureSizeTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScalePictureSizeTest, EveryByteComesFromTheAccumulatedSource) {
    const ScaleCase c = GetParam();
    std::vector<unsigned char> picture(c.w * c.h);
    std::mt19937 rng(c.w * 31 + c.screenW);
    for (auto& v : picture) {
        v = static_cast<unsigned char>(rng());
    }
    std::vector<unsigned char> heightMap(std::max(c.w * c.h, c.screenW * c.screenH));
    std::copy(picture.begin(), picture.end(), heightMap.begin());
    std::vector<unsigned char> scratch(c.w * c.h);
    ScalePictureToScreen(heightMap.data(), scratch.data(), c.w, c.h, c.screenW, c.screenH);
    const double xStep = static_cast<double>(c.w) / c.screenW;
    const double yStep = static_cast<double>(c.h) / c.screenH;
    double sy = 0.0;
    for (int y = 0; y < c.screenH; ++y) {
        double sx = 0.0;
        for (int x = 0; x < c.screenW; ++x) {
            const int row = c.h - 1 - static_cast<int>(sy);
            ASSERT_EQ(heightMap[y * c.screenW + x], picture[row * c.w + static_cast<int>(sx)]) << x << "," << y;
            sx += xStep;
        }
        sy += yStep;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScalePictureSizeTest,
                         ::testing::Values(ScaleCase{8, 6, 8, 6}, ScaleCase{8, 6, 3, 2}, ScaleCase{3, 7, 10, 3},
                                           ScaleCase{1, 1, 5, 4}, ScaleCase{7, 3, 1, 1},
                                           ScaleCase{300, 200, 97, 301}));

TEST(ScalePictureToScreen, BadSizesAreNoOps) {
    std::vector<unsigned char> heightMap = {1, 2, 3, 4};
    std::vector<unsigned char> scratch = {9, 9, 9, 9};
    const ScaleCase cases[] = {{0, 2, 2, 2}, {2, 0, 2, 2}, {2, 2, 0, 2}, {2, 2, 2, -1}, {-2, 2, 2, 2}};
    for (const ScaleCase& c : cases) {
        ScalePictureToScreen(heightMap.data(), scratch.data(), c.w, c.h, c.screenW, c.screenH);
        EXPECT_EQ(heightMap, (std::vector<unsigned char>{1, 2, 3, 4})) << c;
        EXPECT_EQ(scratch, (std::vector<unsigned char>{9, 9, 9, 9})) << c;
    }
    ScalePictureToScreen(nullptr, scratch.data(), 2, 2, 2, 2);
    ScalePictureToScreen(heightMap.data(), nullptr, 2, 2, 2, 2);
    EXPECT_EQ(heightMap, (std::vector<unsigned char>{1, 2, 3, 4}));
}

}  // namespace
