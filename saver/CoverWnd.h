// Black, topmost covers for the monitors beside the primary one, which the
// saver's own window does not reach. Input over a cover counts as input over
// the saver window; the covers go with it.
#pragma once

#include <vector>

#include "framework/Framework.h"
#include "saver/MonitorCovers.h"

class CSaverWnd;

class CCoverWnd : public CWnd {
public:
    explicit CCoverWnd(CSaverWnd* owner) : m_owner(owner) {}

    // Shown without activation, just below insertAfter (the saver window),
    // with the part that overlaps that window cut away.
    BOOL Create(const ScreenRect& rect, HWND insertAfter);
    BOOL MoveTo(const ScreenRect& rect, HWND insertAfter);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    CSaverWnd* m_owner;
};

// The monitors as the system reports them. False, with no monitors, where the
// system cannot tell (it has no monitor functions, as before Windows 98 and 2000).
bool EnumerateMonitors(std::vector<ScreenRect>* monitors);

// The covers of one saver window.
class CMonitorCovers {
public:
    CMonitorCovers() = default;
    ~CMonitorCovers() { DestroyAll(); }
    CMonitorCovers(const CMonitorCovers&) = delete;
    CMonitorCovers& operator=(const CMonitorCovers&) = delete;

    // Covers every monitor that the owner's window leaves uncovered, as the
    // monitors are now: covers are moved, made or destroyed to match.
    void Update(CSaverWnd* owner);
    // The same for a given list of monitor rectangles.
    void Apply(CSaverWnd* owner, const std::vector<ScreenRect>& monitors);
    void DestroyAll();
    // Disabled covers take no input at all (while the password dialog runs).
    void EnableAll(BOOL enable);

    const std::vector<CCoverWnd*>& Covers() const { return m_covers; }

private:
    std::vector<CCoverWnd*> m_covers;
};
