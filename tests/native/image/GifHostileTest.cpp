// One crafted file per known kind of GIF-decoder fault. Each either gives
// null or a buffer whose every byte is known: what the decoder keeps, clips
// or cuts short is pinned down here.
#include "GifTestSupport.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <optional>
#include <string>
#include <vector>

using namespace giftest;

namespace {

// The buffer the decoder should return: screen-sized (or reserve-sized),
// zero where no image writes.
struct Canvas {
    int width;
    std::vector<std::uint8_t> bytes;

    Canvas(int w, int h, std::size_t size = 0)
        : width(w), bytes(size ? size : static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}

    Canvas& Set(int x, int y, int value) {
        bytes.at(static_cast<std::size_t>(y * width + x)) = static_cast<std::uint8_t>(value);
        return *this;
    }

    Canvas& Row(int x, int y, const std::vector<int>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            Set(x + static_cast<int>(i), y, values[i]);
        }
        return *this;
    }
};

struct HostileCase {
    std::string name;
    Bytes bytes;
    bool decodes;
    int width = kUnwritten;  // out parameters as expected afterwards
    int height = kUnwritten;
    std::vector<std::uint8_t> buffer;  // when decodes: the whole buffer
    int reserveWidth = 0;
    int reserveHeight = 0;
    // When set: the expected palette start; the rest keeps the sentinel.
    std::optional<Bytes> palette;
};

std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }

const Bytes kTrailer = {0x3B};

HostileCase Decodes(std::string name, Bytes bytes, int width, int height, const Canvas& canvas,
                    std::optional<Bytes> palette = std::nullopt) {
    HostileCase c;
    c.name = std::move(name);
    c.bytes = std::move(bytes);
    c.decodes = true;
    c.width = width;
    c.height = height;
    c.buffer = canvas.bytes;
    c.palette = std::move(palette);
    return c;
}

HostileCase Refused(std::string name, Bytes bytes, int width = kUnwritten, int height = kUnwritten) {
    HostileCase c;
    c.name = std::move(name);
    c.bytes = std::move(bytes);
    c.decodes = false;
    c.width = width;
    c.height = height;
    return c;
}

Bytes Cut(const Bytes& bytes, std::size_t size) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size)); }

// A 1 x 1 image of colour 3 at (x, y): the sign that decoding went on after
// the damaged part.
Bytes Marker(int x, int y) { return ImageDescriptor(x, y, 1, 1) + LiteralImageData(2, {3}); }

std::vector<HostileCase> MakeCases() {
    std::vector<HostileCase> cases;

    // --- Codes that do not fit the table ---------------------------------
    {
        CodeStream s(2);
        s.Clear();
        s.Literals({1, 2, 3});
        s.Raw(s.nextFree() + 2);  // above the next free code
        s.Raw(1);
        s.Raw(1);
        s.End();
        cases.push_back(Decodes("CodeAboveNextFreeCutsImageShort",
                                Header(4, 2, 4) + ImageDescriptor(0, 0, 4, 2) + s.ImageData() + Marker(3, 1) + kTrailer,
                                4, 2, Canvas(4, 2).Row(0, 0, {1, 2, 3}).Set(3, 1, 3), ColorTable(4, 10)));
    }
    {
        CodeStream s(2);
        s.Clear();
        s.Raw(6);  // a non-root right after a clear: nothing defines it yet
        s.Raw(1);
        s.End();
        cases.push_back(Decodes("FirstCodeNotARootCutsImageShort",
                                Header(2, 1) + ImageDescriptor(0, 0, 2, 1) + s.ImageData() + Marker(1, 0) + kTrailer,
                                2, 1, Canvas(2, 1).Set(1, 0, 3)));
    }
    {
        // Roots only, far past 4096 codes and never a clear.
        CodeStream s(2);
        s.Clear();
        for (int i = 0; i < 6000; ++i) {
            s.Code((i * 5 + i / 7) & 3);
        }
        s.End();
        Canvas canvas(100, 60);
        for (int i = 0; i < 6000; ++i) {
            canvas.bytes[static_cast<std::size_t>(i)] = s.pixels()[static_cast<std::size_t>(i)];
        }
        cases.push_back(Decodes("FullTableWithoutClear",
                                Header(100, 60) + ImageDescriptor(0, 0, 100, 60) + s.ImageData() + kTrailer, 100, 60,
                                canvas));
    }

    // --- Minimum code sizes that cannot work: the image is skipped --------
    for (int size : {0, 12, 13, 255}) {
        const Bytes data = Bytes{static_cast<std::uint8_t>(size)} + SubBlocks({0x2C, 0x21, 0x3B, 0xFF, 0x00, 0x2C});
        cases.push_back(Decodes("MinimumCodeSize" + std::to_string(size) + "Skipped",
                                Header(2, 1) + ImageDescriptor(0, 0, 2, 1) + data + Marker(1, 0) + kTrailer, 2, 1,
                                Canvas(2, 1).Set(1, 0, 3)));
    }
    {
        // Roots above 255 keep their low 8 bits.
        CodeStream s(11);
        s.Clear();
        s.Literals({2047, 300, 5});
        s.End();
        cases.push_back(Decodes("MinimumCodeSize11RootsTakenModulo256",
                                Header(3, 1) + ImageDescriptor(0, 0, 3, 1) + s.ImageData() + kTrailer, 3, 1,
                                Canvas(3, 1).Row(0, 0, {255, 44, 5})));
    }

    // --- Pixel data beyond the image ----------------------------------------
    cases.push_back(Decodes("MorePixelDataThanTheImageHolds",
                            Header(4, 4, 4) + ImageDescriptor(1, 1, 2, 2) +
                                LiteralImageData(2, {1, 2, 3, 1, 2, 3, 1, 2, 1, 1}) + Marker(0, 3) + kTrailer,
                            4, 4, Canvas(4, 4).Row(1, 1, {1, 2}).Row(1, 2, {3, 1}).Set(0, 3, 3)));
    cases.push_back(Decodes("InterlacedImageWithTooMuchData",
                            Header(2, 3, 4) + ImageDescriptor(0, 0, 2, 3, true) +
                                LiteralImageData(2, {1, 1, 2, 2, 3, 3, 1, 2, 1, 2}) + kTrailer,
                            2, 3, Canvas(2, 3).Row(0, 0, {1, 1}).Row(0, 2, {2, 2}).Row(0, 1, {3, 3})));
    {
        // Fills up in the middle of a sub-block; the rest of the block holds
        // codes that read as separator, extension and trailer bytes.
        CodeStream s(7);
        s.Clear();
        s.Literals({1, 2, 3, 4, 0x2C, 0x21, 0x3B, 0x2C});
        s.End();
        const Bytes data = s.ImageData(255);
        cases.push_back(Decodes("FillsUpMidSubBlockThenSecondImage",
                                Header(4, 2) + ImageDescriptor(0, 0, 2, 2) + data + ImageDescriptor(2, 0, 2, 2) + data +
                                    kTrailer,
                                4, 2, Canvas(4, 2).Row(0, 0, {1, 2, 1, 2}).Row(0, 1, {3, 4, 3, 4})));
    }
    {
        // After the end code, padding up to the end of the sub-block and a
        // further sub-block still belong to the image data: none of it may be
        // taken for a block.
        CodeStream s(7);
        s.Clear();
        s.Literals({5, 6});
        s.End();
        const Bytes data = Bytes{7} + SubBlocks(s.Packed() + Bytes{0x2C, 0x2C, 0x21, 0x3B}, 255, false) +
                           SubBlocks({0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3B});
        cases.push_back(Decodes("SubBlocksAfterEndCodeSkipped",
                                Header(4, 1) + ImageDescriptor(0, 0, 2, 1) + data + Marker(3, 0) + kTrailer, 4, 1,
                                Canvas(4, 1).Row(0, 0, {5, 6}).Set(3, 0, 3)));
    }

    // --- Image rectangles that leave the logical screen --------------------
    const std::vector<int> six = {1, 2, 3, 4, 5, 6};
    cases.push_back(Decodes("ImagePastRightEdgeIsClipped",
                            Header(4, 3, 8) + ImageDescriptor(2, 0, 3, 2) + LiteralImageData(3, six) + kTrailer, 4, 3,
                            Canvas(4, 3).Row(2, 0, {1, 2}).Row(2, 1, {4, 5})));
    cases.push_back(Decodes("ImagePastBottomEdgeIsClipped",
                            Header(3, 2, 8) + ImageDescriptor(0, 1, 3, 2) + LiteralImageData(3, six) + kTrailer, 3, 2,
                            Canvas(3, 2).Row(0, 1, {1, 2, 3})));
    {
        // Room below the screen: a row written past its bottom would show there.
        HostileCase c = Decodes("ImagePastBottomEdgeKeepsTheReserveClean",
                                Header(3, 2, 8) + ImageDescriptor(0, 1, 3, 2) + LiteralImageData(3, six) + kTrailer,
                                3, 2, Canvas(3, 2, 3 * 4).Row(0, 1, {1, 2, 3}));
        c.reserveWidth = 3;
        c.reserveHeight = 4;
        cases.push_back(c);
    }
    cases.push_back(Decodes("ImageOutsideScreen",
                            Header(4, 2, 8) + ImageDescriptor(65535, 65535, 2, 3) + LiteralImageData(3, six) +
                                ImageDescriptor(4, 0, 1, 2) + LiteralImageData(3, {1, 2}) + Marker(0, 0) + kTrailer,
                            4, 2, Canvas(4, 2).Set(0, 0, 3)));
    cases.push_back(Decodes("HugeImageInSmallScreen",
                            Header(4, 2, 16) + ImageDescriptor(0, 0, 65535, 65535, true) +
                                LiteralImageData(4, Range(1, 10)) + kTrailer,
                            4, 2, Canvas(4, 2).Row(0, 0, {1, 2, 3, 4})));
    cases.push_back(Decodes("ZeroWidthImageSkipped",
                            Header(2, 1) + ImageDescriptor(0, 0, 0, 1) + LiteralImageData(2, {1, 1}) + Marker(1, 0) +
                                kTrailer,
                            2, 1, Canvas(2, 1).Set(1, 0, 3)));
    cases.push_back(Decodes("ZeroHeightImageSkipped",
                            Header(2, 1) + ImageDescriptor(0, 0, 1, 0) + LiteralImageData(2, {1, 1}) + Marker(1, 0) +
                                kTrailer,
                            2, 1, Canvas(2, 1).Set(1, 0, 3)));
    {
        HostileCase c = Decodes("EmptyScreenWithReserve",
                                Header(0, 0) + ImageDescriptor(0, 0, 2, 2) + LiteralImageData(2, {1, 2, 3, 1}) + kTrailer,
                                0, 0, Canvas(3, 3));
        c.reserveWidth = 3;
        c.reserveHeight = 3;
        cases.push_back(c);
    }

    // --- Buffer sizes ------------------------------------------------------
    cases.push_back(Refused("Screen65535x65535Refused", Header(65535, 65535) + Marker(0, 0) + kTrailer, 65535, 65535));
    cases.push_back(Refused("ScreenJustOverCapRefused", Header(16385, 16384) + kTrailer, 16385, 16384));
    {
        HostileCase c = Refused("ReserveOverCapRefused", Header(2, 1) + Marker(0, 0) + kTrailer, 2, 1);
        c.reserveWidth = 65535;
        c.reserveHeight = 65535;
        cases.push_back(c);
    }

    // --- Pixel values the colour table does not reach: kept as they are ----
    cases.push_back(Decodes("PixelBeyondColourTable",
                            Header(3, 1, 2) + ImageDescriptor(0, 0, 3, 1) + LiteralImageData(2, {3, 2, 1}) + kTrailer,
                            3, 1, Canvas(3, 1).Row(0, 0, {3, 2, 1}), ColorTable(2, 10)));

    // --- Files that end early ------------------------------------------------
    const Bytes full = Header(4, 2, 4) + ImageDescriptor(0, 0, 2, 1) + LiteralImageData(2, {1, 2});
    cases.push_back(Refused("EndsInSignature", {'G', 'I'}));
    cases.push_back(Refused("EndsInVersion", {'G', 'I', 'F', '8'}));
    cases.push_back(Refused("EndsInScreenDescriptor", Cut(Header(4, 2), 9)));
    cases.push_back(Decodes("EndsAfterScreenDescriptor", Cut(Header(4, 2), 11), 4, 2, Canvas(4, 2)));
    cases.push_back(Decodes("EndsInGlobalTable", Cut(Header(4, 2, 256), 13 + 400), 4, 2, Canvas(4, 2), Bytes{}));
    cases.push_back(Decodes("EndsInExtension", full + Bytes{0x21, 0xFE, 200, 'a', 'b'}, 4, 2,
                            Canvas(4, 2).Row(0, 0, {1, 2}), ColorTable(4, 10)));
    cases.push_back(Decodes("EndsInGraphicControl", full + Bytes{0x21, 0xF9, 4, 1}, 4, 2,
                            Canvas(4, 2).Row(0, 0, {1, 2}), ColorTable(4, 10)));
    cases.push_back(Decodes("EndsInImageDescriptor", full + Bytes{0x2C, 0, 0, 1}, 4, 2,
                            Canvas(4, 2).Row(0, 0, {1, 2}), ColorTable(4, 10)));
    cases.push_back(Decodes("EndsInLocalTable", full + Cut(ImageDescriptor(0, 1, 2, 1, false, 4, 90), 10 + 5), 4, 2,
                            Canvas(4, 2).Row(0, 0, {1, 2}), ColorTable(4, 10)));
    cases.push_back(Decodes("EndsBeforeMinimumCodeSize", full + ImageDescriptor(0, 1, 2, 1), 4, 2,
                            Canvas(4, 2).Row(0, 0, {1, 2}), ColorTable(4, 10)));
    {
        // 8-bit codes: clear and nine roots fill the first sub-block.
        CodeStream s(7);
        s.Clear();
        s.Literals(Range(1, 14));
        s.End();
        const Bytes head = Header(16, 1) + ImageDescriptor(0, 0, 16, 1);
        const Bytes data = s.ImageData(10);
        cases.push_back(Decodes("EndsAfterADataSubBlock", head + Cut(data, 1 + 11), 16, 1,
                                Canvas(16, 1).Row(0, 0, Range(1, 9))));
        cases.push_back(Decodes("EndsInsideADataSubBlock", head + Cut(data, 1 + 1 + 6), 16, 1,
                                Canvas(16, 1).Row(0, 0, Range(1, 5))));
    }
    {
        // 5-bit codes: three bytes hold four whole codes; the fifth, whose
        // low bits are there, must not be guessed from them.
        CodeStream s(4);
        s.Clear();
        s.Literals({1, 2, 3, 7, 7, 7});
        s.End();
        const Bytes head = Header(8, 1) + ImageDescriptor(0, 0, 8, 1);
        cases.push_back(Decodes("EndsInsideACode", head + Bytes{4, 10} + Cut(s.Packed(), 3), 8, 1,
                                Canvas(8, 1).Row(0, 0, {1, 2, 3})));
        cases.push_back(Decodes("DataEndsWithoutEndCode",
                                head + Bytes{4} + SubBlocks(Cut(s.Packed(), 3)) + ImageDescriptor(7, 0, 1, 1) +
                                    LiteralImageData(2, {3}),
                                8, 1, Canvas(8, 1).Row(0, 0, {1, 2, 3}).Set(7, 0, 3)));
        cases.push_back(Decodes("EmptyImageData", head + Bytes{4, 0} + Marker(7, 0) + kTrailer, 8, 1,
                                Canvas(8, 1).Set(7, 0, 3)));
    }
    return cases;
}

class GifHostileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(GifHostileTest, DefinedOutcome) {
    const HostileCase& c = GetParam();
    Decoded d;
    LoadBytes(c.bytes, d, c.reserveWidth, c.reserveHeight);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    if (!c.decodes) {
        EXPECT_EQ(d.buffer, nullptr);
        return;
    }
    ASSERT_NE(d.buffer, nullptr);
    ASSERT_GE(malloc_usable_size(d.buffer), c.buffer.size());
    EXPECT_EQ(std::vector<std::uint8_t>(d.buffer, d.buffer + c.buffer.size()), c.buffer);
    for (std::size_t i = 0; c.palette && i < d.palette.size(); ++i) {
        const std::uint8_t want = i < c.palette->size() ? (*c.palette)[i] : kPaletteSentinel;
        ASSERT_EQ(d.palette[i], want) << "palette byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, GifHostileTest, ::testing::ValuesIn(MakeCases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// The largest buffer that is handed out: allocated lazily by the system, so
// the test stays cheap.
TEST(GifBufferCap, ScreenAtCapIsAllocated) {
    Decoded d;
    LoadBytes(Header(16384, 16384, 4) + ImageDescriptor(16382, 16383, 2, 1) + LiteralImageData(2, {1, 2}) + kTrailer, d);
    ASSERT_NE(d.buffer, nullptr);
    EXPECT_EQ(d.width, 16384);
    const std::size_t last = std::size_t(16384) * 16384 - 1;
    EXPECT_EQ(d.buffer[last - 1], 1);
    EXPECT_EQ(d.buffer[last], 2);
    EXPECT_EQ(d.buffer[0], 0);
}

}  // namespace
