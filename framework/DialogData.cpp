#include "framework/DialogData.h"

#include <cstdint>
#include <cstring>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool ParseDialogInt(const char* text, int* value) {
    if (text == nullptr) return false;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    // Accumulate the magnitude in 64 bits and stop as soon as it can no
    // longer be an int, so that any number of digits is safe.
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) return false;
    }
    while (IsBlank(*p)) ++p;
    if (*p != '\0') return false;
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

CString FormatDialogInt(int value) {
    // Digits from the end, of the magnitude as unsigned: INT_MIN has no positive int.
    char buffer[16];
    char* p = buffer + sizeof buffer;
    *--p = '\0';
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    return p;
}

CString FormatPrompt(const char* prompt, const char* first, const char* second) {
    CString out;
    for (const char* p = prompt; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            out += p[1] == '1' ? first : second;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::vector<DlgInitItem> ParseDlgInit(const void* data, std::size_t size) {
    std::vector<DlgInitItem> items;
    if (data == nullptr) return items;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::size_t pos = 0;
    while (size - pos >= 2) {
        const uint16_t id = static_cast<uint16_t>(bytes[pos] | bytes[pos + 1] << 8);
        if (id == 0) break;
        if (size - pos < 8) break;
        const uint16_t message = static_cast<uint16_t>(bytes[pos + 2] | bytes[pos + 3] << 8);
        const uint32_t length = static_cast<uint32_t>(bytes[pos + 4]) | static_cast<uint32_t>(bytes[pos + 5]) << 8 |
                                static_cast<uint32_t>(bytes[pos + 6]) << 16 | static_cast<uint32_t>(bytes[pos + 7]) << 24;
        pos += 8;
        if (length > size - pos) break;
        const char* text = reinterpret_cast<const char*>(bytes + pos);
        const void* end = std::memchr(text, '\0', length);
        const std::size_t textLength = end ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : length;
        items.push_back({id, message, CString(text, static_cast<int>(textLength))});
        pos += length;
    }
    return items;
}
