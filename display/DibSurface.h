// CDibSurface: a device-independent bitmap of 8, 16 or 24 bits per pixel with
// its header, colour table, pixels and fill values. Operations return int
// codes, 0 for success (display/SurfaceLogic.h names them).
#pragma once

#include <windows.h>

#include "display/SurfaceLogic.h"

class CDC;
class CPalette;

class CDibSurface {
public:
    CDibSurface() = default;
    ~CDibSurface();
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    // A packed 8-bit bitmap (header, colour table and rows in one block) whose
    // colour table keeps the display's static colours at both ends and holds
    // colors (256 COLORREFs, or null for black) between them.
    int CreateIdentityDib(int width, int height, const COLORREF* colors);
    // A logical palette from the colour table, attached to pPalette (which must be empty).
    int CreatePalette(CPalette* pPalette);
    // Converts color into the fill value of the surface's depth; pPalette may be null.
    int SetFillColor(COLORREF color, CPalette* pPalette);

    // Makes the empty surface a DIB section; bPaletteIndices chooses a colour
    // table of indices into pPalette (selected and realised in pDC) instead of
    // pPalette's colours.
    int CreateSection(int width, int height, int bitCount, CDC* pDC, CPalette* pPalette, BOOL bPaletteIndices);
    // Fills pRect (clamped to the surface), or the whole surface when null.
    int FillRect(const RECT* pRect);
    // Copies pSrcRect of the surface to pDC at pDestRect's top left (a packed
    // bitmap is stretched to pDestRect). nPaletteMode: 0 leaves the palette
    // alone, 1 selects and realises it as foreground, 2 as background.
    int Draw(const RECT* pDestRect, const RECT* pSrcRect, CDC* pDC, CDC* pMemDC, int nPaletteMode,
             CPalette* pPalette);

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
