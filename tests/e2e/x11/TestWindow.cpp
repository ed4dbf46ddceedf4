// A window the end-to-end tests make and hand to orvane, as a host would.
//   x11_test_window WIDTH HEIGHT   prints the window's id (decimal), keeps it
//                                  mapped; SIGUSR1 destroys it, SIGTERM ends.
#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {
volatile sig_atomic_t g_destroy = 0;
volatile sig_atomic_t g_end = 0;
void OnDestroy(int) { g_destroy = 1; }
void OnEnd(int) { g_end = 1; }
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    signal(SIGUSR1, OnDestroy);
    signal(SIGTERM, OnEnd);
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, std::atoi(argv[1]),
                                        std::atoi(argv[2]), 0, 0, BlackPixel(display, screen));
    XMapRaised(display, window);
    XSync(display, False);
    std::printf("%lu\n", static_cast<unsigned long>(window));
    std::fflush(stdout);
    while (!g_end) {
        if (g_destroy && window != 0) {
            XDestroyWindow(display, window);
            XSync(display, False);
            window = 0;
        }
        usleep(20000);
    }
    XCloseDisplay(display);
    return 0;
}
