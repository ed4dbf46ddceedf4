// GDI wrappers: objects own their handle and delete it when destroyed;
// device contexts wrap a handle taken and released within one message.
#pragma once

#include <windows.h>

class CWnd;

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }

    BOOL CreatePalette(const LOGPALETTE* logPalette);
    // Both answer 0 (and CLR_INVALID) for an empty wrapper.
    UINT GetNearestPaletteIndex(COLORREF color) const;
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const;
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    // pointSize in tenths of a point, converted against pDC (the screen when
    // null): height -|LOGPIXELSY * pointSize / 720|, default character set,
    // normal weight, the face cut to 31 characters.
    BOOL CreatePointFont(int pointSize, const char* faceName, class CDC* pDC = nullptr);
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A temporary wrapper, freed when the message loop next goes idle.
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();

    // A memory context owned by this object, deleted with it.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
    void FillSolidRect(const RECT* rect, COLORREF color);

    // Returns the palette that was selected before (a handle: it belongs to its owner).
    HPALETTE SelectPalette(CPalette* pPalette, BOOL forceBackground);
    HPALETTE SelectPalette(HPALETTE palette, BOOL forceBackground);
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    // Returns the object that was selected before.
    HGDIOBJ SelectObject(CGdiObject* pObject) { return pObject ? SelectObject(pObject->m_hObject) : nullptr; }
    HGDIOBJ SelectObject(HGDIOBJ object) { return object ? ::SelectObject(m_hDC, object) : nullptr; }

    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    BOOL TextOut(int x, int y, const char* text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    BOOL BitBlt(int x, int y, int width, int height, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, rop);
    }

private:
    bool m_owned = false;  // made by CreateCompatibleDC
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};
