// The system's screen-saver password on the Windows 95/98 family, through the
// components it provides: asked before the saver closes, changed on "/a".
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/PasswordGrace.h"

// True on the Windows 95/98 family (platform id 1), the only systems on which
// the saver itself asks for the screen-saver password. A failed query counts as not.
bool IsWindows9xFamily();

// Whether the system's setting asks for the screen-saver password. A key or
// value that is there but cannot be read counts as asking.
bool ScreenSaverPasswordRequired();

// The system's knowledge that a screen saver runs. While it is given, the
// 95/98 family offers no task list (Ctrl+Alt+Del), Alt+Tab or Ctrl+Esc, which
// would let anyone end a password-protected saver. Given as often as asked,
// withdrawn once, and at the latest when the object goes.
//
// The system keeps it beyond the process, until the user restarts Windows,
// so a process has one, g_screenSaverRunningNotice, and once given it is
// withdrawn on every end the process can have: the normal clean-up, its
// destructor among the exit handlers (which the release's run-time also runs
// on its fatal paths: a failed new, a pure virtual call), and, for a crash in
// our code or in the system's password component, the unhandled-exception
// filter that the first Give puts in front of whatever filter was there.
class CScreenSaverRunningNotice {
public:
    CScreenSaverRunningNotice() = default;
    ~CScreenSaverRunningNotice() { Withdraw(); }
    CScreenSaverRunningNotice(const CScreenSaverRunningNotice&) = delete;
    CScreenSaverRunningNotice& operator=(const CScreenSaverRunningNotice&) = delete;

    void Give();
    void Withdraw();

private:
    // Withdraws the process's notice, then asks the filter it replaced.
    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception);

    bool m_given = false;
    bool m_filterSet = false;
    LPTOP_LEVEL_EXCEPTION_FILTER m_previousFilter = nullptr;
};

// The process's notice (the system's flag is the whole session's).
extern CScreenSaverRunningNotice g_screenSaverRunningNotice;

// True when the saver may close: within the grace period after startTime
// (calendar seconds), when the system's setting asks for no password, when the
// system's check is not available, or when the user gave the right password in
// the system's dialog, owned by owner. Nothing is kept between calls: the
// setting is read and the component loaded and released on every call. The
// notice is given before the dialog and left given whatever the answer: the
// saver withdraws it when it really ends.
bool VerifyScreenSaverPassword(HWND owner, int32_t startTime, CScreenSaverRunningNotice& notice);

// Runs the system's dialog for changing the screen-saver password, owned by
// parent. Does nothing when the component or its entry point is missing.
void ChangeScreenSaverPassword(HWND parent);
