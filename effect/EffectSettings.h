// The settings the effect runs with, as one plain value, and the one way
// every front-end fills it: through its own store (the registry on Windows,
// the command line on X11) behind CSettingsReader, key by key from the
// settings table.
#pragma once

#include <cstdint>

#include "framework/String.h"
#include "settings/Settings.h"

// The values as stored (zero until read; DefaultEffectSettings gives the
// saver's defaults); the set-up interprets them (frame rate raised to 1,
// speed and direction turned into an angle step, the position words).
struct EffectSettings {
    CString pictureFile;        // "FilenameGif": empty or a leading blank asks for the default picture
    int bumpFromIndex = 0;      // "Bump From Index"
    int frameRate = 0;          // "Frame Rate", as stored (EffectiveFrameRate raises it)
    int bumpMultiplier = 0;     // "Bump Multiplier"
    int xFallOff = 0;           // "Bump XFallOff"
    int yFallOff = 0;           // "Bump YFallOff"
    int xDistance = 0;          // "Bump XDistance"
    int yDistance = 0;          // "Bump YDistance"
    std::uint32_t speed = 0;    // "Bump Speed", taken unsigned
    CString text;               // "Text Lines"
    CString xPosition;          // "XPosition"
    CString yPosition;          // "YPosition"
    int cwDirection = 0;        // "CW Direction"
    CString fontFace;           // "Font Face"
    int fontHeight = 0;         // "Font Height"
};

// A front-end's settings store. Each call answers the saver's default
// (Setting(id).saver) when the store holds no value for id.
class CSettingsReader {
public:
    virtual ~CSettingsReader() = default;
    virtual int ReadInt(SettingId id) = 0;
    virtual CString ReadString(SettingId id) = 0;
};

// Reads the settings the saver uses, in the order the saver has always read
// them (picture file and threshold first, then the path, the text, the font).
EffectSettings ReadEffectSettings(CSettingsReader& reader);

// A store that holds nothing: every setting at the saver's default.
class CDefaultSettingsReader : public CSettingsReader {
public:
    int ReadInt(SettingId id) override;
    CString ReadString(SettingId id) override;
};

// The settings of an empty store.
EffectSettings DefaultEffectSettings();
