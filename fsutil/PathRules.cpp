#include "fsutil/PathRules.h"

#include <windows.h>

#include <cwchar>

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsBareDrive(std::wstring_view path) { return path.size() == 2 && IsDriveLetter(path[0]) && path[1] == L':'; }

bool SamePathText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && (a.empty() || CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                                      static_cast<int>(b.size()), TRUE) == CSTR_EQUAL);
}

bool EndsWithIgnoreCase(std::wstring_view name, std::wstring_view ending) {
    return name.size() >= ending.size() && SamePathText(name.substr(name.size() - ending.size()), ending);
}

bool IsForbiddenInName(wchar_t c) { return c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr; }

bool IsReachableName(std::wstring_view name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name)
        if (IsForbiddenInName(c)) return false;
    return true;
}

std::wstring WithoutLongPrefix(std::wstring_view path) {
    if (path.substr(0, 8) == L"\\\\?\\UNC\\") return L"\\\\" + std::wstring(path.substr(8));
    if (path.substr(0, 4) == L"\\\\?\\") return std::wstring(path.substr(4));
    return std::wstring(path);
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < 248) return path;
    const std::size_t root = RootLength(path);
    if (root == 3) return L"\\\\?\\" + path;
    if (root > 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::size_t RootLength(std::wstring_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsPathSeparator(path[2])) return 3;
    if (path.size() < 2 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return 0;
    const std::size_t serverEnd = path.find_first_of(L"\\/", 2);
    if (serverEnd == 2 || serverEnd == std::wstring_view::npos) return 0;
    const std::wstring_view server = path.substr(2, serverEnd - 2);
    if (server == L"?" || server == L".") return 0;
    std::size_t shareEnd = path.find_first_of(L"\\/", serverEnd + 1);
    if (shareEnd == serverEnd + 1) return 0;
    if (shareEnd == std::wstring_view::npos) shareEnd = path.size();
    return shareEnd;
}

bool FullPathOf(const std::wstring& path, std::wstring& full) {
    full.clear();
    if (RootLength(path) == 0) return false;
    std::wstring buffer(path.size() + MAX_PATH, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return false;
    buffer.resize(length);
    const std::size_t root = RootLength(buffer);
    if (root == 0) return false;
    while (buffer.size() > root && IsPathSeparator(buffer.back())) buffer.pop_back();
    full = std::move(buffer);
    return true;
}

bool IsAtOrInside(std::wstring_view path, std::wstring_view folder) {
    if (path.size() < folder.size() || !SamePathText(folder, path.substr(0, folder.size()))) return false;
    return path.size() == folder.size() || IsPathSeparator(path[folder.size()]) ||
           (!folder.empty() && IsPathSeparator(folder.back()));
}

bool PathsOverlap(std::wstring_view a, std::wstring_view b) { return IsAtOrInside(a, b) || IsAtOrInside(b, a); }
