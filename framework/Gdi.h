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
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A temporary wrapper, freed when the message loop next goes idle.
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();

    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
    void FillSolidRect(const RECT* rect, COLORREF color);
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};
