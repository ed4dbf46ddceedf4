#include "app/Password.h"

#include <ctime>

namespace {

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, LPVOID);

constexpr UINT kScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING

// Whether the system's setting asks for a password. An absent key or value
// means no password; a value that is there but unreadable as a 32-bit number
// is taken as asking, since the user evidently meant to set something.
bool PasswordRequired() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    BYTE buffer[4] = {0, 0, 0, 0};
    DWORD type = 0, size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, buffer, &size);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND) return false;
    if (result != ERROR_SUCCESS) return true;
    const uint32_t value = static_cast<uint32_t>(buffer[0]) | static_cast<uint32_t>(buffer[1]) << 8 |
                           static_cast<uint32_t>(buffer[2]) << 16 | static_cast<uint32_t>(buffer[3]) << 24;
    return value != 0;
}

}  // namespace

bool IsWindows9xFamily() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool VerifyScreenSaverPassword(HWND owner, int32_t startTime) {
    // Differences are taken modulo 2^32 so a wrapped clock still counts forward.
    const int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)) -
                                                 static_cast<uint32_t>(startTime));
    if (elapsed < kPasswordGraceSeconds) return true;
    if (!PasswordRequired()) return true;

    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) return true;
    const auto verify = reinterpret_cast<VerifyScreenSavePwdProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
    // A component without the check cannot ask: treat it like a missing one.
    bool granted = true;
    if (verify != nullptr) {
        UINT previous = 0;
        SystemParametersInfoA(kScreenSaverRunning, TRUE, &previous, 0);
        ShowCursor(TRUE);
        granted = verify(owner) == 1;
        ShowCursor(FALSE);
        SystemParametersInfoA(kScreenSaverRunning, FALSE, &previous, 0);
    }
    FreeLibrary(library);
    return granted;
}

void ChangeScreenSaverPassword(HWND parent) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    const auto change = reinterpret_cast<PwdChangePasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(library);
}
