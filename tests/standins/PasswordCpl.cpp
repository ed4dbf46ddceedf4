// Stand-in for the system's "PASSWORD.CPL": VerifyScreenSavePwd answers what
// the test asked for and writes down how it was called and what the system
// looked like during the call (owner, cursor, screen-saver-running flag).
#include <windows.h>

#include "tests/standins/StandinRecord.h"

namespace {
constexpr UINT kGetScreenSaverRunning = 114;  // SPI_GETSCREENSAVERRUNNING
int g_running = 0;                            // calls of this process not yet returned
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) StandinCount(kPasswordLoads);
    if (reason == DLL_PROCESS_DETACH) StandinCount(kPasswordUnloads);
    return TRUE;
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    StandinCount(kVerifyCalls);
    // A call made while another still runs shows as a depth above 1.
    ++g_running;
    if (static_cast<DWORD>(g_running) > StandinRead(kVerifyMostNested))
        StandinWrite(kVerifyMostNested, static_cast<DWORD>(g_running));
    StandinWrite(kVerifyWindow, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner)));

    // The display count without changing it: one step up and back down.
    const int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    StandinWrite(kVerifyCursorCount, static_cast<DWORD>(count));
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    const BOOL gotCursor = GetCursorInfo(&cursor);
    StandinWrite(kVerifyCursorShowing, gotCursor ? (cursor.flags & CURSOR_SHOWING ? 1 : 0) : 2);

    BOOL running = FALSE;
    const BOOL gotRunning = SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    StandinWrite(kVerifySaverRunning, gotRunning ? (running ? 1 : 0) : 2);

    // The system's dialog is modal: it disables its owner, so input does not
    // reach the saver meanwhile, and its loop keeps dispatching the owner's timer.
    const BOOL wasDisabled = EnableWindow(owner, FALSE);
    const DWORD pumpMs = StandinRead(kVerifyPumpMs);
    DWORD ticks = 0;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < pumpMs) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == owner) ++ticks;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    StandinWrite(kVerifyTimerTicks, ticks);
    if (StandinRead(kVerifyCrash) != 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    if (!wasDisabled) EnableWindow(owner, TRUE);
    --g_running;

    return static_cast<BOOL>(StandinRead(kVerifyAnswer));
}
