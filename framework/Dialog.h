// CDialog: a modal dialog built from a template resource, with dialog data
// exchange (DDX_/DDV_) between its controls and the members of a derived class.
#pragma once

#include <windows.h>

#include "framework/String.h"
#include "framework/Wnd.h"

class CDialog;

// One pass of data exchange: loading the controls from the members, or saving
// and validating them back. The first failure ends the pass: its message has
// been shown, the focus is on the failing control, and every later DDX_/DDV_
// call of the pass does nothing.
class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
    BOOL m_bFailed = FALSE;

    // The control about to be exchanged (null when the dialog has no such control).
    HWND PrepareCtrl(int controlId);
    HWND PrepareEditCtrl(int controlId);
    // Puts the focus back on the last prepared control (selecting an edit
    // field's text) and ends the pass.
    void Fail();
};

void DDX_Text(CDataExchange* pDX, int controlId, int& value);
void DDX_Text(CDataExchange* pDX, int controlId, CString& value);
// A check box: 1 checks it, any other value clears it; saving gives 1 or 0.
void DDX_Check(CDataExchange* pDX, int controlId, int& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// The framework's prompts, in the message box captioned with the application name.
constexpr const char* kPromptParseInt = "Please enter an integer.";
constexpr const char* kPromptParseIntRange = "Please enter an integer between %1 and %2.";

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog until it ends; returns the code given to EndDialog, or
    // -1 when the dialog could not be created. A parent that is not (or no
    // longer) a window is treated as no parent.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Loads the combo and list boxes from the template's initialisation data,
    // then the controls from the members. TRUE: the system sets the focus.
    virtual BOOL OnInitDialog();
    // IDOK: validates and saves the controls; the dialog ends only when that succeeds.
    virtual void OnOK();
    // IDCANCEL, sent for Esc and the close box: ends the dialog, members untouched.
    virtual void OnCancel();

    // FALSE loads the controls from the members; TRUE saves and validates.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    HWND GetDlgItem(int controlId) const { return ::GetDlgItem(m_hWnd, controlId); }

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // Sends the template's initialisation records to their controls; FALSE
    // when a control refused one.
    BOOL ExecuteDlgInit(UINT templateId);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The application's message box for a framework prompt: owned by owner, an
// exclamation icon, captioned with the application name.
int AfxMessageBox(HWND owner, const char* text);
