// Timed run of the X11 program's whole front-end on the display in $DISPLAY
// (a private Xvfb in scripts/bench-x11.sh): the time from start to the first
// frame on the screen, the CPU time of steady frames (frame step, conversion
// of the lit rectangle to the visual's pixels, the put and the wait for the
// server), and the resident memory.
//   x11_frame_bench [frames] [orvane options...]
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "x11/Options.h"
#include "x11/X11Saver.h"

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

long StatusKb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    long kb = -1;
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, field, n) == 0) kb = std::strtol(line + n + 1, nullptr, 10);
    }
    std::fclose(f);
    return kb;
}

}  // namespace

// A host's screen has been drawn before the saver starts: the private
// server's frame buffer is touched once first, outside the timing.
void PaintScreenOnce() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    const int screen = DefaultScreen(display);
    const GC gc = DefaultGC(display, screen);
    XSetForeground(display, gc, WhitePixel(display, screen));
    XFillRectangle(display, RootWindow(display, screen), gc, 0, 0, DisplayWidth(display, screen),
                   DisplayHeight(display, screen));
    XSync(display, False);
    XCloseDisplay(display);
}

int main(int argc, char** argv) {
    PaintScreenOnce();
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    std::vector<const char*> args{"orvane", "-root"};
    for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
    CommandLine line;
    if (ParseCommandLine(static_cast<int>(args.size()), args.data(), nullptr, &line).status != ParseStatus::Run) return 1;
    CX11Saver saver(line);
    if (!saver.Start()) return 1;
    saver.Frame();
    XSync(saver.GetDisplay(), False);
    const double firstFrame = Seconds(CLOCK_MONOTONIC) - wallStart;
    const double firstCpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);

    std::vector<double> cpu(frames), wall(frames);
    for (int i = 0; i < frames; ++i) {
        const double c0 = Seconds(CLOCK_PROCESS_CPUTIME_ID), w0 = Seconds(CLOCK_MONOTONIC);
        saver.Frame();
        XSync(saver.GetDisplay(), False);
        cpu[i] = Seconds(CLOCK_PROCESS_CPUTIME_ID) - c0;
        wall[i] = Seconds(CLOCK_MONOTONIC) - w0;
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    double total = 0;
    for (double c : cpu) total += c;
    std::printf("first frame after start: %.1f ms wall (%.1f ms CPU)\n", firstFrame * 1e3, firstCpu * 1e3);
    std::printf("steady frame: median %.3f ms CPU, mean %.3f ms CPU, median %.3f ms wall (%d frames)\n",
                median(cpu) * 1e3, total / frames * 1e3, median(wall) * 1e3, frames);
    std::printf("resident memory: %.1f MB now, %.1f MB at most\n", StatusKb("VmRSS:") / 1024.0,
                StatusKb("VmHWM:") / 1024.0);
    return 0;
}
