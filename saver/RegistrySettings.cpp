#include "saver/RegistrySettings.h"

#include "framework/Framework.h"

int CRegistrySettings::ReadInt(SettingId id) {
    const SettingInfo& s = Setting(id);
    return static_cast<int>(AfxGetApp()->GetProfileInt(kConfigSection, s.key, s.saver.number));
}

CString CRegistrySettings::ReadString(SettingId id) {
    const SettingInfo& s = Setting(id);
    return AfxGetApp()->GetProfileString(kConfigSection, s.key, s.saver.text);
}
