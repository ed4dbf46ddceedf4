// The decoder on small crafted files: layout in the buffer, interlacing,
// colour tables, the code table's growth and clearing, and the block scan.
#include "GifTestSupport.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <string>
#include <vector>

using namespace giftest;

namespace {

std::vector<std::uint8_t> BufferBytes(const Decoded& d, std::size_t size) {
    return std::vector<std::uint8_t>(d.buffer, d.buffer + size);
}

// --- Signature -------------------------------------------------------------

struct SignatureCase {
    const char* first6;
    bool decodes;
};

class GifSignatureTest : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(GifSignatureTest, OnlyTheLettersGifCount) {
    const SignatureCase& c = GetParam();
    Bytes bytes(c.first6, c.first6 + 6);
    const Bytes rest = Header(2, 1, 4);
    bytes.insert(bytes.end(), rest.begin() + 6, rest.end());
    bytes += ImageDescriptor(0, 0, 2, 1) + LiteralImageData(2, {1, 3}) + Bytes{0x3B};

    Decoded d;
    LoadBytes(bytes, d);
    if (c.decodes) {
        ASSERT_NE(d.buffer, nullptr);
        EXPECT_EQ(d.width, 2);
        EXPECT_EQ(d.height, 1);
        EXPECT_EQ(d.buffer[0], 1);
        EXPECT_EQ(d.buffer[1], 3);
    } else {
        EXPECT_EQ(d.buffer, nullptr);
        EXPECT_EQ(d.width, kUnwritten);
        EXPECT_EQ(d.height, kUnwritten);
        EXPECT_EQ(d.palette[0], kPaletteSentinel);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, GifSignatureTest,
                         ::testing::Values(SignatureCase{"GIF89a", true}, SignatureCase{"GIF87a", true},
                                           SignatureCase{"GIFzz\x01", true}, SignatureCase{"GIG89a", false},
                                           SignatureCase{"gif89a", false}, SignatureCase{"\x89PNG\r\n", false},
                                           SignatureCase{"BM6\0\0\0", false}));

TEST(GifOpen, MissingOrEmptyFileGivesNullAndLeavesOutParameters) {
    Decoded missing;
    LoadFile(::testing::TempDir() + "orvane_gif_no_such_file.gif", missing);
    EXPECT_EQ(missing.buffer, nullptr);
    EXPECT_EQ(missing.width, kUnwritten);

    Decoded empty;
    LoadBytes({}, empty);
    EXPECT_EQ(empty.buffer, nullptr);
    EXPECT_EQ(empty.width, kUnwritten);
    EXPECT_EQ(empty.height, kUnwritten);
}

// --- Buffer size and placement ----------------------------------------------

struct SizeCase {
    int screenWidth, screenHeight, reserveWidth, reserveHeight;
    std::size_t bytes;
};

class GifBufferSizeTest : public ::testing::TestWithParam<SizeCase> {};

// A 4 x 2 image at the origin lands at bytes y * screen width + x; every other
// byte of the buffer, reserve included, stays untouched (0).
TEST_P(GifBufferSizeTest, LargerOfReserveAndScreenWithImageInPlace) {
    const SizeCase& c = GetParam();
    const Bytes bytes = Header(c.screenWidth, c.screenHeight, 16) + ImageDescriptor(0, 0, 4, 2) +
                        LiteralImageData(4, Range(1, 8)) + Bytes{0x3B};
    Decoded d;
    LoadBytes(bytes, d, c.reserveWidth, c.reserveHeight);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.width, c.screenWidth);
    EXPECT_EQ(d.height, c.screenHeight);
    EXPECT_GE(malloc_usable_size(d.buffer), c.bytes);

    std::vector<std::uint8_t> expected(c.bytes, 0);
    for (int i = 0; i < 8; ++i) {
        expected[static_cast<std::size_t>((i / 4) * c.screenWidth + i % 4)] = static_cast<std::uint8_t>(i + 1);
    }
    EXPECT_EQ(BufferBytes(d, c.bytes), expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GifBufferSizeTest,
                         ::testing::Values(SizeCase{8, 8, 16, 16, 256}, SizeCase{8, 8, 2, 2, 64},
                                           SizeCase{8, 8, 0, 0, 64}, SizeCase{8, 8, -16, -16, 64},
                                           SizeCase{4, 2, 100, 1, 100}, SizeCase{5, 3, 3, 5, 15}));

// --- Interlacing ------------------------------------------------------------

struct InterlaceCase {
    int height;
    std::vector<int> rowOrder;
};

class GifInterlaceTest : public ::testing::TestWithParam<InterlaceCase> {};

// Row k of the stream carries the value k + 1; the image sits at (1, 2) so
// that passes are counted from the image's own top.
TEST_P(GifInterlaceTest, RowsArriveInPassOrder) {
    const InterlaceCase& c = GetParam();
    const int screenWidth = 4;
    const int screenHeight = c.height + 3;
    std::vector<int> pixels;
    for (int k = 0; k < c.height; ++k) {
        pixels.push_back(k + 1);
        pixels.push_back(k + 1);
    }
    const Bytes bytes = Header(screenWidth, screenHeight, 16) + ImageDescriptor(1, 2, 2, c.height, true) +
                        LiteralImageData(4, pixels) + Bytes{0x3B};
    Decoded d;
    LoadBytes(bytes, d);
    ASSERT_NE(d.buffer, nullptr);

    std::vector<std::uint8_t> expected(static_cast<std::size_t>(screenWidth * screenHeight), 0);
    for (int k = 0; k < c.height; ++k) {
        const int row = 2 + c.rowOrder[static_cast<std::size_t>(k)];
        expected[static_cast<std::size_t>(row * screenWidth + 1)] = static_cast<std::uint8_t>(k + 1);
        expected[static_cast<std::size_t>(row * screenWidth + 2)] = static_cast<std::uint8_t>(k + 1);
    }
    EXPECT_EQ(BufferBytes(d, expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Heights, GifInterlaceTest,
                         ::testing::Values(InterlaceCase{10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
                                           InterlaceCase{3, {0, 2, 1}}, InterlaceCase{1, {0}},
                                           InterlaceCase{2, {0, 1}}, InterlaceCase{5, {0, 4, 2, 1, 3}},
                                           InterlaceCase{8, {0, 4, 2, 6, 1, 3, 5, 7}}));

// --- Colour tables ----------------------------------------------------------

struct PaletteCase {
    const char* name;
    Bytes bytes;
    Bytes expectedStart;  // palette bytes from 0 on; the rest keep the sentinel
};

std::ostream& operator<<(std::ostream& os, const PaletteCase& c) { return os << c.name; }

class GifPaletteTest : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(GifPaletteTest, LastTableReadWinsFromEntryZero) {
    const PaletteCase& c = GetParam();
    Decoded d;
    LoadBytes(c.bytes, d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.buffer[0], 1);
    for (std::size_t i = 0; i < d.palette.size(); ++i) {
        const std::uint8_t want = i < c.expectedStart.size() ? c.expectedStart[i] : kPaletteSentinel;
        ASSERT_EQ(d.palette[i], want) << "palette byte " << i;
    }
}

Bytes OnePixel(int left, int localEntries = 0, int localSeed = 100) {
    return ImageDescriptor(left, 0, 1, 1, false, localEntries, localSeed) + LiteralImageData(2, {1});
}

const Bytes kTrailer = {0x3B};

Bytes Tail(const Bytes& bytes, std::size_t from) { return Bytes(bytes.begin() + static_cast<long>(from), bytes.end()); }

INSTANTIATE_TEST_SUITE_P(
    Tables, GifPaletteTest,
    ::testing::Values(
        PaletteCase{"Global4", Header(2, 1, 4) + OnePixel(0) + kTrailer, ColorTable(4, 10)},
        PaletteCase{"Global256", Header(2, 1, 256) + OnePixel(0) + kTrailer, ColorTable(256, 10)},
        PaletteCase{"Local2OverGlobal4", Header(2, 1, 4) + OnePixel(0, 2) + kTrailer,
                    ColorTable(2, 100) + Tail(ColorTable(4, 10), 6)},
        PaletteCase{"LocalWithoutGlobal", Header(2, 1) + OnePixel(0, 8, 50) + kTrailer, ColorTable(8, 50)},
        PaletteCase{"SecondImageTableWins", Header(2, 1, 2) + OnePixel(0, 8, 50) + OnePixel(1, 4, 90) + kTrailer,
                    ColorTable(4, 90) + Tail(ColorTable(8, 50), 12)},
        PaletteCase{"LaterImageWithoutTableKeepsEarlier", Header(2, 1, 2) + OnePixel(0, 4, 90) + OnePixel(1) + kTrailer,
                    ColorTable(4, 90)}),
    [](const ::testing::TestParamInfo<PaletteCase>& info) { return std::string(info.param.name); });

TEST(GifPalette, NullPaletteSkipsTablesAndStillDecodes) {
    const Bytes bytes = Header(3, 1, 256) + ImageDescriptor(0, 0, 3, 1, false, 128) +
                        LiteralImageData(7, {5, 6, 7}) + kTrailer;
    Decoded d;
    LoadBytes(bytes, d, 0, 0, false);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(BufferBytes(d, 3), (std::vector<std::uint8_t>{5, 6, 7}));
}

// --- Extensions and the block scan ------------------------------------------

struct ExtensionCase {
    const char* name;
    Bytes block;
};

std::ostream& operator<<(std::ostream& os, const ExtensionCase& c) { return os << c.name; }

class GifExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

// Whatever comes between the header and the image, the pixels are those of
// the plain file.
TEST_P(GifExtensionTest, ChangesNothingInTheOutput) {
    const Bytes image = ImageDescriptor(0, 0, 3, 2) + LiteralImageData(2, {1, 2, 3, 0, 1, 2});
    Decoded plain;
    LoadBytes(Header(3, 2, 4) + image + kTrailer, plain);
    Decoded with;
    LoadBytes(Header(3, 2, 4) + GetParam().block + image + kTrailer, with);
    ASSERT_NE(plain.buffer, nullptr);
    ASSERT_NE(with.buffer, nullptr);
    EXPECT_EQ(BufferBytes(with, 6), BufferBytes(plain, 6));
    EXPECT_EQ(BufferBytes(with, 6), (std::vector<std::uint8_t>{1, 2, 3, 0, 1, 2}));
    EXPECT_EQ(with.palette, plain.palette);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, GifExtensionTest,
    ::testing::Values(
        ExtensionCase{"TransparentGraphicControl", GraphicControl(1)},
        // Its size byte is ignored: five bytes follow the label, then sub-blocks.
        ExtensionCase{"GraphicControlWithOddSize", {0x21, 0xF9, 9, 0x01, 0, 0, 2, 3, 0x2C, 0x3B, 0x21, 0}},
        ExtensionCase{"CommentHoldingBlockBytes", Bytes{0x21, 0xFE} + SubBlocks({0x2C, 0x3B, 0x21, 0x2C, 0, 0}, 4)},
        ExtensionCase{"Application", Bytes{0x21, 0xFF} + SubBlocks(Bytes(11, 'N'), 255, false) + SubBlocks({1, 0, 0})},
        ExtensionCase{"UnknownLabel", Bytes{0x21, 0x42} + SubBlocks(Bytes(300, 0x2C))},
        ExtensionCase{"StrayBytes", {0x00, 0x42, 0xFF, 0x17}},
        ExtensionCase{"StrayBytesAndPlainText",
                      Bytes{0x07, 0x21, 0x01} + SubBlocks(Bytes(13, 0x3B)) + Bytes{0x00}}),
    [](const ::testing::TestParamInfo<ExtensionCase>& info) { return std::string(info.param.name); });

TEST(GifBlockScan, StrayBytesBetweenImagesAndNoTrailer) {
    const Bytes bytes = Header(4, 4, 4) + Bytes{0x00, 0x13} + ImageDescriptor(0, 0, 4, 4) +
                        LiteralImageData(2, std::vector<int>(16, 1)) + Bytes{0x00, 0xFF, 0x3A} +
                        ImageDescriptor(1, 1, 2, 2) + LiteralImageData(2, {2, 3, 3, 2});
    Decoded d;
    LoadBytes(bytes, d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(BufferBytes(d, 16), (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 2, 3, 1, 1, 3, 2, 1, 1, 1, 1, 1}));
}

TEST(GifBlockScan, TrailerEndsTheFileEvenWithImagesBehindIt) {
    const Bytes bytes = Header(2, 1, 4) + OnePixel(0) + kTrailer + ImageDescriptor(0, 0, 2, 1) +
                        LiteralImageData(2, {3, 3}) + kTrailer;
    Decoded d;
    LoadBytes(bytes, d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(BufferBytes(d, 2), (std::vector<std::uint8_t>{1, 0}));
}

// Each image's code stream ends exactly at the end of its last sub-block and
// on a byte boundary, so the read-ahead meets the terminator: the second
// image must still be found.
class GifSubBlockBoundaryTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(GifSubBlockBoundaryTest, SecondImageStillDecodes) {
    // 8-bit codes: clear, ten roots, end: twelve bytes.
    CodeStream first(7);
    first.Clear();
    first.Literals(Range(10, 10));
    first.End();
    ASSERT_EQ(first.Packed().size(), 12u);
    const Bytes bytes = Header(10, 2) + ImageDescriptor(0, 0, 10, 1) + first.ImageData(GetParam()) +
                        ImageDescriptor(0, 1, 10, 1) + first.ImageData(GetParam()) + kTrailer;
    Decoded d;
    LoadBytes(bytes, d);
    ASSERT_NE(d.buffer, nullptr);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(d.buffer[i], 10 + i % 10) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, GifSubBlockBoundaryTest, ::testing::Values(12, 6, 4, 3, 2, 1));

// --- The code table ---------------------------------------------------------

std::vector<std::uint8_t> DecodeStream(const CodeStream& s, int imageWidth, int imageHeight) {
    const Bytes bytes =
        Header(imageWidth, imageHeight) + ImageDescriptor(0, 0, imageWidth, imageHeight) + s.ImageData() + kTrailer;
    Decoded d;
    LoadBytes(bytes, d);
    if (d.buffer == nullptr) {
        return {};
    }
    return BufferBytes(d, static_cast<std::size_t>(imageWidth) * static_cast<std::size_t>(imageHeight));
}

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> v, std::size_t size) {
    v.resize(size, 0);
    return v;
}

TEST(GifCodeTable, CodeEqualToNextFreeIsPreviousStringPlusItsFirstPixel) {
    CodeStream s(2);
    s.Clear();
    s.Code(1);
    s.Code(s.nextFree());  // 1 1
    s.Code(s.nextFree());  // 1 1 1
    s.Code(2);
    s.Code(s.nextFree());  // 2 2
    s.Code(6);             // 1 1
    s.End();
    const std::vector<std::uint8_t> expected = {1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1};
    ASSERT_EQ(s.pixels(), expected);
    EXPECT_EQ(DecodeStream(s, 11, 1), expected);
}

// Roots only, far beyond 4096 codes and with no clear: once full, codes stay
// 12 bits wide and defined entries keep their strings; after a clear codes
// are one bit wider than the minimum code size again.
TEST(GifCodeTable, FullTableKeepsTwelveBitCodesUntilClear) {
    CodeStream s(2);
    s.Clear();
    for (int i = 0; !s.full(); ++i) {
        s.Code((i * 7 + i / 5) & 3);
    }
    for (int i = 0; i < 600; ++i) {
        s.Code(i & 3);
    }
    s.Code(4095);
    s.Code(6);
    s.Code(3000);
    ASSERT_EQ(s.width(), 12);
    s.Clear();
    ASSERT_EQ(s.width(), 3);
    s.Literals({3, 2, 1, 0, 3});
    s.Code(s.nextFree());
    s.End();
    const int width = 100;
    const int height = static_cast<int>(s.pixels().size() / width) + 1;
    EXPECT_EQ(DecodeStream(s, width, height), Padded(s.pixels(), static_cast<std::size_t>(width * height)));
}

TEST(GifCodeTable, ClearMidStreamResetsWidthAndEntries) {
    CodeStream s(2);
    s.Clear();
    s.Literals({0, 1, 2, 3, 0, 1, 2, 3});
    s.Code(7);
    ASSERT_EQ(s.width(), 4);
    s.Clear();
    s.Literals({3, 2});
    s.Code(6);  // the first entry made after the clear: 3 2
    s.Clear();
    s.Clear();  // a clear right after a clear is harmless
    s.Literals({1});
    s.End();
    EXPECT_EQ(DecodeStream(s, 16, 1), Padded(s.pixels(), 16));
}

TEST(GifCodeTable, MinimumCodeSizeOneDecodesTwoColours) {
    CodeStream s(1);
    s.Clear();
    for (int i = 0; i < 40; ++i) {
        s.Code((i / 3) & 1);
    }
    s.Code(s.nextFree());
    s.Code(5);
    s.End();
    EXPECT_EQ(DecodeStream(s, 64, 1), Padded(s.pixels(), 64));
}

// The longest string the table can hold: every entry one pixel longer than
// the one before, then expanded through the whole prefix chain.
TEST(GifCodeTable, LongestPrefixChainExpands) {
    CodeStream s(2);
    s.Clear();
    s.Code(3);
    while (!s.full()) {
        s.Code(s.nextFree());
    }
    s.Code(4095);
    s.Code(2);
    s.Code(4095);
    s.End();
    const int width = 4096;
    const int height = static_cast<int>(s.pixels().size() / width) + 1;
    const std::vector<std::uint8_t> decoded = DecodeStream(s, width, height);
    ASSERT_EQ(decoded.size(), static_cast<std::size_t>(width * height));
    EXPECT_TRUE(decoded == Padded(s.pixels(), decoded.size()));
}

}  // namespace
