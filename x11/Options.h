// The command line of the X11 program: the eighteen settings as options named
// after their keys, and the options by which X11 screen-saver hosts start
// display programs. Every option takes one or two leading dashes.
#pragma once

#include <string>

#include "settings/Settings.h"

// The option name of a setting (without dashes): the key with a leading
// "Bump " dropped, split into words at blanks and where a capital starts a
// new word, lower-cased and joined by dashes ("Bump XFallOff" ->
// "x-fall-off", "CW Direction" -> "cw-direction"). "FilenameGif" is
// "picture": the file may be any picture format.
std::string OptionNameOf(SettingId id);

// The settings as the saver reads them: integers and texts by SettingId, the
// saver's defaults (the dialog's for the three settings the saver never
// reads). Integers are kept as given, like a stored registry value.
struct SettingValues {
    int number[kSettingCount];
    std::string text[kSettingCount];
};
SettingValues DefaultSettingValues();

enum class WindowMode {
    OwnWindow,  // a window of its own; a key, a button or closing it ends the program
    Root,       // the screen's root window
    WindowId,   // a window a host made, by its id
};

struct CommandLine {
    SettingValues settings;
    WindowMode mode = WindowMode::OwnWindow;
    unsigned long windowId = 0;  // with WindowMode::WindowId
    bool showFps = false;
    bool help = false;
    std::string display;         // -display NAME; empty: $DISPLAY
};

enum class ParseStatus { Run, Help, Error };

struct ParseResult {
    ParseStatus status;
    std::string message;  // with Error: one line naming the option or value
};

// Parses argv[1..argc-1]. hostWindow is $XSCREENSAVER_WINDOW (null when not
// set): when the command line asks for the root window the host's window is
// used instead. An explicit -window-id wins over both. The last of -root,
// -window and -window-id wins.
ParseResult ParseCommandLine(int argc, const char* const* argv, const char* hostWindow, CommandLine* out);

// A window id: decimal, or hexadecimal after 0x / 0X; no sign, no blanks,
// not 0, at most 32 bits (X ids are 29 bits).
bool ParseWindowId(const char* text, unsigned long* id);

// The -help text: usage, every option with its value and range and the
// saver's default.
std::string HelpText(const char* programName);
