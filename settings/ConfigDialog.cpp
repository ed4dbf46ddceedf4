#include "settings/ConfigDialog.h"

#include <cstring>

#include "settings/Settings.h"

namespace {

// Copies text into a fixed field of size bytes, cut to fit with its terminator.
void CopyCut(char* field, std::size_t size, const char* text) {
    const std::size_t length = std::strlen(text);
    const std::size_t kept = length < size - 1 ? length : size - 1;
    std::memcpy(field, text, kept);
    field[kept] = '\0';
}

void ExchangeInt(CDataExchange* pDX, int controlId, int& value, SettingId id) {
    DDX_Text(pDX, controlId, value);
    DDV_MinMaxInt(pDX, value, Setting(id).minimum, Setting(id).maximum);
}

}  // namespace

BEGIN_MESSAGE_MAP(CConfigDialog, CDialog)
    ON_BN_CLICKED(IDC_FONT, OnFont)
END_MESSAGE_MAP()

CConfigDialog::CConfigDialog(CWnd* parent) : CDialog(IDD, parent) {}

CConfigDialog::~CConfigDialog() = default;

// The template gives both push buttons the default style, and the dialog
// manager makes the last of them, "<-- Font...", the default: Enter in a field
// would open the font dialog. Enter is meant to confirm the dialog.
BOOL CConfigDialog::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    SendMessageA(m_hWnd, DM_SETDEFID, IDOK, 0);
    return result;
}

// Each integer is validated right after its own exchange, so the first bad
// field in this order is the one reported.
void CConfigDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    ExchangeInt(pDX, IDC_FRAMERATE, m_frameRate, kFrameRate);
    ExchangeInt(pDX, IDC_BUMPFROMINDEX, m_bumpFromIndex, kBumpFromIndex);
    ExchangeInt(pDX, IDC_BUMPMULTIPLIER, m_bumpMultiplier, kBumpMultiplier);
    ExchangeInt(pDX, IDC_BUMPSPEED, m_bumpSpeed, kBumpSpeed);
    ExchangeInt(pDX, IDC_XFALLOFF, m_xFallOff, kBumpXFallOff);
    ExchangeInt(pDX, IDC_YFALLOFF, m_yFallOff, kBumpYFallOff);
    ExchangeInt(pDX, IDC_XDISTANCE, m_xDistance, kBumpXDistance);
    ExchangeInt(pDX, IDC_YDISTANCE, m_yDistance, kBumpYDistance);
    DDX_Text(pDX, IDC_XPOSITION, m_xPosition);
    DDX_Text(pDX, IDC_YPOSITION, m_yPosition);
    DDX_Check(pDX, IDC_CWDIRECTION, m_cwDirection);
    DDX_Text(pDX, IDC_GIFFILENAME, m_gifFileName);
    DDX_Text(pDX, IDC_TEXTLINES, m_text);
}

void CConfigDialog::OnFont() {
    CFontDialog dialog(nullptr, CF_EFFECTS | CF_SCREENFONTS, nullptr, nullptr);
    dialog.m_cf.Flags = kFontDialogFlags;
    CopyCut(dialog.m_lf.lfFaceName, sizeof dialog.m_lf.lfFaceName, m_fontFace);
    CopyCut(dialog.m_cf.lpszStyle, CFontDialog::kStyleNameSize, m_fontStyle);
    dialog.m_lf.lfHeight = m_fontHeight;
    dialog.m_lf.lfWidth = m_fontWidth;
    dialog.DoModal();
    // Taken back whatever the answer: a cancelled font dialog has left its
    // structures as they were given.
    m_fontFace = dialog.GetFaceName();
    m_fontStyle = dialog.GetStyleName();
    m_fontHeight = dialog.m_lf.lfHeight;
    m_fontWidth = dialog.m_lf.lfWidth;
}
