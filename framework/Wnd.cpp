#include "framework/Wnd.h"

#include "framework/Gdi.h"
#include "framework/HandleMap.h"
#include "framework/WinApp.h"

namespace {

CHandleMap<HWND, CWnd> g_permanent;  // windows created through a CWnd
CHandleMap<HWND, CWnd> g_temporary;  // wrappers for other windows
CWnd* g_creating = nullptr;         // attached at its first message
MSG g_current = {};                 // the message being dispatched, for Default()

CWnd* LookUpPermanent(HWND hWnd) { return g_permanent.Find(hWnd); }

unsigned long LowHalf(const void* handle) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle) & 0xFFFFFFFFu);
}

unsigned long HighHalf(const void* handle) {
    return static_cast<unsigned long>(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)) >> 32);
}

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr && !m_temporary) Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (CWnd* wnd = LookUpPermanent(hWnd)) return wnd;
    CWnd** slot = g_temporary.Slot(hWnd);
    if (slot == nullptr) return nullptr;  // no memory for the table
    if (*slot == nullptr) {
        *slot = new CWnd;
        (*slot)->m_hWnd = hWnd;
        (*slot)->m_temporary = true;
    }
    return *slot;
}

void CWnd::DeleteTempMap() {
    for (auto& entry : g_temporary) {
        entry.object->m_hWnd = nullptr;
        delete entry.object;
    }
    g_temporary.Clear();
}

bool CWnd::Attach(HWND hWnd) {
    CWnd** slot = g_permanent.Slot(hWnd);
    if (slot == nullptr) return false;  // no memory for the table
    *slot = this;
    m_hWnd = hWnd;
    return true;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) g_permanent.Remove(hWnd);
    // A subclassed window keeps its own procedure for whatever follows.
    if (hWnd != nullptr && m_pfnSuper != nullptr)
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, LPVOID param) {
    CWnd* outer = g_creating;
    g_creating = this;
    HWND hWnd = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu,
                                AfxGetApp() ? AfxGetApp()->m_hInstance : GetModuleHandleA(nullptr), param);
    const bool neverAttached = g_creating == this;
    g_creating = outer;
    if (hWnd != nullptr && !neverAttached) return TRUE;
    // A window that could not be attached would run without its handlers:
    // it goes again (its messages reach only the default handling).
    if (hWnd != nullptr) ::DestroyWindow(hWnd);
    // A failed creation always ends the object's life as a window: when the
    // window was attached, its WM_NCDESTROY already did; otherwise do it here.
    if (neverAttached) PostNcDestroy();
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    // The object may delete itself inside; nothing of it is touched afterwards.
    return ::DestroyWindow(m_hWnd);
}

CDC* CWnd::GetDC() {
    HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr) return nullptr;
    CDC* wrapper = CDC::FromHandle(dc);
    // Without a wrapper nobody would give the context back, and the 95/98
    // family has only a few common ones: it goes back at once.
    if (wrapper == nullptr) ::ReleaseDC(m_hWnd, dc);
    return wrapper;
}

int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMap* CWnd::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry* entry = map->entries; entry->dispatch != nullptr; ++entry) {
            if (entry->message != message) continue;
            if (message == WM_COMMAND && (entry->code != HIWORD(wParam) || entry->id != LOWORD(wParam))) continue;
            return entry->dispatch(this, wParam, lParam);
        }
    }
    return Default();
}

LRESULT CWnd::Default() {
    if (m_pfnSuper != nullptr)
        return CallWindowProcA(m_pfnSuper, m_hWnd, g_current.message, g_current.wParam, g_current.lParam);
    return DefWindowProcA(m_hWnd, g_current.message, g_current.wParam, g_current.lParam);
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return false;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWndProc)));
    return true;
}

int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }

void CWnd::OnPaletteChanged(CWnd*) { Default(); }

BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }

LRESULT CALLBACK CWnd::StandardWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = LookUpPermanent(hWnd);
    if (wnd == nullptr && g_creating != nullptr) {
        if (g_creating->Attach(hWnd)) {
            wnd = g_creating;
            g_creating = nullptr;
        } else if (message == WM_NCCREATE) {
            return FALSE;  // not attached: the creation fails, and CreateEx cleans up
        }
    }
    if (wnd == nullptr) return DefWindowProcA(hWnd, message, wParam, lParam);

    const MSG outer = g_current;
    g_current.hwnd = hWnd;
    g_current.message = message;
    g_current.wParam = wParam;
    g_current.lParam = lParam;
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    g_current = outer;

    if (message == WM_NCDESTROY) {
        // The main window's end is the end of the message loop.
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == wnd) {
            PostQuitMessage(0);
            app->m_pMainWnd = nullptr;
        }
        wnd->Detach();
        wnd->PostNcDestroy();
    }
    return result;
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static char name[96];
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : GetModuleHandleA(nullptr);
    if (instance == nullptr) instance = GetModuleHandleA(nullptr);
    // The system's own formatter: %p is not among its conversions, and the
    // handles are given as 64-bit hex in both builds so names keep one form.
    wsprintfA(name, "Afx:%08lX%08lX:%x:%08lX%08lX:%08lX%08lX:%08lX%08lX", HighHalf(instance), LowHalf(instance),
              classStyle, HighHalf(cursor), LowHalf(cursor), HighHalf(background), LowHalf(background),
              HighHalf(icon), LowHalf(icon));
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, name, &wc)) return name;
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::StandardWndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) ? name : nullptr;
}
