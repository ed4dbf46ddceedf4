#include "settings/Settings.h"

#include <cstring>

namespace {
constexpr SettingDefault kNotRead = {0, nullptr};
constexpr SettingDefault Number(int n) { return {n, nullptr}; }
constexpr SettingDefault Text(const char* s) { return {0, s}; }
}  // namespace

// Key, kind, read by the saver, saver default, dialog default, range.
const SettingInfo kSettings[kSettingCount] = {
    {"Frame Rate", SettingKind::Integer, true, Number(30), Number(30), true, 1, 50},
    {"Bump Speed", SettingKind::Integer, true, Number(15), Number(20), true, 1, 256},
    {"Bump XFallOff", SettingKind::Integer, true, Number(200), Number(200), true, 16, 512},
    {"Bump YFallOff", SettingKind::Integer, true, Number(200), Number(200), true, 16, 512},
    {"Bump XDistance", SettingKind::Integer, true, Number(300), Number(300), true, 0, 1000},
    {"Bump YDistance", SettingKind::Integer, true, Number(200), Number(200), true, 0, 1000},
    {"Bump Multiplier", SettingKind::Integer, true, Number(7), Number(7), true, 1, 11},
    {"Bump From Index", SettingKind::Integer, true, Number(0), Number(0), true, 0, 255},
    {"CW Direction", SettingKind::Integer, true, Number(1), Number(1), true, 0, 1},
    {"FilenameGif", SettingKind::String, true, Text(""), Text(""), false, 0, 0},
    {"XPosition", SettingKind::String, true, Text("Center"), Text("Center"), false, 0, 0},
    {"YPosition", SettingKind::String, true, Text("Center"), Text("Center"), false, 0, 0},
    {"Text Lines", SettingKind::String, true, Text("Orvane"), Text("Orvane"), false, 0, 0},
    {"Text Size", SettingKind::Integer, false, kNotRead, Number(0), false, 0, 0},
    {"Font Face", SettingKind::String, true, Text("Arial Black"), Text("Arial Black"), false, 0, 0},
    {"Font Style", SettingKind::String, false, kNotRead, Text("Negrita"), false, 0, 0},
    {"Font Width", SettingKind::Integer, false, kNotRead, Number(18), false, 0, 0},
    {"Font Height", SettingKind::Integer, true, Number(18), Number(18), false, 0, 0},
};

int EffectiveFrameRate(int stored) { return stored < 1 ? 1 : stored; }

unsigned FrameTimerPeriod(int frameRate) { return 1000u / static_cast<unsigned>(EffectiveFrameRate(frameRate)); }

double AngleStep(uint32_t storedSpeed, int cwDirection) {
    double step = storedSpeed > 100 ? storedSpeed - 100.0 : storedSpeed * 0.005;
    if (cwDirection != 1) step = -step;
    return step;
}

bool CentreFromPosition(const char* text, Axis axis, int extent, int* centre) {
    const char* low = axis == Axis::Horizontal ? "Left" : "Bottom";
    const char* high = axis == Axis::Horizontal ? "Right" : "Top";
    if (std::strcmp(text, "Center") == 0) {
        *centre = extent / 2;
    } else if (std::strcmp(text, low) == 0) {
        *centre = 0;
    } else if (std::strcmp(text, high) == 0) {
        *centre = extent;
    } else {
        return false;
    }
    return true;
}
