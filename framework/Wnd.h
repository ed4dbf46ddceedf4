// CWnd: a C++ object attached to a window handle, with a message map that
// routes each window message to a handler named after it.
#pragma once

#include <windows.h>

#include "framework/String.h"

class CDC;
class CWnd;

// One routing entry: the message and a thunk that decodes its parameters and
// calls the handler on the derived object.
// WM_COMMAND entries also name the notification code and the control id.
struct MessageMapEntry {
    UINT message;
    LRESULT (*dispatch)(CWnd* wnd, WPARAM wParam, LPARAM lParam);
    UINT code = 0;
    UINT id = 0;
};

struct MessageMap {
    const MessageMap* base;  // the base class's map, searched after this one
    const MessageMapEntry* entries;  // ends with a zero message and null thunk
};

#define DECLARE_MESSAGE_MAP()                            \
protected:                                               \
    static const MessageMap* GetThisMessageMap();        \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap() {                                 \
        using ThisClass = theClass;                                                   \
        using TheBaseClass = baseClass;                                               \
        static const MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                      \
            {0, nullptr}};                                                     \
        static const MessageMap map = {TheBaseClass::GetThisMessageMap(), entries}; \
        return &map;                                                           \
    }

// Handler signatures follow the framework's conventions.
#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {                                          \
         return static_cast<ThisClass*>(w)->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(l));        \
     }},
#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                                     \
         return static_cast<ThisClass*>(w)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wp))); \
     }},
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                                          \
         static_cast<ThisClass*>(w)->OnTimer(static_cast<UINT_PTR>(wp));                           \
         return 0;                                                                                 \
     }},
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                             \
         static_cast<ThisClass*>(w)->OnPaint();                                                    \
         return 0;                                                                                 \
     }},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {                                   \
         static_cast<ThisClass*>(w)->OnSysCommand(static_cast<UINT>(wp), l);                       \
         return 0;                                                                                 \
     }},
#define ON_WM_PALETTECHANGED()                                                                     \
    {WM_PALETTECHANGED, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                                 \
         static_cast<ThisClass*>(w)->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(wp))); \
         return 0;                                                                                 \
     }},
#define ON_WM_QUERYNEWPALETTE()                                                                    \
    {WM_QUERYNEWPALETTE, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                   \
         return static_cast<ThisClass*>(w)->OnQueryNewPalette();                                   \
     }},
#define ON_WM_DISPLAYCHANGE()                                                                      \
    {WM_DISPLAYCHANGE, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {                                \
         static_cast<ThisClass*>(w)->OnDisplayChange(static_cast<UINT>(wp), LOWORD(l), HIWORD(l));  \
         return 0;                                                                                 \
     }},

// A control's notification, or a command (code 0), to a handler without arguments.
#define ON_CONTROL(notifyCode, controlId, handler)                   \
    {WM_COMMAND, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {            \
         static_cast<ThisClass*>(w)->handler();                      \
         return 0;                                                   \
     }, static_cast<UINT>(notifyCode), static_cast<UINT>(controlId)},
#define ON_COMMAND(commandId, handler) ON_CONTROL(0, commandId, handler)
#define ON_BN_CLICKED(controlId, handler) ON_CONTROL(BN_CLICKED, controlId, handler)

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The permanent object attached to hWnd, or a temporary wrapper for a
    // window this process did not create through a CWnd (freed when the
    // message loop next goes idle). Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // Frees the temporary wrappers; the message loop calls it between messages.
    static void DeleteTempMap();

    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // The window's device context as a temporary wrapper; give it back with
    // ReleaseDC. Null when the system has none to give (the 95/98 family has
    // few common device contexts) or there is no memory for the wrapper (the
    // context is then given back at once); virtual so that a test can be such
    // a system.
    virtual CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // Dispatch through the message map; unmapped messages get Default().
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message; the heap-allocated windows delete themselves here.
    virtual void PostNcDestroy() {}

    // The platform's default handling of the message being dispatched: the
    // window procedure that was replaced when the window was subclassed, else
    // DefWindowProc.
    LRESULT Default();

    // The window procedure of every class registered by AfxRegisterWndClass.
    static LRESULT CALLBACK StandardWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    int OnCreate(LPCREATESTRUCTA createStruct);
    // The palette messages' default handling, for derived handlers to call first
    // or to fall back on.
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();

protected:
    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // Routes hWnd, created by the system (a dialog), to this object from now
    // on. False, with nothing changed, when the handle table cannot grow.
    bool SubclassWindow(HWND hWnd);

private:
    // Enters the object in the handle table; false when the table cannot grow.
    bool Attach(HWND hWnd);
    HWND Detach();
    bool m_temporary = false;
    WNDPROC m_pfnSuper = nullptr;
};

// Registers (once per distinct set of arguments) a window class that routes to
// the framework and returns its generated name.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
