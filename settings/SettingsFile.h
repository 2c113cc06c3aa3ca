#pragma once
// Text buffers bound to keys of one ini file: each is read when it is bound
// and written back when the owner saves (Flush), if the program changed it or
// the file does not hold it by then. A file nobody changed is left byte for
// byte. Nothing is read or written at construction or destruction.
#include <set>

#include "settings/IniFile.h"
#include "settings/SettingBinding.h"

class SettingsFile {
public:
    // No file until SetPath: nothing is read or written.
    SettingsFile() = default;
    // name is resolved as IniFile::SetPath does.
    SettingsFile(const char* name, bool absolute) { SetPath(name, absolute); }
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    void SetPath(const char* name, bool absolute) { file.SetPath(name, absolute); }

    // Reads the key into the buffer now (or the default). A second binding of
    // the same section and key, byte for byte, is not kept: the first
    // binding's buffer is the one written back. Where the stored value cannot
    // be held (IniFile::Read fails, the text does not fit the buffer; the
    // file cannot be read now), the buffer gets the default.
    void BindText(const char* section, const char* key, char* buffer, int size, const char* defaultValue);

    // Writes every bound buffer that changed, or whose key the file does not
    // hold, by section then key; failed writes are ignored.
    void Flush() const;

    const IniFile& File() const { return file; }

private:
    struct Order {
        bool operator()(const SettingBinding& a, const SettingBinding& b) const { return a.IsLess(b); }
    };

    IniFile file;
    std::set<SettingBinding, Order> bindings;
};
