#include "display/DibSurface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/Gdi.h"

namespace {

// Sizes a bitmap header can describe for us: the fields are 16 bits wide.
bool FitsSurface(int width, int height) { return width > 0 && height > 0 && width <= 0x7FFF && height <= 0x7FFF; }

// An empty CPalette (one whose creation failed) counts as no palette.
bool HasPalette(const CPalette* pPalette) { return pPalette != nullptr && pPalette->m_hObject != nullptr; }

// A stretch extent within int whose negation is one too: the system negates
// a mirrored extent (Wine divides by zero on INT_MIN).
int SaturateExtent(std::int64_t value) {
    return static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(value, -INT32_MAX), INT32_MAX));
}

void FillHeader(BITMAPINFOHEADER* header, int width, int height, int bitCount) {
    std::memset(header, 0, sizeof *header);
    header->biSize = kDibHeaderBytes;
    header->biWidth = width;
    header->biHeight = height;  // positive: rows run bottom up
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bitCount);
    header->biCompression = BI_RGB;
}

}  // namespace

CDibSurface::~CDibSurface() {
    if (m_pInfo == nullptr) return;
    if (m_isSection && m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    std::free(m_pInfo);
}

int CDibSurface::CreateIdentityDib(int width, int height, const COLORREF* colors) {
    if (m_pInfo != nullptr) {
        std::free(m_pInfo);
        m_pInfo = nullptr;
    }
    if (!FitsSurface(width, height)) return kDibNoPackedMemory;
    const std::int64_t stride = DibStride(width, 8);
    // Rows start zeroed, padding included.
    BYTE* block = static_cast<BYTE*>(std::calloc(1, static_cast<std::size_t>(kDibRgbTableBytes + stride * height)));
    if (block == nullptr) return kDibNoPackedMemory;
    auto* info = reinterpret_cast<BITMAPINFO*>(block);
    FillHeader(&info->bmiHeader, width, height, 8);

    HWND active = ::GetActiveWindow();
    HDC hDC = ::GetDC(active);
    const int numColors = ::GetDeviceCaps(hDC, NUMCOLORS);
    const int sizePalette = ::GetDeviceCaps(hDC, SIZEPALETTE);
    PALETTEENTRY system[kDibColorCount] = {};
    const bool readSystem = numColors >= 1 && sizePalette == kDibColorCount;
    if (readSystem) ::GetSystemPaletteEntries(hDC, 0, kDibColorCount, system);
    ::ReleaseDC(active, hDC);

    static_assert(sizeof(PALETTEENTRY) == sizeof(SystemPaletteEntry), "same layout");
    const int result = BuildIdentityColorTable(numColors, sizePalette,
                                               readSystem ? reinterpret_cast<const SystemPaletteEntry*>(system)
                                                          : nullptr,
                                               reinterpret_cast<const std::uint32_t*>(colors), block + kDibHeaderBytes);
    if (result != kDibOk) {
        std::free(block);
        return result;
    }

    m_pInfo = info;
    m_pColors = block + kDibHeaderBytes;
    m_pBits = block + kDibRgbTableBytes;
    m_numColors = kDibColorCount;
    m_width = static_cast<short>(width);
    m_height = static_cast<short>(height);
    m_bitCount = 8;
    m_fillColor = 0;
    m_fillIndex = 0;
    m_fill16 = 0;
    std::memset(m_fill24, 0, sizeof m_fill24);
    m_isSection = false;
    m_paletteIndices = false;
    return kDibOk;
}

int CDibSurface::CreatePalette(CPalette* pPalette) {
    if (m_pInfo == nullptr) return kDibNoColorCount;
    // A table of palette indices holds no colours to build from.
    if (m_paletteIndices) return kDibNoColorsForIndices;
    DWORD count = m_pInfo->bmiHeader.biClrUsed;
    if (count == 0) {
        if (m_pInfo->bmiHeader.biBitCount != 8) return kDibNoColorCount;
        count = kDibColorCount;
    }
    if (count > static_cast<DWORD>(m_numColors)) count = static_cast<DWORD>(m_numColors);

    auto* logPalette = static_cast<LOGPALETTE*>(
        std::malloc(sizeof(LOGPALETTE) + kDibColorCount * sizeof(PALETTEENTRY)));
    if (logPalette == nullptr) return kDibNoPaletteMemory;
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = static_cast<WORD>(count);
    const RGBQUAD* table = static_cast<const RGBQUAD*>(m_pColors);
    for (DWORD i = 0; i < count; ++i) {
        logPalette->palPalEntry[i].peRed = table[i].rgbRed;
        logPalette->palPalEntry[i].peGreen = table[i].rgbGreen;
        logPalette->palPalEntry[i].peBlue = table[i].rgbBlue;
        logPalette->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = count > 0 ? ::CreatePalette(logPalette) : nullptr;
    std::free(logPalette);
    if (palette != nullptr && pPalette != nullptr && pPalette->Attach(palette)) return kDibOk;
    if (palette != nullptr) ::DeleteObject(palette);
    return kDibPaletteFailed;
}

int CDibSurface::SetFillColor(COLORREF color, CPalette* pPalette) {
    m_fillColor = color;
    switch (m_bitCount) {
    case 8:
        if (HasPalette(pPalette)) {
            m_fillIndex = static_cast<BYTE>(pPalette->GetNearestPaletteIndex(color));
        } else if (m_paletteIndices) {
            return kDibNoColorsForIndices;
        } else {
            CPalette temporary;
            const int result = CreatePalette(&temporary);
            // Without a palette there is no nearest colour: the fill stays as it was.
            if (result != kDibOk) return result;
            m_fillIndex = static_cast<BYTE>(temporary.GetNearestPaletteIndex(color));
        }
        return kDibOk;
    case 16:
        m_fill16 = Fill16FromColor(color);
        return kDibOk;
    case 24:
        Fill24FromColor(color, m_fill24);
        return kDibOk;
    default:
        return kDibBadDepth;
    }
}

int CDibSurface::CreateSection(int width, int height, int bitCount, CDC* pDC, CPalette* pPalette,
                               BOOL bPaletteIndices) {
    // Depths below 8 bits would need a colour table the header block does not
    // hold: the system would read past it.
    const bool knownDepth = bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    if (!FitsSurface(width, height) || !knownDepth) return kDibSectionFailed;
    const bool indices = bitCount == 8 && bPaletteIndices;
    const std::size_t blockSize =
        bitCount != 8 ? kDibHeaderBytes : (indices ? kDibIndexTableBytes : kDibRgbTableBytes);
    BYTE* block = static_cast<BYTE*>(std::calloc(1, blockSize));
    if (block == nullptr) return kDibNoHeaderMemory;
    auto* info = reinterpret_cast<BITMAPINFO*>(block);
    FillHeader(&info->bmiHeader, width, height, bitCount);

    HDC hDC = pDC ? pDC->m_hDC : nullptr;
    if (bitCount == 8) {
        if (indices) {
            WORD* table = reinterpret_cast<WORD*>(block + kDibHeaderBytes);
            for (int i = 0; i < kDibColorCount; ++i) table[i] = static_cast<WORD>(i);
        } else {
            PALETTEENTRY entries[kDibColorCount] = {};
            if (pPalette == nullptr || pPalette->GetPaletteEntries(0, kDibColorCount, entries) != kDibColorCount) {
                std::free(block);
                return kDibShortPalette;
            }
            RGBQUAD* table = reinterpret_cast<RGBQUAD*>(block + kDibHeaderBytes);
            for (int i = 0; i < kDibColorCount; ++i) {
                table[i].rgbBlue = entries[i].peBlue;
                table[i].rgbGreen = entries[i].peGreen;
                table[i].rgbRed = entries[i].peRed;
                table[i].rgbReserved = 0;
            }
        }
    }
    // The indices refer to the palette realised in the context the section is made for.
    if (indices && pDC != nullptr && HasPalette(pPalette)) {
        pDC->SelectPalette(pPalette, FALSE);
        pDC->RealizePalette();
    }
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(hDC, info, indices ? DIB_PAL_COLORS : DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr) ::DeleteObject(section);
        std::free(block);
        return kDibSectionFailed;
    }

    m_pInfo = info;
    m_pColors = block + kDibHeaderBytes;
    m_pBits = static_cast<BYTE*>(bits);
    m_hBitmap = section;
    m_bitCount = static_cast<short>(bitCount);
    m_numColors = bitCount == 8 ? kDibColorCount : 0;
    m_width = static_cast<short>(width);
    m_height = static_cast<short>(height);
    m_isSection = true;
    m_paletteIndices = indices;
    return kDibOk;
}

int CDibSurface::FillRect(const RECT* pRect) {
    SurfaceRect rect = {};
    if (pRect != nullptr) {
        rect = {static_cast<int>(pRect->left), static_cast<int>(pRect->top), static_cast<int>(pRect->right),
                static_cast<int>(pRect->bottom)};
    }
    // The system may still be drawing into a section.
    if (m_isSection) ::GdiFlush();
    FillValues fill = {m_fillIndex, m_fill16, {m_fill24[0], m_fill24[1], m_fill24[2]}};
    return FillSurfaceRect(m_pBits, m_width, m_height, m_bitCount, pRect ? &rect : nullptr, fill);
}

int CDibSurface::Draw(const RECT* pDestRect, const RECT* pSrcRect, CDC* pDC, CDC* pMemDC, int nPaletteMode,
                      CPalette* pPalette) {
    if (pDC == nullptr) return kDibOk;

    // 1. The palette, for 8 bits only.
    CPalette temporary;
    HPALETTE previous = nullptr;
    bool selected = false;
    if (m_bitCount == 8 && nPaletteMode != 0) {
        CPalette* palette = pPalette;
        if (!HasPalette(pPalette)) {
            if (m_paletteIndices) return kDibNoColorsForIndices;
            const int result = CreatePalette(&temporary);
            if (result != kDibOk) return result;
            palette = &temporary;
        }
        previous = pDC->SelectPalette(palette, nPaletteMode == 2);
        pDC->RealizePalette();
        selected = true;
    }
    auto restorePalette = [&] {
        if (selected && temporary.m_hObject != nullptr) {
            pDC->SelectPalette(previous, TRUE);
            temporary.DeleteObject();
        }
    };

    // 2. The source.
    const SurfaceRect whole = {0, 0, m_width, m_height};
    const SurfaceRect source = pSrcRect ? SurfaceRect{static_cast<int>(pSrcRect->left), static_cast<int>(pSrcRect->top),
                                                      static_cast<int>(pSrcRect->right),
                                                      static_cast<int>(pSrcRect->bottom)}
                                        : whole;
    const DrawSource src = ResolveDrawSource(source, m_width, m_height, m_isSection);
    if (src.result != kDibOk) {
        restorePalette();
        return src.result;
    }
    RECT dest = pDestRect ? *pDestRect : RECT{0, 0, m_width, m_height};

    // A packed bitmap is stretched over the destination; a destination extent
    // of 0 takes the source's. Computed wide: any rectangle is safe.
    const std::int64_t destWidth = static_cast<std::int64_t>(dest.right) - dest.left;
    const std::int64_t destHeight = static_cast<std::int64_t>(dest.bottom) - dest.top;
    const std::int64_t drawnWidth = m_isSection || destWidth == 0 ? src.width : destWidth;
    const std::int64_t drawnHeight = m_isSection || destHeight == 0 ? src.height : destHeight;

    // 3. A copy that lands wholly outside the window's client area is skipped.
    bool visible = src.width > 0 && src.height > 0 && m_pInfo != nullptr;
    if (visible) {
        RECT client;
        HWND hWnd = ::WindowFromDC(pDC->m_hDC);
        if (hWnd != nullptr && ::GetClientRect(hWnd, &client)) {
            // A mirrored destination (negative extent) spans the other way.
            const std::int64_t x0 = dest.left, x1 = x0 + drawnWidth, y0 = dest.top, y1 = y0 + drawnHeight;
            visible = std::min(x0, x1) < client.right && std::max(x0, x1) > client.left &&
                      std::min(y0, y1) < client.bottom && std::max(y0, y1) > client.top;
        }
    }

    // 4. The copy.
    if (visible && m_isSection) {
        CDC created;
        CDC* memDC = pMemDC;
        if (memDC == nullptr && created.CreateCompatibleDC(pDC)) memDC = &created;
        // Without a memory context there is nothing to copy from.
        if (memDC != nullptr) {
            HGDIOBJ old = m_hBitmap ? memDC->SelectObject(m_hBitmap) : nullptr;
            pDC->BitBlt(dest.left, dest.top, src.width, src.height, memDC, src.x, src.y, SRCCOPY);
            // A context made here gets its own bitmap back before it goes; a given one keeps ours.
            if (memDC == &created && old != nullptr) memDC->SelectObject(old);
        }
    } else if (visible) {
        ::StretchDIBits(pDC->m_hDC, dest.left, dest.top, SaturateExtent(drawnWidth), SaturateExtent(drawnHeight), src.x,
                        src.y, src.width, src.height,
                        m_pBits, m_pInfo, m_bitCount == 8 && m_paletteIndices ? DIB_PAL_COLORS : DIB_RGB_COLORS,
                        SRCCOPY);
    }

    // 5. A temporary palette goes again.
    restorePalette();
    return kDibOk;
}
