// Splitting the user's text into the lines that are drawn into the relief.
#pragma once

#include <array>
#include <cstddef>
#include <string>

constexpr std::size_t kMaxTextLines = 4;

using TextLines = std::array<std::string, kMaxTextLines>;

// CR LF ends a line and is dropped; a lone CR or LF is an ordinary character
// of its line. All four lines start empty. The CR LF that would open a fifth
// line and everything after it are dropped. A null text gives four empty lines.
TextLines SplitTextLines(const char* text, std::size_t length);
TextLines SplitTextLines(const std::string& text);

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
