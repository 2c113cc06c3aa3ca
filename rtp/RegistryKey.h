#pragma once
// One open registry key, read in the registry's 32-bit view (where the
// runtimes' 32-bit installers register their RTPs) in every build.
// Every operation reports failure by its result only; none talks to the user.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rtp/StringMap.h"

class RegistryKey {
public:
    // The buffer size used for a value's name and for its data while reading
    // all values: a longer name or longer data is skipped.
    static constexpr std::uint32_t EnumBufferSize = 520;

    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey() { Close(); }

    // Opens root\Software\subPath ("Software\" is not added again when subPath
    // starts with it, in any letter case). A key already held is closed first,
    // also when this open fails; on failure the object holds no key.
    bool Open(const char* subPath, HKEY root);

    // Reads a REG_SZ value, or a REG_EXPAND_SZ one with its variables
    // expanded, into buffer, always terminated within bufferSize bytes. False
    // when the value is missing, of another type, not fully held by the
    // buffer, or not expressible in code page 932.
    bool QueryString(const char* valueName, char* buffer, std::uint32_t bufferSize) const;

    // Empties out and fills it with every named REG_SZ value (name -> data),
    // and every REG_EXPAND_SZ one with its variables expanded, whose names go
    // into expanded too, in order. Values of other types, the unnamed value,
    // and values whose name or data do not fit EnumBufferSize bytes are
    // skipped. False when the map ends up empty; without a key, false with
    // out untouched.
    bool ReadStringValues(StringMap& out, std::vector<std::string>* expanded = nullptr) const;

    // Every named value of a string type, whatever its length, as the
    // platform holds it: REG_SZ, REG_EXPAND_SZ with its variables expanded,
    // and each string of a REG_MULTI_SZ. Names and texts stay UTF-16: what
    // other programs registered is compared, not shown. False without a key.
    struct RegisteredText { std::wstring name, text; };
    bool ReadAllTexts(std::vector<RegisteredText>& out) const;

    bool DeleteValue(const char* valueName) const;

    void Close();

private:
    HKEY handle = nullptr;
};
