// The system's screen-saver password on the Windows 95/98 family, through the
// components it provides: asked before the saver closes, changed on "/a".
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/PasswordGrace.h"

// True on the Windows 95/98 family (platform id 1), the only systems on which
// the saver itself asks for the screen-saver password. A failed query counts as not.
bool IsWindows9xFamily();

// True when the saver may close: within the grace period after startTime
// (calendar seconds), when the system's setting asks for no password, when the
// system's check is not available, or when the user gave the right password in
// the system's dialog, owned by owner. Nothing is kept between calls: the
// setting is read and the component loaded and released on every call.
bool VerifyScreenSaverPassword(HWND owner, int32_t startTime);

// Runs the system's dialog for changing the screen-saver password, owned by
// parent. Does nothing when the component or its entry point is missing.
void ChangeScreenSaverPassword(HWND parent);
