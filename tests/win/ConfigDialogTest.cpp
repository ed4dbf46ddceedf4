// The settings dialog's resources read back from the module, and the dialog
// run modally with a thread timer playing the user.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "settings/ConfigDialog.h"
#include "tests/win/TestApp.h"

namespace {

// --- The template, decoded from the extended dialog template format ---------

struct ControlRecord {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string cls;  // predefined classes by name
    std::string text;
};

struct DialogRecord {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string face;
    std::vector<ControlRecord> controls;
};

class Reader {
public:
    Reader(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}
    bool ok() const { return m_ok; }
    WORD Word() { return static_cast<WORD>(Bytes(2)); }
    DWORD Dword() { return static_cast<DWORD>(Bytes(4)); }
    BYTE Byte() { return static_cast<BYTE>(Bytes(1)); }
    void AlignDword() { m_pos = (m_pos + 3) & ~std::size_t{3}; }
    void Skip(std::size_t n) { m_pos += n; }
    // A name or an ordinal: 0 none, 0xFFFF then the ordinal, else UTF-16 text.
    std::string SzOrOrd(WORD* ordinal = nullptr) {
        const WORD first = Word();
        if (first == 0xFFFF) {
            const WORD value = Word();
            if (ordinal) *ordinal = value;
            return "#" + std::to_string(value);
        }
        std::string text;
        for (WORD c = first; c != 0 && m_ok; c = Word()) text += static_cast<char>(c < 0x80 ? c : '?');
        return text;
    }

private:
    unsigned long long Bytes(std::size_t n) {
        unsigned long long value = 0;
        if (m_pos + n > m_size) {
            m_ok = false;
            return 0;
        }
        for (std::size_t i = 0; i < n; ++i) value |= static_cast<unsigned long long>(m_data[m_pos + i]) << (8 * i);
        m_pos += n;
        return value;
    }
    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

std::string ClassName(const std::string& raw) {
    static const char* const kPredefined[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (int i = 0; i < 6; ++i) {
        if (raw == "#" + std::to_string(0x80 + i) || lstrcmpiA(raw.c_str(), kPredefined[i]) == 0)
            return kPredefined[i];
    }
    return raw;
}

bool LoadTemplate(DialogRecord* out) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDD_CONFIG), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (found == nullptr) return false;
    Reader r(static_cast<const BYTE*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
    if (r.Word() != 1 || r.Word() != 0xFFFF) return false;  // DLGTEMPLATEEX
    r.Dword();                                              // help id
    r.Dword();                                              // extended style
    out->style = r.Dword();
    const WORD count = r.Word();
    out->x = static_cast<short>(r.Word());
    out->y = static_cast<short>(r.Word());
    out->cx = static_cast<short>(r.Word());
    out->cy = static_cast<short>(r.Word());
    r.SzOrOrd();  // menu
    r.SzOrOrd();  // class
    out->caption = r.SzOrOrd();
    if (out->style & DS_SETFONT) {
        out->pointSize = r.Word();
        r.Word();  // weight
        r.Byte();  // italic
        r.Byte();  // character set
        out->face = r.SzOrOrd();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        ControlRecord c;
        r.Dword();  // help id
        r.Dword();  // extended style
        c.style = r.Dword();
        c.x = static_cast<short>(r.Word());
        c.y = static_cast<short>(r.Word());
        c.cx = static_cast<short>(r.Word());
        c.cy = static_cast<short>(r.Word());
        c.id = static_cast<WORD>(r.Dword());
        c.cls = ClassName(r.SzOrOrd());
        c.text = r.SzOrOrd();
        r.Skip(r.Word());  // creation data
        out->controls.push_back(c);
    }
    return r.ok();
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCombo = kChild | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kDigits = kChild | ES_NUMBER | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kAnyText = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kDefButton = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr WORD kNone = 0xFFFF;

TEST(ConfigDialogTemplate, HeaderAsDesigned) {
    DialogRecord dialog;
    ASSERT_TRUE(LoadTemplate(&dialog));
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dialog.cx, 254);
    EXPECT_EQ(dialog.cy, 255);
    EXPECT_EQ(dialog.caption, "Orvane ScreenSaver v2.1");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, "MS Sans Serif");
}

TEST(ConfigDialogTemplate, EveryControlInOrderWithPositionSizeTextAndStyle) {
    const ControlRecord expected[] = {
        {kCombo, 80, 17, 42, 73, 1013, "ComboBox", ""},
        {kDigits, 193, 17, 40, 12, 1004, "Edit", ""},
        {kCombo, 80, 37, 42, 73, 1014, "ComboBox", ""},
        {kDigits, 193, 37, 40, 12, 1005, "Edit", ""},
        {kDigits, 80, 57, 40, 12, 1010, "Edit", ""},
        {kChild | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_FLAT | WS_TABSTOP, 140, 56, 62, 10, 1015, "Button",
         "CW Direction :"},
        {kDigits, 79, 91, 40, 12, 1002, "Edit", ""},
        {kDigits, 192, 91, 40, 12, 1003, "Edit", ""},
        {kDigits, 79, 111, 40, 12, 1007, "Edit", ""},
        {kAnyText, 79, 146, 152, 12, 1008, "Edit", ""},
        {kDigits, 79, 166, 40, 12, 1001, "Edit", ""},
        {kDigits, 192, 111, 40, 12, 1000, "Edit", ""},
        {kDefButton, 196, 230, 48, 14, IDOK, "Button", "OK"},
        {kChild | SS_RIGHT | WS_GROUP, 144, 195, 98, 9, kNone, "Static", "Orvane - ScreenSaver  v2.1"},
        {kLabel, 141, 113, 39, 10, kNone, "Static", "Fps :"},
        {kLabel, 17, 168, 45, 10, kNone, "Static", "From index :"},
        {kLabel, 16, 20, 61, 11, kNone, "Static", "Position (X) :"},
        {kLabel, 16, 112, 51, 10, kNone, "Static", "Light Deep :"},
        {kLabel, 17, 149, 52, 10, 1009, "Static", "GIF Filename :"},
        {kLabel, 16, 58, 52, 10, kNone, "Static", "Speed :"},
        {kLabel, 17, 94, 53, 11, kNone, "Static", "Overture (X) :"},
        {kLabel, 16, 39, 61, 11, kNone, "Static", "Position (Y) :"},
        {kLabel, 141, 93, 43, 11, kNone, "Static", "Overture (Y) :"},
        {kLabel, 142, 20, 44, 11, kNone, "Static", "Distance (X) :"},
        {kLabel, 142, 39, 44, 11, kNone, "Static", "Distance (Y) :"},
        {kGroup, 10, 6, 232, 70, kNone, "Button", "Moving"},
        {kGroup, 10, 80, 232, 51, kNone, "Button", "Bump Options"},
        {kGroup, 10, 135, 232, 52, kNone, "Button", "Image"},
        // Multi-line and centred; no ES_WANTRETURN and no scrolling.
        {kChild | ES_MULTILINE | ES_CENTER | WS_BORDER | WS_TABSTOP, 78, 201, 53, 37, 1033, "Edit", ""},
        {kGroup, 10, 190, 130, 55, kNone, "Button", "Text"},
        {kLabel, 17, 203, 45, 10, kNone, "Static", "Text Lines :"},
        {kLabel, 18, 217, 55, 18, kNone, "Static", "[Ctrl] + [Enter]  = Add New Line"},
        {kDefButton, 145, 230, 45, 14, 7, "Button", "<-- Font..."},
    };
    DialogRecord dialog;
    ASSERT_TRUE(LoadTemplate(&dialog));
    ASSERT_EQ(dialog.controls.size(), sizeof expected / sizeof expected[0]);
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlRecord& got = dialog.controls[i];
        const ControlRecord& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " '" + want.text + "' id " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.cls, want.cls);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style) << std::hex << got.style << " " << want.style;
    }
}

TEST(ModuleResources, NameAndVersion) {
    char text[64] = {};
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDS_DESCRIPTION, text, sizeof text), 6);
    EXPECT_STREQ(text, "Orvane");

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(1, 2)));  // 2.1
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(1, 2)));
    const auto value = [&](const char* name) {
        char* text = nullptr;
        UINT n = 0;
        const std::string query = std::string("\\StringFileInfo\\040904E4\\") + name;
        return VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &n) && text
                   ? std::string(text)
                   : std::string();
    };
    EXPECT_EQ(value("ProductName"), "Orvane");
    EXPECT_EQ(value("ProductVersion"), "2.1");
    EXPECT_EQ(value("FileDescription"), "Orvane Screen Saver");
}

// --- The dialog at run time ---------------------------------------------------

// Steps run one per timer tick inside the dialog's modal loop. When the last
// step has not ended the dialog within 2 s, a watchdog notes what is still
// open and cancels it, so a failing step fails the test instead of hanging it.
std::vector<std::function<void()>> g_steps;
std::size_t g_nextStep = 0;
int g_idleTicks = 0;
int g_retries = 0;
bool g_retry = false;
std::string g_stuck;

// A step calls this when what it waits for is not there yet: it runs again at
// the next tick (for up to 5 s).
void RetryStep() { g_retry = g_retries < 50; }

BOOL CALLBACK CancelThreadWindow(HWND hWnd, LPARAM) {
    if (!IsWindowVisible(hWnd)) return TRUE;
    char cls[64] = {}, caption[128] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    GetWindowTextA(hWnd, caption, sizeof caption);
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char childClass[16] = {}, text[128] = {};
        GetClassNameA(child, childClass, sizeof childClass);
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(childClass, "Static") == 0 && text[0]) (g_stuck += " / ") += text;
    }
    g_stuck += std::string(" [") + cls + " '" + caption + "']";
    PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_nextStep < g_steps.size()) {
        g_retry = false;
        g_steps[g_nextStep]();
        if (g_retry) {
            ++g_retries;
        } else {
            ++g_nextStep;
            g_retries = 0;
        }
    } else if (++g_idleTicks == 20) {
        g_stuck = "still open:";
        EnumThreadWindows(GetCurrentThreadId(), &CancelThreadWindow, 0);
    } else if (g_idleTicks > 20 && g_idleTicks % 10 == 0) {
        EnumThreadWindows(GetCurrentThreadId(), &CancelThreadWindow, 0);
    }
}

template <typename Dialog>
INT_PTR RunWithSteps(Dialog& dialog, std::vector<std::function<void()>> steps) {
    g_steps = std::move(steps);
    g_nextStep = 0;
    g_idleTicks = 0;
    g_retries = 0;
    g_stuck.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &RunStep);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_nextStep, g_steps.size()) << "the dialog ended before every step ran";
    EXPECT_EQ(g_stuck, "") << "the dialog did not end after the last step";
    return result;
}

std::string Text(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::vector<std::string> Items(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

struct PopupSearch {
    HWND owner;
    const char* caption;
    HWND found;
};

// A lambda cannot be the callback: on 32-bit Windows it must be __stdcall.
BOOL CALLBACK FindOwnedPopup(HWND hWnd, LPARAM lParam) {
    PopupSearch* s = reinterpret_cast<PopupSearch*>(lParam);
    char text[64] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    if (GetWindow(hWnd, GW_OWNER) == s->owner && IsWindowVisible(hWnd) &&
        (s->caption == nullptr || std::strcmp(text, s->caption) == 0)) {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this thread owned by owner (null: owned by
// none), with the given caption when one is named.
HWND OwnedPopup(HWND owner, const char* caption = nullptr) {
    PopupSearch search = {owner, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string PromptText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = {}, t[256] = {};
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, t, sizeof t);
        if (lstrcmpiA(cls, "Static") == 0 && t[0]) text = t;
    }
    return text;
}

void Fill(CConfigDialog& d) {
    d.m_frameRate = 30;
    d.m_bumpFromIndex = 3;
    d.m_xFallOff = 200;
    d.m_yFallOff = 210;
    d.m_xDistance = 300;
    d.m_yDistance = 250;
    d.m_bumpMultiplier = 7;
    d.m_bumpSpeed = 20;
    d.m_cwDirection = 1;
    d.m_gifFileName = "C:\\pictures\\relief.gif";
    d.m_xPosition = "Center";
    d.m_yPosition = "Top";
    d.m_text = "Orvane\r\nline two";
    d.m_textSize = 5;
    d.m_fontFace = "Arial Black";
    d.m_fontStyle = "Negrita";
    d.m_fontHeight = 18;
    d.m_fontWidth = 17;
}

TEST(ConfigDialog, LoadsTheMembersAndSortedListsCancelKeepsThem) {
    CConfigDialog dialog;
    Fill(dialog);
    const INT_PTR result = RunWithSteps(dialog, {[&] {
        HWND d = dialog.m_hWnd;
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Items(GetDlgItem(d, 1013)), (std::vector<std::string>{"Center", "Left", "Right"}));
        EXPECT_EQ(Items(GetDlgItem(d, 1014)), (std::vector<std::string>{"Bottom", "Center", "Top"}));
        const std::pair<int, const char*> shown[] = {
            {1000, "30"}, {1001, "3"},   {1002, "200"},    {1003, "210"},
            {1004, "300"}, {1005, "250"}, {1007, "7"},      {1010, "20"},
            {1008, "C:\\pictures\\relief.gif"}, {1013, "Center"}, {1014, "Top"},
            {1033, "Orvane\r\nline two"},
        };
        for (const auto& s : shown) EXPECT_EQ(Text(d, s.first), s.second) << "control " << s.first;
        EXPECT_EQ(IsDlgButtonChecked(d, 1015), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(LOWORD(SendMessageA(d, DM_GETDEFID, 0, 0)), IDOK);  // Enter confirms
        SetDlgItemTextA(d, 1000, "12");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_frameRate, 30);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ConfigDialog, OkSavesEveryControlAndHandsBackTheRest) {
    CConfigDialog dialog;
    Fill(dialog);
    const INT_PTR result = RunWithSteps(dialog, {[&] {
        HWND d = dialog.m_hWnd;
        const std::pair<int, const char*> typed[] = {
            {1000, "50"}, {1001, "255"}, {1002, "16"}, {1003, "512"}, {1004, "0"},    {1005, "1000"},
            {1007, "11"}, {1010, "256"}, {1008, ""},   {1013, "left"}, {1014, "Nowhere"}, {1033, "A\r\nB"},
        };
        for (const auto& t : typed) SetDlgItemTextA(d, t.first, t.second);
        CheckDlgButton(d, 1015, BST_UNCHECKED);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_frameRate, 50);
    EXPECT_EQ(dialog.m_bumpFromIndex, 255);
    EXPECT_EQ(dialog.m_xFallOff, 16);
    EXPECT_EQ(dialog.m_yFallOff, 512);
    EXPECT_EQ(dialog.m_xDistance, 0);
    EXPECT_EQ(dialog.m_yDistance, 1000);
    EXPECT_EQ(dialog.m_bumpMultiplier, 11);
    EXPECT_EQ(dialog.m_bumpSpeed, 256);
    EXPECT_EQ(dialog.m_cwDirection, 0);
    EXPECT_STREQ(dialog.m_gifFileName, "");
    EXPECT_STREQ(dialog.m_xPosition, "left");
    EXPECT_STREQ(dialog.m_yPosition, "Nowhere");
    EXPECT_STREQ(dialog.m_text, "A\r\nB");
    // No control exchanges these.
    EXPECT_EQ(dialog.m_textSize, 5);
    EXPECT_STREQ(dialog.m_fontFace, "Arial Black");
    EXPECT_STREQ(dialog.m_fontStyle, "Negrita");
    EXPECT_EQ(dialog.m_fontHeight, 18);
    EXPECT_EQ(dialog.m_fontWidth, 17);
}

TEST(ConfigDialog, FirstBadFieldInExchangeOrderIsReportedAndFocused) {
    CConfigDialog dialog;
    Fill(dialog);
    HWND box = nullptr;
    const INT_PTR result = RunWithSteps(
        dialog,
        {[&] {
             HWND d = dialog.m_hWnd;
             // Template order puts 1002 first; the exchange checks 1007 before it.
             SetDlgItemTextA(d, 1002, "5");
             SetDlgItemTextA(d, 1007, "0");
             PostMessageA(d, WM_COMMAND, IDOK, 0);
         },
         [&] {
             box = OwnedPopup(dialog.m_hWnd);
             if (box == nullptr) return RetryStep();
             char caption[32] = {};
             GetWindowTextA(box, caption, sizeof caption);
             EXPECT_STREQ(caption, TestApp().m_pszAppName);
             EXPECT_EQ(PromptText(box), "Please enter an integer between 1 and 11.");
             PostMessageA(box, WM_COMMAND, IDOK, 0);
         },
         [&] {
             EXPECT_FALSE(IsWindow(box));
             EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
             EXPECT_EQ(GetFocus(), GetDlgItem(dialog.m_hWnd, 1007));
             EXPECT_EQ(SendDlgItemMessageA(dialog.m_hWnd, 1007, EM_GETSEL, 0, 0), MAKELONG(0, 1));
             PostMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
         }});
    EXPECT_EQ(result, IDCANCEL);
}

TEST(ConfigDialog, AParentThatIsNoWindowIsNoParent) {
    CWnd* bogus = CWnd::FromHandle(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7654321)));
    ASSERT_FALSE(IsWindow(bogus->m_hWnd));
    CConfigDialog dialog(bogus);
    Fill(dialog);
    HWND owner = reinterpret_cast<HWND>(1);
    const INT_PTR result = RunWithSteps(dialog, {[&] {
        owner = GetWindow(dialog.m_hWnd, GW_OWNER);
        PostMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(owner, nullptr);
    CWnd::DeleteTempMap();
}

// The font dialog as the settings dialog runs it.
void PrepareFontDialog(CFontDialog& font) {
    font.m_cf.Flags = CConfigDialog::kFontDialogFlags;
    std::strcpy(font.m_lf.lfFaceName, "Arial Black");
    std::strcpy(font.m_cf.lpszStyle, "Negrita");
    font.m_lf.lfHeight = 18;
    font.m_lf.lfWidth = 17;
}

TEST(FontDialog, CancelHandsBackWhatItWasGiven) {
    EXPECT_EQ(CConfigDialog::kFontDialogFlags, 0x1C1u);
    CFontDialog font(nullptr, CF_EFFECTS | CF_SCREENFONTS, nullptr, nullptr);
    EXPECT_EQ(font.m_cf.lpLogFont, &font.m_lf);
    EXPECT_EQ(font.m_lf.lfHeight, 0);
    EXPECT_EQ(font.m_lf.lfFaceName[0], '\0');
    PrepareFontDialog(font);
    const INT_PTR result = RunWithSteps(font, {[] {
        HWND box = OwnedPopup(nullptr, "Font");
        if (box == nullptr) return RetryStep();
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_STREQ(font.GetFaceName(), "Arial Black");
    EXPECT_STREQ(font.GetStyleName(), "Negrita");
    EXPECT_EQ(font.m_lf.lfHeight, 18);
    EXPECT_EQ(font.m_lf.lfWidth, 17);
}

TEST(FontDialog, OkHandsBackTheChoice) {
    CFontDialog font(nullptr, CF_EFFECTS | CF_SCREENFONTS, nullptr, nullptr);
    PrepareFontDialog(font);
    std::string shownFace;
    const INT_PTR result = RunWithSteps(font, {[&] {
        HWND box = OwnedPopup(nullptr, "Font");
        if (box == nullptr) return RetryStep();
        shownFace = Text(box, 1136);  // the face name field
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(shownFace.empty());
    EXPECT_EQ(std::string(font.GetFaceName()), shownFace);
    EXPECT_LT(font.m_lf.lfHeight, 0);  // a character height, as the system's dialog reports it
}

}  // namespace
