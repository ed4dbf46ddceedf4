// Shared pieces of the effect's Windows tests: a saver window whose frames
// the test drives itself, screen read-back, and GIF files written on the fly.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "saver/SaverWnd.h"
#include "effect/TextLines.h"
#include "settings/Settings.h"
#include "tests/native/image/GifWriter.h"
#include "tests/win/TestApp.h"

namespace effecttest {

// A saver window made by CreateFullScreen with its frame timer stopped, so
// that frames run only when the test calls OnTimer. With a seed the default
// picture's noise is known (the constructor's tick count is overridden).
class SaverWindow {
public:
    explicit SaverWindow(bool seeded = false, unsigned seed = 1) {
        wnd = new CSaverWnd;
        if (seeded) wnd->m_randomSeed = seed;
        created = wnd->CreateFullScreen() != FALSE;
        if (!created) {
            wnd = nullptr;  // a failed creation deletes the object
            return;
        }
        hWnd = wnd->m_hWnd;
        KillTimer(hWnd, kFrameTimerId);
        MSG msg;
        while (PeekMessageA(&msg, hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        }
        UpdateWindow(hWnd);  // the first paint, so that none is pending later
    }
    ~SaverWindow() {
        if (wnd != nullptr && IsWindow(hWnd)) wnd->DestroyWindow();
        PumpMessages(20);
        ClearTestProfile();
    }
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    int W() const { return wnd->m_screenWidth; }
    int H() const { return wnd->m_screenHeight; }
    int Stride() const { return static_cast<int>(DibStride(wnd->m_dib.m_width, 8)); }
    void Frame() { wnd->OnTimer(kFrameTimerId); }

    CSaverWnd* wnd = nullptr;
    HWND hWnd = nullptr;
    bool created = false;
};

// Pixels of a window area as 0x00RRGGBB, rows top-down, copied through a
// 32-bit memory bitmap. With no window: the screen itself (under Wine what the
// X server shows, once the window's drawing has been flushed to it).
inline std::vector<std::uint32_t> Capture(HWND hWnd, int x, int y, int width, int height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    HDC windowDC = GetDC(hWnd);
    HDC memDC = CreateCompatibleDC(windowDC);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(memDC, bitmap);
        BitBlt(memDC, 0, 0, width, height, windowDC, x, y, SRCCOPY);
        GdiFlush();
        const std::uint32_t* p = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = p[i] & 0xFFFFFFu;
        SelectObject(memDC, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memDC);
    ReleaseDC(hWnd, windowDC);
    return out;
}

// What the screen shows when it shows the whole frame bitmap (an RGB colour
// table: the display is deeper than 8 bits), rows top-down as Capture gives them.
inline std::vector<std::uint32_t> BitmapAsScreen(const CSaverWnd& wnd) {
    const int w = wnd.m_dib.m_width;
    const int h = wnd.m_dib.m_height;
    const std::size_t stride = DibStride(w, 8);
    const std::uint32_t* table = static_cast<const std::uint32_t*>(wnd.m_dib.m_pColors);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[static_cast<std::size_t>(y) * w + x] =
                table[wnd.m_dib.m_pBits[static_cast<std::size_t>(h - 1 - y) * stride + x]] & 0xFFFFFFu;
    return out;
}

// Paints the window's whole area in one colour behind the saver's back.
inline void Scribble(HWND hWnd, COLORREF color) {
    HDC dc = GetDC(hWnd);
    RECT rect;
    GetClientRect(hWnd, &rect);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    GdiFlush();
    ReleaseDC(hWnd, dc);
}

inline std::string TempPath(const char* name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A width x height GIF with a 256-entry colour table (R, G, B per entry) and
// pixel(column, row) as each pixel's index, rows from the top.
inline void WriteGif(const std::string& path, int width, int height, const std::vector<std::uint8_t>& palette,
                     const std::function<int(int, int)>& pixel) {
    using namespace giftest;
    Bytes file = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(file, width);
    PutWord(file, height);
    file.push_back(0xF7);  // global table of 256 entries
    file.push_back(0);
    file.push_back(0);
    file.insert(file.end(), palette.begin(), palette.end());
    file += ImageDescriptor(0, 0, width, height);
    // Roots only, with a clear code often enough that codes stay 9 bits wide.
    CodeStream codes(8);
    codes.Clear();
    int sinceClear = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            if (++sinceClear == 250) {
                codes.Clear();
                sinceClear = 1;
            }
            codes.Code(pixel(c, r) & 0xFF);
        }
    }
    codes.End();
    file += codes.ImageData();
    file.push_back(0x3B);
    WriteFile(path, file);
}

// 256 greys: entry i is grey(i) as R = G = B.
inline std::vector<std::uint8_t> GreyPalette(const std::function<int(int)>& grey) {
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) palette.push_back(static_cast<std::uint8_t>(grey(i)));
    return palette;
}

inline int Brightness(const BYTE* palette, int i) { return palette[3 * i] + palette[3 * i + 1] + palette[3 * i + 2]; }

}  // namespace effecttest
