// The saver's settings store on Windows: the application's profile, section
// "Config", each absent value answered with the saver's default.
#pragma once

#include "effect/EffectSettings.h"

class CRegistrySettings : public CSettingsReader {
public:
    int ReadInt(SettingId id) override;
    CString ReadString(SettingId id) override;
};
