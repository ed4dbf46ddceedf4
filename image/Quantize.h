// Reducing a picture of 24-bit colours to a palette of at most 256 entries and
// one byte per pixel.
#pragma once

#include <cstddef>

constexpr int kMaxPaletteColors = 256;

// rgbx holds pixelCount pixels of four bytes, R, G, B and one that is not
// looked at. Writes one palette index per pixel into indices and the palette
// into entries 0 to n - 1 of palette (R, G, B triples); returns n.
//
// A picture with at most 256 distinct colours keeps exactly those, numbered
// in the order they first occur. One with more is reduced by median cut over
// its distinct colours (at full precision up to 65536 of them, else with as
// few low bits of each channel dropped as bring them under that, in one pass
// over the pixels): the box with the most pixels times its longest side is
// split at its median along that side until there are 256, and each box's
// colour is the exact mean of its pixels. No dithering: it would turn flat
// areas into noise in the relief.
//
// Returns 0 (and writes nothing it promised) for no pixels, a null buffer or
// when the working memory cannot be allocated.
int QuantizeColors(const unsigned char* rgbx, std::size_t pixelCount, unsigned char* indices,
                   unsigned char* palette);
