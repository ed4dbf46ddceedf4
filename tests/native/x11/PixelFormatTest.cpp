#include "x11/PixelFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct VisualCase {
    const char* name;
    bool trueColor, pseudoColor;
    int depth, colormapSize, bitsPerPixel;
    std::uint32_t red, green, blue;
    VisualKind kind;
};

TEST(ClassifyVisual, TableOfVisuals) {
    const VisualCase cases[] = {
        {"TrueColor 24 in 32", true, false, 24, 256, 32, 0xFF0000, 0x00FF00, 0x0000FF, VisualKind::Masked},
        {"TrueColor 32 (BGR)", true, false, 32, 256, 32, 0x0000FF, 0x00FF00, 0xFF0000, VisualKind::Masked},
        {"TrueColor 24 packed", true, false, 24, 256, 24, 0xFF0000, 0x00FF00, 0x0000FF, VisualKind::Masked},
        {"TrueColor 16 (565)", true, false, 16, 64, 16, 0xF800, 0x07E0, 0x001F, VisualKind::Masked},
        {"TrueColor 15 (555)", true, false, 15, 32, 16, 0x7C00, 0x03E0, 0x001F, VisualKind::Masked},
        {"PseudoColor 8", false, true, 8, 256, 8, 0, 0, 0, VisualKind::Indexed},
        {"PseudoColor 4", false, true, 4, 16, 8, 0, 0, 0, VisualKind::Unsupported},
        {"PseudoColor 8, 128 cells", false, true, 8, 128, 8, 0, 0, 0, VisualKind::Unsupported},
        {"StaticGray 8 (neither)", false, false, 8, 256, 8, 0, 0, 0, VisualKind::Unsupported},
        {"TrueColor 8 (332)", true, false, 8, 8, 8, 0xE0, 0x1C, 0x03, VisualKind::Unsupported},
        {"TrueColor 30 (10-bit channels)", true, false, 30, 1024, 32, 0x3FF00000, 0xFFC00, 0x3FF, VisualKind::Unsupported},
        {"TrueColor, split mask", true, false, 24, 256, 32, 0xF0F000, 0x000F00, 0x0000FF, VisualKind::Unsupported},
        {"TrueColor, masks overlap", true, false, 24, 256, 32, 0xFF0000, 0xFF0000, 0x0000FF, VisualKind::Unsupported},
        {"TrueColor, empty mask", true, false, 24, 256, 32, 0xFF0000, 0, 0x0000FF, VisualKind::Unsupported},
        {"TrueColor, mask past the pixel", true, false, 16, 64, 16, 0xF80000, 0x07E0, 0x001F, VisualKind::Unsupported},
        {"odd pixel size", true, false, 24, 256, 12, 0xFF0000, 0x00FF00, 0x0000FF, VisualKind::Unsupported},
        {"depth over pixel size", false, true, 16, 256, 8, 0, 0, 0, VisualKind::Unsupported},
    };
    for (const VisualCase& c : cases) {
        EXPECT_EQ(ClassifyVisual(c.trueColor, c.pseudoColor, c.depth, c.colormapSize, c.bitsPerPixel, c.red, c.green,
                                 c.blue),
                  c.kind)
            << c.name;
    }
}

TEST(BuildPixelTable, TableOfVisuals) {
    // Palette: entry v is (v, 255 - v, 128), except a few picked colours.
    unsigned char palette[256 * 3];
    for (int v = 0; v < 256; ++v) {
        palette[3 * v] = static_cast<unsigned char>(v);
        palette[3 * v + 1] = static_cast<unsigned char>(255 - v);
        palette[3 * v + 2] = 128;
    }
    const unsigned char white[3] = {255, 255, 255};
    std::memcpy(palette + 3 * 255, white, 3);
    const struct {
        const char* name;
        PixelFormat format;
        std::uint32_t entry0, entry1, entry200, entry255;
    } cases[] = {
        {"TrueColor 24 RGB", {VisualKind::Masked, 24, 32, 0xFF0000, 0xFF00, 0xFF, 256, false},
         0x00FF80, 0x01FE80, 0xC83780, 0xFFFFFF},
        {"TrueColor 24 BGR", {VisualKind::Masked, 24, 32, 0xFF, 0xFF00, 0xFF0000, 256, false},
         0x80FF00, 0x80FE01, 0x8037C8, 0xFFFFFF},
        {"TrueColor 24 RGB, other byte order", {VisualKind::Masked, 24, 32, 0xFF0000, 0xFF00, 0xFF, 256, true},
         0x80FF0000, 0x80FE0100, 0x8037C800, 0xFFFFFF00},
        // 5-6-5, each byte scaled to nearest: 128 -> 16 of 31, 255 - 200 = 55 -> 14 of 63, 200 -> 24 of 31.
        {"TrueColor 16 (565)", {VisualKind::Masked, 16, 16, 0xF800, 0x07E0, 0x001F, 64, false},
         (0u << 11) | (63u << 5) | 16u, (0u << 11) | (63u << 5) | 16u, (24u << 11) | (14u << 5) | 16u, 0xFFFF},
        {"TrueColor 16, other byte order", {VisualKind::Masked, 16, 16, 0xF800, 0x07E0, 0x001F, 64, true},
         0xF007, 0xF007, 0xD0C1, 0xFFFF},
        {"TrueColor 15 (555)", {VisualKind::Masked, 15, 16, 0x7C00, 0x03E0, 0x001F, 32, false},
         (31u << 5) | 16u, (31u << 5) | 16u, (24u << 10) | (7u << 5) | 16u, 0x7FFF},
        {"TrueColor 24 packed", {VisualKind::Masked, 24, 24, 0xFF0000, 0xFF00, 0xFF, 256, false},
         0x00FF80, 0x01FE80, 0xC83780, 0xFFFFFF},
        {"PseudoColor 8", {VisualKind::Indexed, 8, 8, 0, 0, 0, 256, false}, 0, 1, 200, 255},
        {"Unsupported", {VisualKind::Unsupported, 4, 8, 0, 0, 0, 16, false}, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelTable table = BuildPixelTable(palette, c.format);
        EXPECT_EQ(table[0], c.entry0);
        EXPECT_EQ(table[1], c.entry1);
        EXPECT_EQ(table[200], c.entry200);
        EXPECT_EQ(table[255], c.entry255);
    }
}

TEST(BuildPixelTable, NullPaletteGivesZeros) {
    const PixelTable table = BuildPixelTable(nullptr, {VisualKind::Masked, 24, 32, 0xFF0000, 0xFF00, 0xFF, 256, false});
    for (std::uint32_t p : table) EXPECT_EQ(p, 0u);
}

// A 6 x 4 map of distinct bytes, converted into an image with guard bytes.
class ConvertFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 6, kHeight = 4;
    unsigned char map[8 * kHeight] = {};  // stride 8
    PixelTable table{};
    void SetUp() override {
        for (int r = 0; r < kHeight; ++r)
            for (int c = 0; c < kWidth; ++c) map[r * 8 + c] = static_cast<unsigned char>(10 * r + c);
        for (int v = 0; v < 256; ++v) table[v] = 0xA0000000u | (static_cast<std::uint32_t>(v) << 8) | 0x5Au;
    }
};

TEST_F(ConvertFixture, RectGoesUpsideDownThroughTheTableAtEachPixelSize) {
    const PixelRect rect{1, 0, 4, 2};  // map rows 0 and 1 -> image rows 3 and 2
    for (int bpp : {8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        const int bytes = bpp / 8;
        const std::size_t stride = kWidth * bytes + 4;
        std::vector<unsigned char> image(stride * kHeight + 16, 0xEE);
        ConvertRectToImage(map, 8, kWidth, kHeight, rect, table, {image.data(), stride, bpp, 0, 0, kWidth, kHeight});
        for (int y = 0; y < kHeight; ++y) {
            for (std::size_t i = 0; i < stride; ++i) {
                const int x = static_cast<int>(i) / bytes;
                const int mapRow = kHeight - 1 - y;
                const bool inside = x >= rect.x0 && x < rect.x1 && mapRow >= rect.y0 && mapRow < rect.y1 &&
                                    static_cast<int>(i) < kWidth * bytes;
                const unsigned char got = image[y * stride + i];
                if (!inside) {
                    ASSERT_EQ(got, 0xEE) << "y " << y << " byte " << i;
                    continue;
                }
                std::uint32_t expected = table[map[mapRow * 8 + x]];
                const unsigned char want = static_cast<unsigned char>(expected >> (8 * (i % bytes)));
                ASSERT_EQ(got, want) << "y " << y << " byte " << i;  // little-endian host
            }
        }
        for (std::size_t i = stride * kHeight; i < image.size(); ++i) ASSERT_EQ(image[i], 0xEE);
    }
}

TEST_F(ConvertFixture, RectIsClippedAndBadArgumentsWriteNothing) {
    std::vector<std::uint32_t> image(kWidth * kHeight, 0xEEEEEEEEu);
    auto* bytes = reinterpret_cast<unsigned char*>(image.data());
    const std::size_t stride = kWidth * 4;
    const ImageBuffer whole{bytes, stride, 32, 0, 0, kWidth, kHeight};
    ConvertRectToImage(map, 8, kWidth, kHeight, {-100, -100, 100, 100}, table, whole);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(image[y * kWidth + x], table[map[(kHeight - 1 - y) * 8 + x]]);

    std::fill(image.begin(), image.end(), 0xEEEEEEEEu);
    const PixelRect all{0, 0, kWidth, kHeight};
    ConvertRectToImage(nullptr, 8, kWidth, kHeight, all, table, whole);
    ConvertRectToImage(map, 8, kWidth, kHeight, all, table, {nullptr, stride, 32, 0, 0, kWidth, kHeight});
    ConvertRectToImage(map, 5, kWidth, kHeight, all, table, whole);  // source stride < width
    ConvertRectToImage(map, 8, kWidth, kHeight, all, table, {bytes, stride - 1, 32, 0, 0, kWidth, kHeight});
    ConvertRectToImage(map, 8, kWidth, kHeight, all, table, {bytes, stride, 12, 0, 0, kWidth, kHeight});
    ConvertRectToImage(map, 8, 0, kHeight, all, table, whole);
    ConvertRectToImage(map, 8, kWidth, -1, all, table, whole);
    ConvertRectToImage(map, 8, kWidth, kHeight, {4, 2, 4, 3}, table, whole);  // empty
    ConvertRectToImage(map, 8, kWidth, kHeight, all, table, {bytes, stride, 32, kWidth, 0, kWidth, kHeight});  // beside it
    for (std::uint32_t p : image) ASSERT_EQ(p, 0xEEEEEEEEu);
}

TEST_F(ConvertFixture, ImageHoldingPartOfTheWindowGetsOnlyItsPart) {
    // A 3 x 2 image whose top-left is window pixel (2, 1): map rows 2 and 1.
    std::uint32_t image[3 * 2 + 2];
    std::fill(std::begin(image), std::end(image), 0xEEEEEEEEu);
    const ImageBuffer part{reinterpret_cast<unsigned char*>(image), 3 * 4, 32, 2, 1, 3, 2};
    ConvertRectToImage(map, 8, kWidth, kHeight, {0, 0, kWidth, kHeight}, table, part);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(image[y * 3 + x], table[map[(kHeight - 2 - y) * 8 + 2 + x]]) << x << "," << y;
    EXPECT_EQ(image[6], 0xEEEEEEEEu);
    EXPECT_EQ(image[7], 0xEEEEEEEEu);
}

TEST(ImageRectOf, FlipsRows) {
    const PixelRect r = ImageRectOf({10, 0, 20, 5}, 100);
    EXPECT_EQ(r.x0, 10);
    EXPECT_EQ(r.x1, 20);
    EXPECT_EQ(r.y0, 95);
    EXPECT_EQ(r.y1, 100);
}

}  // namespace
