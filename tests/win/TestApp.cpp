#include "tests/win/TestApp.h"

#include <gtest/gtest.h>

#include "framework/runtime/X87.h"
#include "settings/Settings.h"

namespace {
CWinApp g_testApp(kTestAppName);
}

CWinApp& TestApp() { return g_testApp; }

void ClearTestProfile() {
    // The profile has one section and no deeper keys.
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestConfigKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvaine\\OrvaneTests");
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int main(int argc, char** argv) {
    // The release's start-up sets the same precision before anything runs.
    SetX87DoublePrecision();
    ::testing::InitGoogleTest(&argc, argv);
    g_testApp.m_hInstance = GetModuleHandleA(nullptr);
    g_testApp.SetRegistryKey(kCompanyKey);
    ClearTestProfile();
    const int result = RUN_ALL_TESTS();
    ClearTestProfile();
    return result;
}
