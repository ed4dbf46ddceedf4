// What -fps shows: frames per second and the share of one CPU the program
// used, both over the last full second.
#pragma once

#include <cstdint>
#include <string>

class CFrameStats {
public:
    // One frame drawn at wall-clock time wallNs, the process having used
    // cpuNs of CPU time so far (both monotonic, in nanoseconds).
    void OnFrame(std::int64_t wallNs, std::int64_t cpuNs);
    // "30.0 fps, CPU 2.5%"; "-- fps" until a second has passed.
    std::string Text() const;
    bool HasFigures() const { return m_fps >= 0.0; }
    double Fps() const { return m_fps; }
    double CpuPercent() const { return m_cpuPercent; }

private:
    std::int64_t m_windowWall = -1;
    std::int64_t m_windowCpu = 0;
    int m_frames = 0;
    double m_fps = -1.0;
    double m_cpuPercent = 0.0;
};
