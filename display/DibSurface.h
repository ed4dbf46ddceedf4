// CDibSurface: a device-independent bitmap of 8, 16 or 24 bits per pixel with
// its header, colour table, pixels and fill values. Operations return int
// codes, 0 for success.
#pragma once

#include <windows.h>

class CDibSurface {
public:
    CDibSurface() = default;
    ~CDibSurface();
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    BITMAPINFO* m_pInfo = nullptr;  // header and colour table (and, packed, the pixels); malloc'ed
    BYTE* m_pBits = nullptr;        // first byte of the pixel rows, bottom row first
    void* m_pColors = nullptr;      // the colour table: m_pInfo + 40
    HBITMAP m_hBitmap = nullptr;    // the DIB section, when m_isSection
    short m_numColors = 0;
    short m_width = 0;
    short m_height = 0;
    short m_bitCount = 0;
    COLORREF m_fillColor = 0;
    BYTE m_fillIndex = 0;
    WORD m_fill16 = 0;
    BYTE m_fill24[3] = {0, 0, 0};  // blue, green, red: a 24-bit pixel's byte order
    bool m_isSection = false;
    bool m_paletteIndices = false;
};
