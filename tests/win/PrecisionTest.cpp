// The release computes on the x87; these run on every Windows build and show,
// on the 32-bit one, that its stretch and light path are the 64-bit build's:
// the references round every step to double through memory, as SSE2 does.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/runtime/X87.h"
#include "effect/BumpPass.h"
#include "effect/PictureSetup.h"

namespace {

int ReferenceIndex(double position, int limit) {
    if (!(position < static_cast<double>(limit))) return limit - 1;
    return position > 0.0 ? static_cast<int>(position) : 0;
}

// Source column of every screen column (or row) when w is stretched over W.
std::vector<int> ReferenceSources(int w, int W) {
    std::vector<int> sources;
    volatile double step = static_cast<double>(w) / W;
    volatile double s = 0.0;
    for (int x = 0; x < W; ++x) {
        sources.push_back(ReferenceIndex(s, w));
        s = s + step;
    }
    return sources;
}

struct StretchCase {
    int w, h, W, H;
};

}  // namespace

TEST(Precision, StretchTakesTheSourcePixelsOfDoubleArithmetic) {
    // 640 x 480 on 800 x 600 and 1280 x 720 take neighbouring pixels when the
    // sums stay in extended precision; 1024 wide never does.
    const StretchCase cases[] = {{640, 480, 800, 600}, {640, 480, 1280, 720}, {320, 200, 1920, 1080},
                                 {800, 600, 1366, 768}, {1000, 700, 1024, 768}, {7, 3, 1600, 1200}};
    for (const StretchCase& c : cases) {
        // Each picture pixel holds its column (mod 256) in the low rows; row
        // identity is checked through a second picture of row numbers.
        const int bytes = std::max(c.w * c.h, c.W * c.H);
        std::vector<unsigned char> columns(bytes), rows(bytes), scratch(c.w * c.h);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                columns[y * c.w + x] = static_cast<unsigned char>(x);
                rows[y * c.w + x] = static_cast<unsigned char>(c.h - 1 - y);  // bottom-up after the flip
            }
        }
        ScalePictureToScreen(columns.data(), scratch.data(), c.w, c.h, c.W, c.H);
        ScalePictureToScreen(rows.data(), scratch.data(), c.w, c.h, c.W, c.H);
        const std::vector<int> sx = ReferenceSources(c.w, c.W), sy = ReferenceSources(c.h, c.H);
        int wrongColumns = 0, wrongRows = 0;
        for (int x = 0; x < c.W; ++x) wrongColumns += columns[x] != static_cast<unsigned char>(sx[x]);
        for (int y = 0; y < c.H; ++y) wrongRows += rows[y * c.W] != static_cast<unsigned char>(sy[y]);
        EXPECT_EQ(wrongColumns, 0) << c.w << "x" << c.h << " on " << c.W << "x" << c.H;
        EXPECT_EQ(wrongRows, 0) << c.w << "x" << c.h << " on " << c.W << "x" << c.H;
    }
}

TEST(Precision, LightPathIsTheDoublePath) {
    // The default path and a wide one, over a long run.
    struct Path {
        double step;
        int cx, cy, xd, yd;
    } paths[] = {{0.075, 512, 384, 300, 200}, {-0.5, 960, 540, 100000, 70000}, {0.0013, 0, 0, 1 << 20, 3}};
    for (const Path& p : paths) {
        double angle = 0.0, reference = 0.0;
        int differ = 0;
        for (int frame = 0; frame < 200000; ++frame) {
            const LightPosition got = MoveLight(angle, p.step, 1.0, p.cx, p.cy, p.xd, p.yd);
            volatile double c = std::cos(reference), s = std::sin(reference);
            volatile double x = c * p.xd, y = s * p.yd;
            volatile double xs = x * 1.0, ys = y * 1.0;
            volatile double px = xs + p.cx, py = ys + p.cy;
            differ += got.x != SaturateToInt(px) || got.y != SaturateToInt(py);
            reference -= p.step;
        }
        EXPECT_EQ(differ, 0) << "step " << p.step;
    }
}
