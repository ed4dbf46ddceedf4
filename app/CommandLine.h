// Reading the screen-saver switch and the optional window number that the
// system's screen-saver machinery puts on the command line.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SaverMode {
    ChangePassword,       // "/a": the system's password-change dialog (95/98 family only)
    Preview,              // "/p": refused, the process ends at once
    Saver,                // "/s": the full-screen saver
    ConfigureWithParent,  // "/c": settings dialog owned by the named window
    Configure,            // anything else: settings dialog without parent
};

struct ModeChoice {
    SaverMode mode;
    // The window number read after "/c" or "/a"; meaningful only when
    // useForegroundWindow is false.
    uint32_t window;
    // No usable number followed the switch: the foreground window stands in.
    bool useForegroundWindow;
};

// The token holds at most this many characters (plus its terminator).
constexpr std::size_t kMaxTokenLength = 200;

// Copies the first token of cmdLine into token (room for kMaxTokenLength + 1
// characters). Copying stops at the end, a blank, a colon or after
// kMaxTokenLength characters; the stop position is returned.
std::size_t ExtractToken(const char* cmdLine, char* token);

// True when token equals literal, ASCII letters compared without case.
bool TokenEquals(const char* token, const char* literal);

// Window number after "/c": blanks and colons skipped, then decimal digits with
// 32-bit wrap-around. Never reads at or past position kMaxTokenLength.
uint32_t ReadConfigWindowNumber(const char* cmdLine, std::size_t pos);

// Window number after "/a": only blanks are skipped ("/a:77" has no number).
uint32_t ReadPasswordWindowNumber(const char* cmdLine, std::size_t pos);

// The whole decision: cmdLine may be null (treated as empty).
ModeChoice ChooseMode(const char* cmdLine, bool isWin9x);
