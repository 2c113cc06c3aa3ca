#include "app/ShellFolder.h"

#include <windows.h>

#include <shellapi.h>

#include "app/SystemFunction.h"
#include "fsutil/FullPath.h"
#include "fsutil/WinText.h"

bool ShowFolder(const std::string& folder) {
    std::wstring wide, full;
    // A bare name would be looked up in the current directory and the
    // search path, where a program of that name may lie.
    if (!ToWide(folder, wide) || !FullPathOf(wide, full)) return false;
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    static const auto shellExecute =
        SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (shellExecute == nullptr) return false;
    // Checked just before: the shell is given a full path to a directory,
    // never a name to search for.
    const auto result = reinterpret_cast<INT_PTR>(
        shellExecute(GetDesktopWindow(), nullptr, full.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
