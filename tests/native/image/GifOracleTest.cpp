// Files written by giflib's encoder, decoded by LoadGif and by giflib's own
// decoder: pixels and colour tables must agree.
#include "GifTestSupport.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace giftest;

namespace {

struct Frame {
    int left, top, width, height;
    bool interlaced;
    int localColors;  // 0: the image has no table of its own
    int transparent;  // >= 0: a graphic control extension comes first
};

struct OracleCase {
    std::string name;
    int screenWidth, screenHeight;
    int globalColors;  // 0: no global table
    std::vector<Frame> frames;
};

std::ostream& operator<<(std::ostream& os, const OracleCase& c) { return os << c.name; }

struct MapDeleter {
    void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};
using Map = std::unique_ptr<ColorMapObject, MapDeleter>;

Map MakeMap(int colors, int seed) {
    std::vector<GifColorType> c(static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i) {
        c[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(i * 37 + seed),
                                          static_cast<GifByteType>(i * 91 + seed * 3),
                                          static_cast<GifByteType>((i * 13) ^ seed)};
    }
    return Map(GifMakeMapObject(colors, c.data()));
}

// Runs, gradients and noise mixed, so that strings of every length occur.
std::vector<GifPixelType> MakePixels(int width, int height, int colors, std::uint32_t seed) {
    std::vector<GifPixelType> p(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int region = (x / 37 + y / 23 + static_cast<int>(seed)) % 3;
            int v;
            if (region == 0) {
                v = static_cast<int>(state >> 24);
            } else if (region == 1) {
                v = x / 5 + (y * y) / 97;
            } else {
                v = (x / 16) ^ (y / 9);
            }
            p[static_cast<std::size_t>(y * width + x)] = static_cast<GifPixelType>(v % colors);
        }
    }
    return p;
}

int FrameColors(const OracleCase& c, const Frame& f) { return f.localColors ? f.localColors : c.globalColors; }

// Writes the case with giflib; interlaced images are handed over in pass order.
bool WriteWithGiflib(const OracleCase& c, const std::string& path, std::vector<std::vector<GifPixelType>>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (gif == nullptr) {
        return false;
    }
    EGifSetGifVersion(gif, true);
    Map global = c.globalColors ? MakeMap(c.globalColors, 3) : nullptr;
    bool ok = EGifPutScreenDesc(gif, c.screenWidth, c.screenHeight, 8, 0, global.get()) == GIF_OK;
    int index = 0;
    for (const Frame& f : c.frames) {
        ++index;
        if (f.transparent >= 0) {
            const GifByteType gce[4] = {1, 10, 0, static_cast<GifByteType>(f.transparent)};
            ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_OK;
        }
        Map local = f.localColors ? MakeMap(f.localColors, 40 * index) : nullptr;
        ok = ok && EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local.get()) == GIF_OK;
        frames.push_back(MakePixels(f.width, f.height, FrameColors(c, f), static_cast<std::uint32_t>(index)));
        std::vector<GifPixelType>& pixels = frames.back();
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        const int passes = f.interlaced ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = f.interlaced ? kStart[pass] : 0;
            const int step = f.interlaced ? kStep[pass] : 1;
            for (int y = start; y < f.height && ok; y += step) {
                ok = EGifPutLine(gif, &pixels[static_cast<std::size_t>(y * f.width)], f.width) == GIF_OK;
            }
        }
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return ok;
}

class GifOracleTest : public ::testing::TestWithParam<OracleCase> {};

TEST_P(GifOracleTest, MatchesGiflib) {
    const OracleCase& c = GetParam();
    const std::string path = TempPath(c.name.c_str());
    std::vector<std::vector<GifPixelType>> written;
    ASSERT_TRUE(WriteWithGiflib(c, path, written));

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, static_cast<int>(c.frames.size()));

    // The composite: later images over earlier ones, and which bytes any
    // image covers. The oracle must also give back what was written.
    const std::size_t size = static_cast<std::size_t>(c.screenWidth) * static_cast<std::size_t>(c.screenHeight);
    std::vector<std::uint8_t> expected(size, 0);
    std::vector<bool> covered(size, false);
    // Each table read overwrites the palette from entry 0 on.
    Bytes expectedPalette;
    auto overlay = [&expectedPalette](const ColorMapObject* map) {
        if (map == nullptr) {
            return;
        }
        expectedPalette.resize(std::max(expectedPalette.size(), static_cast<std::size_t>(3 * map->ColorCount)));
        for (int i = 0; i < map->ColorCount; ++i) {
            expectedPalette[static_cast<std::size_t>(3 * i)] = map->Colors[i].Red;
            expectedPalette[static_cast<std::size_t>(3 * i + 1)] = map->Colors[i].Green;
            expectedPalette[static_cast<std::size_t>(3 * i + 2)] = map->Colors[i].Blue;
        }
    };
    overlay(gif->SColorMap);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& desc = image.ImageDesc;
        ASSERT_TRUE(std::equal(written[static_cast<std::size_t>(i)].begin(), written[static_cast<std::size_t>(i)].end(),
                               image.RasterBits))
            << "giflib round trip, image " << i;
        for (int y = 0; y < desc.Height; ++y) {
            for (int x = 0; x < desc.Width; ++x) {
                const std::size_t at = static_cast<std::size_t>((desc.Top + y) * c.screenWidth + desc.Left + x);
                expected[at] = image.RasterBits[y * desc.Width + x];
                covered[at] = true;
            }
        }
        overlay(desc.ColorMap);
    }
    ASSERT_FALSE(expectedPalette.empty());
    DGifCloseFile(gif, &error);

    Decoded d;
    LoadFile(path, d);
    std::remove(path.c_str());
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.width, c.screenWidth);
    EXPECT_EQ(d.height, c.screenHeight);
    std::size_t mismatches = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (covered[i] && d.buffer[i] != expected[i]) {
            if (mismatches++ == 0) {
                first = i;
            }
        }
    }
    EXPECT_EQ(mismatches, 0u) << "first at x " << first % static_cast<std::size_t>(c.screenWidth) << ", y "
                              << first / static_cast<std::size_t>(c.screenWidth);
    for (std::size_t i = 0; i < d.palette.size(); ++i) {
        const std::uint8_t want = i < expectedPalette.size() ? expectedPalette[i] : kPaletteSentinel;
        ASSERT_EQ(d.palette[i], want) << "palette byte " << i;
    }
}

std::vector<OracleCase> MakeCases() {
    std::vector<OracleCase> cases = {
        {"OnePixel", 1, 1, 2, {{0, 0, 1, 1, false, 0, -1}}},
        {"Tiny4ColoursInterlaced", 3, 7, 4, {{0, 0, 3, 7, true, 0, -1}}},
        {"Wide16Colours", 255, 3, 16, {{0, 0, 255, 3, false, 0, -1}}},
        {"Tall8ColoursInterlaced", 5, 300, 8, {{0, 0, 5, 300, true, 0, -1}}},
        {"Square256ColoursInterlaced", 64, 64, 256, {{0, 0, 64, 64, true, 0, -1}}},
        {"Vga256Colours", 640, 480, 256, {{0, 0, 640, 480, false, 0, -1}}},
        {"Large256Colours", 1000, 700, 256, {{0, 0, 1000, 700, false, 0, -1}}},
        {"Large256ColoursInterlaced", 1000, 700, 256, {{0, 0, 1000, 700, true, 0, 7}}},
        {"LocalTables",
         300,
         200,
         16,
         // giflib's encoder leaks a local table that is followed by an image
         // without one, so the image on the global table comes first.
         {{250, 150, 50, 50, false, 0, 2}, {0, 0, 300, 150, false, 256, -1}, {10, 20, 100, 50, true, 4, -1}}},
        {"FramesAtOffsetsNoGlobal",
         320,
         240,
         0,
         {{0, 0, 320, 240, false, 8, 0},
          {17, 3, 64, 100, false, 2, 1},
          {100, 100, 220, 140, true, 32, 5},
          {319, 239, 1, 1, false, 128, -1},
          {40, 200, 200, 40, false, 64, 3}}},
    };
    for (int colors = 2; colors <= 256; colors *= 2) {
        cases.push_back({"Odd97x31With" + std::to_string(colors) + "Colours", 97, 31, colors, {{0, 0, 97, 31, colors % 4 == 0, 0, -1}}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(GiflibFiles, GifOracleTest, ::testing::ValuesIn(MakeCases()),
                         [](const ::testing::TestParamInfo<OracleCase>& info) { return info.param.name; });

}  // namespace
