#include "settings/SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Lookup = IniFile::Lookup;

std::string NumberText(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

// The text a binding would write now; empty without a target.
std::string CurrentText(const SettingBinding& binding) {
    switch (binding.kind) {
    case BindingKind::IntValue:
        return binding.intTarget != nullptr ? NumberText(*binding.intTarget) : "";
    case BindingKind::ByteValue:
        return binding.byteTarget != nullptr ? NumberText(*binding.byteTarget) : "";
    case BindingKind::TextBuffer:
        return binding.textTarget != nullptr ? binding.textTarget : "";
    case BindingKind::OwnedString:
        return binding.stringTarget != nullptr ? *binding.stringTarget : "";
    }
    return "";
}

bool HasTarget(const SettingBinding& binding) {
    return binding.intTarget != nullptr || binding.byteTarget != nullptr || binding.textTarget != nullptr ||
           binding.stringTarget != nullptr;
}

}  // namespace

SettingsFile::SettingsFile(const char* name, bool absolute) { file.SetPath(name, absolute); }

SettingsFile::~SettingsFile() { Flush(); }

void SettingsFile::Insert(SettingBinding binding, const char* section, const char* key) {
    binding.section = section;
    binding.key = key;
    binding.given = CurrentText(binding);
    bindings.insert(std::move(binding));
}

void SettingsFile::BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::TextBuffer;
    binding.textTarget = buffer;
    std::string text;
    Lookup lookup = file.Find(section, key, text);
    // A value cut to fit would be written back cut: one that does not fit is
    // not read.
    if (lookup == Lookup::Found && (size <= 0 || text.size() >= std::size_t(size))) lookup = Lookup::Failed;
    if (lookup != Lookup::Found)
        text = defaultValue != nullptr && std::strlen(defaultValue) < std::size_t(size) ? defaultValue : "";
    if (size > 0) std::memcpy(buffer, text.c_str(), text.size() + 1);
    if (size <= 0) binding.textTarget = nullptr;
    Insert(std::move(binding), section, key);
}

void SettingsFile::BindInt(const char* section, const char* key, std::int32_t* target, std::int32_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::IntValue;
    binding.intTarget = target;
    ReadNumber(section, key, INT32_MIN, INT32_MAX, defaultValue, *target);
    Insert(std::move(binding), section, key);
}

void SettingsFile::BindByte(const char* section, const char* key, std::uint8_t* target, std::uint8_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::ByteValue;
    binding.byteTarget = target;
    std::int32_t value = 0;
    ReadNumber(section, key, 0, 255, defaultValue, value);
    *target = static_cast<std::uint8_t>(value);
    Insert(std::move(binding), section, key);
}

void SettingsFile::BindString(const char* section, const char* key, std::string* target, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::OwnedString;
    binding.stringTarget = target;
    if (file.Find(section, key, *target) != Lookup::Found) *target = defaultValue != nullptr ? defaultValue : "";
    Insert(std::move(binding), section, key);
}

// The decimal number stored, or the default when the text is missing, empty,
// cannot be read or is not a number from min to max.
void SettingsFile::ReadNumber(const char* section, const char* key, long min, long max, std::int32_t defaultValue,
                              std::int32_t& value) const {
    value = defaultValue;
    std::string text;
    if (file.Find(section, key, text) != Lookup::Found || text.empty()) return;
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (errno == 0 && *end == 0 && number >= min && number <= max) value = static_cast<std::int32_t>(number);
}

void SettingsFile::Flush() const {
    if (file.GetPath().empty()) return;
    for (const SettingBinding& binding : bindings) {
        if (!HasTarget(binding)) continue;
        const char* section = binding.section.c_str();
        const char* key = binding.key.c_str();
        const std::string text = CurrentText(binding);
        std::string stored;
        if (text != binding.given || file.Find(section, key, stored) == Lookup::Missing) file.Write(section, key, text);
    }
}
