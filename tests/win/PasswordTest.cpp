// The password check on close, with a stand-in "PASSWORD.CPL" copied next to
// the test program (where LoadLibraryA finds it) and the current user's
// registry redirected to a scratch key, so the system's setting can be set,
// broken or removed without touching the Wine prefix's own.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "app/Password.h"
#include "saver/SaverWnd.h"
#include "tests/standins/StandinRecord.h"
#include "tests/win/TestApp.h"

namespace {

constexpr const char* kScratchKey = "Software\\OrvanePasswordTest";
constexpr UINT kGetScreenSaverRunning = 114;  // SPI_GETSCREENSAVERRUNNING

int CursorCount() {
    const int count = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    return count;
}

bool ScreenSaverRunningFlag() {
    BOOL running = FALSE;
    SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    return running != FALSE;
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[256];
    DWORD size = sizeof child;
    while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(key, child);
        size = sizeof child;
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Where the build puts the stand-ins: tests/standins next to tests/win.
std::string Standin(const char* file) { return ProgramFolder() + "..\\standins\\" + file; }

std::string InstalledCpl() { return ProgramFolder() + "PASSWORD.CPL"; }

// How "ScreenSaveUsePassword" looks in the registry for one case.
struct Setting {
    const char* what;
    bool keyThere;
    bool valueThere;
    DWORD type;
    std::vector<BYTE> bytes;
    bool asks;
};

std::vector<BYTE> Dword(DWORD value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(HKEY_CURRENT_USER, kScratchKey);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &m_scratch, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, m_scratch), ERROR_SUCCESS);
        SetUsePassword({"1", true, true, REG_DWORD, Dword(1), true});
        InstallCpl("PASSWORD.CPL");
        g_cursorOriginSet = FALSE;
        m_cursorBefore = CursorCount();
    }
    void TearDown() override {
        if (m_wnd != nullptr && IsWindow(m_hWnd)) m_wnd->DestroyWindow();
        PumpMessages(20);
        EXPECT_FALSE(ScreenSaverRunningFlag()) << "the notice outlived the saver window";
        TestApp().m_pMainWnd = nullptr;
        g_cursorOriginSet = FALSE;
        DeleteFileA(InstalledCpl().c_str());
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_scratch);
        DeleteTree(HKEY_CURRENT_USER, kScratchKey);
    }

    void InstallCpl(const char* standin) {
        ASSERT_TRUE(CopyFileA(Standin(standin).c_str(), InstalledCpl().c_str(), FALSE)) << Standin(standin);
    }
    void RemoveCpl() { ASSERT_TRUE(DeleteFileA(InstalledCpl().c_str())); }

    void SetUsePassword(const Setting& s) {
        DeleteTree(HKEY_CURRENT_USER, "Control Panel");
        m_settingAsks = s.asks;
        if (!s.keyThere) return;
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (s.valueThere)
            RegSetValueExA(key, "ScreenSaveUsePassword", 0, s.type, s.bytes.data(), static_cast<DWORD>(s.bytes.size()));
        RegCloseKey(key);
    }

    // A saver window on the 95/98 family whose set-up ended secondsAgo ago.
    // It is protected (the system told that a screen saver runs) when the
    // setting asks for a password at its creation.
    void Create(int secondsAgo = 6, bool win9x = true) {
        m_wnd = new CSaverWnd;
        m_wnd->m_isWin9x = win9x;
        ASSERT_TRUE(m_wnd->CreateFullScreen());
        m_hWnd = m_wnd->m_hWnd;
        m_protected = win9x && m_settingAsks;
        m_wnd->m_startTime = static_cast<int32_t>(std::time(nullptr)) - secondsAgo;
        m_hiddenCount = CursorCount();
        MSG msg;
        while (PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        }
    }
    bool ClosePosted() {
        MSG msg;
        return PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
    }
    void Key() { m_wnd->WindowProc(WM_KEYDOWN, 'X', 0); }
    void MoveTo(int x, int y) {
        SetCursorPos(x, y);
        m_wnd->WindowProc(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    // WM_TIMER messages of the saver window dispatched within the given time.
    int TimerTicks(DWORD milliseconds) {
        int ticks = 0;
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < milliseconds) {
            if (PeekMessageA(&msg, m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                ++ticks;
                DispatchMessageA(&msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_TIMER);
            }
        }
        return ticks;
    }
    // The check leaves nothing behind: the component released and the cursor
    // as hidden as before. The notice stays as long as a protected saver runs.
    void ExpectRestored() {
        EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
        EXPECT_EQ(StandinRead(kPasswordUnloads), StandinRead(kPasswordLoads));
        EXPECT_EQ(ScreenSaverRunningFlag(), m_protected);
        EXPECT_EQ(CursorCount(), m_hiddenCount);
        EXPECT_LT(CursorCount(), 0);
    }

    HKEY m_scratch = nullptr;
    CSaverWnd* m_wnd = nullptr;
    HWND m_hWnd = nullptr;
    int m_cursorBefore = 0;
    int m_hiddenCount = 0;
    bool m_settingAsks = false;
    bool m_protected = false;
};

TEST_F(PasswordTest, OutsideThe9xFamilyTheFirstInputEndsTheSaver) {
    StandinWrite(kVerifyAnswer, 0);
    Create(60, false);
    EXPECT_FALSE(ScreenSaverRunningFlag());
    EXPECT_TRUE(m_wnd->CheckPassword());
    Key();
    EXPECT_TRUE(ClosePosted());
    m_wnd->WindowProc(WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(ClosePosted());
    MoveTo(100, 100);
    MoveTo(104, 100);
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(StandinRead(kPasswordLoads), 0u);  // never even loaded
    EXPECT_EQ(StandinRead(kVerifyCalls), 0u);
}

// Within 5 whole seconds after the set-up input ends the saver without a
// question. The cases at the border start at a fresh second, so that a tick
// of the clock during the case cannot move it across.
TEST_F(PasswordTest, NoPasswordDuringTheFirstFiveSeconds) {
    StandinWrite(kVerifyAnswer, 0);
    const struct {
        int secondsAgo;
        bool asks;
    } cases[] = {{0, false}, {4, false}, {-3, false}, {5, true}, {3600, true}};
    Create();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secondsAgo);
        if (c.secondsAgo == 4 || c.secondsAgo == 5) {
            const time_t second = std::time(nullptr);
            while (std::time(nullptr) == second) Sleep(5);
        }
        m_wnd->m_startTime = static_cast<int32_t>(std::time(nullptr)) - c.secondsAgo;
        const DWORD callsBefore = StandinRead(kVerifyCalls);
        Key();
        EXPECT_EQ(StandinRead(kVerifyCalls) - callsBefore, c.asks ? 1u : 0u);
        EXPECT_EQ(ClosePosted(), !c.asks);
    }
}

TEST_F(PasswordTest, RightPasswordEndsTheSaver) {
    StandinWrite(kVerifyAnswer, 1);
    Create();
    ASSERT_TRUE(ScreenSaverRunningFlag());
    Key();
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    EXPECT_EQ(StandinRead(kPasswordLoads), 1u);
    // During the call: owned by the saver window, the cursor shown, the flag set.
    EXPECT_EQ(StandinRead(kVerifyWindow), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_hWnd)));
    EXPECT_EQ(static_cast<int>(StandinRead(kVerifyCursorCount)), m_hiddenCount + 1);
    EXPECT_GE(static_cast<int>(StandinRead(kVerifyCursorCount)), 0);
    EXPECT_EQ(StandinRead(kVerifyCursorShowing), 1u);
    EXPECT_EQ(StandinRead(kVerifySaverRunning), 1u);
    ExpectRestored();
}

TEST_F(PasswordTest, OnlyAnAnswerOfExactlyOneEndsTheSaver) {
    Create();
    const DWORD answers[] = {0, 2, 0xFFFFFFFFu, 0x101};
    for (DWORD answer : answers) {
        SCOPED_TRACE(answer);
        StandinWrite(kVerifyAnswer, answer);
        const DWORD callsBefore = StandinRead(kVerifyCalls);
        Key();
        EXPECT_EQ(StandinRead(kVerifyCalls), callsBefore + 1);
        EXPECT_FALSE(ClosePosted());
        EXPECT_TRUE(IsWindow(m_hWnd));
        ExpectRestored();
    }
}

// A wrong password lets the saver run on: frames went on during the dialog
// and go on after it, and the cursor's origin is forgotten.
TEST_F(PasswordTest, WrongPasswordLetsTheSaverRunOn) {
    StandinWrite(kVerifyAnswer, 0);
    StandinWrite(kVerifyPumpMs, 300);
    Create();
    MoveTo(100, 100);  // origin
    const double angleBefore = m_wnd->m_effect.Angle();
    MoveTo(104, 100);  // 4 pixels: asks
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    EXPECT_FALSE(ClosePosted());
    EXPECT_GE(StandinRead(kVerifyTimerTicks), 2u);  // 33 ms frames during a 300 ms dialog
    EXPECT_NE(m_wnd->m_effect.Angle(), angleBefore);         // the light moved meanwhile
    ExpectRestored();
    EXPECT_EQ(m_wnd->m_timerId, kFrameTimerId);
    const double angleAfterDialog = m_wnd->m_effect.Angle();
    EXPECT_GE(TimerTicks(300), 2);
    EXPECT_NE(m_wnd->m_effect.Angle(), angleAfterDialog);

    StandinWrite(kVerifyPumpMs, 0);
    EXPECT_FALSE(g_cursorOriginSet);
    MoveTo(300, 300);  // far away, but it only takes the new origin
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    MoveTo(302, 301);  // 3 pixels from the new origin
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    MoveTo(302, 302);  // 4 pixels: asks again
    EXPECT_EQ(StandinRead(kVerifyCalls), 2u);
    EXPECT_FALSE(ClosePosted());

    StandinWrite(kVerifyAnswer, 1);
    m_wnd->WindowProc(WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(StandinRead(kVerifyCalls), 3u);
    EXPECT_TRUE(ClosePosted());
    ExpectRestored();
}

// Only an absent key or value means "no password"; whatever is there is read
// as up to 4 bytes of a number, and what cannot be read that way asks.
TEST_F(PasswordTest, SystemSettingDecidesWhetherToAsk) {
    StandinWrite(kVerifyAnswer, 1);
    const Setting cases[] = {
        {"no key", false, false, REG_NONE, {}, false},
        {"no value", true, false, REG_NONE, {}, false},
        {"0", true, true, REG_DWORD, Dword(0), false},
        {"1", true, true, REG_DWORD, Dword(1), true},
        {"256", true, true, REG_DWORD, Dword(0x100), true},
        {"high bit", true, true, REG_DWORD, Dword(0x80000000u), true},
        {"binary 01", true, true, REG_BINARY, {1}, true},
        {"binary 00000000", true, true, REG_BINARY, {0, 0, 0, 0}, false},
        {"empty binary", true, true, REG_BINARY, {}, false},
        {"string 1", true, true, REG_SZ, {'1', 0}, true},
        {"empty string", true, true, REG_SZ, {0}, false},
        {"8 zero bytes", true, true, REG_BINARY, std::vector<BYTE>(8, 0), true},
        {"long string", true, true, REG_SZ, {'0', '0', '0', '0', '0', '0', 0}, true},
    };
    Create();
    for (const Setting& s : cases) {
        SCOPED_TRACE(s.what);
        SetUsePassword(s);
        const DWORD callsBefore = StandinRead(kVerifyCalls);
        Key();
        EXPECT_EQ(StandinRead(kVerifyCalls) - callsBefore, s.asks ? 1u : 0u);
        EXPECT_TRUE(ClosePosted());
        ExpectRestored();
    }
}

TEST_F(PasswordTest, WithoutTheSystemsCheckTheSaverCloses) {
    StandinWrite(kVerifyAnswer, 0);
    Create();

    RemoveCpl();
    Key();
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(StandinRead(kPasswordLoads), 0u);

    // A component without the entry point: loaded, released, never called.
    InstallCpl("NOVERIFY.CPL");
    Key();
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(StandinRead(kPasswordLoads), 1u);
    EXPECT_EQ(StandinRead(kVerifyCalls), 0u);
    ExpectRestored();
}

// The component is loaded for each question and released after it.
TEST_F(PasswordTest, ComponentLoadedForEachQuestion) {
    StandinWrite(kVerifyAnswer, 0);
    Create();
    for (DWORD round = 1; round <= 3; ++round) {
        Key();
        EXPECT_EQ(StandinRead(kPasswordLoads), round);
        EXPECT_EQ(StandinRead(kPasswordUnloads), round);
    }
    ExpectRestored();
}

TEST_F(PasswordTest, WindowClosesThroughTheMessageLoopAndRestoresTheCursor) {
    StandinWrite(kVerifyAnswer, 1);
    Create();
    TestApp().m_pMainWnd = m_wnd;
    Key();
    EXPECT_EQ(TestApp().Run(), 0);
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_EQ(CursorCount(), m_cursorBefore);
    EXPECT_FALSE(ScreenSaverRunningFlag());
    m_wnd = nullptr;
}


// A protected run: the system is told that a screen saver runs from the end
// of the set-up on, through a refused check, until the window is gone, by
// whichever way it ends.
TEST_F(PasswordTest, ProtectedRunKeepsTheNoticeUntilTheWindowIsGone) {
    enum class End { RightPassword, CloseMessage, DestroyWindow };
    const struct {
        const char* what;
        End end;
        bool failedSetUp;
        bool inGrace;
    } cases[] = {
        {"right password", End::RightPassword, false, false},
        {"WM_CLOSE", End::CloseMessage, false, false},
        {"DestroyWindow", End::DestroyWindow, false, false},
        {"failed set-up, right password", End::RightPassword, true, false},
        {"failed set-up, WM_CLOSE", End::CloseMessage, true, false},
        {"a key within the grace period", End::RightPassword, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp().WriteProfileString("Config", "FilenameGif", c.failedSetUp ? "C:\\orvane-missing-picture.gif" : "");
        Create(c.inGrace ? 0 : 6);
        EXPECT_EQ(m_wnd->m_effect.Failure() != 0, c.failedSetUp);
        EXPECT_TRUE(ScreenSaverRunningFlag()) << "right after the set-up";

        if (!c.inGrace) {
            StandinWrite(kVerifyAnswer, 0);
            const DWORD callsBefore = StandinRead(kVerifyCalls);
            Key();
            EXPECT_EQ(StandinRead(kVerifyCalls), callsBefore + 1);
            EXPECT_EQ(StandinRead(kVerifySaverRunning), 1u) << "during the dialog";
            EXPECT_FALSE(ClosePosted());
            EXPECT_TRUE(ScreenSaverRunningFlag()) << "after a refused answer";
            PumpMessages(100);
            EXPECT_TRUE(ScreenSaverRunningFlag());
        }

        const DWORD callsBefore = StandinRead(kVerifyCalls);
        TestApp().m_pMainWnd = m_wnd;
        switch (c.end) {
        case End::RightPassword:
            StandinWrite(kVerifyAnswer, 1);
            Key();
            EXPECT_EQ(StandinRead(kVerifyCalls) - callsBefore, c.inGrace ? 0u : 1u);
            EXPECT_TRUE(ScreenSaverRunningFlag()) << "until the window goes";
            EXPECT_EQ(TestApp().Run(), 0);
            break;
        case End::CloseMessage:
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
            EXPECT_EQ(TestApp().Run(), 0);
            break;
        case End::DestroyWindow:
            TestApp().m_pMainWnd = nullptr;
            m_wnd->DestroyWindow();
            break;
        }
        EXPECT_FALSE(IsWindow(m_hWnd));
        EXPECT_FALSE(ScreenSaverRunningFlag()) << "after the window is gone";
        EXPECT_EQ(CursorCount(), m_cursorBefore);
        m_wnd = nullptr;
    }
}

// Without a password to ask for, and on the NT family, the notice is never given.
TEST_F(PasswordTest, UnprotectedRunNeverGivesTheNotice) {
    const struct {
        Setting setting;
        bool win9x;
    } cases[] = {
        {{"95/98, 0", true, true, REG_DWORD, Dword(0), false}, true},
        {{"95/98, no key", false, false, REG_NONE, {}, false}, true},
        {{"NT, 1", true, true, REG_DWORD, Dword(1), true}, false},
    };
    StandinWrite(kVerifyAnswer, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting.what);
        SetUsePassword(c.setting);
        Create(6, c.win9x);
        EXPECT_FALSE(ScreenSaverRunningFlag());
        Key();
        EXPECT_TRUE(ClosePosted());
        EXPECT_FALSE(ScreenSaverRunningFlag());
        m_wnd->DestroyWindow();
        EXPECT_FALSE(ScreenSaverRunningFlag());
        m_wnd = nullptr;
    }
    EXPECT_EQ(StandinRead(kVerifyCalls), 0u);
}

// A password asked for only after the set-up: the dialog gives the notice,
// and a refused answer leaves it, as in a run protected from the start.
TEST_F(PasswordTest, NoticeGivenByALaterCheckStaysUntilTheEnd) {
    SetUsePassword({"0", true, true, REG_DWORD, Dword(0), false});
    Create();
    EXPECT_FALSE(ScreenSaverRunningFlag());
    SetUsePassword({"1", true, true, REG_DWORD, Dword(1), true});
    StandinWrite(kVerifyAnswer, 0);
    Key();
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    EXPECT_EQ(StandinRead(kVerifySaverRunning), 1u);
    EXPECT_TRUE(ScreenSaverRunningFlag());
    m_wnd->DestroyWindow();
    EXPECT_FALSE(ScreenSaverRunningFlag());
}

// What the covers look like while the stand-in's dialog runs, seen from a
// thread timer that its message loop dispatches.
struct CoverWatch {
    HWND cover = nullptr;
    int samples = 0;
    int enabled = 0;
    int gone = 0;
};
CoverWatch g_watch;

void CALLBACK WatchCover(HWND, UINT, UINT_PTR, DWORD) {
    ++g_watch.samples;
    if (!IsWindow(g_watch.cover))
        ++g_watch.gone;
    else if (IsWindowEnabled(g_watch.cover))
        ++g_watch.enabled;
}

class PasswordCoverTest : public PasswordTest {
protected:
    void SetUp() override {
        PasswordTest::SetUp();
        Create();
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        m_wnd->Covers().Apply(m_wnd, {{0, 0, width, height}, {width, 0, width + 320, 240}});
        ASSERT_EQ(m_wnd->Covers().Covers().size(), 1u);
        m_cover = m_wnd->Covers().Covers()[0]->m_hWnd;
        g_watch = CoverWatch();
        g_watch.cover = m_cover;
        m_timer = SetTimer(nullptr, 0, 30, WatchCover);
        StandinWrite(kVerifyPumpMs, 400);
    }
    void TearDown() override {
        KillTimer(nullptr, m_timer);
        PasswordTest::TearDown();
    }
    HWND m_cover = nullptr;
    UINT_PTR m_timer = 0;
};

// Input over a cover or the saver while the dialog is open starts no other
// check; the covers take no input meanwhile, and take it again afterwards.
TEST_F(PasswordCoverTest, InputDuringTheCheckStartsNoOtherCheck) {
    MoveTo(100, 100);  // origin
    SetCursorPos(400, 300);
    const UINT input[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_KEYDOWN, WM_SYSKEYDOWN};
    for (UINT message : input) {
        PostMessageA(m_cover, message, 0, 0);
        PostMessageA(m_hWnd, message, 0, 0);
    }
    StandinWrite(kVerifyAnswer, 1);
    Key();
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    EXPECT_EQ(StandinRead(kVerifyMostNested), 1u);
    EXPECT_GE(g_watch.samples, 3);
    EXPECT_EQ(g_watch.enabled, 0) << "a cover took input during the dialog";
    EXPECT_TRUE(ClosePosted());
    EXPECT_FALSE(ClosePosted()) << "one close only";
    EXPECT_TRUE(IsWindowEnabled(m_cover));
}

// A close or a change of monitors during the dialog waits for its answer:
// the dialog's owner and the covers live until the call has returned.
TEST_F(PasswordCoverTest, CloseAndMonitorChangeWaitForTheAnswer) {
    StandinWrite(kVerifyAnswer, 0);
    PostMessageA(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    Key();
    EXPECT_EQ(StandinRead(kVerifyCalls), 1u);
    EXPECT_GE(g_watch.samples, 3);
    EXPECT_EQ(g_watch.gone, 0) << "the cover went during the dialog";
    EXPECT_TRUE(IsWindow(m_hWnd));
    // Afterwards the test display's one monitor needs no cover, and the close goes ahead.
    EXPECT_FALSE(IsWindow(m_cover));
    EXPECT_TRUE(m_wnd->Covers().Covers().empty());
    TestApp().m_pMainWnd = m_wnd;
    EXPECT_EQ(TestApp().Run(), 0);
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_FALSE(ScreenSaverRunningFlag());
    m_wnd = nullptr;
}

}  // namespace
