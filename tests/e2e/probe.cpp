// A small Windows tool for the end-to-end tests: it looks at the saver's
// window from another process under the same Wine server and sends it messages.
//   orvane_probe find [seconds]   -> "hwnd style exstyle left top right bottom screenW screenH count"
//   orvane_probe list                -> one line per window: "hwnd exstyle left top right bottom"
//   orvane_probe post HWND MESSAGE WPARAM LPARAM
//   orvane_probe text FACE HEIGHT TEXT OUT.pgm
//       draws one line of TEXT as the saver burns it (point size 8 x HEIGHT,
//       white on black, centred, one character at a time) on a screen-sized
//       memory bitmap and writes it as a PGM: 255 where a pixel is not black.
//       Prints "left top right bottom" of the line's cells.
//   orvane_probe message TEXT OUT.ppm
//       draws TEXT as the failure message is drawn (default font, black on
//       red) on a memory bitmap of its extent and writes it as a PPM.
//       Prints "cx cy", the extent.
// The settings dialog and its store (texts print CR as \r and LF as \n):
//   orvane_probe dialog CAPTION [seconds [SKIP...]]
//                                          -> hwnd of a visible top-level window with that caption, other than SKIP
//   orvane_probe owned OWNER [seconds]     -> "hwnd class|caption|static texts" of a visible window owned by OWNER
//   orvane_probe info HWND                 -> "owner enabled visible left top right bottom"
//   orvane_probe gettext HWND ID           -> the text of control ID (0: the window itself)
//   orvane_probe settext HWND ID TEXT      -> sets it (\r and \n in TEXT become CR and LF)
//   orvane_probe check HWND ID             -> 0, 1 or 2 (BM_GETCHECK)
//   orvane_probe items HWND ID             -> a combo box's list, one item a line
//   orvane_probe center HWND ID            -> "x y" of the control's centre on the screen (0: the window's close box)
//   orvane_probe focus HWND                -> "id selStart selEnd" of the control with the focus in HWND's thread
//   orvane_probe foreground                -> hwnd of the foreground window (0 when none)
//   orvane_probe store                     -> every value of the saver's Config key as NAME=dword:N or NAME=sz:TEXT
//                                             (other types as NAME=type<T>:<size>), sorted; "absent" without the key
//   orvane_probe put NAME dword|sz|binary|qword VALUE [REPEAT]
//                                          -> stores VALUE (binary: hex bytes) REPEAT times over under that key
// Numbers may be decimal or 0x-hex. Exit code 0 on success, 1 when no window was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <algorithm>

namespace {

struct Found {
    HWND hWnd = nullptr;
    int count = 0;
};

// The saver's windows are the visible top-level windows of a framework-registered class.
BOOL CALLBACK Collect(HWND hWnd, LPARAM lParam) {
    char cls[128] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::strncmp(cls, "Afx:", 4) == 0 && IsWindowVisible(hWnd)) {
        Found* found = reinterpret_cast<Found*>(lParam);
        if (found->hWnd == nullptr) found->hWnd = hWnd;
        ++found->count;
    }
    return TRUE;
}

BOOL CALLBACK Print(HWND hWnd, LPARAM) {
    char cls[128] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::strncmp(cls, "Afx:", 4) != 0 || !IsWindowVisible(hWnd)) return TRUE;
    RECT r;
    GetWindowRect(hWnd, &r);
    std::printf("%llu 0x%08lx %ld %ld %ld %ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)),
                static_cast<unsigned long>(GetWindowLongA(hWnd, GWL_EXSTYLE)), r.left, r.top, r.right, r.bottom);
    return TRUE;
}

unsigned long long Number(const char* text) { return std::strtoull(text, nullptr, 0); }

int FindCommand(int seconds) {
    const DWORD start = GetTickCount();
    Found found;
    do {
        found = Found();
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
        if (found.hWnd != nullptr) break;
        Sleep(100);
    } while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000u);
    if (found.hWnd == nullptr) {
        std::printf("none\n");
        return 1;
    }
    RECT r;
    GetWindowRect(found.hWnd, &r);
    std::printf("%llu 0x%08lx 0x%08lx %ld %ld %ld %ld %d %d %d\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(found.hWnd)),
                static_cast<unsigned long>(GetWindowLongA(found.hWnd, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(found.hWnd, GWL_EXSTYLE)), r.left, r.top, r.right,
                r.bottom, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), found.count);
    return 0;
}

// A 32-bit bitmap with its rows top-down, pixels 0x00RRGGBB; null when it cannot be made.
HBITMAP TopDownBitmap(HDC dc, int width, int height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap != nullptr && *bits == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

int TextCommand(const char* face, int height, const char* text, const char* out) {
    const int width = GetSystemMetrics(SM_CXSCREEN), rows = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap(screen, width, rows, &bits);
    if (bitmap == nullptr) return 1;
    SelectObject(dc, bitmap);
    std::memset(bits, 0, static_cast<size_t>(width) * rows * 4);

    LOGFONTA font = {};
    font.lfHeight = -(GetDeviceCaps(screen, LOGPIXELSY) * height * 80 / 720);
    font.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    SelectObject(dc, CreateFontIndirectA(&font));
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    const int length = static_cast<int>(std::strlen(text));
    SIZE line = {0, 0};
    GetTextExtentPointA(dc, text, length, &line);
    int x = (width - line.cx) / 2;
    const int y = (rows - line.cy) / 2;
    const int left = x;
    for (int k = 0; k < length; ++k) {
        TextOutA(dc, x, y, text + k, 1);
        SIZE one = {0, 0};
        GetTextExtentPointA(dc, text + k, 1, &one);
        x += one.cx;
    }
    GdiFlush();
    FILE* file = std::fopen(out, "wb");
    if (file == nullptr) return 1;
    std::fprintf(file, "P5\n%d %d\n255\n", width, rows);
    const DWORD* pixel = static_cast<const DWORD*>(bits);
    for (long i = 0; i < static_cast<long>(width) * rows; ++i) std::fputc((pixel[i] & 0xFFFFFF) ? 255 : 0, file);
    std::fclose(file);
    std::printf("%d %d %d %ld\n", left, y, x, y + line.cy);
    ReleaseDC(nullptr, screen);
    return 0;
}

int MessageCommand(const char* text, const char* out) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    const int length = static_cast<int>(std::strlen(text));
    SIZE size = {0, 0};
    GetTextExtentPointA(dc, text, length, &size);
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap(screen, size.cx, size.cy, &bits);
    if (bitmap == nullptr) return 1;
    SelectObject(dc, bitmap);
    SetBkColor(dc, RGB(255, 0, 0));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 0, 0, text, length);
    GdiFlush();
    FILE* file = std::fopen(out, "wb");
    if (file == nullptr) return 1;
    std::fprintf(file, "P6\n%ld %ld\n255\n", size.cx, size.cy);
    const DWORD* pixel = static_cast<const DWORD*>(bits);
    for (long i = 0; i < size.cx * size.cy; ++i) {
        std::fputc((pixel[i] >> 16) & 0xFF, file);
        std::fputc((pixel[i] >> 8) & 0xFF, file);
        std::fputc(pixel[i] & 0xFF, file);
    }
    std::fclose(file);
    std::printf("%ld %ld\n", size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    return 0;
}

constexpr const char* kConfigKey = "Software\\Tolvaine\\Orvane\\Config";

HWND Handle(const char* text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text))); }
unsigned long long Number(HWND hWnd) { return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)); }

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string Unescaped(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '\\' && (p[1] == 'r' || p[1] == 'n')) {
            out += p[1] == 'r' ? '\r' : '\n';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// WM_GETTEXT reaches controls of another process, where GetWindowText does not.
std::string ControlText(HWND hWnd) {
    const LRESULT length = SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const LRESULT got = SendMessageA(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

HWND Control(HWND dialog, const char* id) {
    const int n = static_cast<int>(Number(id));
    return n == 0 ? dialog : GetDlgItem(dialog, n);
}

// Polls for up to seconds; returns the first window that matches.
template <typename Match>
HWND WaitForTopLevel(int seconds, Match match) {
    const DWORD start = GetTickCount();
    for (;;) {
        struct State {
            Match* match;
            HWND found;
        } state = {&match, nullptr};
        EnumWindows(
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                State* st = reinterpret_cast<State*>(lParam);
                if (IsWindowVisible(hWnd) && (*st->match)(hWnd)) {
                    st->found = hWnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&state));
        if (state.found != nullptr) return state.found;
        if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000u) return nullptr;
        Sleep(100);
    }
}

int DialogCommand(const char* caption, int seconds, const std::vector<HWND>& skip) {
    HWND hWnd = WaitForTopLevel(seconds, [caption, &skip](HWND w) {
        return ControlText(w) == caption && std::find(skip.begin(), skip.end(), w) == skip.end();
    });
    if (hWnd == nullptr) {
        std::printf("none\n");
        return 1;
    }
    std::printf("%llu\n", Number(hWnd));
    return 0;
}

int OwnedCommand(HWND owner, int seconds) {
    HWND hWnd = WaitForTopLevel(seconds, [owner](HWND w) { return GetWindow(w, GW_OWNER) == owner; });
    if (hWnd == nullptr) {
        std::printf("none\n");
        return 1;
    }
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    std::string statics;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char childClass[64] = {};
        GetClassNameA(child, childClass, sizeof childClass);
        const std::string text = ControlText(child);
        if (lstrcmpiA(childClass, "Static") == 0 && !text.empty()) statics += (statics.empty() ? "" : "|") + text;
    }
    std::printf("%llu %s|%s|%s\n", Number(hWnd), cls, Escaped(ControlText(hWnd)).c_str(), Escaped(statics).c_str());
    return 0;
}

int CenterCommand(HWND dialog, const char* id) {
    RECT r;
    if (Number(id) == 0) {
        // The close box sits at the right end of the caption, inside the frame.
        GetWindowRect(dialog, &r);
        const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
        const int button = GetSystemMetrics(SM_CXSIZE);
        const int caption = GetSystemMetrics(SM_CYCAPTION);
        std::printf("%ld %ld\n", r.right - frame - button / 2 - 1, r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + caption / 2);
        return 0;
    }
    HWND control = Control(dialog, id);
    if (control == nullptr || !GetWindowRect(control, &r)) return 1;
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

int FocusCommand(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || info.hwndFocus == nullptr) {
        std::printf("none\n");
        return 1;
    }
    HWND focus = info.hwndFocus;
    char cls[64] = {};
    GetClassNameA(focus, cls, sizeof cls);
    DWORD selStart = 0, selEnd = 0;
    if (lstrcmpiA(cls, "Edit") == 0) {
        const LRESULT sel = SendMessageA(focus, EM_GETSEL, 0, 0);
        selStart = LOWORD(sel);
        selEnd = HIWORD(sel);
    }
    // A combo box's field is its child: report the combo box.
    if (GetParent(focus) != dialog && GetParent(focus) != nullptr) focus = GetParent(focus);
    std::printf("%d %lu %lu\n", GetDlgCtrlID(focus), selStart, selEnd);
    return 0;
}

int ItemsCommand(HWND combo) {
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    // Wine hands a list's text to another process in UTF-16 only.
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[256] = {};
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || length >= 256) return 1;
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, nullptr, nullptr);
        std::printf("%s\n", text);
    }
    return count >= 0 ? 0 : 1;
}

int StoreCommand() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("absent\n");
        return 0;
    }
    std::vector<std::string> lines;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<unsigned char> data(size + 1, 0);
        nameSize = sizeof name;
        RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &size);
        std::string line = std::string(name) + "=";
        char number[64];
        if (type == REG_DWORD && size == 4) {
            DWORD value;
            std::memcpy(&value, data.data(), 4);
            std::snprintf(number, sizeof number, "dword:%ld", static_cast<long>(static_cast<LONG>(value)));
            line += number;
        } else if (type == REG_SZ) {
            line += "sz:" + Escaped(std::string(reinterpret_cast<const char*>(data.data())));
        } else {
            std::snprintf(number, sizeof number, "type%lu:%lu", type, size);
            line += number;
        }
        lines.push_back(line);
    }
    RegCloseKey(key);
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return 0;
}

int PutCommand(const char* name, const char* type, const char* value, int repeat) {
    std::string data;
    DWORD regType;
    if (std::strcmp(type, "dword") == 0 || std::strcmp(type, "qword") == 0) {
        const unsigned long long n = std::strtoull(value, nullptr, 0);
        regType = type[0] == 'd' ? REG_DWORD : REG_QWORD;
        data.assign(reinterpret_cast<const char*>(&n), regType == REG_DWORD ? 4 : 8);
    } else if (std::strcmp(type, "sz") == 0) {
        regType = REG_SZ;
        const std::string one = Unescaped(value);
        for (int i = 0; i < repeat; ++i) data += one;
        data += '\0';
    } else if (std::strcmp(type, "binary") == 0) {
        regType = REG_BINARY;
        for (const char* p = value; p[0] && p[1]; p += 2) data += static_cast<char>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16));
    } else {
        return 2;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const LONG result = RegSetValueExA(key, name, 0, regType, reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "dialog" && argc >= 3) {
        std::vector<HWND> skip;
        for (int i = 4; i < argc; ++i) skip.push_back(Handle(argv[i]));
        return DialogCommand(argv[2], argc >= 4 ? std::atoi(argv[3]) : 10, skip);
    }
    if (command == "owned" && argc >= 3) return OwnedCommand(Handle(argv[2]), argc >= 4 ? std::atoi(argv[3]) : 10);
    if (command == "info" && argc == 3) {
        HWND hWnd = Handle(argv[2]);
        RECT r = {};
        GetWindowRect(hWnd, &r);
        std::printf("%llu %d %d %ld %ld %ld %ld\n", Number(GetWindow(hWnd, GW_OWNER)), IsWindowEnabled(hWnd) ? 1 : 0,
                    IsWindowVisible(hWnd) ? 1 : 0, r.left, r.top, r.right, r.bottom);
        return IsWindow(hWnd) ? 0 : 1;
    }
    if (command == "gettext" && argc == 4) {
        HWND control = Control(Handle(argv[2]), argv[3]);
        if (control == nullptr) return 1;
        std::printf("%s\n", Escaped(ControlText(control)).c_str());
        return 0;
    }
    if (command == "settext" && argc == 5) {
        HWND control = Control(Handle(argv[2]), argv[3]);
        const std::string text = Unescaped(argv[4]);
        return control != nullptr && SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? 0 : 1;
    }
    if (command == "check" && argc == 4) {
        HWND control = Control(Handle(argv[2]), argv[3]);
        if (control == nullptr) return 1;
        std::printf("%ld\n", static_cast<long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        return 0;
    }
    if (command == "items" && argc == 4) {
        HWND control = Control(Handle(argv[2]), argv[3]);
        return control != nullptr ? ItemsCommand(control) : 1;
    }
    if (command == "center" && argc == 4) return CenterCommand(Handle(argv[2]), argv[3]);
    if (command == "focus" && argc == 3) return FocusCommand(Handle(argv[2]));
    if (command == "foreground") {
        std::printf("%llu\n", Number(GetForegroundWindow()));
        return 0;
    }
    if (command == "store") return StoreCommand();
    if (command == "put" && argc >= 5) return PutCommand(argv[2], argv[3], argv[4], argc >= 6 ? std::atoi(argv[5]) : 1);
    if (argc >= 2 && std::strcmp(argv[1], "find") == 0) return FindCommand(argc >= 3 ? std::atoi(argv[2]) : 10);
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) return EnumWindows(Print, 0) ? 0 : 1;
    if (argc == 6 && std::strcmp(argv[1], "post") == 0) {
        HWND hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(argv[2])));
        return PostMessageA(hWnd, static_cast<UINT>(Number(argv[3])), static_cast<WPARAM>(Number(argv[4])),
                            static_cast<LPARAM>(Number(argv[5])))
                   ? 0
                   : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "message") == 0) return MessageCommand(argv[2], argv[3]);
    if (argc == 6 && std::strcmp(argv[1], "text") == 0) return TextCommand(argv[2], std::atoi(argv[3]), argv[4], argv[5]);
    std::fprintf(stderr, "usage: orvane_probe find|list|post|text|message|dialog|owned|info|gettext|settext|check|"
                         "items|center|focus|foreground|store|put ... (see the source)\n");
    return 2;
}
