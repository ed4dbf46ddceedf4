#include "effect/EffectSettings.h"

EffectSettings ReadEffectSettings(CSettingsReader& reader) {
    EffectSettings s;
    s.pictureFile = reader.ReadString(kFilenameGif);
    s.bumpFromIndex = reader.ReadInt(kBumpFromIndex);
    s.frameRate = reader.ReadInt(kFrameRate);
    s.bumpMultiplier = reader.ReadInt(kBumpMultiplier);
    s.xFallOff = reader.ReadInt(kBumpXFallOff);
    s.yFallOff = reader.ReadInt(kBumpYFallOff);
    s.xDistance = reader.ReadInt(kBumpXDistance);
    s.yDistance = reader.ReadInt(kBumpYDistance);
    s.speed = static_cast<std::uint32_t>(reader.ReadInt(kBumpSpeed));
    s.text = reader.ReadString(kTextLines);
    s.xPosition = reader.ReadString(kXPosition);
    s.yPosition = reader.ReadString(kYPosition);
    s.cwDirection = reader.ReadInt(kCwDirection);
    s.fontFace = reader.ReadString(kFontFace);
    s.fontHeight = reader.ReadInt(kFontHeight);
    return s;
}

int CDefaultSettingsReader::ReadInt(SettingId id) { return Setting(id).saver.number; }

CString CDefaultSettingsReader::ReadString(SettingId id) { return CString(Setting(id).saver.text); }

EffectSettings DefaultEffectSettings() {
    CDefaultSettingsReader reader;
    return ReadEffectSettings(reader);
}
