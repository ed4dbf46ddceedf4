// The saver's settings: one table that both readers (the saver window and the
// settings dialog) use, each passing its own default, plus the rules by which
// the saver interprets the stored values.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char* kConfigSection = "Config";
constexpr const char* kCompanyKey = "Tolvaine";

enum class SettingKind { Integer, String };

// Identifiers in the order in which the dialog writes the settings back.
enum SettingId {
    kFrameRate,
    kBumpSpeed,
    kBumpXFallOff,
    kBumpYFallOff,
    kBumpXDistance,
    kBumpYDistance,
    kBumpMultiplier,
    kBumpFromIndex,
    kCwDirection,
    kFilenameGif,
    kXPosition,
    kYPosition,
    kTextLines,
    kTextSize,
    kFontFace,
    kFontStyle,
    kFontWidth,
    kFontHeight,
    kSettingCount
};

// A default: integer settings use number, string settings use text.
struct SettingDefault {
    int number;
    const char* text;
};

struct SettingInfo {
    const char* key;
    SettingKind kind;
    bool readBySaver;        // "Text Size", "Font Style" and "Font Width" are the dialog's only
    SettingDefault saver;
    SettingDefault dialog;
    bool hasRange;           // the dialog validates minimum..maximum on OK
    int minimum;
    int maximum;
};

extern const SettingInfo kSettings[kSettingCount];

inline const SettingInfo& Setting(SettingId id) { return kSettings[id]; }

// Frames per second as the saver runs them: a stored value below 1 becomes 1.
int EffectiveFrameRate(int stored);

// Period of the frame timer in milliseconds (integer division; frameRate >= 1).
unsigned FrameTimerPeriod(int frameRate);

// Radians per frame. The stored speed is taken unsigned: above 100 it is
// speed - 100 radians, else speed * 0.005. The step is negated unless
// cwDirection is exactly 1.
double AngleStep(uint32_t storedSpeed, int cwDirection);

enum class Axis { Horizontal, Vertical };

// Centre of the light's path on one axis from the stored word: "Left",
// "Center", "Right" (horizontal) or "Bottom", "Center", "Top" (vertical, in
// map rows counted from the bottom), compared exactly and case-sensitively.
// Returns false, leaving *centre alone, for any other text.
bool CentreFromPosition(const char* text, Axis axis, int extent, int* centre);
