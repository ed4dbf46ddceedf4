// CWinApp: the process entry. The one application object is global; the
// framework's WinMain calls its InitInstance and then runs the message loop.
#pragma once

#include <windows.h>

#include "framework/String.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop: ends at once when there is no main window, else when
    // the main window is destroyed (its last message posts WM_QUIT).
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    // The module's file name without folder and extension unless a name was given.
    CString m_pszAppName;
    CString m_pszRegistryKey;  // empty until SetRegistryKey

    // Dialogs are drawn three-dimensional by the system itself; kept for the
    // start-up sequence, it loads nothing.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // From here on the profile lives under
    // HKEY_CURRENT_USER\Software\<company>\<application name>\<section>.
    void SetRegistryKey(const char* company) { m_pszRegistryKey = company; }

    // Absent values, values of another registry type and unreadable keys give
    // the default. Nothing is created by reading.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);

private:
    CString SectionPath(const char* section) const;
    int m_exitCode = 0;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();
