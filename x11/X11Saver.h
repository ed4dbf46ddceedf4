// The X11 program's window side: the window it draws into (its own, the
// root window or a host's), the effect set up for that window's size and
// visual, one frame per period, and the ways it ends.
#pragma once

#include <X11/Xlib.h>
#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "x11/FrameStats.h"
#include "x11/Options.h"
#include "x11/PixelFormat.h"
#include "x11/ScreenEffect.h"
#include "x11/TextRaster.h"
#include "x11/X11Image.h"

class CX11Saver {
public:
    explicit CX11Saver(const CommandLine& line) : m_line(line) {}
    ~CX11Saver();
    CX11Saver(const CX11Saver&) = delete;
    CX11Saver& operator=(const CX11Saver&) = delete;

    // Runs until something ends it; returns the exit status (0: asked to
    // end; 1: no display or no such window).
    int Run() { return Start() ? Loop() : 1; }

    // The steps of Run, apart for the benchmark: connect, find or make the
    // window and set the effect up (false, with a message, when there is no
    // display or no such window); one frame; frames until the end.
    bool Start();
    void Frame();
    int Loop();
    Display* GetDisplay() const { return m_display; }

private:
    bool OpenTarget();
    void Setup();
    void Repaint();
    void HandleEvent(const XEvent& event);
    void OnExpose(const XExposeEvent& event);
    void OnConfigureNotify(const XConfigureEvent& event);
    void PutRows(const PixelRect& mapRect);
    void PutBlock(const std::vector<unsigned char>& bottomUp, int width, int height, int left, int top);
    void DrawFailureMessage();
    void DrawFps();

    CommandLine m_line;
    Display* m_display = nullptr;
    std::unique_ptr<CX11Errors> m_errors;
    Window m_window = 0;
    bool m_ownWindow = false;
    Atom m_deleteWindow = 0;
    GC m_gc = nullptr;
    Colormap m_colormap = 0;
    Visual* m_visual = nullptr;
    int m_depth = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_resized = false;
    bool m_end = false;
    PixelFormat m_format{};
    PixelTable m_table{};
    std::unique_ptr<CX11Image> m_image;
    CScreenEffect m_screen;  // the effect, its rows and the palette shown
    std::unique_ptr<CFontFace> m_uiFont;  // the failure message and -fps
    CFrameStats m_stats;
    sigset_t m_waitMask{};  // the signal mask while waiting: the end signals let through
};
