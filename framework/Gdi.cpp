#include "framework/Gdi.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/HandleMap.h"
#include "framework/Wnd.h"

namespace {
// Wrappers handed out by CDC::FromHandle, one per handle, so that a long modal
// loop that keeps asking for the same context does not pile them up.
CHandleMap<HDC, CDC> g_tempDCs;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (object == nullptr || m_hObject != nullptr) return FALSE;
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CPalette::CreatePalette(const LOGPALETTE* logPalette) { return Attach(::CreatePalette(logPalette)); }

UINT CPalette::GetNearestPaletteIndex(COLORREF color) const {
    return m_hObject ? ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), color) : CLR_INVALID;
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
    return m_hObject ? ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, entries) : 0;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) { return Attach(::CreateFontIndirectA(logFont)); }

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, CDC* pDC) {
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    const int64_t pixelsPerInch = hDC ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
    if (pDC == nullptr && hDC != nullptr) ::ReleaseDC(nullptr, hDC);
    // Computed wide: any stored size gives a height, huge ones the largest there is.
    int64_t height = pixelsPerInch * pointSize / 720;
    if (height < 0) height = -height;
    if (height > INT32_MAX) height = INT32_MAX;
    LOGFONTA logFont = {};
    logFont.lfHeight = -static_cast<LONG>(height);
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (faceName) {
        std::strncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
        logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    return CreateFontIndirect(&logFont);
}

CDC::~CDC() {
    if (m_owned) DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC) {
    if (hDC == nullptr) return nullptr;
    CDC** slot = g_tempDCs.Slot(hDC);
    if (slot == nullptr) return nullptr;  // no memory for the table
    if (*slot == nullptr) {
        *slot = new CDC;
        (*slot)->m_hDC = hDC;
    }
    return *slot;
}

void CDC::DeleteTempMap() {
    for (auto& entry : g_tempDCs) delete entry.object;
    g_tempDCs.Clear();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) return FALSE;
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    m_owned = m_hDC != nullptr;
    return m_owned;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr || !m_owned) return FALSE;
    const BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    return deleted;
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    // An opaque ExtTextOut of no text fills with the background colour, without a brush.
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

HPALETTE CDC::SelectPalette(CPalette* pPalette, BOOL forceBackground) {
    return pPalette ? SelectPalette(static_cast<HPALETTE>(pPalette->m_hObject), forceBackground) : nullptr;
}

HPALETTE CDC::SelectPalette(HPALETTE palette, BOOL forceBackground) {
    return palette ? ::SelectPalette(m_hDC, palette, forceBackground) : nullptr;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
