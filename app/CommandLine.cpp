#include "app/CommandLine.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSwitch(const char* token, char letter) {
    const char slash[] = {'/', letter, '\0'};
    const char dash[] = {'-', letter, '\0'};
    const char bare[] = {letter, '\0'};
    return TokenEquals(token, slash) || TokenEquals(token, dash) || TokenEquals(token, bare);
}

uint32_t ReadDigits(const char* cmdLine, std::size_t pos) {
    uint32_t value = 0;
    for (; pos < kMaxTokenLength && IsDigit(cmdLine[pos]); ++pos)
        value = value * 10u + static_cast<uint32_t>(cmdLine[pos] - '0');
    return value;
}

}  // namespace

std::size_t ExtractToken(const char* cmdLine, char* token) {
    std::size_t pos = 0;
    while (pos < kMaxTokenLength && cmdLine[pos] != '\0' && cmdLine[pos] != ' ' && cmdLine[pos] != ':') {
        token[pos] = cmdLine[pos];
        ++pos;
    }
    token[pos] = '\0';
    return pos;
}

bool TokenEquals(const char* token, const char* literal) {
    for (;; ++token, ++literal) {
        if (ToLowerAscii(*token) != ToLowerAscii(*literal)) return false;
        if (*token == '\0') return true;
    }
}

uint32_t ReadConfigWindowNumber(const char* cmdLine, std::size_t pos) {
    while (pos < kMaxTokenLength && (cmdLine[pos] == ' ' || cmdLine[pos] == ':')) ++pos;
    return ReadDigits(cmdLine, pos);
}

uint32_t ReadPasswordWindowNumber(const char* cmdLine, std::size_t pos) {
    while (pos < kMaxTokenLength && cmdLine[pos] == ' ') ++pos;
    return ReadDigits(cmdLine, pos);
}

ModeChoice ChooseMode(const char* cmdLine, bool isWin9x) {
    if (cmdLine == nullptr) cmdLine = "";
    char token[kMaxTokenLength + 1];
    const std::size_t pos = ExtractToken(cmdLine, token);

    if (isWin9x && IsSwitch(token, 'a')) {
        const uint32_t window = ReadPasswordWindowNumber(cmdLine, pos);
        return {SaverMode::ChangePassword, window, window == 0};
    }
    if (IsSwitch(token, 'p')) return {SaverMode::Preview, 0, false};
    if (IsSwitch(token, 's')) return {SaverMode::Saver, 0, false};
    if (IsSwitch(token, 'c')) {
        const uint32_t window = ReadConfigWindowNumber(cmdLine, pos);
        // Read as a signed number: zero and "negative" values are no window.
        return {SaverMode::ConfigureWithParent, window, static_cast<int32_t>(window) <= 0};
    }
    return {SaverMode::Configure, 0, false};
}
