#include "settings/SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

SettingsFile::SettingsFile(const char* name, bool absolute) { file.SetPath(name, absolute); }

SettingsFile::~SettingsFile() { Flush(); }

void SettingsFile::Insert(SettingBinding binding, const char* section, const char* key) {
    binding.section = section;
    binding.key = key;
    bindings.insert(std::move(binding));
}

void SettingsFile::BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::TextBuffer;
    binding.textTarget = buffer;
    Insert(std::move(binding), section, key);
    file.Read(section, key, buffer, size, defaultValue);
}

void SettingsFile::BindInt(const char* section, const char* key, std::int32_t* target, std::int32_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::IntValue;
    binding.intTarget = target;
    Insert(std::move(binding), section, key);
    *target = ReadNumber(section, key, defaultValue);
}

void SettingsFile::BindByte(const char* section, const char* key, std::uint8_t* target, std::uint8_t defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::ByteValue;
    binding.byteTarget = target;
    Insert(std::move(binding), section, key);
    const std::int32_t value = ReadNumber(section, key, defaultValue);
    *target = (value >= 0 && value <= 255) ? static_cast<std::uint8_t>(value) : defaultValue;
}

void SettingsFile::BindString(const char* section, const char* key, std::string* target, const char* defaultValue) {
    SettingBinding binding;
    binding.kind = BindingKind::OwnedString;
    binding.stringTarget = target;
    Insert(std::move(binding), section, key);
    *target = file.Read(section, key, defaultValue);
}

// A decimal number, or the default when the text is missing or is not one.
std::int32_t SettingsFile::ReadNumber(const char* section, const char* key, std::int32_t defaultValue) const {
    const std::string text = file.Read(section, key, "");
    if (text.empty()) return defaultValue;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || value < INT32_MIN || value > INT32_MAX) return defaultValue;
    return static_cast<std::int32_t>(value);
}

void SettingsFile::Flush() const {
    if (file.GetPath().empty()) return;
    for (const SettingBinding& binding : bindings) {
        const char* section = binding.section.c_str();
        const char* key = binding.key.c_str();
        switch (binding.kind) {
        case BindingKind::IntValue:
            if (binding.intTarget != nullptr) file.WriteInt(section, key, *binding.intTarget);
            break;
        case BindingKind::ByteValue:
            if (binding.byteTarget != nullptr) file.WriteByte(section, key, *binding.byteTarget);
            break;
        case BindingKind::TextBuffer:
            if (binding.textTarget != nullptr) file.Write(section, key, binding.textTarget);
            break;
        case BindingKind::OwnedString:
            if (binding.stringTarget != nullptr) file.Write(section, key, *binding.stringTarget);
            break;
        }
    }
}
