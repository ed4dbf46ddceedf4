// What the stand-in system components write down, and where the tests set
// their answers: values under HKEY_CURRENT_USER\Software\OrvaneStandins, so
// a test in the same process and a script outside it (wine reg query) can
// both read them.
#pragma once

#include <windows.h>

constexpr const char* kStandinKey = "Software\\OrvaneStandins";

// Set by the test: what VerifyScreenSavePwd returns (absent: 0), and for how
// many milliseconds it runs a message loop first, as the system's modal
// dialog would (absent: none).
constexpr const char* kVerifyAnswer = "VerifyAnswer";
constexpr const char* kVerifyPumpMs = "VerifyPumpMs";
// Set by the test: non-zero makes VerifyScreenSavePwd fault (an access
// violation), as a broken system component would, after its message loop.
constexpr const char* kVerifyCrash = "VerifyCrash";

// Written by PASSWORD.CPL (and NOVERIFY.CPL, which has no check).
constexpr const char* kPasswordLoads = "PasswordLoads";      // process attaches
constexpr const char* kPasswordUnloads = "PasswordUnloads";  // process detaches
constexpr const char* kVerifyCalls = "VerifyCalls";
constexpr const char* kVerifyWindow = "VerifyWindow";              // the owner handle
constexpr const char* kVerifyCursorCount = "VerifyCursorCount";    // display count, signed
constexpr const char* kVerifyCursorShowing = "VerifyCursorShowing";  // CURSORINFO says shown
constexpr const char* kVerifySaverRunning = "VerifySaverRunning";  // SPI_GETSCREENSAVERRUNNING
constexpr const char* kVerifyTimerTicks = "VerifyTimerTicks";      // owner's WM_TIMER during the loop
constexpr const char* kVerifyMostNested = "VerifyMostNested";      // calls running at once, at most

// Written by MPR.DLL.
constexpr const char* kChangeCalls = "ChangeCalls";
constexpr const char* kChangeProvider = "ChangeProvider";
constexpr const char* kChangeWindow = "ChangeWindow";
constexpr const char* kChangeArg3 = "ChangeArg3";
constexpr const char* kChangeArg4 = "ChangeArg4";  // a pointer: recorded as 0 or 1

inline DWORD StandinRead(const char* name, DWORD fallback = 0) {
    DWORD value = fallback, size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStandinKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        value = fallback;
    RegCloseKey(key);
    return value;
}

inline void StandinWrite(const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kStandinKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

inline void StandinWriteString(const char* name, const char* text) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kStandinKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    RegCloseKey(key);
}

inline void StandinCount(const char* name) { StandinWrite(name, StandinRead(name) + 1); }
