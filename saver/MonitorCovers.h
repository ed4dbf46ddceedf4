// Which monitors need a black cover while the saver runs: the saver's own
// window covers the primary monitor only.
#pragma once

#include <vector>

// A rectangle in virtual-screen coordinates (y grows downwards; right and
// bottom exclusive). Monitors left of or above the primary have negative ones.
struct ScreenRect {
    int left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
    bool Contains(const ScreenRect& r) const {
        return left <= r.left && top <= r.top && right >= r.right && bottom >= r.bottom;
    }
    friend bool operator==(const ScreenRect& a, const ScreenRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

// The rectangles to cover, in the order of monitors: every monitor that
// shows something the primary rectangle does not already cover. Empty
// rectangles, monitors inside the primary (a mirror of it included) and
// repeats of a rectangle already listed get no cover.
std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& primary);
