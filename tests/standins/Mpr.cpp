// Stand-in for the system's "MPR.DLL": PwdChangePasswordA writes down its
// arguments instead of running the system's password-change dialog.
#include <windows.h>

#include "tests/standins/StandinRecord.h"

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD flags, LPVOID info) {
    StandinCount(kChangeCalls);
    StandinWriteString(kChangeProvider, provider != nullptr ? provider : "(null)");
    StandinWrite(kChangeWindow, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parent)));
    StandinWrite(kChangeArg3, flags);
    StandinWrite(kChangeArg4, info != nullptr ? 1 : 0);
    return 0;
}
