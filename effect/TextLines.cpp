#include "effect/TextLines.h"

#include <algorithm>
#include <cstring>

TextLines SplitTextLines(const char* text, std::size_t length) {
    TextLines lines;
    if (text == nullptr) {
        return lines;
    }
    std::size_t line = 0;
    std::size_t start = 0;  // start of the current line's run of characters
    for (std::size_t i = 0; i < length;) {
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') {
            lines[line] = CString(text + start, static_cast<int>(i - start));
            if (++line == kMaxTextLines) {
                return lines;
            }
            i += 2;
            start = i;
        } else {
            ++i;
        }
    }
    lines[line] = CString(text + start, static_cast<int>(length - start));
    return lines;
}

TextLines SplitTextLines(const CString& text) {
    return SplitTextLines(text, static_cast<std::size_t>(text.GetLength()));
}

void FormatNotFoundMessage(const char* fileName, char* message, std::size_t capacity) {
    static const char kPrefix[] = " Sorry, file not found: ";
    static const char kEllipsis[] = "...";
    if (message == nullptr || capacity == 0) {
        return;
    }
    CString text = kPrefix;
    const char* name = fileName ? fileName : "";
    const std::size_t nameLength = std::strlen(name);
    const std::size_t room = capacity - 1;                          // characters, without the terminator
    const std::size_t fixed = static_cast<std::size_t>(text.GetLength()) + 1;  // prefix and the closing blank
    if (fixed + nameLength <= room) {
        text += name;
    } else if (room > fixed + sizeof kEllipsis - 1) {
        const std::size_t keep = room - fixed - (sizeof kEllipsis - 1);
        text += kEllipsis;
        text += name + (nameLength - keep);
    }
    text += ' ';
    const std::size_t length = std::min(static_cast<std::size_t>(text.GetLength()), room);
    std::memcpy(message, static_cast<const char*>(text), length);
    message[length] = '\0';
}

bool PlaceTextCell(long long x, long long y, long long width, long long height, int screenWidth, int screenHeight,
                   int* drawX, int* drawY) {
    // Italic overhangs reach beyond a cell's advance: a cell counts as on the
    // screen while it is within its own height of it.
    const long long margin = height > 0 ? height : 0;
    const long long right = x + (width > 0 ? width : 0);
    const long long bottom = y + (height > 0 ? height : 0);
    if (right + margin <= 0 || x - margin >= screenWidth || bottom <= 0 || y >= screenHeight) return false;
    *drawX = static_cast<int>(std::clamp(x, -kMaxGdiCoordinate, kMaxGdiCoordinate));
    *drawY = static_cast<int>(std::clamp(y, -kMaxGdiCoordinate, kMaxGdiCoordinate));
    return true;
}

namespace {

// Rows [firstRow, firstRow + rowCount) of the screen, top-down: wherever
// isBlack(row, x) holds, the height below becomes 0.
template <typename Pixel, typename IsBlack>
void CutHeights(const Pixel* pixels, std::size_t rowStride, int firstRow, int rowCount, int screenWidth,
                int screenHeight, unsigned char* heightMap, IsBlack isBlack) {
    if (pixels == nullptr || heightMap == nullptr || screenWidth <= 0 || screenHeight <= 0) {
        return;
    }
    for (int r = 0; r < rowCount; ++r) {
        const long long screenRow = static_cast<long long>(firstRow) + r;
        if (screenRow < 0 || screenRow >= screenHeight) {
            continue;
        }
        const Pixel* row = pixels + static_cast<std::size_t>(r) * rowStride;
        unsigned char* heights =
            heightMap + static_cast<std::size_t>(screenHeight - 1 - screenRow) * static_cast<std::size_t>(screenWidth);
        for (int x = 0; x < screenWidth; ++x) {
            if (isBlack(row[x])) {
                heights[x] = 0;
            }
        }
    }
}

}  // namespace

void CutHeightsUnderBlack(const unsigned int* pixels, std::size_t rowStride, int firstRow, int rowCount,
                          int screenWidth, int screenHeight, unsigned char* heightMap) {
    CutHeights(pixels, rowStride, firstRow, rowCount, screenWidth, screenHeight, heightMap,
               [](unsigned int pixel) { return (pixel & 0xFFFFFFu) == 0; });
}

void CutHeightsUnderMask(const unsigned char* blackMask, std::size_t rowStride, int firstRow, int rowCount,
                         int screenWidth, int screenHeight, unsigned char* heightMap) {
    CutHeights(blackMask, rowStride, firstRow, rowCount, screenWidth, screenHeight, heightMap,
               [](unsigned char black) { return black != 0; });
}

long long FontPointTenths(int fontHeight, int pixelsPerInch) {
    const long long ppi = std::max(1, pixelsPerInch);
    const long long maxTenths = kMaxFontPixels * 720 / ppi;
    return std::clamp<long long>(static_cast<long long>(fontHeight) * 80, -maxTenths, maxTenths);
}

long long FontPixelHeight(int fontHeight, int pixelsPerInch) {
    const long long tenths = FontPointTenths(fontHeight, pixelsPerInch);
    return (tenths < 0 ? -tenths : tenths) * std::max(1, pixelsPerInch) / 720;
}
