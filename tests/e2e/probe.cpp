// A small Windows tool for the end-to-end tests: it looks at the saver's
// window from another process under the same Wine server and sends it messages.
//   orvane_probe find [seconds]   -> "hwnd style exstyle left top right bottom screenW screenH count"
//   orvane_probe list                -> one line per window: "hwnd exstyle left top right bottom"
//   orvane_probe post HWND MESSAGE WPARAM LPARAM
// Numbers may be decimal or 0x-hex. Exit code 0 on success, 1 when no window was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Found {
    HWND hWnd = nullptr;
    int count = 0;
};

// The saver's windows are the visible top-level windows of a framework-registered class.
BOOL CALLBACK Collect(HWND hWnd, LPARAM lParam) {
    char cls[128] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::strncmp(cls, "Afx:", 4) == 0 && IsWindowVisible(hWnd)) {
        Found* found = reinterpret_cast<Found*>(lParam);
        if (found->hWnd == nullptr) found->hWnd = hWnd;
        ++found->count;
    }
    return TRUE;
}

BOOL CALLBACK Print(HWND hWnd, LPARAM) {
    char cls[128] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::strncmp(cls, "Afx:", 4) != 0 || !IsWindowVisible(hWnd)) return TRUE;
    RECT r;
    GetWindowRect(hWnd, &r);
    std::printf("%llu 0x%08lx %ld %ld %ld %ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)),
                static_cast<unsigned long>(GetWindowLongA(hWnd, GWL_EXSTYLE)), r.left, r.top, r.right, r.bottom);
    return TRUE;
}

unsigned long long Number(const char* text) { return std::strtoull(text, nullptr, 0); }

int FindCommand(int seconds) {
    const DWORD start = GetTickCount();
    Found found;
    do {
        found = Found();
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
        if (found.hWnd != nullptr) break;
        Sleep(100);
    } while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000u);
    if (found.hWnd == nullptr) {
        std::printf("none\n");
        return 1;
    }
    RECT r;
    GetWindowRect(found.hWnd, &r);
    std::printf("%llu 0x%08lx 0x%08lx %ld %ld %ld %ld %d %d %d\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(found.hWnd)),
                static_cast<unsigned long>(GetWindowLongA(found.hWnd, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(found.hWnd, GWL_EXSTYLE)), r.left, r.top, r.right,
                r.bottom, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), found.count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "find") == 0) return FindCommand(argc >= 3 ? std::atoi(argv[2]) : 10);
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) return EnumWindows(Print, 0) ? 0 : 1;
    if (argc == 6 && std::strcmp(argv[1], "post") == 0) {
        HWND hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(argv[2])));
        return PostMessageA(hWnd, static_cast<UINT>(Number(argv[3])), static_cast<WPARAM>(Number(argv[4])),
                            static_cast<LPARAM>(Number(argv[5])))
                   ? 0
                   : 1;
    }
    std::fprintf(stderr, "usage: orvane_probe find [seconds] | list | post HWND MESSAGE WPARAM LPARAM\n");
    return 2;
}
