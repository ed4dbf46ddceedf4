// A helper for the end-to-end tests of the password components.
//   standin_tool window SECONDS  shows a window, makes it the foreground
//                                window, prints its handle (decimal) and
//                                keeps it for SECONDS
//   standin_tool running         prints SPI_GETSCREENSAVERRUNNING (0 or 1)
//   standin_tool hold SECONDS    does nothing for SECONDS, keeping the Wine
//                                server (which holds that flag) up
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "window") == 0) {
        HWND hWnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        if (hWnd == nullptr) return 1;
        SetForegroundWindow(hWnd);
        std::printf("%llu %d\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)),
                    GetForegroundWindow() == hWnd ? 1 : 0);
        std::fflush(stdout);
        const DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(argv[2])) * 1000u;
        MSG msg;
        while (static_cast<LONG>(until - GetTickCount()) > 0) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000u);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "running") == 0) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(114, 0, &running, 0)) return 1;  // SPI_GETSCREENSAVERRUNNING
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }
    std::fprintf(stderr, "usage: standin_tool window SECONDS | running | hold SECONDS\n");
    return 2;
}
