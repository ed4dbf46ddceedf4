#include "saver/TextLines.h"

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
            lines[line].append(text + start, i - start);
            if (++line == kMaxTextLines) {
                return lines;
            }
            i += 2;
            start = i;
        } else {
            ++i;
        }
    }
    lines[line].append(text + start, length - start);
    return lines;
}

TextLines SplitTextLines(const std::string& text) {
    return SplitTextLines(text.data(), text.size());
}

void FormatNotFoundMessage(const char* fileName, char* message, std::size_t capacity) {
    static const char kPrefix[] = " Sorry, file not found: ";
    static const char kEllipsis[] = "...";
    if (message == nullptr || capacity == 0) {
        return;
    }
    std::string text = kPrefix;
    const std::string name = fileName ? fileName : "";
    const std::size_t room = capacity - 1;                  // characters, without the terminator
    const std::size_t fixed = text.size() + 1;              // prefix and the closing blank
    if (fixed + name.size() <= room) {
        text += name;
    } else if (room > fixed + sizeof kEllipsis - 1) {
        const std::size_t keep = room - fixed - (sizeof kEllipsis - 1);
        text += kEllipsis;
        text += name.substr(name.size() - keep);
    }
    text += ' ';
    text.resize(std::min(text.size(), room));
    std::memcpy(message, text.c_str(), text.size() + 1);
}

void CutHeightsUnderBlack(const unsigned int* pixels, std::size_t rowStride, int firstRow, int rowCount,
                          int screenWidth, int screenHeight, unsigned char* heightMap) {
    if (pixels == nullptr || heightMap == nullptr || screenWidth <= 0 || screenHeight <= 0) {
        return;
    }
    for (int r = 0; r < rowCount; ++r) {
        const long long screenRow = static_cast<long long>(firstRow) + r;
        if (screenRow < 0 || screenRow >= screenHeight) {
            continue;
        }
        const unsigned int* row = pixels + static_cast<std::size_t>(r) * rowStride;
        unsigned char* heights =
            heightMap + static_cast<std::size_t>(screenHeight - 1 - screenRow) * static_cast<std::size_t>(screenWidth);
        for (int x = 0; x < screenWidth; ++x) {
            if ((row[x] & 0xFFFFFFu) == 0) {
                heights[x] = 0;
            }
        }
    }
}
