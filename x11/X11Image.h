// The image through which frames reach the window: shared memory (MIT-SHM)
// where the server offers it and can attach the segment, a plain XImage sent
// with XPutImage otherwise. It holds only the part of the window being sent
// and grows when a larger part is asked for.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "x11/PixelFormat.h"

class CX11Errors;

class CX11Image {
public:
    CX11Image(Display* display, Visual* visual, int depth, bool tryShm, CX11Errors& errors);
    ~CX11Image();
    CX11Image(const CX11Image&) = delete;
    CX11Image& operator=(const CX11Image&) = delete;

    // Pixel size and byte order of the server's images at this depth.
    int BitsPerPixel() const { return m_bitsPerPixel; }
    bool SwapBytes() const { return m_swapBytes; }
    bool UsesShm() const { return m_useShm; }

    // A buffer for the window's part [left, left + width) x [top, top + height);
    // data null when memory ran out.
    ImageBuffer Reserve(int left, int top, int width, int height);
    // Sends what Reserve handed out; with shared memory it waits until the
    // server has read it, so the buffer may be written again.
    void Put(Drawable target, GC gc);

private:
    void Free();
    bool Create(int width, int height);

    Display* m_display;
    Visual* m_visual;
    int m_depth;
    CX11Errors& m_errors;
    bool m_useShm;
    XImage* m_image = nullptr;
    XShmSegmentInfo m_shm{};
    int m_capacityWidth = 0;
    int m_capacityHeight = 0;
    int m_bitsPerPixel = 32;
    bool m_swapBytes = false;
    ImageBuffer m_current{};
};

// The X error handler's findings: Xlib reports errors through one
// process-wide handler, which writes here.
class CX11Errors {
public:
    explicit CX11Errors(Display* display);
    ~CX11Errors();
    // Errors about this window (it was destroyed) end the program.
    void Watch(Window window) { m_watched = window; }
    bool WatchedWindowGone() const { return m_watchedGone; }
    // Counts errors between Begin and End (after a sync): a trapped request.
    void BeginTrap() { m_trapped = 0; m_trapping = true; }
    bool EndTrap();  // true when the trapped requests raised no error
    static int OnError(Display* display, XErrorEvent* event);

private:
    Display* m_display;
    Window m_watched = 0;
    bool m_watchedGone = false;
    bool m_trapping = false;
    int m_trapped = 0;
};
