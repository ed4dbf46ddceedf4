// CFontDialog: the system's font-selection dialog (ChooseFontA) over the
// logical font m_lf and the style-name buffer that m_cf points to.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "framework/String.h"

class CWnd;

class CFontDialog {
public:
    // initial (may be null) is copied into m_lf and preselected; printer, when
    // given, offers its fonts as well. The system's dialog is used as it is,
    // without a hook procedure.
    explicit CFontDialog(const LOGFONTA* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS,
                         HDC printer = nullptr, CWnd* parent = nullptr);
    CFontDialog(const CFontDialog&) = delete;
    CFontDialog& operator=(const CFontDialog&) = delete;

    // IDOK when the user chose a font, IDCANCEL otherwise; after IDCANCEL m_lf
    // and the style name are as they were given. Without a parent the dialog
    // is owned by this thread's active window, which it disables meanwhile.
    INT_PTR DoModal();

    CString GetFaceName() const;
    CString GetStyleName() const;

    // The style buffer's size, terminator included.
    static constexpr int kStyleNameSize = 64;

    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;

private:
    CWnd* m_pParentWnd;
    char m_szStyleName[kStyleNameSize];
};
