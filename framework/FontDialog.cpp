#include "framework/FontDialog.h"

#include <cstring>

#include "framework/Wnd.h"

namespace {

// The top-level window that contains hWnd.
HWND TopLevel(HWND hWnd) {
    while (hWnd != nullptr && (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) != 0) hWnd = GetParent(hWnd);
    return hWnd;
}

}  // namespace

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HDC printer, CWnd* parent)
    : m_cf(), m_lf(), m_pParentWnd(parent), m_szStyleName() {
    m_cf.lStructSize = sizeof m_cf;
    m_cf.Flags = flags;
    m_cf.lpLogFont = &m_lf;
    m_cf.lpszStyle = m_szStyleName;
    if (initial != nullptr) {
        m_lf = *initial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (printer != nullptr) {
        m_cf.hDC = printer;
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

CString CFontDialog::GetFaceName() const {
    return CString(m_lf.lfFaceName, static_cast<int>(strnlen(m_lf.lfFaceName, LF_FACESIZE)));
}

CString CFontDialog::GetStyleName() const {
    if (m_cf.lpszStyle == nullptr) return CString();
    // The own buffer is read within its size; a buffer given by the caller is the caller's.
    if (m_cf.lpszStyle == m_szStyleName)
        return CString(m_szStyleName, static_cast<int>(strnlen(m_szStyleName, sizeof m_szStyleName)));
    return CString(m_cf.lpszStyle);
}

INT_PTR CFontDialog::DoModal() {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : GetActiveWindow();
    owner = TopLevel(owner);
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    m_cf.hwndOwner = owner;
    // A cancelled font dialog leaves its structures as they were given. Some
    // implementations (Wine's) write the selection into them while the dialog
    // is open; undo that on Cancel.
    const LOGFONTA givenFont = m_lf;
    char givenStyle[kStyleNameSize];
    std::memcpy(givenStyle, m_szStyleName, sizeof givenStyle);
    if (ChooseFontA(&m_cf)) return IDOK;
    m_lf = givenFont;
    std::memcpy(m_szStyleName, givenStyle, sizeof givenStyle);
    return IDCANCEL;
}
