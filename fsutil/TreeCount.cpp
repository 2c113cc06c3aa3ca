#include "fsutil/TreeCount.h"

#include <windows.h>

#include <string>
#include <vector>

#include "fsutil/WinText.h"

namespace {

bool EndsWithIgnoreCase(const wchar_t* name, const wchar_t* ending) {
    const std::size_t length = wcslen(name), endingLength = wcslen(ending);
    return length >= endingLength &&
           CompareStringOrdinal(name + length - endingLength, static_cast<int>(endingLength), ending,
                                static_cast<int>(endingLength), TRUE) == CSTR_EQUAL;
}

}  // namespace

TreeCount CountTree(const char* root, std::uint64_t maxEntries, unsigned timeLimitMs) {
    TreeCount count;
    std::wstring wideRoot;
    if (!ToWide(root, wideRoot)) return count;
    const ULONGLONG deadline = GetTickCount64() + timeLimitMs;
    std::vector<std::wstring> pending{wideRoot};
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            const wchar_t* name = entry.cFileName;
            if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
            if (count.files + count.folders >= maxEntries || GetTickCount64() >= deadline) {
                count.complete = false;
                break;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ++count.folders;
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) pending.push_back(folder + L'\\' + name);
            } else {
                ++count.files;
                count.bytes += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
                if (EndsWithIgnoreCase(name, L".exe") || EndsWithIgnoreCase(name, L".dll")) count.executables = true;
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        if (!count.complete) break;
    }
    return count;
}
