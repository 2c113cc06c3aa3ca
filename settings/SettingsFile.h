#pragma once
// Variables bound to keys of one ini file: each is read when it is bound and
// all are written back, changed or not, when the SettingsFile ends.
#include <cstdint>
#include <set>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingBinding.h"

class SettingsFile {
public:
    // name is resolved as IniFile::SetPath does.
    SettingsFile(const char* name, bool absolute);
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    virtual ~SettingsFile();

    // Each Bind reads the key into the target now (or the default). A second
    // binding of the same section and key, byte for byte, is not kept: the
    // first binding's variable is the one written back.
    void BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue);
    void BindInt(const char* section, const char* key, std::int32_t* target, std::int32_t defaultValue);
    void BindByte(const char* section, const char* key, std::uint8_t* target, std::uint8_t defaultValue);
    void BindString(const char* section, const char* key, std::string* target, const char* defaultValue);

    // Writes every bound variable, by section then key; failed writes are ignored.
    void Flush() const;

    const IniFile& File() const { return file; }

private:
    struct Order {
        bool operator()(const SettingBinding& a, const SettingBinding& b) const { return a.IsLess(b); }
    };

    void Insert(SettingBinding binding, const char* section, const char* key);
    std::int32_t ReadNumber(const char* section, const char* key, std::int32_t defaultValue) const;

    IniFile file;
    std::set<SettingBinding, Order> bindings;
};
