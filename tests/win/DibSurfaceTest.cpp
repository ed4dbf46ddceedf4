// CDibSurface under Wine: sections and packed bitmaps, the palette built from
// them, fill values, and drawing read back from memory device contexts, where
// Wine's colours are exact.
#include <gtest/gtest.h>
#include <malloc.h>

#include <climits>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "display/DibSurface.h"
#include "tests/win/TestApp.h"

namespace {

// Every entry differs in red, so the nearest colour of an entry is that entry.
COLORREF PatternColor(int i) { return RGB(i, 255 - i, (i * 5) & 0xFF); }

// A 256-entry palette of PatternColor, or of `count` entries.
void MakePalette(CPalette* palette, int count = 256) {
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        const COLORREF c = PatternColor(i);
        log->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    ASSERT_TRUE(palette->CreatePalette(log));
}

std::vector<COLORREF> PatternColors() {
    std::vector<COLORREF> colors(256);
    for (int i = 0; i < 256; ++i) colors[i] = PatternColor(i);
    return colors;
}

COLORREF QuadColor(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// A memory device context compatible with the screen.
struct MemoryDC : CDC {
    MemoryDC() { EXPECT_TRUE(CreateCompatibleDC(nullptr)); }
};

// A memory device context holding a top-down 32-bit DIB section, cleared to a
// colour no pattern uses; Read() gives its pixels back through GetDIBits.
class Target {
public:
    static constexpr COLORREF kBackground = RGB(1, 2, 3);

    Target(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info = Info();
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        EXPECT_NE(m_bitmap, nullptr);
        m_old = m_dc.SelectObject(m_bitmap);
        auto* pixels = static_cast<DWORD*>(m_bits);
        for (int i = 0; i < width * height; ++i) pixels[i] = 0x010203;  // BGRX of kBackground
    }
    ~Target() {
        m_dc.SelectObject(m_old);
        DeleteObject(m_bitmap);
    }

    CDC* DC() { return &m_dc; }

    // Image rows top to bottom, as COLORREFs. The bitmap is taken out of the
    // context while GetDIBits reads it, as the system requires.
    std::vector<COLORREF> Read() {
        BITMAPINFO info = Info();
        std::vector<DWORD> raw(m_width * m_height);
        m_dc.SelectObject(m_old);
        EXPECT_EQ(GetDIBits(m_dc, m_bitmap, 0, m_height, raw.data(), &info, DIB_RGB_COLORS), m_height);
        m_dc.SelectObject(m_bitmap);
        std::vector<COLORREF> colors(raw.size());
        for (size_t i = 0; i < raw.size(); ++i) colors[i] = RGB(raw[i] >> 16 & 0xFF, raw[i] >> 8 & 0xFF, raw[i] & 0xFF);
        return colors;
    }

    int m_width, m_height;

private:
    BITMAPINFO Info() const {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;  // top-down: Read() returns image rows in order
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }

    MemoryDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

// The 8 x 6 test image: every pixel value differs and tells its place.
constexpr int kImageWidth = 8, kImageHeight = 6;
BYTE ImageValue(int x, int y) { return static_cast<BYTE>(y * 16 + x + 1); }

// Writes the test image into an 8-bit surface, bottom row first.
void WriteImage(CDibSurface* surface) {
    GdiFlush();
    const int stride = static_cast<int>(DibStride(surface->m_width, 8));
    for (int y = 0; y < surface->m_height; ++y)
        for (int x = 0; x < surface->m_width; ++x)
            surface->m_pBits[(surface->m_height - 1 - y) * stride + x] = ImageValue(x, y);
}

HPALETTE SelectedPalette(CDC* dc) { return static_cast<HPALETTE>(GetCurrentObject(*dc, OBJ_PAL)); }

// ---------------------------------------------------------------------------
// CreateSection

TEST(CreateSection, HeaderColourTableAndFields) {
    const struct {
        int bitCount;
        BOOL indices;
        size_t blockSize;
        bool paletteIndices;
    } cases[] = {
        {8, FALSE, 1064, false},
        {8, TRUE, 552, true},
        {16, FALSE, 40, false},
        {16, TRUE, 40, false},  // indices mean nothing without a colour table
        {24, FALSE, 40, false},
        {24, TRUE, 40, false},
    };
    CPalette palette;
    MakePalette(&palette);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, indices " << c.indices);
        MemoryDC dc;
        CDibSurface surface;
        surface.m_fillColor = RGB(9, 8, 7);  // the fill fields keep their values
        surface.m_fillIndex = 5;
        ASSERT_EQ(surface.CreateSection(13, 7, c.bitCount, &dc, &palette, c.indices), kDibOk);

        const BITMAPINFOHEADER& h = surface.m_pInfo->bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 13);
        EXPECT_EQ(h.biHeight, 7);  // positive: bottom-up rows
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bitCount);
        EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(h.biSizeImage, 0u);
        EXPECT_EQ(h.biXPelsPerMeter, 0);
        EXPECT_EQ(h.biYPelsPerMeter, 0);
        EXPECT_EQ(h.biClrUsed, 0u);
        EXPECT_EQ(h.biClrImportant, 0u);
        EXPECT_EQ(_msize(surface.m_pInfo), c.blockSize);
        EXPECT_EQ(surface.m_pColors, reinterpret_cast<BYTE*>(surface.m_pInfo) + 40);

        EXPECT_TRUE(surface.m_isSection);
        EXPECT_EQ(surface.m_paletteIndices, c.paletteIndices);
        EXPECT_EQ(surface.m_width, 13);
        EXPECT_EQ(surface.m_height, 7);
        EXPECT_EQ(surface.m_bitCount, c.bitCount);
        EXPECT_EQ(surface.m_numColors, c.bitCount == 8 ? 256 : 0);
        EXPECT_EQ(surface.m_fillColor, RGB(9, 8, 7));
        EXPECT_EQ(surface.m_fillIndex, 5);

        // The section itself: its size, depth and pixel memory.
        DIBSECTION ds = {};
        ASSERT_EQ(GetObjectType(surface.m_hBitmap), static_cast<DWORD>(OBJ_BITMAP));
        ASSERT_EQ(GetObjectA(surface.m_hBitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidth, 13);
        EXPECT_EQ(ds.dsBm.bmHeight, 7);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bitCount);
        EXPECT_EQ(ds.dsBm.bmBits, surface.m_pBits);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, DibStride(13, c.bitCount));

        if (c.bitCount != 8) continue;
        if (c.indices) {
            const WORD* table = static_cast<const WORD*>(surface.m_pColors);
            for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], i);
            // The indices refer to the palette, which stays selected in the context.
            EXPECT_EQ(SelectedPalette(&dc), static_cast<HPALETTE>(palette));
        } else {
            const RGBQUAD* table = static_cast<const RGBQUAD*>(surface.m_pColors);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(QuadColor(table[i]), PatternColor(i)) << i;
                ASSERT_EQ(table[i].rgbReserved, 0);
            }
            EXPECT_NE(SelectedPalette(&dc), static_cast<HPALETTE>(palette));
        }
        // Either way the section's colours are the palette's.
        MemoryDC holder;
        HGDIOBJ old = holder.SelectObject(surface.m_hBitmap);
        RGBQUAD colors[256] = {};
        EXPECT_EQ(GetDIBColorTable(holder, 0, 256, colors), 256u);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(QuadColor(colors[i]), PatternColor(i)) << i;
        holder.SelectObject(old);
    }
}

TEST(CreateSection, FailuresLeaveTheSurfaceEmpty) {
    CPalette full, short16, empty;
    MakePalette(&full);
    MakePalette(&short16, 16);
    const struct {
        const char* name;
        int width, height, bitCount;
        CPalette* palette;
        BOOL indices;
        int result;
    } cases[] = {
        {"8 bits of RGB without a palette", 4, 4, 8, nullptr, FALSE, kDibShortPalette},
        {"8 bits of RGB from an empty palette", 4, 4, 8, &empty, FALSE, kDibShortPalette},
        {"8 bits of RGB from 16 entries", 4, 4, 8, &short16, FALSE, kDibShortPalette},
        {"width 0", 0, 4, 8, &full, FALSE, kDibSectionFailed},
        {"negative height (would be top-down)", 4, -4, 8, &full, FALSE, kDibSectionFailed},
        {"wider than the 16-bit field", 40000, 1, 24, &full, FALSE, kDibSectionFailed},
        {"4 bits: a colour table the block lacks", 4, 4, 4, &full, FALSE, kDibSectionFailed},
        {"1 bit", 4, 4, 1, &full, FALSE, kDibSectionFailed},
        {"no depth", 4, 4, 0, &full, FALSE, kDibSectionFailed},
        {"12 bits", 4, 4, 12, &full, FALSE, kDibSectionFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDC dc;
        CDibSurface surface;
        EXPECT_EQ(surface.CreateSection(c.width, c.height, c.bitCount, &dc, c.palette, c.indices), c.result);
        EXPECT_EQ(surface.m_pInfo, nullptr);
        EXPECT_EQ(surface.m_hBitmap, nullptr);
        EXPECT_EQ(surface.m_pBits, nullptr);
        EXPECT_FALSE(surface.m_isSection);
        EXPECT_EQ(surface.m_bitCount, 0);
    }
}

TEST(CreateSection, ThirtyTwoBitsIsMadeButNeitherFilledNorGivenAFillValue) {
    MemoryDC dc;
    CDibSurface surface;
    ASSERT_EQ(surface.CreateSection(4, 3, 32, &dc, nullptr, FALSE), kDibOk);
    std::memset(surface.m_pBits, 0xCD, 4 * 4 * 3);
    surface.m_fill16 = 0x1234;
    EXPECT_EQ(surface.SetFillColor(RGB(10, 20, 30), nullptr), kDibBadDepth);
    EXPECT_EQ(surface.m_fillColor, RGB(10, 20, 30));  // stored whatever follows
    EXPECT_EQ(surface.m_fill16, 0x1234);
    EXPECT_EQ(surface.FillRect(nullptr), kDibBadDepth);
    const RECT some = {0, 0, 2, 2}, empty = {1, 1, 1, 2};
    EXPECT_EQ(surface.FillRect(&some), kDibBadDepth);
    EXPECT_EQ(surface.FillRect(&empty), kDibEmptyRect);  // the clamping reports first
    for (int i = 0; i < 4 * 4 * 3; ++i) ASSERT_EQ(surface.m_pBits[i], 0xCD);
}

// ---------------------------------------------------------------------------
// CreateIdentityDib on this display (24-bit Xvfb: no palette)

bool DisplayHasPalette() {
    HDC screen = GetDC(nullptr);
    const int numColors = GetDeviceCaps(screen, NUMCOLORS);
    ReleaseDC(nullptr, screen);
    return numColors >= 1;
}

// The screen the run asked for (ORVANE_SCREEN, WxHxD, as the runner gives it
// to Xvfb) is the one the surface sees. Wine reports no static colours even
// on an 8-bit screen with a palette (NUMCOLORS -1), so the identity table
// there holds the caller's colours as on a deeper display.
TEST(Screen, DepthAsRequested) {
    const char* screen = getenv("ORVANE_SCREEN");
    const char* depth = screen ? strrchr(screen, 'x') : nullptr;
    const int requested = depth ? atoi(depth + 1) : 24;
    HDC dc = GetDC(nullptr);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    const int sizePalette = GetDeviceCaps(dc, SIZEPALETTE);
    ReleaseDC(nullptr, dc);
    if (requested == 8) {
        EXPECT_EQ(bits, 8);
        EXPECT_TRUE(palette);
        EXPECT_EQ(sizePalette, 256);
    } else {
        EXPECT_GT(bits, 8);
        EXPECT_FALSE(palette);
    }
    EXPECT_FALSE(DisplayHasPalette());
}

TEST(CreateIdentityDib, OnePixelPackedBitmapWithTheCallersColours) {
    ASSERT_FALSE(DisplayHasPalette()) << "these cases expect a display without a palette";
    const std::vector<COLORREF> colors = PatternColors();
    CDibSurface surface;
    const HBITMAP marker = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x1234));
    surface.m_hBitmap = marker;  // not touched
    surface.m_fillColor = RGB(1, 1, 1);
    surface.m_fillIndex = 3;
    surface.m_fill16 = 3;
    surface.m_fill24[1] = 3;
    ASSERT_EQ(surface.CreateIdentityDib(1, 1, colors.data()), kDibOk);

    auto* block = reinterpret_cast<BYTE*>(surface.m_pInfo);
    EXPECT_EQ(_msize(block), 1068u);  // 1064 + a stride of 4
    EXPECT_EQ(surface.m_pColors, block + 40);
    EXPECT_EQ(surface.m_pBits, block + 1064);
    const BITMAPINFOHEADER& h = surface.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 1);
    EXPECT_EQ(h.biHeight, 1);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biSizeImage | h.biClrUsed | h.biClrImportant, 0u);
    EXPECT_EQ(h.biXPelsPerMeter | h.biYPelsPerMeter, 0);
    const RGBQUAD* table = static_cast<const RGBQUAD*>(surface.m_pColors);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(QuadColor(table[i]), colors[i]) << i;
        ASSERT_EQ(table[i].rgbReserved, 0);
    }
    for (int i = 1; i < 4; ++i) EXPECT_EQ(surface.m_pBits[i], 0) << "padding byte " << i;

    EXPECT_EQ(surface.m_numColors, 256);
    EXPECT_EQ(surface.m_width, 1);
    EXPECT_EQ(surface.m_height, 1);
    EXPECT_EQ(surface.m_bitCount, 8);
    EXPECT_EQ(surface.m_fillColor, 0u);
    EXPECT_EQ(surface.m_fillIndex, 0);
    EXPECT_EQ(surface.m_fill16, 0);
    EXPECT_EQ(surface.m_fill24[1], 0);
    EXPECT_FALSE(surface.m_isSection);
    EXPECT_FALSE(surface.m_paletteIndices);
    EXPECT_EQ(surface.m_hBitmap, marker);
    surface.m_hBitmap = nullptr;
}

TEST(CreateIdentityDib, AgainWithNewSizeNoColoursAndBadSizes) {
    CDibSurface surface;
    const std::vector<COLORREF> colors = PatternColors();
    ASSERT_EQ(surface.CreateIdentityDib(1, 1, colors.data()), kDibOk);
    // A second call replaces the block: 5 x 3 pixels in rows of 8.
    ASSERT_EQ(surface.CreateIdentityDib(5, 3, nullptr), kDibOk);
    EXPECT_EQ(_msize(surface.m_pInfo), 1064u + 8 * 3);
    const RGBQUAD* table = static_cast<const RGBQUAD*>(surface.m_pColors);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(QuadColor(table[i]), 0u) << "black without colours, entry " << i;
    for (int row = 0; row < 3; ++row)
        for (int b = 5; b < 8; ++b) EXPECT_EQ(surface.m_pBits[row * 8 + b], 0) << "padding";

    // Sizes no header of ours can describe: the block is gone, the fields stay.
    for (const auto& size : {std::make_pair(0, 5), std::make_pair(5, -1), std::make_pair(40000, 1),
                             std::make_pair(INT_MIN, INT_MIN)}) {
        ASSERT_EQ(surface.CreateIdentityDib(5, 3, nullptr), kDibOk);
        EXPECT_EQ(surface.CreateIdentityDib(size.first, size.second, colors.data()), kDibNoPackedMemory);
        EXPECT_EQ(surface.m_pInfo, nullptr);
        EXPECT_EQ(surface.m_width, 5);
        EXPECT_EQ(surface.m_height, 3);
    }
}

// ---------------------------------------------------------------------------
// CreatePalette

TEST(CreatePalette, FromTheColourTable) {
    const std::vector<COLORREF> colors = PatternColors();
    CDibSurface packed;
    ASSERT_EQ(packed.CreateIdentityDib(1, 1, colors.data()), kDibOk);
    CPalette fromPacked;
    ASSERT_EQ(packed.CreatePalette(&fromPacked), kDibOk);
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(fromPacked.GetPaletteEntries(0, 256, entries), 256u);
    EXPECT_EQ(GetPaletteEntries(fromPacked, 0, 0, nullptr), 256u) << "exactly 256 entries";
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), colors[i]) << i;
        ASSERT_EQ(entries[i].peFlags, 0);
    }

    // An 8-bit RGB section gives back the palette it was made from.
    MemoryDC dc;
    CDibSurface section;
    ASSERT_EQ(section.CreateSection(4, 4, 8, &dc, &fromPacked, FALSE), kDibOk);
    CPalette fromSection;
    ASSERT_EQ(section.CreatePalette(&fromSection), kDibOk);
    ASSERT_EQ(fromSection.GetPaletteEntries(0, 256, entries), 256u);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), colors[i]);
}

TEST(CreatePalette, Refusals) {
    CPalette given;
    MakePalette(&given);
    MemoryDC dc;
    CDibSurface rgb24, rgb16, indices, empty, full;
    ASSERT_EQ(rgb24.CreateSection(4, 4, 24, &dc, nullptr, FALSE), kDibOk);
    ASSERT_EQ(rgb16.CreateSection(4, 4, 16, &dc, nullptr, FALSE), kDibOk);
    ASSERT_EQ(indices.CreateSection(4, 4, 8, &dc, &given, TRUE), kDibOk);
    ASSERT_EQ(full.CreateIdentityDib(1, 1, nullptr), kDibOk);
    const struct {
        const char* name;
        CDibSurface* surface;
        int result;
    } cases[] = {
        {"24 bits, no colour count", &rgb24, kDibNoColorCount},
        {"16 bits, no colour count", &rgb16, kDibNoColorCount},
        {"palette indices hold no colours", &indices, kDibNoColorsForIndices},
        {"no bitmap at all", &empty, kDibNoColorCount},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPalette palette;
        EXPECT_EQ(c.surface->CreatePalette(&palette), c.result);
        EXPECT_EQ(palette.m_hObject, nullptr) << "left empty";
    }
    // A CPalette that already holds a palette keeps it; the new one is not attached.
    const HGDIOBJ before = given.m_hObject;
    EXPECT_EQ(full.CreatePalette(&given), kDibPaletteFailed);
    EXPECT_EQ(given.m_hObject, before);
    EXPECT_EQ(full.CreatePalette(nullptr), kDibPaletteFailed);
}

// ---------------------------------------------------------------------------
// SetFillColor and FillRect on real sections

TEST(SetFillColor, EightBitsNearestIndexWithOrWithoutPalette) {
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface rgb, indices;
    ASSERT_EQ(rgb.CreateSection(4, 4, 8, &dc, &palette, FALSE), kDibOk);
    ASSERT_EQ(indices.CreateSection(4, 4, 8, &dc, &palette, TRUE), kDibOk);

    const COLORREF nearly77 = RGB(78, 255 - 77, (77 * 5) & 0xFF);
    // With the palette: its nearest index.
    EXPECT_EQ(rgb.SetFillColor(nearly77, &palette), kDibOk);
    EXPECT_EQ(rgb.m_fillIndex, 77);
    EXPECT_EQ(indices.SetFillColor(PatternColor(200), &palette), kDibOk);
    EXPECT_EQ(indices.m_fillIndex, 200);

    // Without: a temporary palette from the colour table gives the same answer.
    EXPECT_EQ(rgb.SetFillColor(PatternColor(13), nullptr), kDibOk);
    EXPECT_EQ(rgb.m_fillIndex, 13);
    EXPECT_EQ(rgb.m_fillColor, PatternColor(13));
    CPalette none;
    EXPECT_EQ(rgb.SetFillColor(nearly77, &none), kDibOk);  // an empty CPalette is no palette
    EXPECT_EQ(rgb.m_fillIndex, 77);

    // Palette indices without the palette: no colours to look in.
    EXPECT_EQ(indices.SetFillColor(RGB(1, 2, 3), nullptr), kDibNoColorsForIndices);
    EXPECT_EQ(indices.m_fillColor, RGB(1, 2, 3));
    EXPECT_EQ(indices.m_fillIndex, 200) << "unchanged";
    EXPECT_EQ(indices.SetFillColor(RGB(1, 2, 3), &none), kDibNoColorsForIndices);
}

TEST(FillRect, SixteenAndTwentyFourBitSections) {
    MemoryDC dc;
    CDibSurface s16, s24;
    ASSERT_EQ(s16.CreateSection(3, 2, 16, &dc, nullptr, FALSE), kDibOk);
    ASSERT_EQ(s24.CreateSection(3, 2, 24, &dc, nullptr, FALSE), kDibOk);
    GdiFlush();
    std::memset(s16.m_pBits, 0xCD, 8 * 2);
    std::memset(s24.m_pBits, 0xCD, 12 * 2);

    ASSERT_EQ(s16.SetFillColor(RGB(255, 128, 0), nullptr), kDibOk);
    EXPECT_EQ(s16.m_fill16, 0x7E00);
    const RECT bottomRow = {0, 1, 3, 2};
    ASSERT_EQ(s16.FillRect(&bottomRow), kDibOk);
    // Image row 1 is stored first; the two padding bytes stay.
    const BYTE expected16[16] = {0x00, 0x7E, 0x00, 0x7E, 0x00, 0x7E, 0xCD, 0xCD,
                                 0xCD, 0xCD, 0xCD, 0xCD, 0xCD, 0xCD, 0xCD, 0xCD};
    EXPECT_EQ(std::memcmp(s16.m_pBits, expected16, 16), 0);

    ASSERT_EQ(s24.SetFillColor(RGB(0x12, 0x34, 0x56), nullptr), kDibOk);
    ASSERT_EQ(s24.FillRect(nullptr), kDibOk);
    for (int row = 0; row < 2; ++row) {
        const BYTE expected24[12] = {0x56, 0x34, 0x12, 0x56, 0x34, 0x12, 0x56, 0x34, 0x12, 0xCD, 0xCD, 0xCD};
        EXPECT_EQ(std::memcmp(s24.m_pBits + 12 * row, expected24, 12), 0) << "row " << row;
    }
    // What the system sees in the section is what was written.
    Target target(3, 2);
    ASSERT_EQ(s24.Draw(nullptr, nullptr, target.DC(), nullptr, 1, nullptr), kDibOk);
    for (COLORREF c : target.Read()) EXPECT_EQ(c, RGB(0x12, 0x34, 0x56));
}

TEST(FillRect, EightBitClampsAndWholeSurface) {
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface surface;
    ASSERT_EQ(surface.CreateSection(640, 480, 8, &dc, &palette, TRUE), kDibOk);
    ASSERT_EQ(surface.SetFillColor(PatternColor(0x42), &palette), kDibOk);
    ASSERT_EQ(surface.FillRect(nullptr), kDibOk);
    for (int i = 0; i < 640 * 480; ++i) ASSERT_EQ(surface.m_pBits[i], 0x42) << i;
    surface.m_fillIndex = 7;
    const RECT below = {0, 500, 640, 900}, empty = {5, 5, 5, 10};
    ASSERT_EQ(surface.FillRect(&below), kDibOk);
    for (int i = 0; i < 640; ++i) ASSERT_EQ(surface.m_pBits[i], 7) << "bottom image row is stored first";
    EXPECT_EQ(surface.m_pBits[640], 0x42);
    EXPECT_EQ(surface.FillRect(&empty), kDibEmptyRect);
}

// ---------------------------------------------------------------------------
// Draw

enum class Kind { kRgbSection, kIndexSection, kPacked };

// An 8 x 6 surface of the test image whose colours are PatternColor.
void MakeImage(CDibSurface* surface, Kind kind, CPalette* palette, CDC* dc) {
    const std::vector<COLORREF> colors = PatternColors();
    switch (kind) {
    case Kind::kRgbSection:
        ASSERT_EQ(surface->CreateSection(kImageWidth, kImageHeight, 8, dc, palette, FALSE), kDibOk);
        break;
    case Kind::kIndexSection:
        ASSERT_EQ(surface->CreateSection(kImageWidth, kImageHeight, 8, dc, palette, TRUE), kDibOk);
        break;
    case Kind::kPacked:
        ASSERT_FALSE(DisplayHasPalette());
        ASSERT_EQ(surface->CreateIdentityDib(kImageWidth, kImageHeight, colors.data()), kDibOk);
        break;
    }
    WriteImage(surface);
}

// What a draw should leave in the target: the block of source pixels (sx, sy,
// w, h) at (dx, dy), the background elsewhere.
void ExpectDrawn(Target& target, int sx, int sy, int w, int h, int dx, int dy) {
    const std::vector<COLORREF> pixels = target.Read();
    for (int y = 0; y < target.m_height; ++y) {
        for (int x = 0; x < target.m_width; ++x) {
            const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
            const COLORREF expected =
                inside ? PatternColor(ImageValue(sx + x - dx, sy + y - dy)) : Target::kBackground;
            ASSERT_EQ(pixels[y * target.m_width + x], expected) << "target pixel (" << x << ", " << y << ")";
        }
    }
}

struct DrawCase {
    const char* name;
    Kind kind;
    RECT source, dest;
    int mode;
    bool withPalette;
    int result;
    int sx, sy, w, h;  // the block that lands at (dest.left, dest.top); w 0: nothing
};

TEST(Draw, KnownPatternReadBack) {
    const DrawCase cases[] = {
        {"section, whole", Kind::kRgbSection, {0, 0, 8, 6}, {2, 3, 10, 9}, 1, true, kDibOk, 0, 0, 8, 6},
        {"section, extent 0 reaches the edge", Kind::kRgbSection, {2, 1, 2, 1}, {0, 0, 0, 0}, 1, true, kDibOk, 2, 1,
         6, 5},
        {"section, running past the edge", Kind::kRgbSection, {0, 0, 20, 3}, {1, 1, 21, 4}, 1, true, kDibOk, 0, 0, 8,
         3},
        {"section, inside", Kind::kRgbSection, {3, 2, 5, 4}, {0, 0, 2, 2}, 1, true, kDibOk, 3, 2, 2, 2},
        {"section, destination size plays no part", Kind::kRgbSection, {3, 2, 5, 4}, {4, 4, 5, 5}, 1, true, kDibOk,
         3, 2, 2, 2},
        {"section, start beyond the right edge", Kind::kRgbSection, {8, 0, 10, 2}, {0, 0, 2, 2}, 1, true, kDibOk, 0,
         0, 0, 0},
        {"section, negative width", Kind::kRgbSection, {5, 0, 3, 2}, {0, 0, 2, 2}, 1, true, kDibNegativeWidth, 0, 0,
         0, 0},
        {"section, negative height", Kind::kRgbSection, {0, 4, 3, 2}, {0, 0, 3, 2}, 1, false, kDibNegativeHeight, 0,
         0, 0, 0},
        {"section, palette mode 0", Kind::kRgbSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 0, false, kDibOk, 0, 0, 8, 6},
        {"section, mode 1, temporary palette", Kind::kRgbSection, {1, 1, 4, 4}, {0, 0, 3, 3}, 1, false, kDibOk, 1, 1,
         3, 3},
        {"section, mode 2, given palette", Kind::kRgbSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 2, true, kDibOk, 0, 0, 8, 6},
        {"section, mode 2, temporary palette", Kind::kRgbSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 2, false, kDibOk, 0, 0,
         8, 6},
        {"index section, mode 1", Kind::kIndexSection, {0, 0, 8, 6}, {1, 2, 9, 8}, 1, true, kDibOk, 0, 0, 8, 6},
        {"index section, mode 2", Kind::kIndexSection, {2, 3, 6, 6}, {0, 0, 4, 3}, 2, true, kDibOk, 2, 3, 4, 3},
        {"index section, mode 0 needs no palette", Kind::kIndexSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 0, false, kDibOk,
         0, 0, 8, 6},
        {"index section without a palette", Kind::kIndexSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 1, false,
         kDibNoColorsForIndices, 0, 0, 0, 0},
        {"index section without a palette, mode 2", Kind::kIndexSection, {0, 0, 8, 6}, {0, 0, 8, 6}, 2, false,
         kDibNoColorsForIndices, 0, 0, 0, 0},
        {"packed, whole", Kind::kPacked, {0, 0, 8, 6}, {2, 3, 10, 9}, 1, false, kDibOk, 0, 0, 8, 6},
        {"packed, inside: rows counted from the top", Kind::kPacked, {3, 2, 5, 4}, {0, 0, 2, 2}, 1, true, kDibOk, 3,
         2, 2, 2},
        {"packed, top rows", Kind::kPacked, {0, 0, 8, 2}, {0, 0, 8, 2}, 1, false, kDibOk, 0, 0, 8, 2},
        {"packed, bottom row", Kind::kPacked, {0, 5, 8, 6}, {0, 0, 8, 1}, 0, false, kDibOk, 0, 5, 8, 1},
        {"packed, destination extent 0 takes the source's", Kind::kPacked, {1, 1, 4, 3}, {4, 4, 4, 4}, 1, false,
         kDibOk, 1, 1, 3, 2},
        {"packed, extent 0 and past the edge", Kind::kPacked, {6, 4, 6, 40}, {0, 0, 2, 2}, 2, false, kDibOk, 6, 4, 2,
         2},
        {"packed, negative width draws nothing", Kind::kPacked, {5, 0, 3, 2}, {0, 0, 2, 2}, 1, false, kDibOk, 0, 0,
         0, 0},
        {"packed, start below the bottom", Kind::kPacked, {0, 6, 8, 9}, {0, 0, 8, 3}, 1, false, kDibOk, 0, 0, 0, 0},
    };
    CPalette palette;
    MakePalette(&palette);
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDC dc;
        CDibSurface surface;
        MakeImage(&surface, c.kind, &palette, &dc);
        Target target(12, 10);
        const HPALETTE before = SelectedPalette(target.DC());
        EXPECT_EQ(surface.Draw(&c.dest, &c.source, target.DC(), nullptr, c.mode, c.withPalette ? &palette : nullptr),
                  c.result);
        ExpectDrawn(target, c.sx, c.sy, c.w, c.h, c.dest.left, c.dest.top);
        // A given palette stays selected; a temporary one is gone again; mode 0
        // and the refusals leave the context's palette alone.
        const bool keepsGiven = c.withPalette && c.mode != 0 && c.result != kDibNoColorsForIndices;
        EXPECT_EQ(SelectedPalette(target.DC()), keepsGiven ? static_cast<HPALETTE>(palette) : before);
    }
}

TEST(Draw, IndexSectionPassesPixelValuesToAnEightBitTarget) {
    // An 8-bit target whose colour table is the palette's: the values arrive unchanged.
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface source, target;
    MakeImage(&source, Kind::kIndexSection, &palette, &dc);
    MemoryDC targetDC;
    ASSERT_EQ(target.CreateSection(kImageWidth, kImageHeight, 8, &targetDC, &palette, FALSE), kDibOk);
    target.m_fillIndex = 0;
    ASSERT_EQ(target.FillRect(nullptr), kDibOk);
    HGDIOBJ old = targetDC.SelectObject(target.m_hBitmap);
    const RECT whole = {0, 0, kImageWidth, kImageHeight};
    ASSERT_EQ(source.Draw(&whole, &whole, &targetDC, nullptr, 1, &palette), kDibOk);
    GdiFlush();
    EXPECT_EQ(std::memcmp(source.m_pBits, target.m_pBits, 8 * kImageHeight), 0);
    targetDC.SelectObject(old);
}

TEST(Draw, GivenMemoryContextKeepsTheSectionACreatedOneIsGone) {
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface surface;
    MakeImage(&surface, Kind::kRgbSection, &palette, &dc);
    const RECT whole = {0, 0, kImageWidth, kImageHeight};
    {
        Target target(kImageWidth, kImageHeight);
        MemoryDC memDC;
        const HGDIOBJ original = GetCurrentObject(memDC, OBJ_BITMAP);
        ASSERT_EQ(surface.Draw(&whole, &whole, target.DC(), &memDC, 1, &palette), kDibOk);
        ExpectDrawn(target, 0, 0, kImageWidth, kImageHeight, 0, 0);
        EXPECT_EQ(GetCurrentObject(memDC, OBJ_BITMAP), surface.m_hBitmap) << "a given context keeps the section";
        // A second draw through the same context works as well.
        Target again(kImageWidth, kImageHeight);
        ASSERT_EQ(surface.Draw(&whole, &whole, again.DC(), &memDC, 0, nullptr), kDibOk);
        ExpectDrawn(again, 0, 0, kImageWidth, kImageHeight, 0, 0);
        memDC.SelectObject(original);  // before the section goes with the surface
    }
    {
        Target target(kImageWidth, kImageHeight);
        ASSERT_EQ(surface.Draw(&whole, &whole, target.DC(), nullptr, 1, &palette), kDibOk);
        ExpectDrawn(target, 0, 0, kImageWidth, kImageHeight, 0, 0);
        // The context made for the copy let go of the section: it can be selected elsewhere.
        MemoryDC other;
        const HGDIOBJ old = other.SelectObject(surface.m_hBitmap);
        EXPECT_NE(old, nullptr);
        other.SelectObject(old);
    }
}

TEST(Draw, IntoAWindowThroughItsDeviceContext) {
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface section, packed;
    MakeImage(&section, Kind::kRgbSection, &palette, &dc);
    MakeImage(&packed, Kind::kPacked, &palette, &dc);
    HWND hWnd = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    PumpMessages(50);
    CWnd* wnd = CWnd::FromHandle(hWnd);
    CDC* windowDC = wnd->GetDC();
    const RECT whole = {0, 0, kImageWidth, kImageHeight};
    const RECT at20 = {20, 10, 20 + kImageWidth, 10 + kImageHeight};
    ASSERT_EQ(section.Draw(&whole, &whole, windowDC, nullptr, 1, &palette), kDibOk);
    ASSERT_EQ(packed.Draw(&at20, &whole, windowDC, nullptr, 1, nullptr), kDibOk);
    // Wholly outside the client area: skipped, still a success.
    const RECT outside = {100, 100, 108, 106};
    EXPECT_EQ(section.Draw(&outside, &whole, windowDC, nullptr, 1, &palette), kDibOk);
    GdiFlush();
    for (int y = 0; y < kImageHeight; ++y) {
        for (int x = 0; x < kImageWidth; ++x) {
            EXPECT_EQ(windowDC->GetPixel(x, y), PatternColor(ImageValue(x, y))) << x << ", " << y;
            EXPECT_EQ(windowDC->GetPixel(20 + x, 10 + y), PatternColor(ImageValue(x, y))) << x << ", " << y;
        }
    }
    wnd->ReleaseDC(windowDC);
    DestroyWindow(hWnd);
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
}

TEST(Draw, HostileRectanglesGiveADefinedOutcome) {
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface section, packed;
    MakeImage(&section, Kind::kRgbSection, &palette, &dc);
    MakeImage(&packed, Kind::kPacked, &palette, &dc);
    const RECT rects[] = {
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, INT_MAX, INT_MIN, INT_MIN}, {-10, -10, 5, 5},
        {0, 0, INT_MAX, INT_MAX},            {INT_MAX - 1, 0, INT_MAX, 6},         {0, 0, 0, 0},
        {-100000, -100000, 100000, 100000},  {3, 3, 3, INT_MIN},
    };
    Target target(12, 10);
    for (const RECT& source : rects) {
        for (const RECT& dest : rects) {
            SCOPED_TRACE(testing::Message() << "source " << source.left << "," << source.top << "," << source.right
                                            << "," << source.bottom << " dest " << dest.left << "," << dest.top
                                            << "," << dest.right << "," << dest.bottom);
            const int s = section.Draw(&dest, &source, target.DC(), nullptr, 1, nullptr);
            EXPECT_TRUE(s == kDibOk || s == kDibNegativeWidth || s == kDibNegativeHeight) << s;
            EXPECT_EQ(packed.Draw(&dest, &source, target.DC(), nullptr, 2, nullptr), kDibOk);
        }
    }
    // The surfaces are intact and still draw.
    Target after(kImageWidth, kImageHeight);
    const RECT whole = {0, 0, kImageWidth, kImageHeight};
    ASSERT_EQ(packed.Draw(&whole, &whole, after.DC(), nullptr, 1, nullptr), kDibOk);
    ExpectDrawn(after, 0, 0, kImageWidth, kImageHeight, 0, 0);
}

// GDI objects of this process as the system counts them, or -1 where it does
// not count (Wine answers 0 always). Looked up at run time: not every system has it.
long GdiObjectCount() {
    using GetGuiResourcesFn = DWORD(WINAPI*)(HANDLE, DWORD);
    const auto fn = reinterpret_cast<GetGuiResourcesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetGuiResources")));
    const DWORD count = fn ? fn(GetCurrentProcess(), 0 /* GR_GDIOBJECTS */) : 0;
    return count > 0 ? static_cast<long>(count) : -1;
}

TEST(Draw, TemporaryPaletteIsDeselectedAndDeletedEveryTime) {
    // Each path that makes a temporary palette runs more often than the system
    // has GDI handles (Wine's table holds 65,536; Windows allows 10,000 per
    // process by default): one object kept per call would make a later
    // temporary palette, and so the call, fail.
    constexpr int kCalls = 70000;
    CPalette palette;
    MakePalette(&palette);
    MemoryDC dc;
    CDibSurface section, packed;
    MakeImage(&section, Kind::kRgbSection, &palette, &dc);
    MakeImage(&packed, Kind::kPacked, &palette, &dc);
    Target target(kImageWidth, kImageHeight);
    const HPALETTE before = SelectedPalette(target.DC());
    const long countBefore = GdiObjectCount();
    const RECT whole = {0, 0, kImageWidth, kImageHeight}, negative = {4, 0, 2, 2};
    const struct {
        const char* name;
        std::function<int(int mode)> call;
        int result;
    } paths[] = {
        {"section", [&](int mode) { return section.Draw(&whole, &whole, target.DC(), nullptr, mode, nullptr); },
         kDibOk},
        {"packed bitmap", [&](int mode) { return packed.Draw(&whole, &whole, target.DC(), nullptr, mode, nullptr); },
         kDibOk},
        {"refused source rectangle",
         [&](int mode) { return section.Draw(&whole, &negative, target.DC(), nullptr, mode, nullptr); },
         kDibNegativeWidth},
        {"fill colour", [&](int) { return section.SetFillColor(PatternColor(77), nullptr); }, kDibOk},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        for (int i = 0; i < kCalls; ++i) {
            const int mode = 1 + (i & 1);  // foreground and background
            ASSERT_EQ(path.call(mode), path.result) << "call " << i;
            if (i % 1000 == 0) {
                ASSERT_EQ(SelectedPalette(target.DC()), before) << "call " << i;
            }
        }
    }
    EXPECT_EQ(section.m_fillIndex, 77);
    EXPECT_EQ(SelectedPalette(target.DC()), before);
    ExpectDrawn(target, 0, 0, kImageWidth, kImageHeight, 0, 0);
    if (countBefore >= 0) {
        EXPECT_EQ(GdiObjectCount(), countBefore);
    }
    // The context's own palette is still a palette; a new one can still be made.
    EXPECT_EQ(GetObjectType(before), static_cast<DWORD>(OBJ_PAL));
    CPalette after;
    EXPECT_EQ(section.CreatePalette(&after), kDibOk);
}

// ---------------------------------------------------------------------------
// The palette messages reach their handlers

class PaletteProbe : public CWnd {
public:
    void OnPaletteChanged(CWnd* pFocusWnd) {
        CWnd::OnPaletteChanged(pFocusWnd);
        changedBy = pFocusWnd;
    }
    BOOL OnQueryNewPalette() {
        defaultAnswer = CWnd::OnQueryNewPalette();
        return 37;
    }
    CWnd* changedBy = nullptr;
    BOOL defaultAnswer = -1;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaletteProbe, CWnd)
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
END_MESSAGE_MAP()

TEST(PaletteMessages, RoutedWithTheirArguments) {
    PaletteProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 4, 4, nullptr, nullptr));
    EXPECT_EQ(SendMessageA(probe.m_hWnd, WM_QUERYNEWPALETTE, 0, 0), 37);
    EXPECT_EQ(probe.defaultAnswer, FALSE);
    SendMessageA(probe.m_hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(probe.m_hWnd), 0);
    EXPECT_EQ(probe.changedBy, &probe);
    probe.DestroyWindow();
}

}  // namespace
