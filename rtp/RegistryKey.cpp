#include "rtp/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

namespace {

constexpr char SoftwarePrefix[] = "Software\\";

// REG_SZ data as stored: a byte count that may be odd, with or without a
// terminating zero. The text ends at the first zero or at the end of the
// data, whichever comes first; nothing beyond the data is ever read.
std::wstring_view TextOfData(const wchar_t* data, DWORD byteCount) {
    const std::size_t units = byteCount / sizeof(wchar_t);
    const std::wstring_view text(data, units);
    return text.substr(0, text.find(L'\0'));
}

// A REG_EXPAND_SZ text with its variables expanded, as the runtimes read it;
// as it is when it cannot be.
std::wstring Expanded(std::wstring text) {
    std::wstring expanded(32767, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), 32767);
    if (length > 0 && length <= 32767) text.assign(expanded.c_str());
    return text;
}

}  // namespace

bool RegistryKey::Open(const char* subPath, HKEY root) {
    std::string fullPath = subPath;
    if (!StartsWithIgnoreAsciiCase(subPath, SoftwarePrefix)) fullPath = SoftwarePrefix + fullPath;
    Close();
    std::wstring widePath;
    if (!ToWide(fullPath, widePath)) return false;
    HKEY opened = nullptr;
    // MAXIMUM_ALLOWED: reading works for everyone; deleting a value where the
    // user may not is refused by DeleteValue, not by the open.
    if (RegOpenKeyExW(root, widePath.c_str(), 0, MAXIMUM_ALLOWED | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
        return false;
    handle = opened;
    return true;
}

bool RegistryKey::QueryString(const char* valueName, char* buffer, std::uint32_t bufferSize) const {
    if (bufferSize == 0) return false;
    std::wstring wideName;
    if (!ToWide(valueName, wideName)) return false;
    // Measured first: a REG_EXPAND_SZ text may be longer before its
    // expansion than after it. No folder's text is longer than this.
    constexpr DWORD LongestData = 0x10000;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > LongestData)
        return false;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1);
    DWORD read = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::wstring wide(TextOfData(data.data(), read));
    if (type == REG_EXPAND_SZ) wide = Expanded(std::move(wide));
    std::string text;
    if (!ToNarrow(wide, text)) return false;
    if (text.size() + 1 > bufferSize) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

bool RegistryKey::ReadStringValues(StringMap& out, std::vector<std::string>* expanded) const {
    if (handle == nullptr) return false;
    out.clear();
    if (expanded != nullptr) expanded->clear();
    // Room for the longest name and data that can still fit EnumBufferSize
    // bytes in code page 932; anything longer is skipped.
    wchar_t name[EnumBufferSize + 1];
    wchar_t data[EnumBufferSize + 1];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = EnumBufferSize + 1;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG status = RegEnumValueW(handle, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_MORE_DATA) continue;  // too long for the buffers: skip it, keep walking
        if (status != ERROR_SUCCESS) break;       // ERROR_NO_MORE_ITEMS, or the key went away
        if (nameLength == 0 || (type != REG_SZ && type != REG_EXPAND_SZ) || dataSize > sizeof data) continue;
        std::string narrowName;
        std::string narrowData;
        // A name code page 932 cannot hold could not be found again by
        // QueryString or DeleteValue, and data it cannot hold is not the
        // folder: neither is listed.
        if (!ToNarrow(std::wstring_view(name, nameLength), narrowName)) continue;
        const std::wstring text =
            type == REG_EXPAND_SZ ? Expanded(std::wstring(TextOfData(data, dataSize))) : std::wstring(TextOfData(data, dataSize));
        if (!ToNarrow(text, narrowData)) continue;
        // A name with a zero inside it would, cut at the zero, name another value.
        if (narrowName.find('\0') != std::string::npos || narrowName.size() + 1 > EnumBufferSize) continue;
        if (narrowData.size() + 1 > EnumBufferSize) continue;
        // The platform lists values in name order, most often this one: each
        // then goes in at the end without a search.
        if (type == REG_EXPAND_SZ && expanded != nullptr) expanded->push_back(narrowName);
        out.emplace_hint(out.end(), std::move(narrowName), std::move(narrowData));
    }
    return !out.empty();
}

bool RegistryKey::ReadAllTexts(std::vector<RegisteredText>& out) const {
    out.clear();
    if (handle == nullptr) return false;
    DWORD longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring name;
    std::vector<wchar_t> data;
    for (DWORD index = 0;;) {
        name.assign(longestName + 1, L'\0');
        data.assign(longestData / sizeof(wchar_t) + 2, L'\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        const LONG status = RegEnumValueW(handle, index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (status == ERROR_MORE_DATA) {  // written to since it was measured: measure again
            longestName = std::max<DWORD>(longestName * 2, 256);
            longestData = std::max<DWORD>(longestData * 2, 1024);
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        ++index;
        if (nameLength == 0 || (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)) continue;
        name.resize(nameLength);
        const std::wstring_view all(data.data(), dataSize / sizeof(wchar_t));
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find(L'\0', start);
            if (end == std::wstring_view::npos) end = all.size();
            std::wstring text(all.substr(start, end - start));
            if (type == REG_EXPAND_SZ) text = Expanded(std::move(text));
            if (!text.empty()) out.push_back({name, std::move(text)});
            if (type != REG_MULTI_SZ) break;
            start = end + 1;
        }
    }
    return true;
}

bool RegistryKey::DeleteValue(const char* valueName) const {
    std::wstring wideName;
    if (!ToWide(valueName, wideName)) return false;
    return RegDeleteValueW(handle, wideName.c_str()) == ERROR_SUCCESS;
}

void RegistryKey::Close() {
    if (handle != nullptr) {
        RegCloseKey(handle);
        handle = nullptr;
    }
}
