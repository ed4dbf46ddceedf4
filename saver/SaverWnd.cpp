#include "saver/SaverWnd.h"

#include <cstdlib>
#include <ctime>

#include "app/Password.h"
#include "settings/Settings.h"

POINT g_cursorOrigin = {0, 0};
BOOL g_cursorOriginSet = FALSE;

BEGIN_MESSAGE_MAP(CSaverWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd() {
    srand(GetTickCount());
    m_isWin9x = IsWindows9xFamily();
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen() {
    const char* className = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
    const BOOL created = CreateEx(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
    // A failed creation has already deleted this object.
    if (created) m_timerId = SetTimer(m_hWnd, kFrameTimerId, FrameTimerPeriod(m_frameRate), nullptr);
    return created;
}

int CSaverWnd::OnCreate(LPCREATESTRUCTA createStruct) {
    if (CWnd::OnCreate(createStruct) == -1) return -1;

    while (ShowCursor(FALSE) >= 0) {
    }

    HDC screen = ::GetDC(m_hWnd);
    CDC* dc = CDC::FromHandle(screen);
    m_screenWidth = dc->GetDeviceCaps(HORZRES);
    m_screenHeight = dc->GetDeviceCaps(VERTRES);
    m_bitsPerPixel = dc->GetDeviceCaps(BITSPIXEL);

    CWinApp* app = AfxGetApp();
    const SettingInfo& frameRate = Setting(kFrameRate);
    m_frameRate = EffectiveFrameRate(
        static_cast<int>(app->GetProfileInt(kConfigSection, frameRate.key, frameRate.saver.number)));

    ::ReleaseDC(m_hWnd, screen);
    m_startTime = static_cast<int32_t>(std::time(nullptr));
    return 0;
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CSaverWnd::CheckPassword() {
    if (!m_isWin9x) return true;
    return VerifyScreenSaverPassword(m_hWnd, m_startTime);
}

void CSaverWnd::ReleaseResources() {
    if (m_released) return;
    m_released = true;
    std::free(m_lightMap);
    std::free(m_heightMap);
    m_lightMap = nullptr;
    m_heightMap = nullptr;
    // A timer dies with its window; kill it only while the window is still there.
    if (m_timerId != 0 && m_hWnd != nullptr) KillTimer(m_hWnd, kFrameTimerId);
    m_timerId = 0;
    ShowCursor(TRUE);
}

BOOL CSaverWnd::DestroyWindow() {
    ReleaseResources();
    return CWnd::DestroyWindow();
}

BOOL CSaverWnd::OnEraseBkgnd(CDC* pDC) {
    RECT clip;
    pDC->GetClipBox(&clip);
    pDC->FillSolidRect(&clip, RGB(0, 0, 0));
    return TRUE;
}

void CSaverWnd::OnTimer(UINT_PTR) {
    // No effect is drawn yet: the screen stays as the black erase left it.
    Default();
}

void CSaverWnd::OnPaint() {
    CPaintDC dc(this);
    dc.FillSolidRect(&dc.m_ps.rcPaint, RGB(0, 0, 0));
}

void CSaverWnd::OnSysCommand(UINT nID, LPARAM) {
    // The system asking to start a screen saver while this one runs: swallowed.
    // The whole value is compared; its low four bits are not masked.
    if (nID == SC_SCREENSAVE) return;
    Default();
}

void CSaverWnd::PostNcDestroy() {
    // The close request reaches the default handling of WM_CLOSE, which destroys
    // the window without passing through DestroyWindow above; clean up here too.
    ReleaseResources();
    delete this;
}
