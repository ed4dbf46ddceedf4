#include "app/SaverApp.h"

#include "app/CommandLine.h"
#include "app/Password.h"
#include "saver/SaverWnd.h"
#include "settings/Settings.h"

namespace {

HWND WindowFromNumber(const ModeChoice& choice) {
    return choice.useForegroundWindow ? GetForegroundWindow()
                                      : reinterpret_cast<HWND>(static_cast<UINT_PTR>(choice.window));
}

}  // namespace

BOOL CSaverApp::InitInstance() {
    Enable3dControlsStatic();
    const bool isWin9x = IsWindows9xFamily();
    SetRegistryKey(kCompanyKey);

    const ModeChoice choice = ChooseMode(m_lpCmdLine, isWin9x);
    switch (choice.mode) {
    case SaverMode::ChangePassword:
        ChangeScreenSaverPassword(WindowFromNumber(choice));
        return TRUE;
    case SaverMode::Preview:
        return FALSE;
    case SaverMode::Saver: {
        CSaverWnd* wnd = new CSaverWnd;
        // A window that could not be created has deleted its object: end the
        // process instead of keeping a dangling main window.
        if (!wnd->CreateFullScreen()) return FALSE;
        m_pMainWnd = wnd;
        wnd->CoverOtherMonitors();
        return TRUE;
    }
    case SaverMode::ConfigureWithParent:
        RunConfigDialog(CWnd::FromHandle(WindowFromNumber(choice)));
        return TRUE;
    case SaverMode::Configure:
        RunConfigDialog(nullptr);
        return TRUE;
    }
    return FALSE;
}

void CSaverApp::RunConfigDialog(CWnd*) {
    // The settings dialog does not exist yet: configuration mode ends at once.
}
