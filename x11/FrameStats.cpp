#include "x11/FrameStats.h"

#include <cstdio>

void CFrameStats::OnFrame(std::int64_t wallNs, std::int64_t cpuNs) {
    if (m_windowWall < 0 || wallNs < m_windowWall) {
        m_windowWall = wallNs;
        m_windowCpu = cpuNs;
        m_frames = 0;
        return;
    }
    ++m_frames;
    const std::int64_t elapsed = wallNs - m_windowWall;
    if (elapsed < 1000000000) return;
    m_fps = m_frames * 1e9 / static_cast<double>(elapsed);
    m_cpuPercent = (cpuNs - m_windowCpu) * 100.0 / static_cast<double>(elapsed);
    m_windowWall = wallNs;
    m_windowCpu = cpuNs;
    m_frames = 0;
}

std::string CFrameStats::Text() const {
    if (!HasFigures()) return "-- fps";
    char text[64];
    std::snprintf(text, sizeof text, "%.1f fps, CPU %.1f%%", m_fps, m_cpuPercent);
    return text;
}
