// The system's screen-saver password on the Windows 95/98 family, through the
// components it provides: asked before the saver closes, changed on "/a".
#pragma once

#include <windows.h>

#include <cstdint>

// True on the Windows 95/98 family (platform id 1), the only systems on which
// the saver itself asks for the screen-saver password. A failed query counts as not.
bool IsWindows9xFamily();

// No password is asked during this many seconds after the set-up finished.
constexpr int32_t kPasswordGraceSeconds = 5;

// True when the saver may close: within the grace period, when the system's
// setting asks for no password, when the system's check is not available, or
// when the user gave the right password in the system's dialog (owned by owner).
bool VerifyScreenSaverPassword(HWND owner, int32_t startTime);

// Runs the system's dialog for changing the screen-saver password.
void ChangeScreenSaverPassword(HWND parent);
