// The decisions of CDibSurface that need no device: the colour table built
// around a display's static colours, fill values, row strides, the clamping
// and filling of rectangles, and the source rectangle of a draw. The Win32
// side asks the device and calls these.
#pragma once

#include <cstddef>
#include <cstdint>

// Result codes of the surface's operations; 0 is success.
enum DibResult : int {
    kDibOk = 0,
    kDibNoHeaderMemory = 1,         // CreateSection: header and colour table
    kDibShortPalette = 2,           // CreateSection: the palette gave fewer than 256 entries
    kDibSectionFailed = 4,          // CreateSection: the system made no section
    kDibNoPackedMemory = 1004,      // CreateIdentityDib
    kDibPaletteNot256 = 1099,       // CreateIdentityDib: a palette display whose palette is not 256
    kDibNoPaletteMemory = 1100,     // CreatePalette
    kDibPaletteFailed = 1101,       // CreatePalette: the system made no palette
    kDibNoColorsForIndices = 1114,  // SetFillColor, Draw: palette indices and no palette to go with them
    kDibNoColorCount = 1200,        // CreatePalette: biClrUsed 0 and not 8 bits
    kDibBadDepth = 1201,            // SetFillColor, FillRect: not 8, 16 or 24 bits
    kDibNegativeWidth = 1202,       // Draw of a section
    kDibNegativeHeight = 1203,      // Draw of a section
    kDibEmptyRect = 2001,           // FillRect: nothing left after clamping
};

constexpr int kDibHeaderBytes = 40;
constexpr int kDibColorCount = 256;
constexpr int kDibRgbTableBytes = kDibHeaderBytes + kDibColorCount * 4;    // 1064
constexpr int kDibIndexTableBytes = kDibHeaderBytes + kDibColorCount * 2;  // 552

// Bytes of one stored row: width * bitCount / 8 rounded up to a multiple of 4.
// Computed wide; 0 for a size that is not positive.
std::int64_t DibStride(int width, int bitCount);

// One entry of a system palette, in PALETTEENTRY's byte order.
struct SystemPaletteEntry {
    std::uint8_t red, green, blue, flags;
};

// Fills the 256 RGBQUADs (blue, green, red, 0) of an identity colour table.
// A display with a palette (numColors >= 1) keeps its static colours: entries
// 0 .. half-1 and 256-half .. 255 come from systemPalette (half = numColors / 2,
// at most 128) and the entries between from colors; a palette that is not 256
// entries long is refused with kDibPaletteNot256, writing nothing. Without a
// palette all 256 entries are the caller's colours. colors (256 COLORREFs,
// red in the low byte) may be null for black; systemPalette is read only for
// a palette display and may be null otherwise.
int BuildIdentityColorTable(int numColors, int sizePalette, const SystemPaletteEntry* systemPalette,
                            const std::uint32_t* colors, std::uint8_t* rgbQuads);

// Fill value of a 16-bit BI_RGB pixel (5-5-5, bit 15 clear) for a COLORREF.
std::uint16_t Fill16FromColor(std::uint32_t color);
// Blue, green, red: the bytes of a 24-bit pixel.
void Fill24FromColor(std::uint32_t color, std::uint8_t* bgr);

// A rectangle in image coordinates, y growing downwards, right and bottom exclusive.
struct SurfaceRect {
    int left, top, right, bottom;
};

// Clamps each edge of rect into a width x height surface the way the fill
// does (an edge outside is pulled onto the nearest row or column), so a
// rectangle wholly outside fills the edge row or column. False when the
// result is empty.
bool ClampFillRect(const SurfaceRect& rect, int width, int height, SurfaceRect* clamped);

struct FillValues {
    std::uint8_t index;    // 8 bits
    std::uint16_t word;    // 16 bits
    std::uint8_t bgr[3];   // 24 bits
};

// The whole fill: clamps rect (null: the whole surface) and writes the fill
// value of bitCount into the bottom-up rows of bits (stride DibStride), never
// touching the padding. Returns kDibEmptyRect, kDibBadDepth or kDibOk.
int FillSurfaceRect(std::uint8_t* bits, int width, int height, int bitCount, const SurfaceRect* rect,
                    const FillValues& fill);

// What a draw copies: the source origin and extent, or an error code.
struct DrawSource {
    int result;  // kDibOk, kDibNegativeWidth or kDibNegativeHeight
    int x, y, width, height;
};

// The source rectangle of a draw on a width x height surface. The whole
// surface is taken as it is; otherwise an extent of 0, or one running past
// the edge, reaches to the edge, and a start beyond the surface draws nothing.
// A packed bitmap addresses its rows from the bottom, so its y is turned
// round. A negative extent is an error for a section and draws nothing for a
// packed bitmap.
DrawSource ResolveDrawSource(const SurfaceRect& source, int width, int height, bool isSection);
