#include "fsutil/FileFinder.h"

#include <cwchar>

#include "fsutil/PathRules.h"
#include "fsutil/WinText.h"

FileFinder::~FileFinder() {
    if (open) FindClose(handle);
}

void FileFinder::Close() {
    if (open) FindClose(handle);
    open = false;
    handle = INVALID_HANDLE_VALUE;
}

bool FileFinder::FindFirst(const char* pattern) {
    std::wstring widePattern;
    if (!ToWide(pattern, widePattern)) {
        Close();
        return found = false;
    }
    return FindFirst(widePattern);
}

bool FileFinder::FindFirst(const std::wstring& widePattern) {
    Close();
    found = false;
    // The basic information leaves out the short name, which nothing here reads.
    handle = FindFirstFileExW(LongPathForm(widePattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
    open = found = handle != INVALID_HANDLE_VALUE;
    return found;
}

bool FileFinder::FindNext() {
    if (!open) return found = false;
    found = FindNextFileW(handle, &entry) != FALSE;
    if (!found) Close();
    return found;
}

bool FileFinder::IsDotEntry() const {
    return std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0;
}

bool FileFinder::NameLength(std::size_t& length) const {
    const std::wstring_view name(entry.cFileName);
    return IsReachableName(name) && NarrowLength(name, length);
}
