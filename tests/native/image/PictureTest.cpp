// PNG, JPEG and BMP pictures: recognised by their first bytes, decoded by the
// library, reduced to at most 256 colours, and refused with no out parameter
// written when they are damaged or too large.
#include "image/Picture.h"
#include "image/PictureGuard.h"

#include "GifTestSupport.h"
#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace picturetest;

namespace {

using Rgb = std::array<int, 3>;

constexpr int kUnwritten = giftest::kUnwritten;

struct Decoded {
    unsigned char* buffer = nullptr;
    int width = kUnwritten;
    int height = kUnwritten;
    std::array<std::uint8_t, 768> palette;

    Decoded() { palette.fill(giftest::kPaletteSentinel); }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    ~Decoded() { std::free(buffer); }

    Rgb At(int i) const {
        const int p = buffer[i];
        return {palette[3 * p], palette[3 * p + 1], palette[3 * p + 2]};
    }
    std::vector<Rgb> Colors() const {
        std::vector<Rgb> out;
        for (int i = 0; i < width * height; ++i) out.push_back(At(i));
        return out;
    }
};

void Decode(const Bytes& bytes, Decoded& d, int reserveWidth = 0, int reserveHeight = 0) {
    d.buffer = DecodePicture(bytes.data(), bytes.size(), &d.width, &d.height, reserveWidth, reserveHeight,
                             d.palette.data());
}

// --- Recognition by the first bytes -------------------------------------------

TEST(PictureFormatOf, FirstBytesDecide) {
    const struct {
        Bytes start;
        PictureFormat format;
    } cases[] = {
        {{'G', 'I', 'F', '8', '9', 'a'}, PictureFormat::Gif},
        {{'G', 'I', 'F'}, PictureFormat::Gif},
        {PngSignature(), PictureFormat::Png},
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A}, PictureFormat::Unknown},  // one byte short
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\r'}, PictureFormat::Unknown},
        {{0xFF, 0xD8, 0xFF, 0xE0}, PictureFormat::Jpeg},
        {{0xFF, 0xD8, 0xFE}, PictureFormat::Unknown},
        {{'B', 'M'}, PictureFormat::Bmp},
        {{'B', 'A'}, PictureFormat::Unknown},
        {{'G', 'I'}, PictureFormat::Unknown},
        {{}, PictureFormat::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PictureFormatOf(c.start.data(), c.start.size()), c.format) << ::testing::PrintToString(c.start);
    }
    EXPECT_EQ(PictureFormatOf(nullptr, 8), PictureFormat::Unknown);
}

// --- Files that decode to known colours ---------------------------------------

struct DecodeCase {
    std::string name;
    Bytes bytes;
    int width;
    int height;
    std::vector<Rgb> colors;  // top-down
};

std::ostream& operator<<(std::ostream& os, const DecodeCase& c) { return os << c.name; }

Bytes Quads(const std::vector<Rgb>& colors) {
    Bytes out;
    for (const Rgb& c : colors) out += Bytes{std::uint8_t(c[2]), std::uint8_t(c[1]), std::uint8_t(c[0]), 0};
    return out;
}

Bytes Triples(const std::vector<Rgb>& colors) {
    Bytes out;
    for (const Rgb& c : colors) out += Bytes{std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])};
    return out;
}

Bmp IndexedBmp(int bits, int height, const std::vector<Rgb>& table, const std::vector<std::vector<int>>& rows) {
    Bmp b;
    b.width = static_cast<int>(rows[0].size());
    b.height = height;
    b.bits = bits;
    b.palette = Quads(table);
    for (const auto& r : rows) b.rows.push_back(PackIndices(r, bits));
    return b;
}

std::vector<DecodeCase> MakeDecodeCases() {
    std::vector<DecodeCase> cases;
    const Rgb k0{0, 0, 0}, kW{255, 255, 255};
    auto grey = [](int v) { return Rgb{v, v, v}; };

    // PNG greyscale at every depth: samples scale to 0..255.
    cases.push_back({"PngGrey1", Png(3, 1, 1, kGrey, {1, 0, 1}), 3, 1, {kW, k0, kW}});
    cases.push_back({"PngGrey2", Png(4, 1, 2, kGrey, {0, 1, 2, 3}), 4, 1, {k0, grey(85), grey(170), kW}});
    cases.push_back({"PngGrey4", Png(3, 1, 4, kGrey, {1, 7, 15}), 3, 1, {grey(17), grey(119), kW}});
    cases.push_back({"PngGrey8", Png(2, 2, 8, kGrey, {0, 50, 100, 200}), 2, 2,
                     {k0, grey(50), grey(100), grey(200)}});
    cases.push_back({"PngGrey16KeepsTheHighByte", Png(2, 1, 16, kGrey, {0x12FF, 0xAB00}), 2, 1,
                     {grey(0x12), grey(0xAB)}});
    // Colour, palette and alpha.
    cases.push_back({"PngRgb8", Png(2, 1, 8, kRgb, {10, 20, 30, 200, 100, 50}), 2, 1, {{10, 20, 30}, {200, 100, 50}}});
    cases.push_back({"PngRgb16", Png(2, 1, 16, kRgb, {0x0A00, 0x1400, 0x1E00, 0xC8FF, 0x6401, 0x3280}), 2, 1,
                     {{10, 20, 30}, {200, 100, 50}}});
    const std::vector<Rgb> plte = {{250, 0, 0}, {0, 250, 0}, {0, 0, 250}, {90, 90, 9}};
    cases.push_back({"PngPalette1", Png(3, 1, 1, kIndexed, {1, 0, 1}, Triples(plte)), 3, 1,
                     {plte[1], plte[0], plte[1]}});
    cases.push_back({"PngPalette2", Png(4, 1, 2, kIndexed, {3, 2, 1, 0}, Triples(plte)), 4, 1,
                     {plte[3], plte[2], plte[1], plte[0]}});
    cases.push_back({"PngPalette4", Png(3, 1, 4, kIndexed, {2, 3, 0}, Triples(plte)), 3, 1,
                     {plte[2], plte[3], plte[0]}});
    cases.push_back({"PngPalette8", Png(2, 2, 8, kIndexed, {0, 1, 2, 3}, Triples(plte)), 2, 2,
                     {plte[0], plte[1], plte[2], plte[3]}});
    // Transparency: laid over black.
    cases.push_back({"PngPaletteWithTransparency", Png(3, 1, 8, kIndexed, {0, 1, 2}, Triples(plte), {0, 255, 51}), 3, 1,
                     {k0, plte[1], {0, 0, 50}}});
    cases.push_back({"PngGreyAlpha8", Png(2, 1, 8, kGreyAlpha, {200, 0, 200, 255}), 2, 1, {k0, grey(200)}});
    cases.push_back({"PngGreyAlpha16", Png(2, 1, 16, kGreyAlpha, {0xC800, 0x8000, 0xC800, 0xFFFF}), 2, 1,
                     {grey(100), grey(200)}});
    cases.push_back({"PngRgba8", Png(3, 1, 8, kRgba, {10, 20, 30, 255, 100, 200, 250, 0, 100, 200, 250, 51}), 3, 1,
                     {{10, 20, 30}, k0, {20, 40, 50}}});
    // Each channel keeps alpha / 255 of itself, rounded: 200 x 200 / 255 = 156.9.
    cases.push_back({"PngRgba8RoundsOverBlack", Png(2, 1, 8, kRgba, {200, 200, 200, 200, 1, 2, 3, 128}), 2, 1,
                     {grey(157), {1, 1, 2}}});
    cases.push_back({"PngRgba16", Png(1, 1, 16, kRgba, {0x6400, 0xC800, 0xFA00, 0x3300}), 1, 1, {{20, 40, 50}}});
    cases.push_back({"PngGreyWithTransparentLevel", Png(3, 1, 8, kGrey, {7, 8, 9}, {}, {0, 8}), 3, 1,
                     {grey(7), k0, grey(9)}});

    // BMP: palette depths, 24 and 32 bits, both row orders.
    const std::vector<Rgb> table = {{1, 2, 3}, {200, 10, 20}, {30, 220, 40}, {50, 60, 230}};
    cases.push_back({"Bmp1BitBottomUp", IndexedBmp(1, 2, table, {{1, 0, 1}, {0, 1, 1}}).Encode(), 3, 2,
                     {table[1], table[0], table[1], table[0], table[1], table[1]}});
    cases.push_back({"Bmp4BitTopDown", IndexedBmp(4, -2, table, {{3, 2, 1}, {0, 3, 3}}).Encode(), 3, 2,
                     {table[3], table[2], table[1], table[0], table[3], table[3]}});
    cases.push_back({"Bmp8BitBottomUp", IndexedBmp(8, 2, table, {{2, 3}, {1, 0}}).Encode(), 2, 2,
                     {table[2], table[3], table[1], table[0]}});
    cases.push_back({"Bmp8BitTopDown", IndexedBmp(8, -2, table, {{2, 3}, {1, 0}}).Encode(), 2, 2,
                     {table[2], table[3], table[1], table[0]}});
    {
        Bmp b;
        b.width = 3;  // rows of 9 bytes, padded to 12
        b.height = 2;
        b.bits = 24;
        b.rows = {{30, 20, 10, 60, 50, 40, 90, 80, 70}, {3, 2, 1, 6, 5, 4, 9, 8, 7}};
        cases.push_back({"Bmp24BitBottomUp", b.Encode(), 3, 2, {{10, 20, 30}, {40, 50, 60}, {70, 80, 90},
                                                                 {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}});
        b.height = -2;
        cases.push_back({"Bmp24BitTopDown", b.Encode(), 3, 2, {{10, 20, 30}, {40, 50, 60}, {70, 80, 90},
                                                                {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}});
    }
    {
        // Alpha all zero: the file has no alpha, the pixels stand as they are.
        Bmp b;
        b.width = 2;
        b.height = 1;
        b.bits = 32;
        b.rows = {{30, 20, 10, 0, 60, 50, 40, 0}};
        cases.push_back({"Bmp32Bit", b.Encode(), 2, 1, {{10, 20, 30}, {40, 50, 60}}});
    }
    // OS/2 1.x: a 12-byte header and palette entries of three bytes, every one of them used.
    const std::vector<Rgb> os2 = {{1, 2, 3},     {200, 10, 20}, {30, 220, 40}, {50, 60, 230}, {70, 80, 90},
                                  {100, 110, 120}, {130, 140, 150}, {160, 170, 180}, {190, 200, 210},
                                  {220, 230, 240}, {250, 5, 15},  {25, 35, 45},  {55, 65, 75},  {85, 95, 105},
                                  {115, 125, 135}, {145, 155, 165}};
    for (int bits : {1, 4, 8}) {
        const int colours = bits == 1 ? 2 : 16;
        std::vector<Rgb> table(os2.begin(), os2.begin() + colours);
        std::vector<int> top, bottom;
        for (int k = 0; k < colours; ++k) (k % 2 ? bottom : top).push_back(colours - 1 - k);
        Bmp b = IndexedBmp(bits, 2, table, {top, bottom});
        b.headerSize = 12;
        b.palette = Triples(table);  // stored B, G, R
        for (std::size_t i = 0; i < b.palette.size(); i += 3) std::swap(b.palette[i], b.palette[i + 2]);
        std::vector<Rgb> want;
        for (int v : top) want.push_back(table[static_cast<std::size_t>(v)]);
        for (int v : bottom) want.push_back(table[static_cast<std::size_t>(v)]);
        cases.push_back({"BmpOs2Core" + std::to_string(bits) + "Bit", b.Encode(), b.width, 2, want});
    }
    {
        Bmp b;
        b.headerSize = 12;
        b.width = 2;
        b.height = 1;
        b.rows = {{30, 20, 10, 60, 50, 40}};
        cases.push_back({"BmpOs2Core24Bit", b.Encode(), 2, 1, {{10, 20, 30}, {40, 50, 60}}});
    }
    // Indices past the end of the palette are black, as browsers show them.
    cases.push_back({"Bmp8BitIndexPastThePalette", IndexedBmp(8, 1, {table[1], table[2]}, {{0, 7, 1, 255}}).Encode(),
                     4, 1, {table[1], k0, table[2], k0}});
    cases.push_back({"Bmp1BitOneEntry", IndexedBmp(1, 1, {table[3]}, {{1, 0, 1}}).Encode(), 3, 1,
                     {k0, table[3], k0}});
    cases.push_back({"PngIndexPastThePalette", Png(4, 1, 8, kIndexed, {0, 5, 1, 255}, Triples({plte[0], plte[1]})), 4,
                     1, {plte[0], k0, plte[1], k0}});
    cases.push_back({"Png2BitIndexPastThePalette", Png(4, 1, 2, kIndexed, {3, 2, 1, 0}, Triples({plte[2]})), 4, 1,
                     {k0, k0, k0, plte[2]}});
    cases.push_back({"PngIndexPastTransparentPalette",
                     Png(3, 1, 8, kIndexed, {0, 1, 9}, Triples({plte[0], plte[1]}), {255, 0}), 3, 1,
                     {plte[0], k0, k0}});
    {
        // A colour table (and a gap) between the header and 16-, 24- or
        // 32-bit pixels, skipped by the pixel offset.
        Bmp b;
        b.width = 2;
        b.height = 1;
        b.rows = {{30, 20, 10, 60, 50, 40}};
        b.palette = Quads({{9, 9, 9}, {8, 8, 8}});
        cases.push_back({"Bmp24BitWithAColourTable", b.Encode(), 2, 1, {{10, 20, 30}, {40, 50, 60}}});
        b.gap = 6;
        cases.push_back({"Bmp24BitWithAGap", b.Encode(), 2, 1, {{10, 20, 30}, {40, 50, 60}}});
        b.bits = 32;
        b.rows = {{30, 20, 10, 0, 60, 50, 40, 0}};
        cases.push_back({"Bmp32BitWithAGap", b.Encode(), 2, 1, {{10, 20, 30}, {40, 50, 60}}});
        b.bits = 16;  // 5-5-5: 31 widens to 255
        b.rows = {{0x00, 0x7C, 0xE0, 0x03}};
        cases.push_back({"Bmp16BitWithAGap", b.Encode(), 2, 1, {{255, 0, 0}, {0, 255, 0}}});
    }
    {
        // V4 and V5 headers with an alpha mask whose alpha bytes are all 0
        // (as GDI writes them): opaque. One alpha byte not 0: alpha counts.
        Bmp b;
        b.width = 2;
        b.height = 1;
        b.bits = 32;
        b.compression = 3;
        b.masks[0] = 0x00FF0000u;
        b.masks[1] = 0x0000FF00u;
        b.masks[2] = 0x000000FFu;
        b.masks[3] = 0xFF000000u;
        b.rows = {{30, 20, 10, 0, 60, 50, 40, 0}};
        for (std::uint32_t header : {108u, 124u}) {
            b.headerSize = header;
            cases.push_back({"Bmp32BitV" + std::to_string(header == 108 ? 4 : 5) + "AlphaAllZero", b.Encode(), 2, 1,
                             {{10, 20, 30}, {40, 50, 60}}});
        }
        b.rows = {{30, 20, 10, 0, 60, 50, 40, 255}};
        cases.push_back({"Bmp32BitV5SomeAlpha", b.Encode(), 2, 1, {k0, {40, 50, 60}}});
        b.headerSize = 56;  // a BITMAPV3INFOHEADER: its masks, alpha too, inside it
        cases.push_back({"Bmp32BitHeader56Alpha", b.Encode(), 2, 1, {k0, {40, 50, 60}}});
        b.bits = 16;  // 1-5-5-5 with an alpha bit that is never set
        b.masks[0] = 0x7C00u;
        b.masks[1] = 0x03E0u;
        b.masks[2] = 0x001Fu;
        b.masks[3] = 0x8000u;
        b.headerSize = 108;
        b.rows = {{0x00, 0x7C, 0xE0, 0x03}};
        cases.push_back({"Bmp16BitV4AlphaAllZero", b.Encode(), 2, 1, {{255, 0, 0}, {0, 255, 0}}});
    }
    return cases;
}

class PictureDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PictureDecodeTest, KeepsEveryColour) {
    const DecodeCase& c = GetParam();
    Decoded d;
    Decode(c.bytes, d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_EQ(d.Colors(), c.colors);
}

INSTANTIATE_TEST_SUITE_P(Files, PictureDecodeTest, ::testing::ValuesIn(MakeDecodeCases()),
                         [](const ::testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(PictureDecode, PaletteHoldsTheDistinctColoursOnlyInOrderOfFirstUse) {
    Decoded d;
    Decode(Png(4, 1, 8, kRgb, {9, 9, 9, 1, 2, 3, 9, 9, 9, 4, 5, 6}), d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(std::vector<int>(d.buffer, d.buffer + 4), (std::vector<int>{0, 1, 0, 2}));
    EXPECT_EQ(Bytes(d.palette.begin(), d.palette.begin() + 9), (Bytes{9, 9, 9, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(d.palette[9], giftest::kPaletteSentinel);  // entries beyond them stay as they were
}

TEST(PictureDecode, BufferCoversTheReserveWithZeros) {
    Decoded d;
    Decode(Png(2, 1, 8, kGrey, {30, 40}), d, 3, 3);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(std::vector<int>(d.buffer, d.buffer + 9), (std::vector<int>{0, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PictureDecode, ReserveCountsOnlyWithBothSidesPositive) {
    const Bytes png = Png(2, 1, 8, kGrey, {30, 40});
    const struct {
        int width, height;
    } reserves[] = {{-3, 100}, {100, -3}, {0, 7}, {7, 0}, {-1, -1}, {-65535, 65535}};
    for (const auto& r : reserves) {
        Decoded d;
        Decode(png, d, r.width, r.height);
        ASSERT_NE(d.buffer, nullptr) << r.width << " x " << r.height;
        EXPECT_EQ(d.width, 2);
        EXPECT_EQ(std::vector<int>(d.buffer, d.buffer + 2), (std::vector<int>{0, 1}));
    }
}

TEST(PictureDecode, NullPaletteStillGivesIndices) {
    int w = 0, h = 0;
    const Bytes png = Png(2, 1, 8, kGrey, {30, 40});
    unsigned char* buffer = DecodePicture(png.data(), png.size(), &w, &h, 0, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[1], 1);
    std::free(buffer);
}

// --- Fixtures made by ImageMagick ---------------------------------------------

TEST(PictureFixtures, InterlacedPngsMatchTheSequentialOne) {
    Decoded plain;
    Decode(Fixture("plasma.png"), plain);
    ASSERT_NE(plain.buffer, nullptr);
    for (const char* name : {"plasma-interlaced.png", "plasma-interlaced-16.png"}) {
        Decoded d;
        Decode(Fixture(name), d);
        ASSERT_NE(d.buffer, nullptr) << name;
        EXPECT_EQ(d.width, 40);
        EXPECT_EQ(d.height, 30);
        EXPECT_EQ(d.Colors(), plain.Colors()) << name;
    }
}

// A large interlaced 16-bit RGBA PNG is a sound file: the library's working
// memory for it (its inflate buffer doubled past the header's raw length,
// the 16-bit picture and a pass beside it) stays within the decode's budget.
TEST(PictureDecode, LargeInterlaced16BitPngFitsItsBudget) {
    Decoded d;
    Decode(Fixture("gradient-interlaced-16.png"), d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.width, 1600);
    EXPECT_EQ(d.height, 1200);
}

// The four 16 x 16 blocks of blocks.png, tested away from their edges.
const Rgb kBlocks[4] = {{200, 30, 30}, {30, 180, 60}, {40, 60, 200}, {240, 230, 200}};

// ImageMagick makes grey with the Rec. 709 weights.
int Luma(const Rgb& c) { return (2126 * c[0] + 7152 * c[1] + 722 * c[2] + 5000) / 10000; }

void ExpectBlocks(const char* name, int tolerance, bool grey) {
    Decoded d;
    Decode(Fixture(name), d);
    ASSERT_NE(d.buffer, nullptr) << name;
    ASSERT_EQ(d.width, 32);
    ASSERT_EQ(d.height, 32);
    for (int b = 0; b < 4; ++b) {
        const int x0 = (b % 2) * 16, y0 = (b / 2) * 16;
        for (int y = y0 + 3; y < y0 + 13; ++y) {
            for (int x = x0 + 3; x < x0 + 13; ++x) {
                const Rgb got = d.At(y * 32 + x);
                for (int c = 0; c < 3; ++c) {
                    const int want = grey ? Luma(kBlocks[b]) : kBlocks[b][c];
                    ASSERT_NEAR(got[c], want, tolerance) << name << " block " << b << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(PictureFixtures, JpegsKeepTheirColours) {
    ExpectBlocks("blocks.png", 0, false);
    ExpectBlocks("blocks-baseline.jpg", 4, false);
    ExpectBlocks("blocks-progressive.jpg", 4, false);
    ExpectBlocks("blocks-subsampled.jpg", 6, false);
    ExpectBlocks("blocks-grey.jpg", 3, true);
    ExpectBlocks("blocks-cmyk.jpg", 6, false);  // the library turns CMYK into RGB
}

TEST(PictureFixtures, RleBmpIsRefused) {
    // The library does not offer it: the file is treated like one it cannot read.
    Decoded d;
    Decode(Fixture("blocks-rle.bmp"), d);
    EXPECT_EQ(d.buffer, nullptr);
    EXPECT_EQ(d.width, kUnwritten);
}

// --- Loading from a file --------------------------------------------------------

std::string WriteTemp(const char* stem, const Bytes& bytes) {
    const std::string path = giftest::TempPath(stem);
    giftest::WriteFile(path, bytes);
    return path;
}

TEST(LoadPictureFile, GifGoesToLoadGifUnchanged) {
    using namespace giftest;
    const Bytes gif = Header(4, 2, 4) + ImageDescriptor(1, 0, 2, 2) + LiteralImageData(2, {1, 2, 3, 1}) + Bytes{0x3B};
    const std::string path = WriteTemp("gif", gif);
    Decoded viaPicture;
    giftest::Decoded viaGif;
    viaPicture.buffer = LoadPictureFile(path.c_str(), &viaPicture.width, &viaPicture.height, 5, 5,
                                        viaPicture.palette.data());
    LoadFile(path, viaGif, 5, 5);
    std::remove(path.c_str());
    ASSERT_NE(viaPicture.buffer, nullptr);
    ASSERT_NE(viaGif.buffer, nullptr);
    EXPECT_EQ(viaPicture.width, viaGif.width);
    EXPECT_EQ(viaPicture.height, viaGif.height);
    EXPECT_EQ(Bytes(viaPicture.buffer, viaPicture.buffer + 25), Bytes(viaGif.buffer, viaGif.buffer + 25));
    EXPECT_EQ(Bytes(viaPicture.palette.begin(), viaPicture.palette.end()),
              Bytes(viaGif.palette.begin(), viaGif.palette.end()));
}

TEST(LoadPictureFile, FormatComesFromTheBytesNotTheName) {
    const std::string path = WriteTemp("png-named-gif", Png(2, 1, 8, kGrey, {30, 40}));
    Decoded d;
    d.buffer = LoadPictureFile(path.c_str(), &d.width, &d.height, 0, 0, d.palette.data());
    std::remove(path.c_str());
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.Colors(), (std::vector<Rgb>{{30, 30, 30}, {40, 40, 40}}));
}

TEST(LoadPictureFile, FilesThatAreNoPictureGiveNull) {
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"png-signature-only", PngSignature()},
        {"bm", {'B', 'M'}},
    };
    for (const auto& f : files) {
        const std::string path = WriteTemp(f.first, f.second);
        Decoded d;
        d.buffer = LoadPictureFile(path.c_str(), &d.width, &d.height, 4, 4, d.palette.data());
        std::remove(path.c_str());
        EXPECT_EQ(d.buffer, nullptr) << f.first;
        EXPECT_EQ(d.width, kUnwritten) << f.first;
    }
    Decoded missing;
    const std::string nowhere = ::testing::TempDir() + "orvane_no_such_picture.png";
    EXPECT_EQ(LoadPictureFile(nowhere.c_str(), &missing.width, &missing.height, 4, 4, missing.palette.data()),
              nullptr);
    EXPECT_EQ(LoadPictureFile(nullptr, &missing.width, &missing.height, 4, 4, missing.palette.data()), nullptr);
    EXPECT_EQ(missing.width, kUnwritten);
}

}  // namespace

#include "image/ImageMemory.h"
#include "image/PictureFile.h"

namespace {

// Files of the sizes where the block grows, read with a limit of exactly
// their length (read) and one byte less (refused); an empty file is no file.
TEST(ReadWholeFile, LimitIsInclusive) {
    for (std::size_t size : {std::size_t(1), std::size_t(65535), std::size_t(65536), std::size_t(65537),
                             std::size_t(131072)}) {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
        const std::string path = WriteTemp("limit", bytes);
        std::size_t got = 0;
        unsigned char* read = ReadWholeFile(path.c_str(), size, &got);
        EXPECT_NE(read, nullptr) << size;
        if (read != nullptr) {
            EXPECT_EQ(got, size);
            EXPECT_EQ(Bytes(read, read + got), bytes) << size;
        }
        ImageFree(read);
        got = 9;
        EXPECT_EQ(ReadWholeFile(path.c_str(), size - 1, &got), nullptr) << size;
        EXPECT_EQ(got, 9u);
        std::remove(path.c_str());
    }
    const std::string empty = WriteTemp("empty", {});
    std::size_t got = 9;
    for (std::size_t limit : {std::size_t(0), std::size_t(1), std::size_t(100)}) {
        EXPECT_EQ(ReadWholeFile(empty.c_str(), limit, &got), nullptr) << limit;
    }
    EXPECT_EQ(got, 9u);
    std::remove(empty.c_str());
}

TEST(ReadWholeFile, HoldsTheFileUpToTheLimit) {
    Bytes bytes(200000);  // past the first block, so the block has to grow
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    const std::string path = WriteTemp("whole", bytes);
    std::size_t size = 0;
    unsigned char* read = ReadWholeFile(path.c_str(), bytes.size(), &size);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(Bytes(read, read + size), bytes);
    ImageFree(read);
    size = 7;
    EXPECT_EQ(ReadWholeFile(path.c_str(), bytes.size() - 1, &size), nullptr);
    EXPECT_EQ(size, 7u);
    std::remove(path.c_str());

    unsigned char start[8] = {};
    const std::string shortFile = WriteTemp("short", {1, 2, 3});
    EXPECT_EQ(ReadFileStart(shortFile.c_str(), start, 8), 3);
    EXPECT_EQ(start[2], 3);
    std::remove(shortFile.c_str());
    EXPECT_EQ(ReadFileStart((::testing::TempDir() + "orvane_nothing_here").c_str(), start, 8), -1);
}

}  // namespace
