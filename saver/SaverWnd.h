// CSaverWnd: the borderless, topmost, screen-sized window of saver mode. It
// carries the whole state of the running saver, watches the input that ends
// it and deletes itself when its window is gone.
#pragma once

#include <cstdint>

#include "app/Password.h"
#include "display/DibSurface.h"
#include "framework/Framework.h"
#include "effect/Effect.h"
#include "saver/CoverWnd.h"

constexpr UINT_PTR kFrameTimerId = 1;
constexpr int kMouseMoveThreshold = 4;  // |dx| + |dy| from the first position that ends the saver

// The input test's memory of where the cursor was first seen; one per process.
extern POINT g_cursorOrigin;
extern BOOL g_cursorOriginSet;

class CSaverWnd : public CWnd {
public:
    CSaverWnd();
    ~CSaverWnd() override;

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // Creates the window (the whole set-up runs inside) and starts the frame timer.
    virtual BOOL CreateFullScreen();

    // True when the saver may close (asks the system's password on 95/98).
    // While it runs, no input starts another check and a close waits for it.
    bool CheckPassword();
    // The input test: mouse movement from the first position, a key or a
    // button asks for a close. Also for input over the monitor covers.
    void HandleInput(UINT message);

    // Black covers for the other monitors (none where there is only one).
    void CoverOtherMonitors() { m_covers.Update(this); }
    const CMonitorCovers& Covers() const { return m_covers; }
    CMonitorCovers& Covers() { return m_covers; }

    int OnCreate(LPCREATESTRUCTA createStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();
    void OnPaint();
    void OnSysCommand(UINT nID, LPARAM lParam);
    // Monitors came, went or moved: the covers follow.
    void OnDisplayChange(UINT bitsPerPixel, int width, int height);

    // Converts the whole light map into m_dib's pixels and draws them.
    int BlitLightMap(CDC* pDC, int width, int height);
    // First frame: the text drawn white on black and every black screen pixel's height cut to 0.
    void BurnText(CDC* pDC);
    // Every frame of a failed set-up: the message, black on a red band.
    void DrawFailureMessage(CDC* pDC);

    UINT_PTR m_timerId = 0;
    bool m_isWin9x = false;
    int32_t m_startTime = 0;  // calendar time in whole seconds
    CPalette m_palette;
    CDibSurface m_dib;
    // The display as measured at creation.
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_bitsPerPixel = 0;
    // The seed of the default picture's noise: the tick count at construction.
    uint32_t m_randomSeed = 0;
    // The effect itself: settings, height and light maps, image palette,
    // outcome and message, light path and frame step.
    CEffect m_effect;
    // The text is burnt in (or there is none), or the failure message measured.
    BOOL m_textDone = FALSE;
    BYTE m_colorIndex[256] = {};  // intensity -> pixel value of m_dib
    int m_messageWidth = 0;
    CString m_textLines[4];

    // The next frame copies the whole bitmap, not only where the light was
    // and is: set whenever the screen may differ from the bitmap elsewhere
    // (the first frame, the burnt text, erase, paint, palette changes).
    bool m_copyWhole = true;

private:
    // The screen palette from the image palette, the intensity table and the
    // black frame bitmap.
    void BuildPaletteAndBitmap(CDC* pDC);
    // The palette selected and realised in pDC; the whole bitmap drawn again
    // when entries changed. Returns the count RealizePalette reported.
    UINT RealizeAndRedraw(CDC* pDC);
    // The frame's bitmap to the screen: the whole of it, or the bounding box
    // of the previous and the current lit window (map coordinates).
    void CopyFrame(CDC* pDC, const PixelRect& previous, const PixelRect& current);

    // On the 95/98 family with a password asked for: the system is told that
    // a screen saver runs (g_screenSaverRunningNotice), from the end of the
    // set-up until the window goes, or the process by any other way.
    void ProtectIfPasswordAsked();
    // Frees the effect's maps, kills the timer, shows the cursor again and withdraws
    // the running notice, once, whichever way the window goes.
    void ReleaseResources();
    bool m_released = false;
    // The password dialog's owner must outlive the dialog's call: a close or
    // a change of monitors that comes meanwhile waits for the answer (the
    // change is posted again then, with its parameters).
    bool m_checkRunning = false;
    bool m_closeAfterCheck = false;
    bool m_coversAfterCheck = false;
    UINT m_heldDisplayBits = 0;
    LPARAM m_heldDisplaySize = 0;
    CMonitorCovers m_covers;

    DECLARE_MESSAGE_MAP()
};
