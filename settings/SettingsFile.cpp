#include "settings/SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SettingsFile::SettingsFile(const char* name, bool absolute) { file.SetPath(name, absolute); }

SettingsFile::~SettingsFile() { Flush(); }

void SettingsFile::Insert(SettingBinding binding, const char* section, const char* key, bool read) {
    binding.section = section;
    binding.key = key;
    binding.writeBack = read;
    bindings.insert(std::move(binding));
}

void SettingsFile::BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::TextBuffer;
    binding.textTarget = buffer;
    std::string text;
    // A value cut to fit would be written back cut: one that does not fit is
    // not read.
    bool read = file.Read(section, key, text, defaultValue) && size > 0 && text.size() < std::size_t(size);
    if (!read) text = defaultValue != nullptr && std::strlen(defaultValue) < std::size_t(size) ? defaultValue : "";
    binding.given = text;
    Insert(std::move(binding), section, key, read);
    if (size <= 0) return;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void SettingsFile::BindInt(const char* section, const char* key, std::int32_t* target, std::int32_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::IntValue;
    binding.intTarget = target;
    Insert(std::move(binding), section, key, ReadNumber(section, key, INT32_MIN, INT32_MAX, defaultValue, *target));
}

void SettingsFile::BindByte(const char* section, const char* key, std::uint8_t* target, std::uint8_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::ByteValue;
    binding.byteTarget = target;
    std::int32_t value = 0;
    Insert(std::move(binding), section, key, ReadNumber(section, key, 0, 255, defaultValue, value));
    *target = static_cast<std::uint8_t>(value);
}

void SettingsFile::BindString(const char* section, const char* key, std::string* target, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::OwnedString;
    binding.stringTarget = target;
    const bool read = file.Read(section, key, *target, defaultValue);
    if (!read) *target = defaultValue != nullptr ? defaultValue : "";
    binding.given = *target;
    Insert(std::move(binding), section, key, read);
}

// The decimal number stored, or the default when the text is missing or
// empty. False, with the default, when the stored text cannot be read or is
// not a number from min to max.
bool SettingsFile::ReadNumber(const char* section, const char* key, long min, long max, std::int32_t defaultValue,
                              std::int32_t& value) const {
    value = defaultValue;
    std::string text;
    if (!file.Read(section, key, text, "")) return false;
    if (text.empty()) return true;
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || number < min || number > max) return false;
    value = static_cast<std::int32_t>(number);
    return true;
}

void SettingsFile::Flush() const {
    if (file.GetPath().empty()) return;
    for (const SettingBinding& binding : bindings) {
        const char* section = binding.section.c_str();
        const char* key = binding.key.c_str();
        switch (binding.kind) {
        case BindingKind::IntValue:
            if (binding.writeBack && binding.intTarget != nullptr) file.WriteInt(section, key, *binding.intTarget);
            break;
        case BindingKind::ByteValue:
            if (binding.writeBack && binding.byteTarget != nullptr) file.WriteByte(section, key, *binding.byteTarget);
            break;
        case BindingKind::TextBuffer:
            if (binding.textTarget != nullptr && (binding.writeBack || binding.given != binding.textTarget))
                file.Write(section, key, binding.textTarget);
            break;
        case BindingKind::OwnedString:
            if (binding.stringTarget != nullptr && (binding.writeBack || binding.given != *binding.stringTarget))
                file.Write(section, key, *binding.stringTarget);
            break;
        }
    }
}
