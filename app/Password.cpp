#include "app/Password.h"

#include <ctime>

namespace {

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, LPVOID);

constexpr UINT kScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING

}  // namespace

// Whether the system's setting asks for a password. Only absence means "no
// password": the key or the value was never written. A key that is there but
// cannot be opened, or a value that is there but does not fit in 4 bytes, is
// taken as asking, because the user evidently set something; asking never
// locks anyone out, since without the system's check the saver closes anyway.
// The value's type is not looked at: shorter values are read into a zeroed
// buffer and taken in the machine's byte order.
bool ScreenSaverPasswordRequired() {
    HKEY key;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return false;
    if (opened != ERROR_SUCCESS) return true;
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

CScreenSaverRunningNotice g_screenSaverRunningNotice;

void CScreenSaverRunningNotice::Give() {
    // Set before the flag, so that no crash can come between the two.
    if (!m_filterSet) {
        m_previousFilter = SetUnhandledExceptionFilter(&CScreenSaverRunningNotice::OnUnhandledException);
        m_filterSet = true;
    }
    UINT previous = 0;
    SystemParametersInfoA(kScreenSaverRunning, TRUE, &previous, 0);
    m_given = true;
}

LONG WINAPI CScreenSaverRunningNotice::OnUnhandledException(EXCEPTION_POINTERS* exception) {
    g_screenSaverRunningNotice.Withdraw();
    // The system's own handling follows (its report of the fault, the end of the process).
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = g_screenSaverRunningNotice.m_previousFilter;
    return previous != nullptr ? previous(exception) : EXCEPTION_CONTINUE_SEARCH;
}

void CScreenSaverRunningNotice::Withdraw() {
    if (!m_given) return;
    UINT previous = 0;
    SystemParametersInfoA(kScreenSaverRunning, FALSE, &previous, 0);
    m_given = false;
}

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query's structure as the 95/98 family knows it");

bool IsWindows9xFamily() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool VerifyScreenSaverPassword(HWND owner, int32_t startTime, CScreenSaverRunningNotice& notice) {
    if (WithinPasswordGrace(startTime, static_cast<int32_t>(std::time(nullptr)))) return true;
    if (!ScreenSaverPasswordRequired()) return true;

    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) return true;
    const auto verify = reinterpret_cast<VerifyScreenSavePwdProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
    // A component that cannot ask is treated like a missing one: going on
    // would leave the user no way back to the desktop.
    bool granted = true;
    if (verify != nullptr) {
        // The notice stays after the dialog: a refused answer must not open the
        // task list, and a granted one ends the saver, which withdraws it.
        // The cursor is shown only while the dialog is open.
        notice.Give();
        ShowCursor(TRUE);
        granted = verify(owner) == 1;
        ShowCursor(FALSE);
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
