#pragma once
// Variables bound to keys of one ini file: each is read when it is bound and
// written back when the SettingsFile ends, if the program changed it or the
// file does not hold it by then. A file nobody changed is left byte for byte.
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
    // first binding's variable is the one written back. Where the stored value
    // cannot be held (IniFile::Read fails, a text does not fit the buffer, a
    // number does not parse or is out of range; the file cannot be read now),
    // the target gets the default.
    void BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue);
    void BindInt(const char* section, const char* key, std::int32_t* target, std::int32_t defaultValue);
    void BindByte(const char* section, const char* key, std::uint8_t* target, std::uint8_t defaultValue);
    void BindString(const char* section, const char* key, std::string* target, const char* defaultValue);

    // Writes every bound variable that changed, or whose key the file does not
    // hold, by section then key; failed writes are ignored. Called by the destructor, and by whoever knows the
    // process will end without it (Windows ending the session).
    void Flush() const;

    const IniFile& File() const { return file; }

private:
    struct Order {
        bool operator()(const SettingBinding& a, const SettingBinding& b) const { return a.IsLess(b); }
    };

    void Insert(SettingBinding binding, const char* section, const char* key);
    void ReadNumber(const char* section, const char* key, long min, long max, std::int32_t defaultValue,
                    std::int32_t& value) const;

    IniFile file;
    std::set<SettingBinding, Order> bindings;
};
