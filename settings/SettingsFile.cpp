#include "settings/SettingsFile.h"

#include <cstring>
#include <string>

namespace {

using Lookup = IniFile::Lookup;

}  // namespace

void SettingsFile::BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue) {
    std::string text;
    Lookup lookup = file.Find(section, key, text);
    // A value cut to fit would be written back cut: one that does not fit is
    // not read.
    if (lookup == Lookup::Found && (size <= 0 || text.size() >= std::size_t(size))) lookup = Lookup::Failed;
    if (lookup != Lookup::Found)
        text = defaultValue != nullptr && std::strlen(defaultValue) < std::size_t(size) ? defaultValue : "";
    if (size > 0) std::memcpy(buffer, text.c_str(), text.size() + 1);
    // A buffer of no size still takes the key, and is never written back.
    bindings.insert({size > 0 ? buffer : nullptr, section, key, size > 0 ? text : std::string()});
}

void SettingsFile::Flush() const {
    if (file.GetPath().empty()) return;
    for (const SettingBinding& binding : bindings) {
        if (binding.textTarget == nullptr) continue;
        const char* section = binding.section.c_str();
        const char* key = binding.key.c_str();
        const std::string text = binding.textTarget;
        std::string stored;
        if (text != binding.given || file.Find(section, key, stored) == Lookup::Missing) file.Write(section, key, text);
    }
}
