#include "settings/SettingBinding.h"

#include <functional>

bool SettingBinding::IsLess(const SettingBinding& other) const {
    // std::string compares its characters as unsigned bytes.
    const std::less<std::string> less;
    if (less(section, other.section)) return true;
    if (less(other.section, section)) return false;
    return less(key, other.key);
}
