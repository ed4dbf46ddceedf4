#include "saver/TextLines.h"

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
