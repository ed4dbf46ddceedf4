// Timed run of the saver window under Wine: the set-up (OnCreate), the first
// frame (text burnt into the relief), and steady frames with the lit-window
// kernels and a partial copy, with a whole copy, and with the plain
// whole-screen loops and a whole copy; medians of a few hundred frames.
//   frame_bench.exe [frames]      (the empty settings store: default picture, "Orvane")
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "saver/SaverWnd.h"
#include "settings/Settings.h"

namespace {

CWinApp g_app("OrvaneBench");

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double g_onCreateMs = 0.0;

// The saver window with its set-up timed.
class TimedSaverWnd : public CSaverWnd {
public:
    int OnCreate(LPCREATESTRUCTA createStruct) {
        const double start = Now();
        const int result = CSaverWnd::OnCreate(createStruct);
        g_onCreateMs = Now() - start;
        return result;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimedSaverWnd, CSaverWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

struct Figures {
    double median, p90, max;
};

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back()};
}

void Report(const char* what, const Figures& f) {
    std::printf("%-46s median %7.3f ms   p90 %7.3f ms   max %7.3f ms\n", what, f.median, f.p90, f.max);
}

template <typename Frame>
void Time(int frames, Frame frame, std::vector<double>* ms) {
    for (int i = 0; i < frames; ++i) {
        const double start = Now();
        frame();
        ms->push_back(Now() - start);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    g_app.m_hInstance = GetModuleHandleA(nullptr);
    g_app.SetRegistryKey(kCompanyKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvaine\\OrvaneBench\\Config");

    auto* wnd = new TimedSaverWnd;
    const double createStart = Now();
    if (!wnd->CreateFullScreen()) {
        std::printf("the saver window could not be created\n");
        return 1;
    }
    const double createMs = Now() - createStart;
    HWND hWnd = wnd->m_hWnd;
    KillTimer(hWnd, kFrameTimerId);  // frames run when this program says so
    UpdateWindow(hWnd);
    const int w = wnd->m_screenWidth, h = wnd->m_screenHeight;
    std::printf("screen %d x %d, %d bits per pixel, %d frames per variant, set-up outcome %d\n", w, h,
                wnd->m_bitsPerPixel, frames, wnd->m_effect.Failure());
    std::printf("%-46s %7.3f ms (CreateFullScreen %.3f ms)\n", "OnCreate", g_onCreateMs, createMs);

    auto tick = [&] { SendMessageA(hWnd, WM_TIMER, kFrameTimerId, 0); };
    double start = Now();
    tick();
    std::printf("%-46s %7.3f ms\n", "first frame (text burnt, whole copy)", Now() - start);

    const RECT whole = {0, 0, w, h};
    // The copies alone: the whole bitmap, and a box like a frame's two lit windows.
    const int boxW = std::min(w, 2 * wnd->m_effect.Settings().xFallOff + 10), boxH = std::min(h, 2 * wnd->m_effect.Settings().yFallOff + 10);
    const RECT box = {(w - boxW) / 2, (h - boxH) / 2, (w + boxW) / 2, (h + boxH) / 2};
    auto copy = [&](const RECT& rect) {
        CDC* dc = wnd->GetDC();
        wnd->m_dib.Draw(&rect, &rect, dc, nullptr, 1, &wnd->m_palette);
        wnd->ReleaseDC(dc);
    };
    // The plain way, as a frame would run it: clear, test every pixel against
    // the window, convert the whole map, copy the whole bitmap.
    const int stride = static_cast<int>(DibStride(wnd->m_dib.m_width, 8));
    auto plainFrame = [&] {
        CDC* dc = wnd->GetDC();
        wnd->m_effect.MoveLight();
        GdiFlush();
        wnd->m_effect.RenderFramePlain(wnd->m_dib.m_pBits, stride, wnd->m_bitsPerPixel == 8 ? wnd->m_colorIndex : nullptr);
        GdiFlush();
        wnd->m_dib.Draw(&whole, &whole, dc, nullptr, 1, &wnd->m_palette);
        wnd->ReleaseDC(dc);
    };

    // The variants take turns in rounds, so that a busy moment of the machine
    // does not fall on one of them only.
    const int rounds = 5;
    std::vector<double> partial, wholeCopy, plain, copyWhole, copyBox;
    for (int round = 0; round < rounds; ++round) {
        const int n = frames / rounds;
        Time(n, tick, &partial);
        Time(n, [&] { wnd->m_copyWhole = true; tick(); }, &wholeCopy);
        Time(n, plainFrame, &plain);
        // The plain frames bypassed the lit-window bookkeeping: an erase starts it afresh.
        CDC* dc = wnd->GetDC();
        SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc->m_hDC), 0);
        wnd->ReleaseDC(dc);
        Time(n, [&] { copy(whole); }, &copyWhole);
        Time(n, [&] { copy(box); }, &copyBox);
    }
    Report("steady frame: lit window, partial copy", Summarise(partial));
    Report("steady frame: lit window, whole copy", Summarise(wholeCopy));
    Report("steady frame: plain loops, whole copy", Summarise(plain));
    Report("copy only: whole bitmap", Summarise(copyWhole));
    char label[64];
    std::snprintf(label, sizeof label, "copy only: %d x %d box", boxW, boxH);
    Report(label, Summarise(copyBox));

    wnd->DestroyWindow();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvaine\\OrvaneBench\\Config");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvaine\\OrvaneBench");
    return 0;
}
