// Splitting the user's text into the lines that are drawn into the relief.
#pragma once

#include <array>
#include <cstddef>

#include "framework/String.h"

constexpr std::size_t kMaxTextLines = 4;

using TextLines = std::array<CString, kMaxTextLines>;

// CR LF ends a line and is dropped; a lone CR or LF is an ordinary character
// of its line. All four lines start empty. The CR LF that would open a fifth
// line and everything after it are dropped. A null text gives four empty lines.
TextLines SplitTextLines(const char* text, std::size_t length);
TextLines SplitTextLines(const CString& text);

// The failure message for a picture that could not be loaded: the prefix, the
// file name and a closing blank, cut to fit capacity - 1 characters plus the
// terminator. A name too long to fit keeps its end (the file's own name),
// behind "...".
void FormatNotFoundMessage(const char* fileName, char* message, std::size_t capacity);

// The read-back of the burnt text: rows [firstRow, firstRow + rowCount) of the
// screen, top-down, as 32-bit pixels (0x00RRGGBB, rowStride pixels apart).
// Wherever a pixel is pure black the height below it becomes 0; the height
// map keeps row 0 at the bottom of a screenWidth x screenHeight screen. Rows
// outside the screen are ignored.
void CutHeightsUnderBlack(const unsigned int* pixels, std::size_t rowStride, int firstRow, int rowCount,
                          int screenWidth, int screenHeight, unsigned char* heightMap);

// The same from a mask of one byte a pixel, rowStride bytes a row: a non-zero
// byte marks a black pixel.
void CutHeightsUnderMask(const unsigned char* blackMask, std::size_t rowStride, int firstRow, int rowCount,
                         int screenWidth, int screenHeight, unsigned char* heightMap);

// The layout of the lines, in screen pixels (y down), kept wide so that a font
// of any stored size cannot overflow it. The block's height counts only the
// lines that are not empty, while drawing advances by every line's height (an
// empty line too, by what the font gives for it). Each line is centred by its
// own width; characters follow each other by their own advance, no kerning.
inline long long TextBlockTop(int screenHeight, long long blockHeight) { return (screenHeight - blockHeight) / 2; }
inline long long TextLineLeft(int screenWidth, long long lineWidth) { return (screenWidth - lineWidth) / 2; }

// The tallest font the text is drawn in, in pixels: a taller one shows no
// more than a sliver of one letter, while a rasteriser may spend seconds on
// each glyph.
constexpr long long kMaxFontPixels = 4096;

// "Font Height" h asks for 8 h points (so 18 gives 144 points, 192 pixels at
// 96 pixels per inch). In tenths of a point, held to what gives at most
// kMaxFontPixels at pixelsPerInch (at least 1), sign kept.
long long FontPointTenths(int fontHeight, int pixelsPerInch);
// The same as a pixel height (the absolute value, rounded down).
long long FontPixelHeight(int fontHeight, int pixelsPerInch);

// The largest coordinate the 95/98 family's drawing takes: it keeps positions
// in 16 bits, and one beyond +-32767 wraps to the other side of the screen.
constexpr long long kMaxGdiCoordinate = 32767;

// Where a character cell at (x, y), width x height pixels in screen
// coordinates, is drawn: false when it lies wholly off the screenWidth x
// screenHeight screen (more than its height beside it, or above or below it),
// so that it is left out; otherwise *drawX, *drawY receive the position held
// to +-kMaxGdiCoordinate, which changes no cell that reaches the screen
// unless the cell itself is wider or taller than that.
bool PlaceTextCell(long long x, long long y, long long width, long long height, int screenWidth, int screenHeight,
                   int* drawX, int* drawY);
