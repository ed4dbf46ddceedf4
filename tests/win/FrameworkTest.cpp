// The framework stand-in: message routing, handle wrappers and the end of a
// window's life.
#include <gtest/gtest.h>

#include "tests/win/TestApp.h"

namespace {

int g_deleted = 0;

class ProbeWnd : public CWnd {
public:
    ~ProbeWnd() override { ++g_deleted; }
    void PostNcDestroy() override { delete this; }

    int OnCreate(LPCREATESTRUCTA cs) {
        ++created;
        return failCreate ? -1 : CWnd::OnCreate(cs);
    }
    void OnTimer(UINT_PTR id) { lastTimer = id; }
    void OnSysCommand(UINT id, LPARAM) {
        lastSysCommand = id;
        Default();
    }

    static bool failCreate;
    int created = 0;
    UINT_PTR lastTimer = 0;
    UINT lastSysCommand = 0;

    DECLARE_MESSAGE_MAP()
};
bool ProbeWnd::failCreate = false;

BEGIN_MESSAGE_MAP(ProbeWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

HWND CreateProbe(ProbeWnd* wnd) {
    const char* cls = AfxRegisterWndClass(0);
    return wnd->CreateEx(0, cls, "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr) ? wnd->m_hWnd : nullptr;
}

TEST(Framework, MessagesReachTheirHandlers) {
    ProbeWnd* wnd = new ProbeWnd;
    HWND hWnd = CreateProbe(wnd);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(wnd->created, 1);  // WM_CREATE ran inside CreateEx, already attached
    EXPECT_EQ(CWnd::FromHandle(hWnd), wnd);
    SendMessageA(hWnd, WM_TIMER, 7, 0);
    EXPECT_EQ(wnd->lastTimer, 7u);
    // Unmapped messages get the default handling.
    EXPECT_EQ(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")), TRUE);
    char text[16] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    EXPECT_STREQ(text, "changed");
    // A handler's Default() uses the message being dispatched: SC_CLOSE closes.
    g_deleted = 0;
    SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(g_deleted, 1);  // PostNcDestroy deleted the object
    CWnd::DeleteTempMap();
}

TEST(Framework, FailedCreationDeletesTheObject) {
    ProbeWnd::failCreate = true;
    g_deleted = 0;
    ProbeWnd* wnd = new ProbeWnd;
    EXPECT_EQ(CreateProbe(wnd), nullptr);
    EXPECT_EQ(g_deleted, 1);
    ProbeWnd::failCreate = false;

    // No window at all (unknown class): deleted all the same.
    g_deleted = 0;
    wnd = new ProbeWnd;
    EXPECT_FALSE(wnd->CreateEx(0, "NoSuchClass-Orvane", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_EQ(g_deleted, 1);
}

TEST(Framework, ForeignWindowsGetTemporaryWrappers) {
    HWND desktop = GetDesktopWindow();
    CWnd* first = CWnd::FromHandle(desktop);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_hWnd, desktop);
    EXPECT_EQ(CWnd::FromHandle(desktop), first);  // one wrapper per handle
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_EQ(CWnd::FromHandle(desktop)->m_hWnd, desktop);
    CWnd::DeleteTempMap();
}

TEST(Framework, MainWindowsEndEndsTheMessageLoop) {
    ProbeWnd* wnd = new ProbeWnd;
    HWND hWnd = CreateProbe(wnd);
    ASSERT_NE(hWnd, nullptr);
    TestApp().m_pMainWnd = wnd;
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(TestApp().Run(), 0);  // returns once WM_QUIT arrives
    EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(Framework, RunWithoutMainWindowEndsAtOnce) {
    TestApp().m_pMainWnd = nullptr;
    EXPECT_EQ(TestApp().Run(), 0);
}

class CommandWnd : public CWnd {
public:
    void OnFive() { ++five; }
    void OnSix() { ++six; }
    int five = 0;
    int six = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandWnd, CWnd)
    ON_BN_CLICKED(5, OnFive)
    ON_COMMAND(6, OnSix)
END_MESSAGE_MAP()

TEST(Framework, CommandsRouteByControlAndNotification) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "commands", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    EXPECT_EQ(wnd.five, 1);
    // Another notification of the same control, or another control, is not this handler's.
    SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(5, BN_DOUBLECLICKED), 0);
    SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(4, BN_CLICKED), 0);
    EXPECT_EQ(wnd.five, 1);
    SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(6, 0), 0);
    EXPECT_EQ(wnd.six, 1);
    EXPECT_EQ(wnd.five, 1);
    wnd.DestroyWindow();
}

}  // namespace
