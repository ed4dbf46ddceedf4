#include "effect/BumpPass.h"

#include "effect/DefaultPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// ---------------------------------------------------------------- light motion

TEST(SaturateToInt, TruncatesTowardZeroAndSaturates) {
    const struct {
        double in;
        int out;
    } cases[] = {
        {0.0, 0},           {-0.7, 0},          {0.7, 0},           {-1.5, -1},        {1e300, INT_MAX},
        {-1e300, INT_MIN},  {2147483647.9, INT_MAX}, {2147483648.0, INT_MAX}, {-2147483648.9, INT_MIN},
        {-2147483647.5, -2147483647}, {INFINITY, INT_MAX}, {-INFINITY, INT_MIN}, {NAN, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SaturateToInt(c.in), c.out) << c.in;
    }
}

TEST(MoveLight, FirstFrameSitsAtCentrePlusXDistance) {
    double angle = 0.0;
    const LightPosition p = MoveLight(angle, 0.075, 1.0, 512, 384, 300, 200);
    EXPECT_EQ(p.x, 812);
    EXPECT_EQ(p.y, 384);
    EXPECT_DOUBLE_EQ(angle, -0.075);
    // A positive step lowers the angle: the light goes down the screen's right side.
    const LightPosition q = MoveLight(angle, 0.075, 1.0, 512, 384, 300, 200);
    EXPECT_LT(q.y, 384);
    EXPECT_EQ(q.y, static_cast<int>(std::sin(-0.075) * 200 + 384));
}

TEST(MoveLight, ConversionTruncatesTowardZero) {
    double angle = 0.0;
    // 1 * 3 * 0.1 - 1 = -0.7 must give 0, not -1.
    EXPECT_EQ(MoveLight(angle, 0.0, 0.1, -1, 0, 3, 0).x, 0);
    angle = 0.0;
    EXPECT_EQ(MoveLight(angle, 0.0, 1.0, 0, 0, -7, 0).x, -7);
}

TEST(MoveLight, EightyFourStepsComeBackNearTheStart) {
    double angle = 0.0;
    for (int i = 0; i < 84; ++i) {
        MoveLight(angle, 0.075, 1.0, 960, 540, 300, 200);
    }
    EXPECT_NEAR(angle, -6.3, 1e-9);
    const LightPosition p = MoveLight(angle, 0.075, 1.0, 960, 540, 300, 200);
    EXPECT_NEAR(p.x, 1260, 1);
    EXPECT_NEAR(p.y, 540, 4);
}

TEST(MoveLight, HugeValuesSaturate) {
    double angle = 0.0;
    LightPosition p = MoveLight(angle, 0.0, 1.0, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    EXPECT_EQ(p.x, INT_MAX);
    EXPECT_EQ(p.y, INT_MAX);  // sin(0) * d + INT_MAX is still INT_MAX
    angle = 0.0;
    p = MoveLight(angle, 0.0, 1.0, INT_MIN, INT_MIN, -INT_MAX, 5);
    EXPECT_EQ(p.x, INT_MIN);
    EXPECT_EQ(p.y, INT_MIN);
    angle = NAN;
    p = MoveLight(angle, 0.0, 1.0, 10, 10, 10, 10);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

// ------------------------------------------------------------------- bump pass

using BumpFn = void (*)(const unsigned char*, unsigned char*, int, int, int, int, const BumpSettings&);

struct BumpForm {
    const char* name;
    BumpFn fn;
};

const BumpForm kForms[] = {{"Reference", &ApplyBumpReference}, {"Fast", &ApplyBump}};

// An 800 x 600 height map of constant height 10.
class FlatMapTest : public ::testing::TestWithParam<BumpForm> {
protected:
    static constexpr int kW = 800;
    static constexpr int kH = 600;
    Bytes heights = Bytes(kW * kH, 10);
    Bytes light = Bytes(kW * kH, 0);

    void Bump(int lightX, int lightY, BumpSettings s) { GetParam().fn(heights.data(), light.data(), kW, kH, lightX, lightY, s); }
    int L(int row, int col) const { return light[row * kW + col]; }
    int LitCount() const {
        int n = 0;
        for (unsigned char v : light) {
            n += v != 0;
        }
        return n;
    }
};

TEST_P(FlatMapTest, SpotFallsOffWithSquaredDistance) {
    Bump(400, 300, {200, 200, 7, 0});
    EXPECT_EQ(L(300, 400), 255);
    EXPECT_EQ(L(300, 580), 2);  // 255 - (180^2 >> 7)
    EXPECT_EQ(L(300, 581), 0);
    EXPECT_EQ(L(300, 600), 0);  // |dx| = 200: outside the window
    EXPECT_EQ(L(300, 220), 2);
    EXPECT_EQ(L(480, 400), 2);
    EXPECT_EQ(L(301, 401), 255 - (2 >> 7));
}

TEST_P(FlatMapTest, ThresholdAtTheHeightLightsNothing) {
    Bump(400, 300, {200, 200, 7, 10});
    EXPECT_EQ(LitCount(), 0);
    Bump(400, 300, {200, 200, 7, 9});
    EXPECT_EQ(L(300, 400), 255);
}

TEST_P(FlatMapTest, SmallFallOffCutsASquare) {
    Bump(400, 300, {16, 16, 11, 0});
    EXPECT_EQ(LitCount(), 31 * 31);
    EXPECT_EQ(L(285, 385), 255);  // corner: (15^2 + 15^2) >> 11 = 0
    EXPECT_EQ(L(315, 415), 255);
    EXPECT_EQ(L(300, 416), 0);
    EXPECT_EQ(L(284, 400), 0);
}

TEST_P(FlatMapTest, LightLeftOfTheScreen) {
    Bump(-150, 300, {200, 200, 7, 0});
    EXPECT_EQ(L(300, 0), 0);
    for (int col = 1; col < 60; ++col) {
        const int dx = -150 - col;
        const int expected = col <= 49 ? std::max(0, 255 - ((dx * dx) >> 7)) : 0;
        EXPECT_EQ(L(300, col), expected) << col;
    }
    EXPECT_EQ(L(300, 30), 2);
    EXPECT_EQ(L(300, 31), 0);
}

TEST_P(FlatMapTest, ShiftUsesItsLowFiveBits) {
    const struct {
        int multiplier;
        int expected;  // at dx = 3, dy = 0: 255 - (9 >> shift)
    } cases[] = {{0, 246}, {32, 246}, {1, 251}, {33, 251}, {3, 254}, {31, 255}, {-1, 255}, {INT_MIN, 246}};
    for (const auto& c : cases) {
        std::fill(light.begin(), light.end(), 0);
        Bump(400, 300, {200, 200, c.multiplier, 0});
        EXPECT_EQ(L(300, 397), c.expected) << c.multiplier;
    }
}

TEST_P(FlatMapTest, BordersStayDark) {
    const int spots[][2] = {{0, 0}, {kW - 1, kH - 1}, {0, kH - 1}, {kW, 300}, {400, -1}};
    for (const auto& spot : spots) {
        std::fill(light.begin(), light.end(), 0);
        Bump(spot[0], spot[1], {INT_MAX, INT_MAX, 11, -1});
        for (int col = 0; col < kW; ++col) {
            ASSERT_EQ(L(0, col), 0);
            ASSERT_EQ(L(kH - 1, col), 0);
        }
        for (int row = 0; row < kH; ++row) {
            ASSERT_EQ(L(row, 0), 0);
            ASSERT_EQ(L(row, kW - 1), 0);
        }
        EXPECT_GT(LitCount(), 0);
    }
}

TEST_P(FlatMapTest, NonPositiveFallOffLightsNothing) {
    const BumpSettings settings[] = {{0, 200, 7, 0}, {200, 0, 7, 0}, {-5, 200, 7, 0}, {INT_MIN, INT_MIN, 7, 0}};
    for (const BumpSettings& s : settings) {
        Bump(400, 300, s);
        EXPECT_EQ(LitCount(), 0);
    }
    Bump(400, 300, {1, 1, 7, 0});  // fall-off 1: only the light's own pixel
    EXPECT_EQ(LitCount(), 1);
    EXPECT_EQ(L(300, 400), 255);
}

TEST_P(FlatMapTest, OnlyWritesWhereTheHeightPassesTheThreshold) {
    std::fill(light.begin(), light.end(), 77);
    heights[300 * kW + 400] = 0;
    Bump(400, 300, {200, 200, 2, 5});
    EXPECT_EQ(L(300, 400), 77);  // below threshold: left as it was
    // Right of the pit the ground rises away from the light: nx = 0 - 10 + 1.
    EXPECT_EQ(L(300, 401), 255 - (81 >> 2));
    EXPECT_EQ(L(300, 399), 255 - (81 >> 2));
    EXPECT_EQ(L(300, 0), 77);
}

INSTANTIATE_TEST_SUITE_P(Forms, FlatMapTest, ::testing::ValuesIn(kForms),
                         [](const ::testing::TestParamInfo<BumpForm>& info) { return info.param.name; });

TEST(LitRect, IsTheOpenWindowClippedToTheInterior) {
    const BumpSettings s{200, 200, 7, 0};
    const PixelRect r = LitRect(800, 600, 400, 300, s);
    EXPECT_EQ(r.x0, 201);
    EXPECT_EQ(r.x1, 600);
    EXPECT_EQ(r.y0, 101);
    EXPECT_EQ(r.y1, 500);
    const PixelRect left = LitRect(800, 600, -150, 300, s);
    EXPECT_EQ(left.x0, 1);
    EXPECT_EQ(left.x1, 50);
    EXPECT_TRUE(LitRect(800, 600, -199, 300, s).Empty());
    EXPECT_TRUE(LitRect(2, 600, 1, 300, s).Empty());
    const PixelRect all = LitRect(800, 600, 0, 0, {INT_MAX, INT_MAX, 7, 0});
    EXPECT_EQ(all.x0, 1);
    EXPECT_EQ(all.x1, 799);
    EXPECT_TRUE(LitRect(800, 600, INT_MIN, INT_MAX, {INT_MAX, INT_MAX, 7, 0}).Empty());
}

TEST(ApplyBump, NeighbourDifferencesTiltTheNormal) {
    // Pixel (2, 2) of a 5 x 5 map, light at (7, 0): dx = 5, dy = -2.
    // nx = 30 - 10 - 5 = 15; ny = H[1][2] - H[3][2] + 2 = 5 - 25 + 2 = -18;
    // (225 + 324) >> 2 = 137; v = 118.
    Bytes heights(25, 1);
    heights[2 * 5 + 1] = 30;
    heights[2 * 5 + 3] = 10;
    heights[1 * 5 + 2] = 5;
    heights[3 * 5 + 2] = 25;
    heights[2 * 5 + 2] = 50;
    for (const BumpForm& form : kForms) {
        Bytes light(25, 0);
        form.fn(heights.data(), light.data(), 5, 5, 7, 0, {100, 100, 2, 0});
        EXPECT_EQ(light[2 * 5 + 2], 118) << form.name;
    }
}

TEST(ApplyBump, HugeParametersDoNotOverflow) {
    // Offsets near 2^31 square to near 2^62; the shifted sum still decides.
    // Offsets around 32512 sit at the edge of what fits 16-bit lanes; the map
    // is wide enough for whole 16-pixel steps.
    const int n = 40;
    Bytes heights(n * n);
    std::mt19937 rng(3);
    for (auto& v : heights) {
        v = static_cast<unsigned char>(rng() % 2 ? 255 : 0);
    }
    const int edge = 32512;
    const struct {
        int lightX, lightY;
        BumpSettings s;
    } cases[] = {
        {INT_MAX, INT_MAX, {INT_MAX, INT_MAX, 31, -1}},
        {INT_MIN, INT_MIN, {INT_MAX, INT_MAX, 31, INT_MIN}},
        {INT_MAX, 5, {INT_MAX, INT_MAX, 0, 0}},
        {INT_MIN + 1, 5, {INT_MAX, 2, 30, 0}},
        {46341, 5, {INT_MAX, 2, 1, 0}},
        {1 + edge, 5, {INT_MAX, INT_MAX, 0, -1}},
        {1 + edge + 1, 5, {INT_MAX, INT_MAX, 0, -1}},
        {1 + 35000, 5, {INT_MAX, INT_MAX, 16, -1}},
        {n - 2 - edge, 1 + edge, {INT_MAX, INT_MAX, 0, -1}},
        {1 + edge, n - 2 - edge, {INT_MAX, INT_MAX, 16, -1}},
        {1 + edge, n - 2 - edge - 1, {INT_MAX, INT_MAX, 16, -1}},
        {n - 2 - 35000, n - 2 - edge, {INT_MAX, INT_MAX, 17, -1}},
    };
    for (const auto& c : cases) {
        Bytes ref(heights.size(), 0);
        Bytes fast(heights.size(), 0);
        ApplyBumpReference(heights.data(), ref.data(), n, n, c.lightX, c.lightY, c.s);
        ApplyBump(heights.data(), fast.data(), n, n, c.lightX, c.lightY, c.s);
        EXPECT_EQ(ref, fast) << c.lightX << "," << c.lightY;
    }
    std::fill(heights.begin(), heights.end(), 200);
    // dx = 2^31 - 9, dy = 0 on flat ground: dx^2 >> 31 is about 2^31.
    Bytes light(heights.size(), 0);
    ApplyBumpReference(heights.data(), light.data(), n, n, INT_MAX, 8, {INT_MAX, 2, 31, 0});
    EXPECT_EQ(light[8 * n + 8], 0);
    // dx = 46341 - 8 at shift 31: 46333^2 < 2^31, so the pixel is fully lit.
    ApplyBumpReference(heights.data(), light.data(), n, n, 46341, 8, {INT_MAX, 2, 31, 0});
    EXPECT_EQ(light[8 * n + 8], 255);
}

TEST(ApplyBump, TinyOrMissingMapsAreNoOps) {
    Bytes heights(9, 50);
    Bytes light(9, 7);
    for (const BumpForm& form : kForms) {
        form.fn(heights.data(), light.data(), 2, 4, 1, 1, {100, 100, 7, 0});
        form.fn(heights.data(), light.data(), 3, 1, 1, 0, {100, 100, 7, 0});
        form.fn(heights.data(), light.data(), 0, 3, 1, 1, {100, 100, 7, 0});
        form.fn(heights.data(), light.data(), -3, -3, 1, 1, {100, 100, 7, 0});
        form.fn(nullptr, light.data(), 3, 3, 1, 1, {100, 100, 7, 0});
        form.fn(heights.data(), nullptr, 3, 3, 1, 1, {100, 100, 7, 0});
        EXPECT_EQ(light, Bytes(9, 7)) << form.name;
        form.fn(heights.data(), light.data(), 3, 3, 1, 1, {100, 100, 7, 0});  // one interior pixel
        EXPECT_EQ(light[4], 255) << form.name;
        light[4] = 7;
    }
}

// ------------------------------------------------------------------ conversion

TEST(ConvertLightMap, MapsThroughTableIntoBottomUpRowsAndSparesPadding) {
    const int w = 5;
    const int h = 3;
    const int stride = 8;
    Bytes light(w * h);
    for (int i = 0; i < w * h; ++i) {
        light[i] = static_cast<unsigned char>(i * 17);
    }
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(255 - i);
    }
    Bytes bits(stride * h, 0xA5);
    ConvertLightMap(light.data(), w, h, bits.data(), stride, table);
    for (int j = 0; j < h; ++j) {
        for (int k = 0; k < stride; ++k) {
            const int expected = k < w ? 255 - light[j * w + k] : 0xA5;
            ASSERT_EQ(bits[j * stride + k], expected) << j << "," << k;
        }
    }
    ConvertLightMap(light.data(), w, h, bits.data(), stride, nullptr);
    for (int j = 0; j < h; ++j) {
        for (int k = 0; k < stride; ++k) {
            ASSERT_EQ(bits[j * stride + k], k < w ? light[j * w + k] : 0xA5) << j << "," << k;
        }
    }
}

TEST(ConvertLightMap, RejectsShortStrideAndClipsRects) {
    Bytes light(4 * 3, 9);
    Bytes bits(4 * 3, 0);
    ConvertLightMap(light.data(), 4, 3, bits.data(), 3, nullptr);
    EXPECT_EQ(bits, Bytes(12, 0));
    ConvertLightMap(light.data(), 4, 3, nullptr, 4, nullptr);
    ConvertLightMap(nullptr, 4, 3, bits.data(), 4, nullptr);
    EXPECT_EQ(bits, Bytes(12, 0));
    ConvertLightMapRect(light.data(), 4, 3, bits.data(), 4, nullptr, PixelRect{-5, 2, 2, 99});
    EXPECT_EQ(bits, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 0, 0}));
    ConvertLightMapRect(light.data(), 4, 3, bits.data(), 4, nullptr, PixelRect{INT_MIN, INT_MIN, INT_MIN, INT_MAX});
    EXPECT_EQ(bits, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 0, 0}));
}

// ----------------------------------------------- fast frame against reference

// Two complete pipelines side by side, each with its own light map and bitmap
// that start out filled with different garbage.
class FrameComparison {
public:
    FrameComparison(Bytes heights, int width, int height, int stride)
        : m_heights(std::move(heights)), m_width(width), m_height(height), m_stride(stride),
          m_refLight(static_cast<std::size_t>(width) * height + 8, 0x3C),
          m_fastLight(m_refLight.size(), 0xC3),
          m_refBits(static_cast<std::size_t>(stride) * height, 0x5A), m_fastBits(m_refBits.size(), 0xA5) {
        // Padding of both bitmaps holds the same sentinel, which must survive.
        for (int j = 0; j < height; ++j) {
            for (int k = width; k < stride; ++k) {
                m_refBits[j * stride + k] = m_fastBits[j * stride + k] = 0xEE;
            }
        }
    }

    void Frame(int lightX, int lightY, const BumpSettings& s, const unsigned char* table) {
        RenderFrameReference(m_heights.data(), m_refLight.data(), m_width, m_height, lightX, lightY, s,
                             m_refBits.data(), m_stride, table);
        m_frame.Render(m_heights.data(), m_fastLight.data(), m_width, m_height, lightX, lightY, s,
                       m_fastBits.data(), m_stride, table);
    }

    ::testing::AssertionResult Same() const {
        const std::size_t n = static_cast<std::size_t>(m_width) * m_height;
        for (std::size_t i = 0; i < n; ++i) {
            if (m_refLight[i] != m_fastLight[i]) {
                return ::testing::AssertionFailure() << "light map differs at " << i % m_width << ","
                                                     << i / m_width << ": " << int(m_refLight[i]) << " vs "
                                                     << int(m_fastLight[i]);
            }
        }
        for (std::size_t i = 0; i < m_refBits.size(); ++i) {
            const bool padding = static_cast<int>(i % m_stride) >= m_width;
            if (m_refBits[i] != m_fastBits[i] || (padding && m_fastBits[i] != 0xEE)) {
                return ::testing::AssertionFailure() << "bitmap differs at row " << i / m_stride << " byte "
                                                     << i % m_stride << ": " << int(m_refBits[i]) << " vs "
                                                     << int(m_fastBits[i]);
            }
        }
        return ::testing::AssertionSuccess();
    }

    Bytes& FastBits() { return m_fastBits; }
    BumpFrame& Fast() { return m_frame; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    Bytes m_heights;
    int m_width;
    int m_height;
    int m_stride;
    Bytes m_refLight;
    Bytes m_fastLight;
    Bytes m_refBits;
    Bytes m_fastBits;
    BumpFrame m_frame;
};

int Pick(std::mt19937& rng, std::initializer_list<int> values) {
    return *(values.begin() + rng() % values.size());
}

BumpSettings RandomSettings(std::mt19937& rng, int width, int height) {
    const int small = static_cast<int>(rng() % (width + height + 2));
    BumpSettings s;
    s.xFallOff = Pick(rng, {INT_MIN, -5, 0, 1, 2, 7, 16, 200, INT_MAX, small, small});
    s.yFallOff = Pick(rng, {INT_MIN, -5, 0, 1, 2, 7, 16, 200, INT_MAX, small, small});
    s.multiplier = Pick(rng, {INT_MIN, -1, 0, 1, 2, 7, 11, 31, 32, 33, 7});
    s.fromIndex = Pick(rng, {INT_MIN, -1, 0, 0, 10, 128, 200, 254, 255, 256, INT_MAX});
    return s;
}

TEST(BumpFrame, MatchesReferenceOnRandomSequences) {
    std::mt19937 rng(20240611);
    for (int scenario = 0; scenario < 400; ++scenario) {
        const int width = Pick(rng, {1, 2, 3, 4, 5, 17, 31, 33, 40, 64});
        const int height = Pick(rng, {1, 2, 3, 4, 9, 23, 32});
        const int stride = ((width + 3) & ~3) + Pick(rng, {0, 0, 4});
        Bytes heights(static_cast<std::size_t>(width) * height);
        const unsigned levels = Pick(rng, {1, 3, 256});
        for (auto& v : heights) {
            v = static_cast<unsigned char>(levels == 1 ? 10 : (rng() % levels) * (255 / (levels - 1)));
        }
        FrameComparison frames(heights, width, height, stride);

        unsigned char table[256];
        for (auto& t : table) {
            t = static_cast<unsigned char>(rng());
        }
        const bool identity = rng() % 3 == 0;
        BumpSettings s = RandomSettings(rng, width, height);
        double angle = std::uniform_real_distribution<double>(-7, 7)(rng);
        const double step = Pick(rng, {0, 1, 75, 500, 1000, -75}) / 1000.0;
        const int cx = static_cast<int>(rng() % (width + 21)) - 10;
        const int cy = static_cast<int>(rng() % (height + 21)) - 10;
        const int xd = Pick(rng, {0, 3, width / 2, width, 2 * width, INT_MAX});
        const int yd = Pick(rng, {0, 3, height / 2, height, 2 * height, INT_MAX});

        for (int f = 0; f < 24; ++f) {
            LightPosition p = MoveLight(angle, step, 1.0, cx, cy, xd, yd);
            switch (rng() % 10) {
            case 0:  // jump to an edge or far away
                p.x = Pick(rng, {INT_MIN, -200, -1, 0, 1, width - 2, width - 1, width, width + 150, INT_MAX});
                p.y = Pick(rng, {INT_MIN, -1, 0, 1, height - 2, height - 1, height, INT_MAX});
                break;
            case 1:
                s = RandomSettings(rng, width, height);
                break;
            case 2:  // the table changes in place
                table[rng() % 256] ^= static_cast<unsigned char>(1 + rng() % 255);
                table[0] ^= static_cast<unsigned char>(rng() % 2);
                break;
            default:
                break;
            }
            frames.Frame(p.x, p.y, s, identity ? nullptr : table);
            ASSERT_TRUE(frames.Same()) << "scenario " << scenario << " frame " << f << " size " << width << "x"
                                       << height << " stride " << stride << " light " << p.x << "," << p.y
                                       << " falloff " << s.xFallOff << "," << s.yFallOff << " shift "
                                       << s.multiplier << " from " << s.fromIndex;
        }
    }
}

TEST(BumpFrame, SwitchingBetweenTableAndIdentityConvertsEverything) {
    Bytes heights(33 * 9, 100);
    FrameComparison frames(heights, 33, 9, 36);
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(i ^ 0x81);
    }
    const BumpSettings s{4, 4, 7, 0};
    frames.Frame(10, 4, s, table);
    frames.Frame(11, 4, s, nullptr);
    ASSERT_TRUE(frames.Same());
    frames.Frame(12, 4, s, table);
    ASSERT_TRUE(frames.Same());
}

TEST(BumpFrame, InvalidateRecoversFromOutsideWrites) {
    Bytes heights(40 * 20, 60);
    FrameComparison frames(heights, 40, 20, 40);
    const BumpSettings s{5, 5, 7, 0};
    frames.Frame(10, 10, s, nullptr);
    ASSERT_TRUE(frames.Same());
    std::fill(frames.FastBits().begin(), frames.FastBits().end(), 0x11);  // e.g. a fill of the bitmap
    frames.Fast().Invalidate();
    frames.Frame(30, 10, s, nullptr);
    ASSERT_TRUE(frames.Same());
}

TEST(BumpFrame, StrideChangeOnTheSameBitmapConvertsEverything) {
    // Same bitmap, same map size, rows further apart: every row moves, lit or not.
    const int w = 20;
    const int h = 6;
    Bytes heights(static_cast<std::size_t>(w) * h, 80);
    Bytes fastLight(heights.size(), 0), refLight(heights.size(), 0);
    Bytes fastBits(static_cast<std::size_t>(24) * h, 0x77), refBits(fastBits.size(), 0x77);
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(255 - i);
    }
    const BumpSettings s{3, 3, 7, 0};
    BumpFrame frame;
    frame.Render(heights.data(), fastLight.data(), w, h, 5, 3, s, fastBits.data(), 20, table);
    frame.Render(heights.data(), fastLight.data(), w, h, 6, 3, s, fastBits.data(), 24, table);
    RenderFrameReference(heights.data(), refLight.data(), w, h, 6, 3, s, refBits.data(), 24, table);
    for (int j = 0; j < h; ++j) {
        for (int k = 0; k < w; ++k) {
            ASSERT_EQ(fastBits[j * 24 + k], refBits[j * 24 + k]) << k << "," << j;
        }
    }
}

TEST(BumpFrame, BadGeometryWritesNothing) {
    Bytes heights(16, 50);
    Bytes light(16, 3);
    Bytes bits(16, 4);
    BumpFrame frame;
    frame.Render(heights.data(), light.data(), 4, 4, 1, 1, {9, 9, 7, 0}, bits.data(), 3, nullptr);
    frame.Render(heights.data(), light.data(), 0, 4, 1, 1, {9, 9, 7, 0}, bits.data(), 4, nullptr);
    frame.Render(heights.data(), light.data(), 4, 4, 1, 1, {9, 9, 7, 0}, nullptr, 4, nullptr);
    EXPECT_EQ(light, Bytes(16, 3));
    EXPECT_EQ(bits, Bytes(16, 4));
}

TEST(BumpFrame, FullHdDefaultPictureOnTheDefaultEllipse) {
    const int w = 1920;
    const int h = 1080;
    Bytes heights(static_cast<std::size_t>(w) * h);
    unsigned char palette[768];
    GenerateDefaultPicture(heights.data(), w, h, palette, 1);
    FrameComparison frames(heights, w, h, w);
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>((i * 7 + 3) & 0xFF);
    }
    const BumpSettings s{200, 200, 7, 0};
    double angle = 0.0;
    for (int f = 0; f < 4; ++f) {
        const LightPosition p = MoveLight(angle, 0.075 * 10, 1.0, w / 2, h / 2, 300, 200);
        frames.Frame(p.x, p.y, s, table);
        ASSERT_TRUE(frames.Same()) << "frame " << f;
    }
    const PixelRect lit = frames.Fast().LitArea();
    EXPECT_EQ(lit.x1 - lit.x0, 399);
    EXPECT_EQ(lit.y1 - lit.y0, 399);
}

}  // namespace
