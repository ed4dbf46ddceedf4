// The saver window under Wine: its shape, its frame timer, the input that ends
// it and the clean-up on the way out.
#include <gtest/gtest.h>

#include "saver/SaverWnd.h"
#include "settings/Settings.h"
#include "tests/win/TestApp.h"

namespace {

int CursorCount() {
    const int count = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    return count;
}

class SaverWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTestProfile();
        g_cursorOriginSet = FALSE;
        m_cursorBefore = CursorCount();
    }
    void TearDown() override {
        if (m_wnd != nullptr && IsWindow(m_hWnd)) m_wnd->DestroyWindow();
        PumpMessages(20);
        ClearTestProfile();
        TestApp().m_pMainWnd = nullptr;
    }

    void Create() {
        m_wnd = new CSaverWnd;
        ASSERT_TRUE(m_wnd->CreateFullScreen());
        m_hWnd = m_wnd->m_hWnd;
        // Frames and paints may have been queued; the tests look at WM_CLOSE only.
        MSG msg;
        while (PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        }
    }
    bool ClosePosted() {
        MSG msg;
        return PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
    }
    void MoveTo(int x, int y) {
        SetCursorPos(x, y);
        m_wnd->WindowProc(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    CSaverWnd* m_wnd = nullptr;
    HWND m_hWnd = nullptr;
    int m_cursorBefore = 0;
};

TEST_F(SaverWndTest, BorderlessTopmostWindowOfTheScreensSize) {
    Create();
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_BORDER),
              static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(m_wnd->m_screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(m_wnd->m_screenHeight, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(m_wnd->m_bitsPerPixel, 8);
    EXPECT_NE(m_wnd->m_timerId, 0u);
    EXPECT_LT(CursorCount(), 0);  // hidden
    EXPECT_LE(std::abs(static_cast<long>(time(nullptr)) - m_wnd->m_startTime), 2);
}

TEST_F(SaverWndTest, ConstructionValues) {
    CSaverWnd wnd;
    EXPECT_EQ(wnd.m_timerId, 0u);
    EXPECT_FALSE(wnd.m_isWin9x);  // Wine reports the NT family unless told otherwise
    EXPECT_EQ(wnd.m_effect.Angle(), 0.0);
    EXPECT_EQ(wnd.m_effect.RadiusScale(), 1.0);
    EXPECT_EQ(wnd.m_effect.Light().x, 0);
    EXPECT_EQ(wnd.m_effect.Light().y, 0);
    EXPECT_EQ(wnd.m_effect.Failure(), 0);
    EXPECT_FALSE(wnd.m_textDone);
    EXPECT_EQ(wnd.m_effect.LightMap(), nullptr);
    EXPECT_EQ(wnd.m_effect.HeightMap(), nullptr);
}

// The stored frame rate decides the timer: 0 runs at 1 frame per second.
TEST_F(SaverWndTest, FrameRateFromTheProfile) {
    const struct {
        int stored;
        int rate;
        int minTicks, maxTicks;  // WM_TIMER seen in 1.5 s
    } cases[] = {{0, 1, 1, 2}, {30, 30, 10, 46}, {-3, 1, 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(TestApp().WriteProfileInt(kConfigSection, "Frame Rate", c.stored));
        Create();
        EXPECT_EQ(m_wnd->m_effect.FrameRate(), c.rate);
        EXPECT_EQ(FrameTimerPeriod(m_wnd->m_effect.FrameRate()), c.rate == 1 ? 1000u : 33u);
        int ticks = 0;
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < 1500) {
            if (PeekMessageA(&msg, m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                EXPECT_EQ(msg.wParam, kFrameTimerId);
                ++ticks;
                DispatchMessageA(&msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_TIMER);
            }
        }
        EXPECT_GE(ticks, c.minTicks);
        EXPECT_LE(ticks, c.maxTicks);
        m_wnd->DestroyWindow();
        PumpMessages(20);
    }
}

TEST_F(SaverWndTest, KeysAndButtonPressesClose) {
    Create();
    const UINT closing[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT message : closing) {
        SCOPED_TRACE(message);
        m_wnd->WindowProc(message, message == WM_SYSKEYDOWN ? VK_MENU : 0, 0);
        EXPECT_TRUE(ClosePosted());
    }
}

TEST_F(SaverWndTest, ReleasesWheelDoubleClicksCharactersAndActivationDoNotClose) {
    Create();
    const UINT harmless[] = {WM_KEYUP,         WM_SYSKEYUP,     WM_LBUTTONUP,     WM_RBUTTONUP,
                             WM_MBUTTONUP,     WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK,
                             WM_MOUSEWHEEL,    WM_CHAR,         WM_SYSCHAR,       WM_ACTIVATE,
                             WM_ACTIVATEAPP,   WM_SETFOCUS,     WM_KILLFOCUS,     WM_NCMOUSEMOVE};
    for (UINT message : harmless) {
        SCOPED_TRACE(message);
        m_wnd->WindowProc(message, 0, 0);
        EXPECT_FALSE(ClosePosted());
    }
}

TEST_F(SaverWndTest, MouseMovementCountsFromTheFirstPosition) {
    Create();
    MoveTo(600, 400);  // the first movement only takes the origin, wherever it is
    EXPECT_FALSE(ClosePosted());
    EXPECT_TRUE(g_cursorOriginSet);
    MoveTo(602, 401);  // 3 pixels
    EXPECT_FALSE(ClosePosted());
    MoveTo(598, 399);  // 3 pixels the other way
    EXPECT_FALSE(ClosePosted());
    MoveTo(602, 402);  // 4 pixels
    EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverWndTest, SmallMovementsAddUp) {
    Create();
    MoveTo(100, 100);
    for (int step = 1; step <= 3; ++step) {
        MoveTo(100 + step, 100);
        EXPECT_FALSE(ClosePosted()) << step;
    }
    MoveTo(104, 100);
    EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverWndTest, ScreenSaveCommandIsSwallowedCloseIsNot) {
    Create();
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    PumpMessages(50);
    EXPECT_TRUE(IsWindow(m_hWnd));
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(50);
    EXPECT_FALSE(IsWindow(m_hWnd));
}

TEST_F(SaverWndTest, CloseEndsTheLoopAndRestoresTheCursorOnce) {
    Create();
    TestApp().m_pMainWnd = m_wnd;
    m_wnd->WindowProc(WM_KEYDOWN, 'X', 0);  // posts WM_CLOSE
    EXPECT_EQ(TestApp().Run(), 0);
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
    EXPECT_EQ(CursorCount(), m_cursorBefore);
    m_wnd = nullptr;  // deleted itself
}

TEST_F(SaverWndTest, DestroyWindowRestoresTheCursorOnce) {
    Create();
    m_wnd->DestroyWindow();
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_EQ(CursorCount(), m_cursorBefore);
    m_wnd = nullptr;
}

}  // namespace
