// The surface's device-free decisions: the colour table around the static
// colours, fill values, strides, the clamped fill of bottom-up rows and the
// source rectangle of a draw.
#include "display/SurfaceLogic.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

constexpr std::uint8_t kSentinel = 0xCD;

std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// A system palette and caller's colours that differ everywhere, so every
// entry tells where it came from.
std::array<SystemPaletteEntry, 256> SystemPalette() {
    std::array<SystemPaletteEntry, 256> p;
    for (int i = 0; i < 256; ++i) {
        p[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i ^ 0x5A),
                0x04};  // a flag that must not reach the reserved byte
    }
    return p;
}

std::array<std::uint32_t, 256> CallerColors() {
    std::array<std::uint32_t, 256> c;
    for (int i = 0; i < 256; ++i) c[i] = Rgb((i * 3) & 0xFF, (i * 7 + 1) & 0xFF, (i * 11 + 2) & 0xFF) | 0xAB000000u;
    return c;
}

struct Quad {
    int blue, green, red, reserved;
    bool operator==(const Quad& o) const {
        return blue == o.blue && green == o.green && red == o.red && reserved == o.reserved;
    }
};

std::ostream& operator<<(std::ostream& os, const Quad& q) {
    return os << "(b" << q.blue << " g" << q.green << " r" << q.red << " x" << q.reserved << ")";
}

Quad QuadAt(const std::vector<std::uint8_t>& table, int i) {
    return {table[4 * i], table[4 * i + 1], table[4 * i + 2], table[4 * i + 3]};
}

struct ColorTableCase {
    const char* name;
    int numColors, sizePalette;
    bool withColors;
    int result;
    int half;  // entries kept from the system palette at each end
};

TEST(BuildIdentityColorTable, StaticColoursAtBothEndsCallersBetween) {
    const ColorTableCase cases[] = {
        {"20 static colours", 20, 256, true, kDibOk, 10},
        {"20 static colours, no caller's colours", 20, 256, false, kDibOk, 10},
        {"no palette (24-bit display)", -1, 0, true, kDibOk, 0},
        {"no palette, no colours: black", -1, 0, false, kDibOk, 0},
        {"NUMCOLORS 0 counts as no palette", 0, 256, true, kDibOk, 0},
        {"one static colour: half 0", 1, 256, true, kDibOk, 0},
        {"two static colours", 2, 256, true, kDibOk, 1},
        {"odd count rounds down", 21, 256, true, kDibOk, 10},
        {"all 256 static", 256, 256, true, kDibOk, 128},
        {"more static colours than entries", 1000, 256, true, kDibOk, 128},
        {"hostile colour count", INT_MAX, 256, true, kDibOk, 128},
        {"palette of 16", 20, 16, true, kDibPaletteNot256, 0},
        {"palette of 0", 20, 0, true, kDibPaletteNot256, 0},
        {"palette of 512", 20, 512, false, kDibPaletteNot256, 0},
        {"negative palette size", 20, INT_MIN, true, kDibPaletteNot256, 0},
    };
    const auto system = SystemPalette();
    const auto colors = CallerColors();
    for (const ColorTableCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> table(1024, kSentinel);
        // The system palette is handed over only where the display has one.
        const bool palette = c.numColors >= 1;
        EXPECT_EQ(BuildIdentityColorTable(c.numColors, c.sizePalette, palette ? system.data() : nullptr,
                                          c.withColors ? colors.data() : nullptr, table.data()),
                  c.result);
        if (c.result != kDibOk) {
            EXPECT_EQ(table, std::vector<std::uint8_t>(1024, kSentinel)) << "nothing written on failure";
            continue;
        }
        for (int i = 0; i < 256; ++i) {
            Quad expected;
            if (i < c.half || i >= 256 - c.half) {
                expected = {system[i].blue, system[i].green, system[i].red, 0};
            } else if (c.withColors) {
                expected = {static_cast<int>(colors[i] >> 16 & 0xFF), static_cast<int>(colors[i] >> 8 & 0xFF),
                            static_cast<int>(colors[i] & 0xFF), 0};
            } else {
                expected = {0, 0, 0, 0};
            }
            ASSERT_EQ(QuadAt(table, i), expected) << "entry " << i;
        }
    }
}

TEST(FillValues, SixteenBitsFiveFiveFive) {
    const struct {
        std::uint32_t color;
        std::uint16_t word;
    } cases[] = {
        {Rgb(255, 128, 0), 0x7E00},
        {Rgb(255, 255, 255), 0x7FFF},  // bit 15 stays clear
        {Rgb(0, 0, 0), 0x0000},
        {Rgb(0, 0, 255), 0x001F},
        {Rgb(0, 255, 0), 0x03E0},
        {Rgb(7, 7, 7), 0x0000},  // below one step of 8
        {Rgb(8, 8, 8), 0x0421},
        {0xFF000000u | Rgb(255, 128, 0), 0x7E00},  // the COLORREF's top byte plays no part
    };
    for (const auto& c : cases) EXPECT_EQ(Fill16FromColor(c.color), c.word) << std::hex << c.color;
}

TEST(FillValues, TwentyFourBitsBlueGreenRed) {
    std::uint8_t bgr[3] = {};
    Fill24FromColor(0xFF000000u | Rgb(0x12, 0x34, 0x56), bgr);
    EXPECT_EQ(bgr[0], 0x56);
    EXPECT_EQ(bgr[1], 0x34);
    EXPECT_EQ(bgr[2], 0x12);
}

TEST(DibStride, RowsPaddedToFourBytes) {
    const struct {
        int width, bitCount;
        std::int64_t stride;
    } cases[] = {
        {1, 8, 4},     {3, 8, 4},      {4, 8, 4},          {5, 8, 8},      {640, 8, 640},
        {1, 16, 4},    {3, 16, 8},     {1, 24, 4},         {3, 24, 12},    {4, 24, 12},
        {2, 32, 8},    {32767, 24, 98304},                 {0, 8, 0},      {-5, 8, 0},
        {INT_MAX, 32, (static_cast<std::int64_t>(INT_MAX) * 4 + 3) & ~std::int64_t(3)},
    };
    for (const auto& c : cases) EXPECT_EQ(DibStride(c.width, c.bitCount), c.stride) << c.width << "x" << c.bitCount;
}

TEST(ClampFillRect, EdgesPulledOntoTheSurface) {
    // A 10 x 8 surface.
    const struct {
        const char* name;
        SurfaceRect rect;
        bool nonEmpty;
        SurfaceRect clamped;
    } cases[] = {
        {"inside", {2, 3, 5, 6}, true, {2, 3, 5, 6}},
        {"wholly below: the bottom image row", {0, 20, 10, 30}, true, {0, 7, 10, 8}},
        {"wholly above: the top image row", {0, -10, 10, -2}, true, {0, 0, 10, 1}},
        {"wholly right: the last column", {20, 0, 30, 8}, true, {9, 0, 10, 8}},
        {"wholly left: the first column", {-10, 0, -1, 8}, true, {0, 0, 1, 8}},
        {"right edge at 0 becomes 1", {0, 0, 0, 8}, true, {0, 0, 1, 8}},
        {"overhanging every side", {-5, -5, 50, 50}, true, {0, 0, 10, 8}},
        {"left equals right", {5, 5, 5, 10}, false, {5, 5, 5, 8}},
        {"top equals bottom", {1, 4, 3, 4}, false, {1, 4, 3, 4}},
        {"inverted", {6, 6, 3, 3}, false, {6, 6, 3, 3}},
        {"hostile extremes", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true, {0, 0, 10, 8}},
        {"hostile inverted", {INT_MAX, INT_MAX, INT_MIN, INT_MIN}, false, {9, 7, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SurfaceRect r = {};
        EXPECT_EQ(ClampFillRect(c.rect, 10, 8, &r), c.nonEmpty);
        EXPECT_EQ(r.left, c.clamped.left);
        EXPECT_EQ(r.top, c.clamped.top);
        EXPECT_EQ(r.right, c.clamped.right);
        EXPECT_EQ(r.bottom, c.clamped.bottom);
    }
}

// A bottom-up pixel buffer of exactly stride x height bytes (so the address
// sanitizer sees any write past it), prefilled with a sentinel.
struct Rows {
    Rows(int w, int h, int bits)
        : width(w), height(h), bitCount(bits), stride(static_cast<int>(DibStride(w, bits))),
          bytes(static_cast<std::size_t>(stride) * h, kSentinel) {}
    // The bytes of image pixel (x, y), y counted from the top.
    const std::uint8_t* Pixel(int x, int y) const { return &bytes[(height - 1 - y) * stride + x * bitCount / 8]; }
    int Fill(const SurfaceRect* rect, const FillValues& fill) {
        return FillSurfaceRect(bytes.data(), width, height, bitCount, rect, fill);
    }
    // Every byte is either part of a pixel inside (left, top)-(right, bottom),
    // holding the pixel's fill bytes, or the untouched sentinel (padding included).
    void ExpectFilled(const SurfaceRect& r, const std::vector<std::uint8_t>& pixel) const {
        const int bpp = bitCount / 8;
        for (int stored = 0; stored < height; ++stored) {
            const int y = height - 1 - stored;
            for (int b = 0; b < stride; ++b) {
                const int x = b / bpp;
                const bool inside = b < width * bpp && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                const std::uint8_t expected = inside ? pixel[b % bpp] : kSentinel;
                ASSERT_EQ(bytes[stored * stride + b], expected) << "stored row " << stored << " byte " << b;
            }
        }
    }
    int width, height, bitCount, stride;
    std::vector<std::uint8_t> bytes;
};

const FillValues kFill = {0x42, 0x7E00, {0x56, 0x34, 0x12}};

std::vector<std::uint8_t> PixelBytes(int bitCount) {
    switch (bitCount) {
    case 8: return {kFill.index};
    case 16: return {static_cast<std::uint8_t>(kFill.word & 0xFF), static_cast<std::uint8_t>(kFill.word >> 8)};
    default: return {kFill.bgr[0], kFill.bgr[1], kFill.bgr[2]};
    }
}

TEST(FillSurfaceRect, ClampedRectanglesAtEachDepth) {
    // Widths whose rows need padding at every depth: 5 x 8 bits -> 8, 3 x 16 -> 8, 3 x 24 -> 12.
    const struct {
        const char* name;
        int width, height, bitCount;
        bool whole;
        SurfaceRect rect;  // as given
        SurfaceRect filled;  // after clamping
    } cases[] = {
        {"8 bits, whole", 5, 4, 8, true, {}, {0, 0, 5, 4}},
        {"8 bits, inside", 5, 4, 8, false, {1, 1, 4, 3}, {1, 1, 4, 3}},
        {"8 bits, top image row is the last stored row", 5, 4, 8, false, {0, 0, 5, 1}, {0, 0, 5, 1}},
        {"8 bits, wholly below", 5, 4, 8, false, {0, 9, 5, 12}, {0, 3, 5, 4}},
        {"8 bits, wholly above", 5, 4, 8, false, {0, -9, 5, -3}, {0, 0, 5, 1}},
        {"8 bits, wholly right", 5, 4, 8, false, {7, 0, 9, 4}, {4, 0, 5, 4}},
        {"8 bits, wholly left", 5, 4, 8, false, {-7, 0, -2, 4}, {0, 0, 1, 4}},
        {"8 bits, hostile extremes", 5, 4, 8, false, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 5, 4}},
        {"16 bits, whole", 3, 2, 16, true, {}, {0, 0, 3, 2}},
        {"16 bits, one pixel", 3, 2, 16, false, {1, 1, 2, 2}, {1, 1, 2, 2}},
        {"24 bits of width 3, whole: stride 12, padding untouched", 3, 2, 24, true, {}, {0, 0, 3, 2}},
        {"24 bits, right column", 3, 2, 24, false, {2, 0, 3, 2}, {2, 0, 3, 2}},
        {"24 bits, overhanging", 3, 2, 24, false, {-1, -1, 40, 40}, {0, 0, 3, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rows rows(c.width, c.height, c.bitCount);
        EXPECT_EQ(rows.Fill(c.whole ? nullptr : &c.rect, kFill), kDibOk);
        rows.ExpectFilled(c.filled, PixelBytes(c.bitCount));
    }
}

TEST(FillSurfaceRect, WholeSixFortyByFourEighty) {
    Rows rows(640, 480, 8);
    EXPECT_EQ(rows.stride, 640);
    ASSERT_EQ(rows.bytes.size(), 640u * 480u);
    EXPECT_EQ(rows.Fill(nullptr, kFill), kDibOk);
    EXPECT_EQ(rows.bytes, std::vector<std::uint8_t>(640 * 480, kFill.index));
}

TEST(FillSurfaceRect, TwentyFourBitsOfWidthThree) {
    Rows rows(3, 1, 24);
    EXPECT_EQ(rows.stride, 12);
    EXPECT_EQ(rows.Fill(nullptr, kFill), kDibOk);
    const std::vector<std::uint8_t> expected = {0x56, 0x34, 0x12, 0x56, 0x34, 0x12, 0x56, 0x34, 0x12,
                                                kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(rows.bytes, expected);
}

TEST(FillSurfaceRect, FailuresWriteNothing) {
    const SurfaceRect empty = {5, 5, 5, 10};
    const SurfaceRect some = {0, 0, 2, 2};
    const struct {
        const char* name;
        int bitCount;
        const SurfaceRect* rect;
        int result;
    } cases[] = {
        {"empty after clamping", 8, &empty, kDibEmptyRect},
        {"32 bits, whole", 32, nullptr, kDibBadDepth},
        {"32 bits, a rectangle", 32, &some, kDibBadDepth},
        {"32 bits, empty rectangle: the clamping reports first", 32, &empty, kDibEmptyRect},
        {"4 bits", 4, nullptr, kDibBadDepth},
        {"no depth", 0, &some, kDibBadDepth},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes(4 * 40 * 10, kSentinel);  // room for 40 x 10 at 32 bits
        EXPECT_EQ(FillSurfaceRect(bytes.data(), 40, 10, c.bitCount, c.rect, kFill), c.result);
        EXPECT_EQ(bytes, std::vector<std::uint8_t>(bytes.size(), kSentinel));
    }
}

TEST(FillSurfaceRect, SurfaceWithoutPixelsIsLeftAlone) {
    const SurfaceRect some = {0, 0, 2, 2};
    EXPECT_EQ(FillSurfaceRect(nullptr, 0, 0, 8, nullptr, kFill), kDibOk);
    EXPECT_EQ(FillSurfaceRect(nullptr, 10, 10, 8, &some, kFill), kDibOk);
    // An empty surface clamps every rectangle to nothing or to no pixels.
    const int result = FillSurfaceRect(nullptr, 0, 0, 8, &some, kFill);
    EXPECT_TRUE(result == kDibOk || result == kDibEmptyRect) << result;
}

struct DrawCase {
    const char* name;
    SurfaceRect source;
    bool isSection;
    DrawSource expected;
};

TEST(ResolveDrawSource, RulesOnAHundredByHundredSurface) {
    const DrawCase cases[] = {
        {"whole surface as it is", {0, 0, 100, 100}, true, {kDibOk, 0, 0, 100, 100}},
        {"whole packed bitmap", {0, 0, 100, 100}, false, {kDibOk, 0, 0, 100, 100}},
        {"extent 0 reaches the edge", {10, 10, 10, 10}, true, {kDibOk, 10, 10, 90, 90}},
        {"extent 0, packed: y from the bottom", {10, 10, 10, 10}, false, {kDibOk, 10, 0, 90, 90}},
        {"empty at the origin is the whole surface", {0, 0, 0, 0}, true, {kDibOk, 0, 0, 100, 100}},
        {"running past the edge", {0, 0, 200, 50}, true, {kDibOk, 0, 0, 100, 50}},
        {"running past the edge, packed", {0, 0, 200, 50}, false, {kDibOk, 0, 50, 100, 50}},
        {"inside", {10, 20, 30, 60}, true, {kDibOk, 10, 20, 20, 40}},
        {"inside, packed", {10, 20, 30, 60}, false, {kDibOk, 10, 40, 20, 40}},
        {"bottom row, packed: stored row 0", {0, 99, 100, 100}, false, {kDibOk, 0, 0, 100, 1}},
        {"top row, packed: stored row 99", {0, 0, 100, 1}, false, {kDibOk, 0, 99, 100, 1}},
        {"start right of the surface", {100, 0, 110, 10}, true, {kDibOk, 100, 0, 0, 0}},
        {"start below the surface", {0, 100, 10, 110}, true, {kDibOk, 0, 100, 0, 0}},
        {"negative width", {20, 0, 10, 10}, true, {kDibNegativeWidth, 20, 0, 0, 0}},
        {"both negative: width reported", {20, 20, 10, 10}, true, {kDibNegativeWidth, 20, 20, 0, 0}},
        {"only height negative", {0, 20, 10, 10}, true, {kDibNegativeHeight, 0, 20, 0, 0}},
        {"negative width, packed: nothing drawn", {20, 0, 10, 10}, false, {kDibOk, 20, 0, 0, 0}},
        {"negative height, packed: nothing drawn", {0, 20, 10, 10}, false, {kDibOk, 0, 20, 0, 0}},
        // A start left of or above the surface is left to the system's clipping.
        {"start above and left", {-10, -10, 5, 5}, true, {kDibOk, -10, -10, 15, 15}},
        {"hostile extremes", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true, {kDibOk, INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
        {"hostile extremes, packed", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false,
         {kDibOk, INT_MIN, 101, INT_MAX, INT_MAX}},  // 100 - INT_MIN - INT_MAX, computed wide
        {"hostile start, extent 0", {INT_MIN, 0, INT_MIN, 0}, false, {kDibOk, INT_MIN, 0, INT_MAX, 100}},
        {"hostile negative width", {INT_MAX, 0, INT_MIN, 10}, true, {kDibNegativeWidth, INT_MAX, 0, 0, 0}},
        {"hostile negative height", {0, INT_MAX, 10, INT_MIN}, true, {kDibNegativeHeight, 0, INT_MAX, 0, 0}},
        {"hostile far start", {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, true, {kDibOk, INT_MAX, INT_MAX, 0, 0}},
        {"start inside, extent to INT_MAX", {99, 99, INT_MAX, INT_MAX}, false, {kDibOk, 99, 0, 1, 1}},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        const DrawSource s = ResolveDrawSource(c.source, 100, 100, c.isSection);
        EXPECT_EQ(s.result, c.expected.result);
        if (s.result != kDibOk) continue;  // nothing is drawn: the rest is not used
        EXPECT_EQ(s.width, c.expected.width);
        EXPECT_EQ(s.height, c.expected.height);
        if (s.width == 0 || s.height == 0) continue;
        EXPECT_EQ(s.x, c.expected.x);
        EXPECT_EQ(s.y, c.expected.y);
    }
}

}  // namespace
