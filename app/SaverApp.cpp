#include "app/SaverApp.h"

#include "app/CommandLine.h"
#include "app/Password.h"
#include "saver/SaverWnd.h"
#include "settings/ConfigDialog.h"
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

void CSaverApp::RunConfigDialog(CWnd* parent) {
    CConfigDialog dialog(parent);
    const auto readInt = [this](SettingId id) {
        return static_cast<int>(GetProfileInt(kConfigSection, Setting(id).key, Setting(id).dialog.number));
    };
    const auto readText = [this](SettingId id) {
        return GetProfileString(kConfigSection, Setting(id).key, Setting(id).dialog.text);
    };
    dialog.m_frameRate = readInt(kFrameRate);
    dialog.m_bumpFromIndex = readInt(kBumpFromIndex);
    dialog.m_xFallOff = readInt(kBumpXFallOff);
    dialog.m_yFallOff = readInt(kBumpYFallOff);
    dialog.m_xDistance = readInt(kBumpXDistance);
    dialog.m_yDistance = readInt(kBumpYDistance);
    dialog.m_bumpMultiplier = readInt(kBumpMultiplier);
    dialog.m_bumpSpeed = readInt(kBumpSpeed);
    dialog.m_cwDirection = readInt(kCwDirection);
    dialog.m_gifFileName = readText(kFilenameGif);
    dialog.m_xPosition = readText(kXPosition);
    dialog.m_yPosition = readText(kYPosition);
    dialog.m_text = readText(kTextLines);
    dialog.m_textSize = readInt(kTextSize);
    dialog.m_fontFace = readText(kFontFace);
    dialog.m_fontStyle = readText(kFontStyle);
    dialog.m_fontWidth = readInt(kFontWidth);
    dialog.m_fontHeight = readInt(kFontHeight);

    if (dialog.DoModal() != IDOK) return;

    const auto writeInt = [this](SettingId id, int value) {
        WriteProfileInt(kConfigSection, Setting(id).key, value);
    };
    const auto writeText = [this](SettingId id, const CString& value) {
        WriteProfileString(kConfigSection, Setting(id).key, value);
    };
    writeInt(kFrameRate, dialog.m_frameRate);
    writeInt(kBumpSpeed, dialog.m_bumpSpeed);
    writeInt(kBumpXFallOff, dialog.m_xFallOff);
    writeInt(kBumpYFallOff, dialog.m_yFallOff);
    writeInt(kBumpXDistance, dialog.m_xDistance);
    writeInt(kBumpYDistance, dialog.m_yDistance);
    writeInt(kBumpMultiplier, dialog.m_bumpMultiplier);
    writeInt(kBumpFromIndex, dialog.m_bumpFromIndex);
    writeInt(kCwDirection, dialog.m_cwDirection);
    writeText(kFilenameGif, dialog.m_gifFileName);
    writeText(kXPosition, dialog.m_xPosition);
    writeText(kYPosition, dialog.m_yPosition);
    writeText(kTextLines, dialog.m_text);
    writeInt(kTextSize, dialog.m_textSize);
    writeText(kFontFace, dialog.m_fontFace);
    writeText(kFontStyle, dialog.m_fontStyle);
    writeInt(kFontWidth, dialog.m_fontWidth);
    writeInt(kFontHeight, dialog.m_fontHeight);
}
