#include "x11/Options.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

std::string OptionNameOf(SettingId id) {
    if (id == kFilenameGif) return "picture";
    const char* key = Setting(id).key;
    if (std::strncmp(key, "Bump ", 5) == 0) key += 5;
    std::string name;
    for (std::size_t i = 0; key[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        if (c == ' ') {
            name += '-';
            continue;
        }
        if (std::isupper(c) && i > 0 && key[i - 1] != ' ') {
            const unsigned char prev = static_cast<unsigned char>(key[i - 1]);
            const unsigned char next = static_cast<unsigned char>(key[i + 1]);
            // "XFallOff": a capital after a small letter, or a capital
            // between a capital and a small letter, starts a word.
            if (std::islower(prev) || (std::isupper(prev) && std::islower(next))) name += '-';
        }
        name += static_cast<char>(std::tolower(c));
    }
    return name;
}

SettingValues DefaultSettingValues() {
    SettingValues values;
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& info = kSettings[i];
        const SettingDefault& d = info.readBySaver ? info.saver : info.dialog;
        values.number[i] = info.kind == SettingKind::Integer ? d.number : 0;
        values.text[i] = info.kind == SettingKind::String && d.text != nullptr ? d.text : "";
    }
    return values;
}

namespace {

// Decimal int with an optional sign, nothing else.
bool ParseInt(const char* text, int* value) {
    if (text == nullptr || *text == '\0' || std::isspace(static_cast<unsigned char>(*text))) return false;
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || n < INT_MIN || n > INT_MAX) return false;
    *value = static_cast<int>(n);
    return true;
}

// On the command line a line feed ends a text line as CR LF does in the
// store; a CR LF given as such stays one line break.
std::string TextFromCommandLine(const char* text) {
    std::string out;
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

bool SettingByName(const std::string& name, SettingId* id) {
    for (int i = 0; i < kSettingCount; ++i) {
        if (OptionNameOf(static_cast<SettingId>(i)) == name) {
            *id = static_cast<SettingId>(i);
            return true;
        }
    }
    return false;
}

ParseResult Error(std::string message) { return {ParseStatus::Error, std::move(message)}; }

}  // namespace

bool ParseWindowId(const char* text, unsigned long* id) {
    if (text == nullptr) return false;
    int base = 10;
    const char* digits = text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        digits = text + 2;
    }
    if (*digits == '\0') return false;
    for (const char* p = digits; *p != '\0'; ++p) {
        if (base == 10 ? !std::isdigit(static_cast<unsigned char>(*p)) : !std::isxdigit(static_cast<unsigned char>(*p)))
            return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(digits, &end, base);
    if (errno != 0 || *end != '\0' || n == 0 || n > 0xFFFFFFFFull) return false;
    *id = static_cast<unsigned long>(n);
    return true;
}

ParseResult ParseCommandLine(int argc, const char* const* argv, const char* hostWindow, CommandLine* out) {
    CommandLine line;
    line.settings = DefaultSettingValues();
    bool explicitId = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || arg[1] == '\0' || (arg[1] == '-' && arg[2] == '\0')) {
            return Error(std::string("unknown option \"") + arg + "\"; -help lists the options");
        }
        const std::string name = arg + (arg[1] == '-' ? 2 : 1);
        if (name == "help" || name == "h") {
            *out = line;
            return {ParseStatus::Help, ""};
        }
        if (name == "root") {
            line.mode = WindowMode::Root;
            explicitId = false;
            continue;
        }
        if (name == "window") {
            line.mode = WindowMode::OwnWindow;
            explicitId = false;
            continue;
        }
        if (name == "fps") {
            line.showFps = true;
            continue;
        }
        SettingId id = kSettingCount;
        const bool isSetting = SettingByName(name, &id);
        if (!isSetting && name != "window-id" && name != "display") {
            return Error(std::string("unknown option \"") + arg + "\"; -help lists the options");
        }
        if (i + 1 >= argc) return Error(std::string("option \"") + arg + "\" needs a value");
        const char* value = argv[++i];
        if (name == "window-id") {
            if (!ParseWindowId(value, &line.windowId)) {
                return Error(std::string("option \"") + arg + "\": \"" + value +
                             "\" is not a window id (decimal or 0x hexadecimal)");
            }
            line.mode = WindowMode::WindowId;
            explicitId = true;
        } else if (name == "display") {
            line.display = value;
        } else if (Setting(id).kind == SettingKind::Integer) {
            if (!ParseInt(value, &line.settings.number[id])) {
                return Error(std::string("option \"") + arg + "\": \"" + value + "\" is not a whole number");
            }
        } else {
            line.settings.text[id] = TextFromCommandLine(value);
        }
    }
    // Hosts pass -root together with the window they made for the program.
    if (line.mode == WindowMode::Root && !explicitId && hostWindow != nullptr && *hostWindow != '\0') {
        if (!ParseWindowId(hostWindow, &line.windowId)) {
            return Error(std::string("XSCREENSAVER_WINDOW: \"") + hostWindow + "\" is not a window id");
        }
        line.mode = WindowMode::WindowId;
    }
    *out = line;
    return {ParseStatus::Run, ""};
}

std::string HelpText(const char* programName) {
    std::string text = std::string("Usage: ") + programName + " [options]\n"
        "A picture shown as a lit relief, a light circling over it.\n\n"
        "Where it draws (one or two leading dashes alike):\n"
        "  -window          a window of its own (the default); a key, a button or closing it ends the program\n"
        "  -root            the root window, or the host's window named by $XSCREENSAVER_WINDOW\n"
        "  -window-id ID    the window ID (decimal or 0x hexadecimal)\n"
        "  -display NAME    the X display (default $DISPLAY)\n"
        "  -fps             frame rate and CPU load in a corner\n"
        "  -help            this list\n\n"
        "Settings (default in brackets; outside the range a value is used as given, a frame rate below 1 is 1):\n";
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& info = kSettings[i];
        const SettingDefault& d = info.readBySaver ? info.saver : info.dialog;
        std::string line = "  -" + OptionNameOf(static_cast<SettingId>(i));
        if (info.kind == SettingKind::Integer) {
            line += " N";
            line.resize(line.size() < 21 ? 21 : line.size() + 1, ' ');
            line += "\"" + std::string(info.key) + "\"";
            if (info.hasRange) line += ", " + std::to_string(info.minimum) + " to " + std::to_string(info.maximum);
            line += " [" + std::to_string(d.number) + "]";
        } else {
            line += " TEXT";
            line.resize(line.size() < 21 ? 21 : line.size() + 1, ' ');
            line += "\"" + std::string(info.key) + "\" [\"" + (d.text ? d.text : "") + "\"]";
        }
        if (!info.readBySaver) line += " (kept for the settings dialog; unused)";
        text += line + "\n";
    }
    text += "\n-picture: a GIF, PNG, JPEG or BMP file; empty or starting with a blank: the generated picture.\n"
            "-x-position: Left, Center or Right; -y-position: Bottom, Center or Top.\n"
            "-text-lines: up to four lines, separated by line feeds.\n"
            "SIGTERM, SIGINT and SIGHUP end the program.\n";
    return text;
}
