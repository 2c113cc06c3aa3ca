#include "settings/SettingBinding.h"

#include "rtp/StringMap.h"

bool SettingBinding::IsSame(const SettingBinding& other) const {
    return section == other.section && key == other.key;
}

bool SettingBinding::IsLess(const SettingBinding& other) const {
    const ByteWiseLess less;
    if (less(section, other.section)) return true;
    if (less(other.section, section)) return false;
    return less(key, other.key);
}
