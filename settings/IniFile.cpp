#include "settings/IniFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "settings/ExeDirectory.h"

namespace {

// The longest value read; the platform truncates anything longer.
constexpr DWORD MaxValueUnits = 32767;

}  // namespace

void IniFile::SetPath(const char* name, bool absolute) {
    const char* second = NextChar(name);
    const char* third = NextChar(second);
    const bool driveForm = *second == ':' && *third == '\\';
    if (absolute || driveForm) {
        path = name;
    } else {
        path = GetExeDirectory();
        path += '\\';
        path += name;
    }
}

std::string IniFile::Read(const char* section, const char* key, const char* defaultValue) const {
    if (path.empty()) return {};
    std::wstring widePath, wideSection, wideKey, wideDefault;
    if (!ToWide(path, widePath) || !ToProfileText(section, wideSection) || !ToProfileText(key, wideKey) ||
        !ToProfileText(defaultValue != nullptr ? defaultValue : "", wideDefault))
        return {};
    std::vector<wchar_t> buffer(MaxValueUnits + 1, L'\0');
    const DWORD length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideDefault.c_str(),
                                                  buffer.data(), MaxValueUnits + 1, widePath.c_str());
    const std::wstring_view value(buffer.data(), length);
    std::string text;
    // A file saved as Unicode yields real characters rather than the bytes of
    // the ANSI code page: take those as they are.
    if (!FromProfileText(value, text) && !ToNarrow(value, text)) return {};
    return text;
}

int IniFile::Read(const char* section, const char* key, char* out, int outSize, const char* defaultValue) const {
    if (outSize <= 0) return 0;
    const std::string text = Read(section, key, defaultValue);
    const std::size_t kept = CharacterPrefix(text.c_str(), static_cast<std::size_t>(outSize) - 1);
    std::memcpy(out, text.data(), kept);
    out[kept] = 0;
    return static_cast<int>(kept);
}

bool IniFile::Write(const char* section, const char* key, const std::string& value) const {
    if (path.empty()) return false;
    std::wstring widePath, wideSection, wideKey, wideValue;
    if (!ToWide(path, widePath) || !ToProfileText(section, wideSection) || !ToProfileText(key, wideKey) ||
        !ToProfileText(value, wideValue))
        return false;
    return WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(), widePath.c_str()) !=
           FALSE;
}

void IniFile::WriteInt(const char* section, const char* key, std::int32_t value) const {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    Write(section, key, text);
}

void IniFile::WriteByte(const char* section, const char* key, std::uint8_t value) const {
    WriteInt(section, key, static_cast<std::int32_t>(value));
}
