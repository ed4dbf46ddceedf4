#include "saver/CoverWnd.h"

#include "saver/SaverWnd.h"

namespace {

// The monitor functions exist from Windows 98 and 2000 on: looked up, never imported.
typedef BOOL(CALLBACK* MonitorEnumProc)(HANDLE monitor, HDC dc, LPRECT rect, LPARAM data);
typedef BOOL(WINAPI* EnumDisplayMonitorsProc)(HDC dc, LPCRECT clip, MonitorEnumProc callback, LPARAM data);

BOOL CALLBACK CollectMonitor(HANDLE, HDC, LPRECT rect, LPARAM data) {
    auto* monitors = reinterpret_cast<std::vector<ScreenRect>*>(data);
    if (rect != nullptr) monitors->push_back({rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

bool IsInput(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

constexpr UINT kPlaceFlags = SWP_NOACTIVATE | SWP_SHOWWINDOW;

}  // namespace

BOOL CCoverWnd::Create(const ScreenRect& rect, HWND insertAfter) {
    const char* className =
        AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    // Made hidden and shown without activation: the saver window keeps the focus.
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, "", WS_POPUP, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr))
        return FALSE;
    MoveTo(rect, insertAfter);
    return TRUE;
}

BOOL CCoverWnd::MoveTo(const ScreenRect& rect, HWND insertAfter) {
    // Where the cover overlaps the saver's window it is cut away, so the effect
    // shows there and input there reaches the saver, whatever the z-order.
    RECT saver = {0, 0, 0, 0};
    HRGN region = CreateRectRgn(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    if (region != nullptr && insertAfter != nullptr && GetWindowRect(insertAfter, &saver)) {
        HRGN hole = CreateRectRgn(saver.left - rect.left, saver.top - rect.top, saver.right - rect.left,
                                  saver.bottom - rect.top);
        if (hole != nullptr) {
            CombineRgn(region, region, hole, RGN_DIFF);
            DeleteObject(hole);
        }
    }
    // The window owns the region from here on.
    if (region != nullptr && !SetWindowRgn(m_hWnd, region, FALSE)) DeleteObject(region);
    return SetWindowPos(m_hWnd, insertAfter ? insertAfter : HWND_TOPMOST, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, kPlaceFlags);
}

LRESULT CCoverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsInput(message) && m_owner != nullptr) m_owner->HandleInput(message);
    return CWnd::WindowProc(message, wParam, lParam);
}

bool EnumerateMonitors(std::vector<ScreenRect>* monitors) {
    monitors->clear();
    HMODULE user = GetModuleHandleA("USER32.DLL");
    const auto enumerate = user ? reinterpret_cast<EnumDisplayMonitorsProc>(
                                      reinterpret_cast<void*>(GetProcAddress(user, "EnumDisplayMonitors")))
                                : nullptr;
    if (enumerate == nullptr) return false;
    return enumerate(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(monitors)) != FALSE;
}

void CMonitorCovers::Update(CSaverWnd* owner) {
    std::vector<ScreenRect> monitors;
    // Without the monitor functions there is only the primary monitor.
    EnumerateMonitors(&monitors);
    Apply(owner, monitors);
}

void CMonitorCovers::Apply(CSaverWnd* owner, const std::vector<ScreenRect>& monitors) {
    RECT own = {0, 0, 0, 0};
    if (owner == nullptr || !GetWindowRect(owner->m_hWnd, &own)) {
        DestroyAll();
        return;
    }
    const std::vector<ScreenRect> wanted = CoverRects(monitors, {own.left, own.top, own.right, own.bottom});
    while (m_covers.size() > wanted.size()) {
        m_covers.back()->DestroyWindow();  // deletes itself
        m_covers.pop_back();
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (i < m_covers.size()) {
            m_covers[i]->MoveTo(wanted[i], owner->m_hWnd);
            continue;
        }
        CCoverWnd* cover = new CCoverWnd(owner);
        // A cover that cannot be made has deleted itself; the others still go up.
        if (cover->Create(wanted[i], owner->m_hWnd)) m_covers.push_back(cover);
    }
}

void CMonitorCovers::DestroyAll() {
    for (CCoverWnd* cover : m_covers) cover->DestroyWindow();
    m_covers.clear();
}

void CMonitorCovers::EnableAll(BOOL enable) {
    for (CCoverWnd* cover : m_covers) EnableWindow(cover->m_hWnd, enable);
}
