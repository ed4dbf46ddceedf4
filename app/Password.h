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
class CScreenSaverRunningNotice {
public:
    CScreenSaverRunningNotice() = default;
    ~CScreenSaverRunningNotice() { Withdraw(); }
    CScreenSaverRunningNotice(const CScreenSaverRunningNotice&) = delete;
    CScreenSaverRunningNotice& operator=(const CScreenSaverRunningNotice&) = delete;

    void Give();
    void Withdraw();

private:
    bool m_given = false;
};

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
