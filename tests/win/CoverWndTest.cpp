// The covers of the monitors beside the primary one: where they go, that
// input over them counts as input over the saver, and that they go with it.
#include <gtest/gtest.h>

#include "saver/SaverWnd.h"
#include "tests/win/TestApp.h"

namespace {

class CoverWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTestProfile();
        // No text: the first frames need not draw it.
        TestApp().WriteProfileString("Config", "Text Lines", "");
        g_cursorOriginSet = FALSE;
        m_wnd = new CSaverWnd;
        ASSERT_TRUE(m_wnd->CreateFullScreen());
        m_hWnd = m_wnd->m_hWnd;
        m_width = GetSystemMetrics(SM_CXSCREEN);
        m_height = GetSystemMetrics(SM_CYSCREEN);
    }
    void TearDown() override {
        if (IsWindow(m_hWnd)) m_wnd->DestroyWindow();
        PumpMessages(20);
        ClearTestProfile();
        TestApp().m_pMainWnd = nullptr;
    }

    // Puts up covers for the primary monitor and the given others.
    void CoverMonitors(std::vector<ScreenRect> others) {
        others.insert(others.begin(), ScreenRect{0, 0, m_width, m_height});
        m_wnd->Covers().Apply(m_wnd, others);
    }
    HWND Cover(std::size_t i) const { return m_wnd->Covers().Covers().at(i)->m_hWnd; }
    bool ClosePosted() {
        MSG msg;
        return PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
    }

    CSaverWnd* m_wnd = nullptr;
    HWND m_hWnd = nullptr;
    int m_width = 0;
    int m_height = 0;
};

RECT WindowRect(HWND hWnd) {
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

// True when upper comes before lower in the z-order.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

// A monitor that overlaps the primary one: the overlap stays the saver's.
TEST_F(CoverWndTest, OverlapBelongsToTheSaver) {
    CoverMonitors({{0, 0, m_width + 100, m_height + 100}});
    ASSERT_EQ(m_wnd->Covers().Covers().size(), 1u);
    PumpMessages(300);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), m_hWnd);
    EXPECT_EQ(WindowFromPoint(POINT{m_width - 10, m_height - 10}), m_hWnd);
    // The cover's own region (window coordinates; it starts at the screen's origin).
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Cover(0), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 10, 10));
    EXPECT_FALSE(PtInRegion(region, m_width - 1, m_height - 1));
    EXPECT_TRUE(PtInRegion(region, m_width, 10));
    EXPECT_TRUE(PtInRegion(region, 10, m_height + 99));
    EXPECT_FALSE(PtInRegion(region, m_width + 100, 10));
    DeleteObject(region);
}

TEST_F(CoverWndTest, OneMonitorGetsNoCover) {
    m_wnd->CoverOtherMonitors();  // the test display has one monitor
    EXPECT_TRUE(m_wnd->Covers().Covers().empty());
}

TEST_F(CoverWndTest, EachOtherMonitorGetsABlackTopmostCoverBelowTheSaver) {
    CoverMonitors({{m_width, 0, m_width + 320, 240}, {-200, -100, 0, 300}});
    ASSERT_EQ(m_wnd->Covers().Covers().size(), 2u);
    const RECT expected[] = {{m_width, 0, m_width + 320, 240}, {-200, -100, 0, 300}};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const RECT r = WindowRect(Cover(i));
        EXPECT_EQ(r.left, expected[i].left);
        EXPECT_EQ(r.top, expected[i].top);
        EXPECT_EQ(r.right, expected[i].right);
        EXPECT_EQ(r.bottom, expected[i].bottom);
        const LONG style = GetWindowLongA(Cover(i), GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_BORDER),
                  static_cast<LONG>(WS_POPUP | WS_VISIBLE));
        EXPECT_TRUE(GetWindowLongA(Cover(i), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(Cover(i), GCLP_HBRBACKGROUND)),
                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EXPECT_EQ(GetClassLongPtrA(Cover(i), GCLP_HCURSOR), 0);
        EXPECT_TRUE(Above(m_hWnd, Cover(i)));
    }
    EXPECT_NE(GetForegroundWindow(), Cover(0));
    EXPECT_NE(GetForegroundWindow(), Cover(1));
}

TEST_F(CoverWndTest, InputOverACoverIsInputOverTheSaver) {
    CoverMonitors({{m_width, 0, m_width + 320, 240}});
    ASSERT_EQ(m_wnd->Covers().Covers().size(), 1u);
    CCoverWnd* cover = m_wnd->Covers().Covers()[0];
    const UINT closing[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT message : closing) {
        SCOPED_TRACE(message);
        cover->WindowProc(message, 0, 0);
        EXPECT_TRUE(ClosePosted());
    }
    cover->WindowProc(WM_KEYUP, 0, 0);
    EXPECT_FALSE(ClosePosted());

    // Movement counts from the same first position, wherever it was seen.
    SetCursorPos(100, 100);
    m_wnd->WindowProc(WM_MOUSEMOVE, 0, 0);
    SetCursorPos(102, 101);
    cover->WindowProc(WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(ClosePosted());
    SetCursorPos(102, 102);
    cover->WindowProc(WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(ClosePosted());
}

TEST_F(CoverWndTest, CoversFollowTheMonitors) {
    CoverMonitors({{m_width, 0, m_width + 320, 240}});
    ASSERT_EQ(m_wnd->Covers().Covers().size(), 1u);
    const HWND first = Cover(0);
    // Moved: the same cover follows.
    CoverMonitors({{0, m_height, 640, m_height + 480}});
    ASSERT_EQ(m_wnd->Covers().Covers().size(), 1u);
    EXPECT_EQ(Cover(0), first);
    EXPECT_EQ(WindowRect(first).top, m_height);
    EXPECT_EQ(WindowRect(first).right, 640);
    // Added.
    CoverMonitors({{0, m_height, 640, m_height + 480}, {m_width, 0, m_width + 100, 100}});
    EXPECT_EQ(m_wnd->Covers().Covers().size(), 2u);
    // The system reports one monitor again: no cover is left where none is.
    const HWND second = Cover(1);
    SendMessageA(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(m_width, m_height));
    EXPECT_TRUE(m_wnd->Covers().Covers().empty());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(CoverWndTest, CoversGoWhenTheSaverIsDestroyed) {
    CoverMonitors({{m_width, 0, m_width + 320, 240}});
    const HWND cover = Cover(0);
    m_wnd->DestroyWindow();
    EXPECT_FALSE(IsWindow(cover));
}

TEST_F(CoverWndTest, CoversGoWhenTheSaverCloses) {
    CoverMonitors({{m_width, 0, m_width + 320, 240}});
    const HWND cover = Cover(0);
    TestApp().m_pMainWnd = m_wnd;
    m_wnd->Covers().Covers()[0]->WindowProc(WM_LBUTTONDOWN, 0, 0);  // posts WM_CLOSE to the saver
    EXPECT_EQ(TestApp().Run(), 0);
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_FALSE(IsWindow(cover));
}

}  // namespace
