#include "framework/WinApp.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Wnd.h"

namespace {

CWinApp* g_app = nullptr;

CString ModuleBaseName() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[length < MAX_PATH ? length : MAX_PATH] = '\0';
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    const char* dot = std::strrchr(name, '.');
    return dot ? CString(name, static_cast<int>(dot - name)) : CString(name);
}

}  // namespace

CWinApp* AfxGetApp() { return g_app; }

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? CString(appName) : ModuleBaseName()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    if (m_pMainWnd == nullptr) return ExitInstance();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        CWnd::DeleteTempMap();
        CDC::DeleteTempMap();
    }
    m_exitCode = msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

CString CWinApp::SectionPath(const char* section) const {
    return CString("Software\\") + m_pszRegistryKey + "\\" + m_pszAppName + "\\" + section;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    if (m_pszRegistryKey.IsEmpty()) return static_cast<UINT>(defaultValue);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return static_cast<UINT>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG result = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<UINT>(defaultValue);
    return value;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    const CString fallback(defaultValue);
    if (m_pszRegistryKey.IsEmpty()) return fallback;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fallback;
    CString text = fallback;
    // The value may change between asking its size and reading it: try again a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) break;
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = size;
        const LONG result =
            RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (result == ERROR_MORE_DATA) continue;
        if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // Stored strings need not be terminated; the extra byte makes sure.
            buffer[got < size ? got : size] = '\0';
            text = buffer.data();
        }
        break;
    }
    RegCloseKey(key);
    return text;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    if (m_pszRegistryKey.IsEmpty()) return FALSE;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    const DWORD data = static_cast<DWORD>(value);
    const LONG result = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    if (m_pszRegistryKey.IsEmpty()) return FALSE;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    const char* text = value ? value : "";
    const LONG result = RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                       static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The process entry of every module built on the framework.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmdLine ? cmdLine : "";
    app->m_nCmdShow = cmdShow;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
