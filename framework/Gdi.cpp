#include "framework/Gdi.h"

#include <map>

#include "framework/Wnd.h"

namespace {
// Wrappers handed out by CDC::FromHandle, one per handle, so that a long modal
// loop that keeps asking for the same context does not pile them up.
std::map<HDC, CDC*> g_tempDCs;
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

CDC* CDC::FromHandle(HDC hDC) {
    if (hDC == nullptr) return nullptr;
    CDC*& dc = g_tempDCs[hDC];
    if (dc == nullptr) {
        dc = new CDC;
        dc->m_hDC = hDC;
    }
    return dc;
}

void CDC::DeleteTempMap() {
    for (auto& entry : g_tempDCs) delete entry.second;
    g_tempDCs.clear();
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    // An opaque ExtTextOut of no text fills with the background colour, without a brush.
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
