// Damaged and oversized PNG, JPEG and BMP files: each has one defined
// outcome, and none may make the library or our code touch memory it does
// not own (the asan preset runs the same table).
#include "image/Picture.h"
#include "image/PictureGuard.h"

#include "GifTestSupport.h"
#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace picturetest;

namespace {

constexpr int kUnwritten = giftest::kUnwritten;

struct HostileCase {
    std::string name;
    Bytes bytes;
    int width = 0;  // 0: refused
    int height = 0;
    int reserveWidth = 0;
    int reserveHeight = 0;
};

std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }

HostileCase Refused(std::string name, Bytes bytes) { return {std::move(name), std::move(bytes)}; }

HostileCase Decodes(std::string name, Bytes bytes, int width, int height) {
    return {std::move(name), std::move(bytes), width, height};
}

Bytes Cut(const Bytes& b, std::size_t size) { return Bytes(b.begin(), b.begin() + static_cast<long>(size)); }

// Offset of the first marker m (0xFF m) at or after from.
std::size_t FindMarker(const Bytes& b, std::uint8_t m, std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == m) return i;
    }
    ADD_FAILURE() << "no marker " << int(m);
    return 0;
}

// The JPEG with the frame header's height and width replaced.
Bytes WithJpegSize(Bytes b, int width, int height) {
    const std::size_t sof = FindMarker(b, 0xC0);
    b[sof + 5] = std::uint8_t(height >> 8);
    b[sof + 6] = std::uint8_t(height);
    b[sof + 7] = std::uint8_t(width >> 8);
    b[sof + 8] = std::uint8_t(width);
    return b;
}

// The first Huffman table at or after from claims 16 codes of every length.
Bytes WithTooManyCodes(Bytes b, std::size_t from = 2) {
    const std::size_t dht = FindMarker(b, 0xC4, from);
    for (int i = 0; i < 16; ++i) b[dht + 5 + static_cast<std::size_t>(i)] = 16 + (i == 0 ? 1 : 0);
    return b;
}

// A 1-bit grey PNG of any size whose rows are all there (stored blocks).
Bytes BigPng(int width, int height) {
    const std::size_t rowBytes = 1 + (static_cast<std::size_t>(width) + 7) / 8;
    Bytes raw(rowBytes * static_cast<std::size_t>(height), 0x55);
    for (std::size_t r = 0; r < raw.size(); r += rowBytes) raw[r] = 0;
    return PngSignature() + Ihdr(width, height, 1, kGrey) + Chunk("IDAT", Zlib(raw)) + Chunk("IEND", {});
}

Bytes SmallPng() { return Png(2, 2, 8, kRgb, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}); }

Bmp SmallBmp() {
    Bmp b;
    b.width = 2;
    b.height = 2;
    b.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    return b;
}

Bytes BmpWith(const std::function<void(Bmp&)>& change) {
    Bmp b = SmallBmp();
    change(b);
    return b.Encode();
}

std::vector<HostileCase> MakeCases() {
    std::vector<HostileCase> cases;
    const Bytes png = SmallPng();
    const std::size_t idat = 8 + 25;  // signature and IHDR chunk

    // --- PNG -----------------------------------------------------------------
    cases.push_back(Refused("PngTruncatedInIdat", Cut(png, idat + 8 + 10)));
    cases.push_back(Refused("PngTruncatedAfterIhdr", Cut(png, idat)));
    cases.push_back(Refused("PngTruncatedInIhdr", Cut(png, 8 + 12)));
    cases.push_back(Refused("PngWiderThanAnyGif", PngSignature() + Ihdr(65536, 1, 8, kGrey) + Chunk("IEND", {})));
    cases.push_back(Refused("PngHugeDimensions", PngSignature() + Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, kRgba) +
                                                      Chunk("IEND", {})));
    cases.push_back(Refused("PngZeroWidth", PngSignature() + Ihdr(0, 5, 8, kGrey) + Chunk("IEND", {})));
    cases.push_back(Refused("PngZeroHeight", PngSignature() + Ihdr(5, 0, 8, kGrey) + Chunk("IEND", {})));
    cases.push_back(Refused("PngBadBitDepth", PngSignature() + Ihdr(2, 2, 3, kGrey) + Chunk("IEND", {})));
    {
        const std::uint32_t huge = 0xFFFFFFF0u;
        cases.push_back(Refused("PngChunkLengthAbsurd", PngSignature() + Ihdr(2, 2, 8, kRgb) +
                                                              Chunk("IDAT", Zlib(Bytes(14, 0)), &huge)));
        const std::uint32_t past = 4000;
        cases.push_back(Refused("PngChunkLengthPastTheEnd", PngSignature() + Ihdr(2, 2, 8, kRgb) +
                                                                  Chunk("IDAT", Zlib(Bytes(14, 0)), &past)));
        const std::uint32_t gigabyte = 0x40000000u;  // the decoder would double its buffer up to it first
        cases.push_back(Refused("PngChunkClaimsAGigabyte", PngSignature() + Ihdr(2, 2, 8, kRgb) +
                                                                 Chunk("IDAT", Zlib(Bytes(14, 0)), &gigabyte)));
    }
    // A dynamic deflate block whose code lengths make no Huffman code.
    cases.push_back(Refused("PngBadHuffmanTable", PngSignature() + Ihdr(2, 2, 8, kGrey) +
                                                       Chunk("IDAT", {0x78, 0x01, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                      0x00, 0x00, 0x00, 0x00}) +
                                                       Chunk("IEND", {})));
    cases.push_back(Refused("PngBadZlibHeader", PngSignature() + Ihdr(2, 2, 8, kGrey) +
                                                     Chunk("IDAT", {0x78, 0x02, 0x01, 0x06, 0x00, 0xF9, 0xFF, 0, 0, 0,
                                                                    0, 0, 0}) +
                                                     Chunk("IEND", {})));
    cases.push_back(Refused("PngEmptyFirstIdat", PngSignature() + Ihdr(2, 2, 8, kRgb) + Chunk("IDAT", {}) +
                                                     Chunk("IDAT", Zlib(Bytes(14, 0))) + Chunk("IEND", {})));
    cases.push_back(Decodes("PngEmptyIdatAfterData", PngSignature() + Ihdr(2, 2, 8, kRgb) +
                                                         Chunk("IDAT", Zlib(Bytes(14, 0))) + Chunk("IDAT", {}) +
                                                         Chunk("IEND", {}),
                            2, 2));
    cases.push_back(Refused("PngIndexedWithoutPalette", Png(2, 1, 8, kIndexed, {0, 1})));
    cases.push_back(Refused("PngTooFewBytesForTheRows", PngSignature() + Ihdr(4, 4, 8, kRgb) +
                                                            Chunk("IDAT", Zlib(Bytes(20, 0))) + Chunk("IEND", {})));
    {
        Bytes bad = png;
        bad[idat + 8 + 20] ^= 0x01;  // a pixel: the chunk's CRC and the stream's checksum no longer match
        cases.push_back(Decodes("PngBadCrcIsNotChecked", bad, 2, 2));
    }

    // --- JPEG ------------------------------------------------------------------
    const Bytes jpeg = Fixture("blocks-baseline.jpg");
    const Bytes progressive = Fixture("blocks-progressive.jpg");
    const std::size_t sos = FindMarker(jpeg, 0xDA);
    cases.push_back(Refused("JpegTruncatedInTheHeader", Cut(jpeg, FindMarker(jpeg, 0xC0) + 6)));
    cases.push_back(Refused("JpegTruncatedBeforeTheScan", Cut(jpeg, sos)));
    cases.push_back(Refused("JpegTruncatedInTheScan", Cut(jpeg, sos + 30)));
    cases.push_back(Refused("JpegWiderThanThePixelLimit", WithJpegSize(jpeg, 65535, 65535)));
    cases.push_back(Refused("JpegZeroHeight", WithJpegSize(jpeg, 32, 0)));
    cases.push_back(Refused("JpegZeroWidth", WithJpegSize(jpeg, 0, 32)));
    cases.push_back(Refused("JpegHuffmanTableWithTooManyCodes", WithTooManyCodes(jpeg)));
    cases.push_back(Refused("JpegProgressiveBadTableAfterAScan",
                            WithTooManyCodes(progressive, FindMarker(progressive, 0xDA) + 2)));
    {
        Bytes bad = jpeg;
        bad[FindMarker(bad, 0xDA) + 6] = 0x33;  // the first component's tables: DC 3 and AC 3, never defined
        cases.push_back(Refused("JpegScanUsesUndefinedTables", bad));
        Bytes late = progressive;
        const std::size_t acScan = FindMarker(late, 0xDA, FindMarker(late, 0xDA) + 2);
        late[acScan + 6] = 0x03;  // an AC scan: only its AC table counts
        cases.push_back(Refused("JpegProgressiveScanUsesUndefinedAcTable", late));
    }
    {
        // Bytes between segments are passed over while the header is read.
        Bytes junk = jpeg;
        const std::size_t dht = FindMarker(junk, 0xC4);
        junk.insert(junk.begin() + static_cast<long>(dht), {0x12, 0x34, 0x00});
        cases.push_back(Refused("JpegBadTableBehindJunk", WithTooManyCodes(junk)));
    }
    // Found by the fuzzer: DC differences that add up past the int range in
    // the library's arithmetic, defined as wrap-around by its build flags (the
    // fuzz target, built with clang, reports the overflow without them).
    cases.push_back(Decodes("JpegRunawayDcPrediction", Fixture("jpeg-dc-overflow.jpg"), 65303, 16));
    {
        Bytes bad = jpeg;
        const std::size_t dqt = FindMarker(bad, 0xDB);
        bad[dqt + 3] = 0x30;  // a table segment of the wrong length
        cases.push_back(Refused("JpegQuantTableOfWrongLength", bad));
    }

    {
        // Scans that leave the decoder's buffers unwritten.
        Bytes noScan = Cut(jpeg, sos);
        noScan += Bytes{0xFF, 0xD9};
        cases.push_back(Refused("JpegFrameThenEndOfImage", noScan));
        const std::size_t dcScan = FindMarker(progressive, 0xDA);
        const std::size_t afterDc = FindMarker(progressive, 0xC4, dcScan + 2);
        Bytes noDc = Cut(progressive, dcScan);
        noDc.insert(noDc.end(), progressive.begin() + static_cast<long>(afterDc), progressive.end());
        cases.push_back(Refused("JpegProgressiveWithoutItsDcScan", noDc));
        Bytes impossible = progressive;
        impossible[dcScan + 4 + 2 * 3 + 3] = 0x90;  // successive approximation: high bit 9, low bit 0
        cases.push_back(Refused("JpegProgressiveFirstScanRefines", impossible));
        // The first AC scan of the first component (coefficients 1 to 5)
        // gone: a later scan refines them.
        const std::size_t acScan = FindMarker(progressive, 0xDA, dcScan + 2);
        const std::size_t afterAc = FindMarker(progressive, 0xC4, acScan + 2);
        Bytes noAcFirst = Cut(progressive, acScan);
        noAcFirst.insert(noAcFirst.end(), progressive.begin() + static_cast<long>(afterAc), progressive.end());
        cases.push_back(Refused("JpegProgressiveAcRefinedBeforeItsFirstScan", noAcFirst));
        // Only the first DC scan, then the end: a valid if coarse picture
        // whose AC coefficients no scan wrote.
        Bytes dcOnly = Cut(progressive, afterDc);
        dcOnly += Bytes{0xFF, 0xD9};
        cases.push_back(Decodes("JpegProgressiveDcOnly", dcOnly, 32, 32));
        // No quantisation table: refused, as libjpeg refuses it.
        const std::size_t dqt = FindMarker(jpeg, 0xDB);
        const std::size_t sof = FindMarker(jpeg, 0xC0);
        Bytes noQuant = Cut(jpeg, dqt);
        noQuant.insert(noQuant.end(), jpeg.begin() + static_cast<long>(sof), jpeg.end());
        cases.push_back(Refused("JpegWithoutQuantTables", noQuant));
        Bytes undefinedQuant = jpeg;
        undefinedQuant[sof + 10 + 3 * 2 + 2] = 2;  // the third component's table: 2, never defined
        cases.push_back(Refused("JpegComponentUsesUndefinedQuantTable", undefinedQuant));
    }

    // --- BMP -----------------------------------------------------------------------
    cases.push_back(Refused("BmpNegativeHeaderSize", BmpWith([](Bmp& b) { b.headerSize = 0xFFFFFFF0u; })));
    cases.push_back(Refused("BmpAbsurdHeaderSize", BmpWith([](Bmp& b) { b.headerSize = 1000000; })));
    cases.push_back(Refused("BmpZeroHeaderSize", BmpWith([](Bmp& b) { b.headerSize = 0; })));
    cases.push_back(Refused("BmpHugeWidth", BmpWith([](Bmp& b) { b.width = 100000; })));
    cases.push_back(Refused("BmpOverThePixelLimit", BmpWith([](Bmp& b) {
                                b.width = 8193;
                                b.height = 4096;
                                b.rows.clear();
                            })));
    cases.push_back(Refused("BmpZeroWidth", BmpWith([](Bmp& b) { b.width = 0; })));
    cases.push_back(Refused("BmpZeroHeight", BmpWith([](Bmp& b) { b.height = 0; })));
    cases.push_back(Refused("BmpMostNegativeHeight", BmpWith([](Bmp& b) { b.height = INT32_MIN; })));
    cases.push_back(Refused("BmpNegativeWidth", BmpWith([](Bmp& b) { b.width = -2; })));
    cases.push_back(Refused("BmpRle8", BmpWith([](Bmp& b) {
                                b.bits = 8;
                                b.compression = 1;
                            })));
    cases.push_back(Refused("BmpBadBitCount", BmpWith([](Bmp& b) { b.bits = 7; })));
    cases.push_back(Refused("BmpTruncatedHeader", Cut(SmallBmp().Encode(), 30)));
    cases.push_back(Decodes("BmpTruncatedPixelsReadAsBlack", Cut(SmallBmp().Encode(), 54 + 10), 2, 2));
    {
        // A pixel offset inside the headers: read as a palette of a
        // negative number of entries, none of them written.
        Bmp b = SmallBmp();
        b.bits = 8;
        b.palette = Bytes(16, 0x40);
        b.rows = {{0, 1}, {2, 3}};
        Bytes bytes = b.Encode();
        bytes[10] = 40;
        cases.push_back(Refused("BmpPixelOffsetInsideTheHeader", bytes));
        b.headerSize = 12;
        bytes = b.Encode();
        bytes[10] = 20;
        cases.push_back(Refused("BmpOs2PixelOffsetInsideTheHeader", bytes));
        bytes[10] = 26;  // right behind the header: no palette at all, every pixel black
        cases.push_back(Decodes("BmpOs2WithoutPalette", bytes, 2, 2));
        Bmp past = SmallBmp();
        past.bits = 8;
        past.palette = Bytes(8, 0x40);
        past.rows = {{0, 1}, {0, 200}};
        Bytes far = past.Encode();
        PutLE32At(far, 10, 5000);  // pixels past the end: black, as truncated ones
        cases.push_back(Decodes("BmpPixelOffsetPastTheEnd", far, 2, 2));
    }
    {
        // A BMP of 300 palette entries and a gap: the first 256 count.
        Bmp b = SmallBmp();
        b.bits = 8;
        b.palette = Bytes(300 * 4, 0x11);
        b.gap = 3;
        b.rows = {{0, 255}, {7, 8}};
        cases.push_back(Decodes("Bmp8BitOversizedPaletteAndGap", b.Encode(), 2, 2));
    }

    // --- Sizes of the buffer handed out ------------------------------------------
    {
        HostileCase c = Refused("ReserveOverTheCap", png);
        c.reserveWidth = 65535;
        c.reserveHeight = 65535;
        cases.push_back(c);
    }
    cases.push_back(Refused("PngOverThePixelLimit", BigPng(8193, 4096)));
    // One grey pixel whose data inflates to 64 MB: stopped by the working
    // memory's budget within a few megabytes, as a damaged file.
    cases.push_back(Refused("PngInflatesFarPastItsHeader",
                            PngSignature() + Ihdr(1, 1, 8, kGrey) + Chunk("IDAT", InflatingZlib({0, 0}, 1u << 18)) +
                                Chunk("IEND", {})));
    // The same picture's data inflating to just what its header says decodes.
    cases.push_back(Decodes("PngInflatesToItsSize", PngSignature() + Ihdr(1032, 1, 8, kGrey) +
                                                      Chunk("IDAT", InflatingZlib({0, 0, 5}, 4)) + Chunk("IEND", {}),
                            1032, 1));
    {
        // A short palette (filled up in a copy) in a file cut inside the
        // last chunk's CRC: the copy holds it, the library wants the end chunk.
        Bytes cut = Png(2, 1, 8, kIndexed, {0, 3}, {9, 9, 9});
        cut.resize(cut.size() - 12 - 2);
        cases.push_back(Refused("PngShortPaletteLastChunkCut", cut));
    }
    return cases;
}

class PictureHostileTest : public ::testing::TestWithParam<HostileCase> {};

// The picture as colours, or nothing; the buffer is freed.
std::vector<std::uint8_t> Colours(unsigned char* buffer, int width, int height, const std::vector<std::uint8_t>& palette) {
    std::vector<std::uint8_t> out;
    if (buffer == nullptr) return out;
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * static_cast<std::size_t>(height); ++i) {
        out.insert(out.end(), palette.begin() + 3 * buffer[i], palette.begin() + 3 * buffer[i] + 3);
    }
    return out;
}

TEST_P(PictureHostileTest, DefinedOutcome) {
    const HostileCase& c = GetParam();
    int width = kUnwritten;
    int height = kUnwritten;
    std::vector<std::uint8_t> palette(768, giftest::kPaletteSentinel);
    DirtyMemory(0xA7);
    unsigned char* buffer = DecodePicture(c.bytes.data(), c.bytes.size(), &width, &height, c.reserveWidth,
                                          c.reserveHeight, palette.data());
    // The same again on memory dirty with other bytes: the same picture.
    {
        int w = kUnwritten, h = kUnwritten;
        std::vector<std::uint8_t> again(768, giftest::kPaletteSentinel);
        DirtyMemory(0x00);
        unsigned char* second =
            DecodePicture(c.bytes.data(), c.bytes.size(), &w, &h, c.reserveWidth, c.reserveHeight, again.data());
        DirtyMemory(-1);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        const std::vector<std::uint8_t> first = Colours(buffer, width, height, palette);
        EXPECT_TRUE(first == Colours(second, w, h, again)) << "two loads give different pictures";
        std::free(second);
    }
    if (c.width == 0) {
        EXPECT_EQ(buffer, nullptr);
        EXPECT_EQ(width, kUnwritten);
        EXPECT_EQ(height, kUnwritten);
        EXPECT_EQ(palette, std::vector<std::uint8_t>(768, giftest::kPaletteSentinel));
    } else {
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
    std::free(buffer);
}

INSTANTIATE_TEST_SUITE_P(Files, PictureHostileTest, ::testing::ValuesIn(MakeCases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

TEST(PictureGuard, RefusesOnlyTheTablesThatOverflow) {
    const Bytes jpeg = Fixture("blocks-baseline.jpg");
    const Bytes progressive = Fixture("blocks-progressive.jpg");
    EXPECT_TRUE(SafeForDecoder(PictureFormat::Jpeg, jpeg.data(), jpeg.size()));
    EXPECT_TRUE(SafeForDecoder(PictureFormat::Jpeg, progressive.data(), progressive.size()));
    const Bytes bad = WithTooManyCodes(jpeg);
    EXPECT_FALSE(SafeForDecoder(PictureFormat::Jpeg, bad.data(), bad.size()));
    const Bytes late = WithTooManyCodes(progressive, FindMarker(progressive, 0xDA) + 2);
    EXPECT_FALSE(SafeForDecoder(PictureFormat::Jpeg, late.data(), late.size()));
    // Exactly 256 codes fit the decoder's tables.
    Bytes full = jpeg;
    const std::size_t dht = FindMarker(full, 0xC4);
    for (int i = 0; i < 16; ++i) full[dht + 5 + static_cast<std::size_t>(i)] = 16;
    EXPECT_TRUE(SafeForDecoder(PictureFormat::Jpeg, full.data(), full.size()));
    EXPECT_FALSE(SafeForDecoder(PictureFormat::Gif, jpeg.data(), jpeg.size()));
    // A chunk running past the end is refused by the walk, not left to the decoder.
    const Bytes png = SmallPng();
    EXPECT_TRUE(SafeForDecoder(PictureFormat::Png, png.data(), png.size()));
    const Bytes cut = Cut(png, png.size() - 12 - 4 - 5);  // inside the IDAT chunk's data
    EXPECT_FALSE(SafeForDecoder(PictureFormat::Png, cut.data(), cut.size()));
    EXPECT_FALSE(SafeForDecoder(PictureFormat::Unknown, jpeg.data(), jpeg.size()));
}

// The baseline JPEG with its Huffman table segments merged into one, which
// then holds several tables; changed (when given) before it is merged.
Bytes WithOneHuffmanSegment(const Bytes& jpeg, const std::function<void(Bytes& body, int table)>& change = {}) {
    Bytes merged;
    Bytes rest;
    std::size_t pos = 2;
    int table = 0;
    std::size_t firstDht = 0;
    while (pos + 4 <= jpeg.size() && !(jpeg[pos] == 0xFF && jpeg[pos + 1] == 0xDA)) {
        const std::size_t length = std::size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        if (jpeg[pos + 1] == 0xC4) {
            if (firstDht == 0) firstDht = rest.size();
            Bytes body(jpeg.begin() + static_cast<long>(pos + 4), jpeg.begin() + static_cast<long>(pos + 2 + length));
            if (change) change(body, table);
            ++table;
            merged += body;
        } else {
            rest.insert(rest.end(), jpeg.begin() + static_cast<long>(pos), jpeg.begin() + static_cast<long>(pos + 2 + length));
        }
        pos += 2 + length;
    }
    Bytes segment = {0xFF, 0xC4, std::uint8_t((merged.size() + 2) >> 8), std::uint8_t(merged.size() + 2)};
    segment += merged;
    Bytes out = {0xFF, 0xD8};
    out.insert(out.end(), rest.begin(), rest.begin() + static_cast<long>(firstDht));
    out += segment;
    out.insert(out.end(), rest.begin() + static_cast<long>(firstDht), rest.end());
    out.insert(out.end(), jpeg.begin() + static_cast<long>(pos), jpeg.end());
    return out;
}

struct GuardCase {
    const char* name;
    PictureFormat format;
    Bytes bytes;
    bool safe;
};

TEST(SafeForDecoder, WalksTheFileAsTheDecoderDoes) {
    const Bytes jpeg = Fixture("blocks-baseline.jpg");
    const Bytes progressive = Fixture("blocks-progressive.jpg");
    const std::size_t scan = FindMarker(jpeg, 0xDA);
    const std::size_t dcScan = FindMarker(progressive, 0xDA);
    auto withScanTables = [](Bytes b, std::size_t scanAt, int component, std::uint8_t selectors) {
        b[scanAt + 6 + 2 * static_cast<std::size_t>(component)] = selectors;
        return b;
    };
    // After the first scan (every component has its DC coefficients), a
    // comment ends the scan's data; a restart marker and a bad table follow.
    const std::size_t afterDcScan = FindMarker(progressive, 0xC4, dcScan + 2);
    Bytes restartThenBadTable = WithTooManyCodes(progressive, afterDcScan);
    restartThenBadTable.insert(restartThenBadTable.begin() + static_cast<long>(afterDcScan),
                               {0xFF, 0xFE, 0x00, 0x02, 0xFF, 0xD0});
    Bmp tallest = SmallBmp();
    tallest.height = INT32_MIN;
    Bmp widest = SmallBmp();
    widest.width = INT32_MIN;
    Bytes pngHeaderAtTheEnd = PngSignature() + Ihdr(2, 2, 8, kGrey);
    PutBE32(pngHeaderAtTheEnd, 100);
    pngHeaderAtTheEnd += Bytes{'I', 'D', 'A', 'T'};

    const GuardCase cases[] = {
        {"JpegBaseline", PictureFormat::Jpeg, jpeg, true},
        {"JpegProgressive", PictureFormat::Jpeg, progressive, true},
        // A restart marker has no length: the table after it is still read.
        {"JpegRestartMarkerBeforeABadTable", PictureFormat::Jpeg, restartThenBadTable, false},
        // One segment, four tables: each is read where the one before ends.
        {"JpegSeveralTablesInOneSegment", PictureFormat::Jpeg, WithOneHuffmanSegment(jpeg), true},
        {"JpegSeveralTablesTheLastOverflowing", PictureFormat::Jpeg,
         WithOneHuffmanSegment(jpeg,
                               [](Bytes& body, int table) {
                                   if (table == 3) {
                                       for (int i = 1; i <= 16; ++i) body[static_cast<std::size_t>(i)] = 17;
                                   }
                               }),
         false},
        // The tables a scan needs: DC for a progressive DC scan, DC and AC
        // for a sequential one, ids 0 to 3 only.
        {"JpegProgressiveDcScanUndefinedDcTable", PictureFormat::Jpeg, withScanTables(progressive, dcScan, 1, 0x30),
         false},
        {"JpegSequentialScanUndefinedAcTable", PictureFormat::Jpeg, withScanTables(jpeg, scan, 0, 0x03), false},
        {"JpegSequentialScanDcTable4", PictureFormat::Jpeg, withScanTables(jpeg, scan, 0, 0x40), false},
        {"JpegSequentialScanAcTable4", PictureFormat::Jpeg, withScanTables(jpeg, scan, 0, 0x04), false},
        {"PngChunkHeaderEndingTheFile", PictureFormat::Png, pngHeaderAtTheEnd, false},
        {"PngWhole", PictureFormat::Png, SmallPng(), true},
        {"BmpMostNegativeHeight", PictureFormat::Bmp, tallest.Encode(), false},
        {"BmpMostNegativeWidthIsLeftToTheDecoder", PictureFormat::Bmp, widest.Encode(), true},
        {"GifIsNotForThisLibrary", PictureFormat::Gif, jpeg, false},
    };
    for (const GuardCase& c : cases) {
        EXPECT_EQ(SafeForDecoder(c.format, c.bytes.data(), c.bytes.size()), c.safe) << c.name;
    }
    // The merged tables decode as the separate ones do.
    const Bytes merged = WithOneHuffmanSegment(jpeg);
    int w = 0, h = 0;
    unsigned char* buffer = DecodePicture(merged.data(), merged.size(), &w, &h, 0, 0, nullptr);
    EXPECT_NE(buffer, nullptr);
    std::free(buffer);
}

// The largest picture that is decoded, and one pixel row more.
TEST(PicturePixelLimit, AtTheLimitDecodes) {
    const Bytes png = BigPng(8192, 4096);
    int width = 0, height = 0;
    unsigned char palette[768];
    unsigned char* buffer = DecodePicture(png.data(), png.size(), &width, &height, 0, 0, palette);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(width, 8192);
    EXPECT_EQ(height, 4096);
    EXPECT_NE(buffer[0], buffer[1]);  // 0x55: alternating pixels
    EXPECT_EQ(buffer[std::size_t(8192) * 4096 - 1], buffer[1]);
    std::free(buffer);
}

}  // namespace
