// The framework stand-in: message routing, handle wrappers and the end of a
// window's life.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/HandleMap.h"
#include "settings/ConfigDialogIds.h"
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

// The framework's handle tables on a system whose heap is full: every growth
// of a table fails while one of these lives.
class FullHeap {
public:
    FullHeap() : m_saved(g_handleTableRealloc) { g_handleTableRealloc = Refuse; }
    ~FullHeap() { g_handleTableRealloc = m_saved; }
    FullHeap(const FullHeap&) = delete;
    FullHeap& operator=(const FullHeap&) = delete;

private:
    static void* Refuse(void*, std::size_t) { return nullptr; }
    void* (*m_saved)(void*, std::size_t);
};

struct TitleCount {
    const char* title;
    int n;
};

BOOL CALLBACK CountTitle(HWND hWnd, LPARAM data) {
    auto* count = reinterpret_cast<TitleCount*>(data);
    char text[32] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    if (lstrcmpA(text, count->title) == 0) ++count->n;
    return TRUE;
}

// This thread's windows with the given title.
int CountThreadWindows(const char* title) {
    TitleCount count = {title, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountTitle, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

// A window that cannot be entered in the table would run without its
// handlers: it is destroyed, its creation fails and its object goes.
TEST(Framework, WindowThatCannotBeAttachedIsDestroyed) {
    std::vector<HWND> made;
    bool refused = false;
    {
        FullHeap full;
        // Windows are made until the table is full and has to grow.
        for (int i = 0; i < 200 && !refused; ++i) {
            g_deleted = 0;
            ProbeWnd* wnd = new ProbeWnd;
            const char* cls = AfxRegisterWndClass(0);
            if (wnd->CreateEx(0, cls, "table-full", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
                made.push_back(wnd->m_hWnd);
                continue;
            }
            refused = true;
            EXPECT_EQ(g_deleted, 1) << "the object of the refused window is deleted";
            EXPECT_EQ(CountThreadWindows("table-full"), static_cast<int>(made.size())) << "no window left behind";
            // A dialog that cannot reach its object ends at once, as one that could not be made.
            CDialog dialog(IDD_CONFIG);
            EXPECT_EQ(dialog.DoModal(), -1);
        }
    }
    EXPECT_TRUE(refused) << "the table never had to grow";
    for (HWND hWnd : made) ::DestroyWindow(hWnd);
    EXPECT_EQ(CountThreadWindows("table-full"), 0);
}

// A device context that cannot be wrapped goes back to the system at once:
// the next request for the window's context gets the same one again, free.
TEST(Framework, DeviceContextThatCannotBeWrappedIsReleased) {
    ProbeWnd* wnd = new ProbeWnd;
    ASSERT_NE(CreateProbe(wnd), nullptr);
    CDC::DeleteTempMap();
    const HDC free = ::GetDC(wnd->m_hWnd);
    ASSERT_NE(free, nullptr);
    ::ReleaseDC(wnd->m_hWnd, free);
    {
        FullHeap full;
        // Other handles fill the table of wrappers until it would have to grow.
        std::uintptr_t fake = 0x10000;
        while (CDC::FromHandle(reinterpret_cast<HDC>(fake)) != nullptr) fake += 4;
        EXPECT_EQ(wnd->GetDC(), nullptr);
    }
    const HDC again = ::GetDC(wnd->m_hWnd);
    EXPECT_EQ(again, free) << "the context was not given back";
    ::ReleaseDC(wnd->m_hWnd, again);
    CDC::DeleteTempMap();
    wnd->DestroyWindow();
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
