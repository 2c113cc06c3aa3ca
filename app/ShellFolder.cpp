#include "app/ShellFolder.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "app/SystemFunction.h"
#include "fsutil/FolderIdentity.h"
#include "fsutil/PathRules.h"
#include "fsutil/UniqueHandle.h"
#include "fsutil/WinText.h"

namespace {

// Whether the shell would read path as another text: Wine's shell expands
// variables even in the path of an ID list.
bool HasVariables(const std::wstring& path) {
    std::wstring expanded(32767, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(path.c_str(), expanded.data(), 32767);
    return length == 0 || length > 32767 || expanded.c_str() != path;
}

// The folder window itself, given the folder as its one argument: no variable
// is expanded and no program searched for.
bool StartExplorer(const std::wstring& path) {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring program = std::wstring(windows) + L"\\explorer.exe";
    std::wstring commandLine = L"explorer.exe \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // Not waited for: the window is the user's.
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    return true;
}

}  // namespace

bool ShowFolder(const std::string& folder) {
    std::wstring wide, full;
    // A bare name would be looked up in the current directory and the
    // search path, where a program of that name may lie.
    if (!ToWide(folder, wide) || !FullPathOf(wide, full)) return false;
    const FolderIdentity identity = IdentifyFolder(full);
    if (identity.kind != FolderIdentity::Kind::Folder && identity.kind != FolderIdentity::Kind::Link) return false;
    if (HasVariables(identity.finalPath)) return StartExplorer(identity.finalPath);
    static const auto createIdList =
        SystemFunction<decltype(&ILCreateFromPathW)>(L"shell32.dll", "ILCreateFromPathW");
    static const auto freeIdList = SystemFunction<decltype(&ILFree)>(L"shell32.dll", "ILFree");
    static const auto shellExecute = SystemFunction<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (createIdList == nullptr || freeIdList == nullptr || shellExecute == nullptr) return false;
    PIDLIST_ABSOLUTE item = createIdList(identity.finalPath.c_str());
    if (item == nullptr) return false;
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = GetDesktopWindow();
    execute.lpIDList = item;
    execute.nShow = SW_SHOWNORMAL;
    const bool shown = shellExecute(&execute) != FALSE;
    freeIdList(item);
    return shown;
}
