#include "saver/SaverWnd.h"

#include <cstdlib>

#include "app/Password.h"
#include "settings/Settings.h"

POINT g_cursorOrigin = {0, 0};
BOOL g_cursorOriginSet = FALSE;

BEGIN_MESSAGE_MAP(CSaverWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PAINT()
    ON_WM_SYSCOMMAND()
    ON_WM_DISPLAYCHANGE()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd() {
    m_randomSeed = GetTickCount();
    m_isWin9x = IsWindows9xFamily();
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen() {
    const char* className = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
    const BOOL created = CreateEx(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
    // A failed creation has already deleted this object.
    if (!created) return FALSE;
    m_timerId = SetTimer(m_hWnd, kFrameTimerId, FrameTimerPeriod(m_effect.FrameRate()), nullptr);
    ProtectIfPasswordAsked();
    return TRUE;
}

void CSaverWnd::ProtectIfPasswordAsked() {
    // A failed set-up still asks for the password on input: it is protected too.
    if (m_isWin9x && ScreenSaverPasswordRequired()) m_runningNotice.Give();
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && m_checkRunning) {
        m_closeAfterCheck = true;
        return 0;
    }
    HandleInput(message);
    return CWnd::WindowProc(message, wParam, lParam);
}

void CSaverWnd::HandleInput(UINT message) {
    // The check's own dialog is the only thing that answers while it runs.
    if (m_checkRunning) return;
    bool closeRequest = false;
    switch (message) {
    case WM_MOUSEMOVE: {
        POINT p;
        GetCursorPos(&p);
        if (!g_cursorOriginSet) {
            g_cursorOrigin = p;
            g_cursorOriginSet = TRUE;
        } else {
            const long distance = labs(p.x - g_cursorOrigin.x) + labs(p.y - g_cursorOrigin.y);
            closeRequest = distance >= kMouseMoveThreshold;
        }
        break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        closeRequest = true;
        break;
    default:
        break;
    }

    if (closeRequest) {
        if (m_isWin9x && !CheckPassword())
            g_cursorOriginSet = FALSE;  // the next movement only takes a new origin
        else
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
}

bool CSaverWnd::CheckPassword() {
    if (!m_isWin9x) return true;
    m_checkRunning = true;
    // The dialog disables its owner only; the covers would still take input.
    m_covers.EnableAll(FALSE);
    const bool granted = VerifyScreenSaverPassword(m_hWnd, m_startTime, m_runningNotice);
    m_covers.EnableAll(TRUE);
    m_checkRunning = false;
    if (m_coversAfterCheck) {
        m_coversAfterCheck = false;
        if (!m_released) m_covers.Update(this);
    }
    if (m_closeAfterCheck) {
        m_closeAfterCheck = false;
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
    return granted;
}

void CSaverWnd::ReleaseResources() {
    if (m_released) return;
    m_released = true;
    m_effect.Release();
    // A timer dies with its window; kill it only while the window is still there.
    if (m_timerId != 0 && m_hWnd != nullptr) KillTimer(m_hWnd, kFrameTimerId);
    m_timerId = 0;
    m_covers.DestroyAll();
    ShowCursor(TRUE);
    m_runningNotice.Withdraw();
}

BOOL CSaverWnd::DestroyWindow() {
    ReleaseResources();
    return CWnd::DestroyWindow();
}

BOOL CSaverWnd::OnEraseBkgnd(CDC* pDC) {
    RECT clip;
    pDC->GetClipBox(&clip);
    pDC->FillSolidRect(&clip, RGB(0, 0, 0));
    // The last frame again; a failed set-up leaves the screen black until the message.
    if (m_effect.Failure() == kEffectRuns) BlitLightMap(pDC, m_screenWidth, m_screenHeight);
    return TRUE;
}

void CSaverWnd::OnPaint() {
    CPaintDC dc(this);
    m_dib.Draw(&dc.m_ps.rcPaint, &dc.m_ps.rcPaint, &dc, nullptr, 1, &m_palette);
    m_copyWhole = true;
}

UINT CSaverWnd::RealizeAndRedraw(CDC* pDC) {
    pDC->SelectPalette(&m_palette, FALSE);
    const UINT changed = pDC->RealizePalette();
    m_copyWhole = true;
    if (changed != GDI_ERROR && changed > 0) {
        const RECT whole = {0, 0, m_dib.m_width, m_dib.m_height};
        m_dib.Draw(&whole, &whole, pDC, nullptr, 1, &m_palette);
    }
    return changed == GDI_ERROR ? 0 : changed;
}

void CSaverWnd::OnPaletteChanged(CWnd* pFocusWnd) {
    Default();
    if (pFocusWnd == this || m_bitsPerPixel != 8) return;
    CDC* dc = GetDC();
    if (dc == nullptr) return;
    RealizeAndRedraw(dc);
    ReleaseDC(dc);
}

BOOL CSaverWnd::OnQueryNewPalette() {
    if (m_bitsPerPixel != 8) return static_cast<BOOL>(Default());
    CDC* dc = GetDC();
    if (dc == nullptr) return FALSE;
    const UINT changed = RealizeAndRedraw(dc);
    ReleaseDC(dc);
    return static_cast<BOOL>(changed);
}

void CSaverWnd::OnSysCommand(UINT nID, LPARAM) {
    // The system asking to start a screen saver while this one runs: swallowed.
    // The whole value is compared; its low four bits are not masked.
    if (nID == SC_SCREENSAVE) return;
    Default();
}

void CSaverWnd::OnDisplayChange(UINT, int, int) {
    Default();
    // A check may have started from a cover's input: that cover stays until it returns.
    if (m_checkRunning)
        m_coversAfterCheck = true;
    else if (!m_released)
        m_covers.Update(this);
}

void CSaverWnd::PostNcDestroy() {
    // The close request reaches the default handling of WM_CLOSE, which destroys
    // the window without passing through DestroyWindow above; clean up here too.
    ReleaseResources();
    delete this;
}
