// From the effect's 8-bit intensities to the pixel values of an X visual:
// the 256-entry palette turned into one table per palette change, and the
// lit rectangle of a bottom-up 8-bit map written into a top-down image
// through it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effect/BumpPass.h"

enum class VisualKind {
    Masked,       // TrueColor: pixel values from the channel masks
    Indexed,      // PseudoColor: a colormap of our own: cell i holds palette entry i
    Unsupported,  // any other class, or too few colours: the effect cannot be shown
};

struct PixelFormat {
    VisualKind kind;
    int depth;              // bits that carry colour
    int bitsPerPixel;       // 8, 16, 24 or 32 in the image
    std::uint32_t redMask;  // TrueColor only
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    int colormapSize;       // PseudoColor: cells of the visual's colormap
    bool swapBytes;         // the image's byte order is not this machine's
};

// What the display's visual allows: TrueColor with masks of 1 to 8 bits
// each (depth 15, 16, 24, 32), or PseudoColor of at least 256 cells at depth
// 8 or more; everything else is Unsupported.
VisualKind ClassifyVisual(bool trueColor, bool pseudoColor, int depth, int colormapSize, int bitsPerPixel,
                          std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask);

using PixelTable = std::array<std::uint32_t, 256>;

// Entry v is the pixel value that shows palette entry v (R, G, B bytes):
// TrueColor scales each byte to its mask's width, rounded to nearest, and
// shifts it into place; PseudoColor gives v (the colormap holds the palette).
// With swapBytes the value is stored already in the image's byte order.
// Unsupported gives zeros.
PixelTable BuildPixelTable(const unsigned char* palette, const PixelFormat& format);

// A top-down image buffer that holds the part of the window whose top-left
// corner is (left, top): width x height pixels, stride bytes a row.
struct ImageBuffer {
    unsigned char* data;
    std::size_t stride;
    int bitsPerPixel;  // 8, 16, 24 or 32
    int left;
    int top;
    int width;
    int height;
};

// Writes rect (map coordinates: row 0 at the bottom of a width x height map)
// of the 8-bit map src (srcStride bytes a row, bottom row first) into image:
// map row r is window row height - 1 - r, each byte goes through table. The
// rect is clipped to the map and to the image; nothing is written for a
// null buffer, a stride too small or another pixel size.
void ConvertRectToImage(const unsigned char* src, std::size_t srcStride, int width, int height,
                        const PixelRect& rect, const PixelTable& table, const ImageBuffer& image);

// The same rect in image coordinates (top-down rows), as the put takes it.
PixelRect ImageRectOf(const PixelRect& mapRect, int height);
