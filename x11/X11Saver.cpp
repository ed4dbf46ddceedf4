#include "x11/X11Saver.h"

#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "effect/TextLines.h"

namespace {

// Set by SIGTERM, SIGINT and SIGHUP; the signals are blocked except while
// the loop waits in ppoll, so none is missed between a check and the wait.
volatile sig_atomic_t g_endSignal = 0;
void OnEndSignal(int) { g_endSignal = 1; }

std::int64_t Now(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int OnIoError(Display*) {
    // The connection is gone: nothing can be drawn or freed on the server,
    // and the shared segment is already marked for removal.
    std::fputs("orvane: the connection to the X server broke\n", stderr);
    _exit(1);
}

constexpr int kUiPixels = 16;  // the failure message's and -fps's text

}  // namespace

CX11Saver::~CX11Saver() {
    m_image.reset();
    if (m_display != nullptr) {
        if (m_gc != nullptr) XFreeGC(m_display, m_gc);
        if (m_colormap != 0) XFreeColormap(m_display, m_colormap);
        if (m_ownWindow && m_window != 0) XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
}

bool CX11Saver::OpenTarget() {
    const int screen = DefaultScreen(m_display);
    const Window root = RootWindow(m_display, screen);
    if (m_line.mode == WindowMode::OwnWindow) {
        XSetWindowAttributes attributes{};
        attributes.background_pixel = BlackPixel(m_display, screen);
        attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask;
        m_window = XCreateWindow(m_display, root, 0, 0, DisplayWidth(m_display, screen), DisplayHeight(m_display, screen),
                                 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        m_ownWindow = true;
        XStoreName(m_display, m_window, "Orvane");
        XClassHint hint{const_cast<char*>("orvane"), const_cast<char*>("Orvane")};
        XSetClassHint(m_display, m_window, &hint);
        m_deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(m_display, m_window, &m_deleteWindow, 1);
        // No pointer over the effect, as on Windows.
        static const char empty[1] = {0};
        const Pixmap blank = XCreateBitmapFromData(m_display, m_window, empty, 1, 1);
        XColor black{};
        const Cursor cursor = XCreatePixmapCursor(m_display, blank, blank, &black, &black, 0, 0);
        XDefineCursor(m_display, m_window, cursor);
        XFreeCursor(m_display, cursor);
        XFreePixmap(m_display, blank);
        XMapRaised(m_display, m_window);
    } else {
        m_window = m_line.mode == WindowMode::Root ? root : static_cast<Window>(m_line.windowId);
        // A host's window: watch its size and its end, take no input.
        m_errors->BeginTrap();
        XSelectInput(m_display, m_window, ExposureMask | StructureNotifyMask);
        if (!m_errors->EndTrap()) {
            std::fprintf(stderr, "orvane: no window 0x%lx\n", static_cast<unsigned long>(m_window));
            return false;
        }
    }
    m_errors->Watch(m_window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(m_display, m_window, &attributes)) {
        std::fprintf(stderr, "orvane: no window 0x%lx\n", static_cast<unsigned long>(m_window));
        return false;
    }
    m_visual = attributes.visual;
    m_depth = attributes.depth;
    m_width = attributes.width;
    m_height = attributes.height;
    m_gc = XCreateGC(m_display, m_window, 0, nullptr);
    m_image.reset(new CX11Image(m_display, m_visual, m_depth, true, *m_errors));
    const XVisualInfo* info = nullptr;
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(m_visual);
    int count = 0;
    XVisualInfo* found = XGetVisualInfo(m_display, VisualIDMask, &wanted, &count);
    info = count > 0 ? found : nullptr;
    const int cls = info != nullptr ? info->c_class : -1;
    m_format.kind = ClassifyVisual(cls == TrueColor, cls == PseudoColor, m_depth, info ? info->colormap_size : 0,
                                   m_image->BitsPerPixel(), info ? info->red_mask : 0, info ? info->green_mask : 0,
                                   info ? info->blue_mask : 0);
    m_format.depth = m_depth;
    m_format.bitsPerPixel = m_image->BitsPerPixel();
    m_format.redMask = info ? static_cast<std::uint32_t>(info->red_mask) : 0;
    m_format.greenMask = info ? static_cast<std::uint32_t>(info->green_mask) : 0;
    m_format.blueMask = info ? static_cast<std::uint32_t>(info->blue_mask) : 0;
    m_format.colormapSize = info ? info->colormap_size : 0;
    m_format.swapBytes = m_image->SwapBytes();
    if (found != nullptr) XFree(found);
    if (m_format.kind == VisualKind::Indexed) {
        // A colormap of our own, as the Windows build's palette: cell i shows palette entry i.
        m_colormap = XCreateColormap(m_display, m_window, m_visual, AllocAll);
        XSetWindowColormap(m_display, m_window, m_colormap);
        XInstallColormap(m_display, m_colormap);
    }
    m_uiFont = CFontFace::Open("sans-serif", kUiPixels);
    return true;
}

void CX11Saver::Setup() {
    m_resized = false;
    m_screen.Setup(m_line.settings, m_width, m_height, m_depth, m_format.kind,
                   CScreenEffect::SeedAt(Now(CLOCK_MONOTONIC)));
    const unsigned char* palette = m_screen.Palette();
    m_table = BuildPixelTable(palette, m_format);
    if (m_colormap != 0) {
        XColor colors[256];
        for (int i = 0; i < 256; ++i) {
            colors[i].pixel = static_cast<unsigned long>(i);
            colors[i].red = static_cast<unsigned short>(palette[3 * i] * 257);
            colors[i].green = static_cast<unsigned short>(palette[3 * i + 1] * 257);
            colors[i].blue = static_cast<unsigned short>(palette[3 * i + 2] * 257);
            colors[i].flags = DoRed | DoGreen | DoBlue;
        }
        XStoreColors(m_display, m_colormap, colors, 256);
    }
    CEffect& effect = m_screen.GetEffect();
    if (m_screen.Rows() != nullptr && effect.NeedsText()) {
        const int dpi = 96;  // the Windows saver's usual logical inch
        std::unique_ptr<CFontFace> face =
            CFontFace::Open(effect.Settings().fontFace, FontPixelHeight(effect.Settings().fontHeight, dpi));
        std::vector<unsigned char> mask;
        const unsigned char* p = effect.ImagePalette();
        if (face && BuildTextMask(*face, SplitTextLines(effect.Settings().text), m_width, m_height,
                                  p[0] == 0 && p[1] == 0 && p[2] == 0, &mask) && !mask.empty()) {
            effect.CutTextUnderMask(mask.data(), static_cast<std::size_t>(m_width), 0, m_height);
        }
    }
    Repaint();
}

void CX11Saver::Repaint() {
    XSetForeground(m_display, m_gc, m_table[0]);
    XFillRectangle(m_display, m_window, m_gc, 0, 0, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
    if (!m_screen.Runs()) {
        DrawFailureMessage();
    } else if (m_screen.Rows() != nullptr) {
        PutRows(m_screen.GetEffect().LitArea());
    }
    XFlush(m_display);
}

void CX11Saver::PutRows(const PixelRect& mapRect) {
    const PixelRect r{std::max(mapRect.x0, 0), std::max(mapRect.y0, 0), std::min(mapRect.x1, m_width),
                      std::min(mapRect.y1, m_height)};
    if (r.Empty()) return;
    const PixelRect window = ImageRectOf(r, m_height);
    const ImageBuffer buffer = m_image->Reserve(window.x0, window.y0, window.x1 - window.x0, window.y1 - window.y0);
    if (buffer.data == nullptr) return;
    ConvertRectToImage(m_screen.Rows(), static_cast<std::size_t>(m_width), m_width, m_height, r, m_table, buffer);
    m_image->Put(m_window, m_gc);
}

// Intensities (bottom row first) through the palette's table at window position (left, top).
void CX11Saver::PutBlock(const std::vector<unsigned char>& bottomUp, int width, int height, int left, int top) {
    const ImageBuffer buffer = m_image->Reserve(left, top, width, height);
    if (buffer.data == nullptr) return;
    // The block is a map of its own: its window rows start at 0.
    ImageBuffer local = buffer;
    local.left = 0;
    local.top = 0;
    ConvertRectToImage(bottomUp.data(), static_cast<std::size_t>(width), width, height, {0, 0, width, height}, m_table,
                       local);
    m_image->Put(m_window, m_gc);
}

void CX11Saver::DrawFailureMessage() {
    if (!m_uiFont) return;
    const CEffect& effect = m_screen.GetEffect();
    const char* message = effect.Message();
    const Coverage line = m_uiFont->RenderLine(DecodeText(message, std::char_traits<char>::length(message)));
    if (line.width <= 0 || line.height <= 0) return;
    // Black letters (entry 0) on the red band (entries 1..255 are red).
    std::vector<unsigned char> block(static_cast<std::size_t>(line.width) * line.height);
    for (int y = 0; y < line.height; ++y)
        for (int x = 0; x < line.width; ++x)
            block[static_cast<std::size_t>(line.height - 1 - y) * line.width + x] =
                line.data[static_cast<std::size_t>(y) * line.width + x] >= 128 ? 0 : 255;
    PutBlock(block, line.width, line.height, effect.CenterX() - line.width / 2, effect.CenterY());
}

void CX11Saver::DrawFps() {
    if (!m_uiFont) return;
    const std::string text = m_stats.Text();
    const Coverage line = m_uiFont->RenderLine(DecodeText(text.c_str(), text.size()));
    if (line.width <= 0 || line.height <= 0) return;
    // The palette's brightest colour on its darkest, with a margin.
    const int w = line.width + 8, h = line.height + 4;
    std::vector<unsigned char> block(static_cast<std::size_t>(w) * h, 0);
    for (int y = 0; y < line.height; ++y)
        for (int x = 0; x < line.width; ++x)
            if (line.data[static_cast<std::size_t>(y) * line.width + x] >= 128)
                block[static_cast<std::size_t>(h - 3 - y) * w + x + 4] = 255;
    PutBlock(block, w, h, 0, std::max(m_height - h, 0));
}

void CX11Saver::Frame() {
    const PixelRect changed = m_screen.Step();
    if (!m_screen.Runs()) {
        DrawFailureMessage();
    } else {
        PutRows(changed);
    }
    if (m_line.showFps) {
        m_stats.OnFrame(Now(CLOCK_MONOTONIC), Now(CLOCK_PROCESS_CPUTIME_ID));
        DrawFps();
    }
    XFlush(m_display);
}

void CX11Saver::OnExpose(const XExposeEvent& event) {
    if (event.count == 0) Repaint();
}

void CX11Saver::OnConfigureNotify(const XConfigureEvent& event) {
    if (event.window != m_window) return;
    if (event.width != m_width || event.height != m_height) {
        m_width = event.width;
        m_height = event.height;
        m_resized = true;
    }
}

void CX11Saver::HandleEvent(const XEvent& event) {
    switch (event.type) {
    case Expose: OnExpose(event.xexpose); break;
    case ConfigureNotify: OnConfigureNotify(event.xconfigure); break;
    case DestroyNotify:
        if (event.xdestroywindow.window == m_window) m_end = true;
        break;
    case KeyPress:
    case ButtonPress:
        if (m_ownWindow) m_end = true;  // hosts end the program themselves
        break;
    case ClientMessage:
        if (m_ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == m_deleteWindow) m_end = true;
        break;
    default: break;
    }
}

bool CX11Saver::Start() {
    sigset_t endSignals;
    sigset_t& waitMask = m_waitMask;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &endSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGHUP);
    struct sigaction action{};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);

    m_display = XOpenDisplay(m_line.display.empty() ? nullptr : m_line.display.c_str());
    if (m_display == nullptr) {
        std::fprintf(stderr, "orvane: cannot open display \"%s\"\n", XDisplayName(m_line.display.empty() ? nullptr : m_line.display.c_str()));
        return false;
    }
    XSetIOErrorHandler(OnIoError);
    m_errors.reset(new CX11Errors(m_display));
    if (!OpenTarget()) return false;
    Setup();
    return true;
}

int CX11Saver::Loop() {
    const sigset_t& waitMask = m_waitMask;

    const std::int64_t period = static_cast<std::int64_t>(FrameTimerPeriod(m_screen.GetEffect().FrameRate())) * 1000000;
    std::int64_t next = Now(CLOCK_MONOTONIC);
    pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
    while (!m_end && !g_endSignal && !m_errors->WatchedWindowGone()) {
        while (XPending(m_display) > 0 && !m_end) {
            XEvent event;
            XNextEvent(m_display, &event);
            HandleEvent(event);
        }
        if (m_end || m_errors->WatchedWindowGone()) break;
        if (m_resized) {
            Setup();
            continue;
        }
        // Wait for the next frame, an event or a signal; a due frame still
        // passes through here, so a signal is taken even when frames run
        // back to back.
        const std::int64_t wait = std::max<std::int64_t>(next - Now(CLOCK_MONOTONIC), 0);
        timespec timeout{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
        if (ppoll(&fd, 1, &timeout, &waitMask) < 0 && errno != EINTR) break;
        if (g_endSignal) break;
        if (fd.revents & (POLLHUP | POLLERR)) {
            XNoOp(m_display);  // lets Xlib see the broken connection
            XFlush(m_display);
        }
        if (Now(CLOCK_MONOTONIC) >= next) {
            Frame();
            // As a timer: a late frame delays the next, frames never pile up.
            next = std::max(next + period, Now(CLOCK_MONOTONIC));
        }
    }
    return 0;
}
