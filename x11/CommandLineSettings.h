// The command line as the effect's settings store: every setting holds the
// value given, or the saver's default.
#pragma once

#include "effect/EffectSettings.h"
#include "x11/Options.h"

class CCommandLineSettingsReader : public CSettingsReader {
public:
    explicit CCommandLineSettingsReader(const SettingValues& values) : m_values(values) {}
    int ReadInt(SettingId id) override { return m_values.number[id]; }
    CString ReadString(SettingId id) override {
        const std::string& text = m_values.text[id];
        return CString(text.c_str(), static_cast<int>(text.size()));
    }

private:
    const SettingValues& m_values;
};
