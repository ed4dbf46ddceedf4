#include "saver/MonitorCovers.h"

#include <algorithm>

std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& primary) {
    std::vector<ScreenRect> covers;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.Empty() || primary.Contains(monitor)) continue;
        if (std::find(covers.begin(), covers.end(), monitor) != covers.end()) continue;
        covers.push_back(monitor);
    }
    return covers;
}
