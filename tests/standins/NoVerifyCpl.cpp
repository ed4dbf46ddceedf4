// Stand-in for a "PASSWORD.CPL" that loads but has no VerifyScreenSavePwd:
// it only writes down that it was loaded and released.
#include <windows.h>

#include "tests/standins/StandinRecord.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) StandinCount(kPasswordLoads);
    if (reason == DLL_PROCESS_DETACH) StandinCount(kPasswordUnloads);
    return TRUE;
}
