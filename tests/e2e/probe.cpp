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
// Numbers may be decimal or 0x-hex. Exit code 0 on success, 1 when no window was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

int TextCommand(const char* face, int height, const char* text, const char* out) {
    const int width = GetSystemMetrics(SM_CXSCREEN), rows = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -rows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return 1;
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
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return 1;
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

}  // namespace

int main(int argc, char** argv) {
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
    std::fprintf(stderr, "usage: orvane_probe find [seconds] | list | post HWND MESSAGE WPARAM LPARAM | "
                         "text FACE HEIGHT TEXT OUT.pgm | message TEXT OUT.ppm\n");
    return 2;
}
