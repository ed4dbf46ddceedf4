#include "framework/Dialog.h"

#include <vector>

#include "framework/DialogData.h"
#include "framework/WinApp.h"

namespace {

HINSTANCE ResourceInstance() {
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->m_hInstance != nullptr ? app->m_hInstance : GetModuleHandleA(nullptr);
}

// Edit fields say so the way the dialog manager asks them.
bool HasSelection(HWND hWnd) { return (SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0; }

CString WindowText(HWND hWnd) {
    const int length = GetWindowTextLengthA(hWnd);
    if (length <= 0) return CString();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hWnd, buffer.data(), length + 1);
    return CString(buffer.data(), got < 0 ? 0 : (got > length ? length : got));
}

}  // namespace

int AfxMessageBox(HWND owner, const char* text) {
    CWinApp* app = AfxGetApp();
    return MessageBoxA(owner, text, app != nullptr ? static_cast<const char*>(app->m_pszAppName) : nullptr,
                       MB_OK | MB_ICONEXCLAMATION);
}

// --- CDataExchange ---------------------------------------------------------

CDataExchange::CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

HWND CDataExchange::PrepareCtrl(int controlId) {
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, controlId);
    m_hWndLastControl = hWnd;
    m_bEditLastControl = FALSE;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int controlId) {
    HWND hWnd = PrepareCtrl(controlId);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
        // Through the dialog, so that the default button follows the focus.
        SendMessageA(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
        if (m_bEditLastControl && HasSelection(m_hWndLastControl)) SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    m_bFailed = TRUE;
}

void DDX_Text(CDataExchange* pDX, int controlId, int& value) {
    if (pDX->m_bFailed) return;
    HWND hWnd = pDX->PrepareEditCtrl(controlId);
    if (hWnd == nullptr) return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextA(hWnd, FormatDialogInt(value));
        return;
    }
    int parsed = 0;
    if (!ParseDialogInt(WindowText(hWnd), &parsed)) {
        AfxMessageBox(pDX->m_pDlgWnd->m_hWnd, kPromptParseInt);
        pDX->Fail();
        return;
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int controlId, CString& value) {
    if (pDX->m_bFailed) return;
    HWND hWnd = pDX->PrepareEditCtrl(controlId);
    if (hWnd == nullptr) return;
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWnd);
    else
        SetWindowTextA(hWnd, value);
}

void DDX_Check(CDataExchange* pDX, int controlId, int& value) {
    if (pDX->m_bFailed) return;
    HWND hWnd = pDX->PrepareCtrl(controlId);
    if (hWnd == nullptr) return;
    if (pDX->m_bSaveAndValidate)
        value = SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        SendMessageA(hWnd, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate) return;
    if (value >= minVal && value <= maxVal) return;
    const CString prompt = FormatPrompt(kPromptParseIntRange, FormatDialogInt(minVal), FormatDialogInt(maxVal));
    AfxMessageBox(pDX->m_pDlgWnd->m_hWnd, prompt);
    pDX->Fail();
}

// --- CDialog -----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    // The number on a command line may name no window at all: the dialog
    // then opens on its own rather than not at all.
    if (parent != nullptr && !IsWindow(parent)) parent = nullptr;
    return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(m_nIDTemplate), parent, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result) {
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, result);
}

// Only WM_INITDIALOG is handled here: it attaches the object and subclasses
// the dialog, so every later message goes through the message map, and what
// the map leaves alone reaches the system's dialog procedure, which calls
// back here and gets FALSE (default handling).
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr) return TRUE;
    // A dialog that cannot reach its object would run without its handlers
    // and store nothing: it ends at once, as a dialog that could not be made.
    if (!dialog->SubclassWindow(hWnd)) {
        ::EndDialog(hWnd, -1);
        return TRUE;
    }
    return dialog->OnInitDialog();
}

BOOL CDialog::ExecuteDlgInit(UINT templateId) {
    HINSTANCE instance = ResourceInstance();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(240));
    if (found == nullptr) return TRUE;  // a template without initialisation data
    HGLOBAL loaded = LoadResource(instance, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return FALSE;
    BOOL ok = TRUE;
    for (const DlgInitItem& item : ParseDlgInit(data, SizeofResource(instance, found))) {
        UINT message;
        if (item.message == kDlgInitComboAddString)
            message = CB_ADDSTRING;
        else if (item.message == kDlgInitListAddString)
            message = LB_ADDSTRING;
        else
            continue;
        const LRESULT result =
            SendDlgItemMessageA(m_hWnd, item.controlId, message, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(item.text)));
        // Both CB_ERR and LB_ERR are -1; CB_ERRSPACE and LB_ERRSPACE are -2.
        if (result < 0) ok = FALSE;
    }
    return ok;
}

BOOL CDialog::OnInitDialog() {
    ExecuteDlgInit(m_nIDTemplate);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
