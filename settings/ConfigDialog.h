// CConfigDialog: the settings dialog (template 133). It edits copies of the
// settings in its members; the caller reads the store into them before
// DoModal and writes them back after IDOK.
#pragma once

#include "framework/Framework.h"
#include "settings/ConfigDialogIds.h"

class CConfigDialog : public CDialog {
public:
    enum { IDD = IDD_CONFIG };

    explicit CConfigDialog(CWnd* parent = nullptr);
    ~CConfigDialog() override;

    int m_bumpFromIndex = 0;
    int m_bumpMultiplier = 0;
    int m_xFallOff = 0;
    int m_yFallOff = 0;
    int m_xDistance = 0;
    int m_yDistance = 0;
    int m_bumpSpeed = 0;
    int m_frameRate = 0;
    int m_cwDirection = 0;  // check box: 1 clockwise
    CString m_gifFileName;
    CString m_xPosition;
    CString m_yPosition;
    CString m_text;
    int m_textSize = 0;  // no control: handed back unchanged
    CString m_fontFace;
    CString m_fontStyle;
    int m_fontHeight = 0;
    int m_fontWidth = 0;

    // The flags the font dialog runs with: screen fonts, preselected from the
    // logical font and the style name, with the effects group.
    static constexpr DWORD kFontDialogFlags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_USESTYLE | CF_EFFECTS;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnFont();

    DECLARE_MESSAGE_MAP()
};
