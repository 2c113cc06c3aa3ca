#include "OpenedFolders.h"

#include <windows.h>
#include <tlhelp32.h>

#include "Boxes.h"

namespace {

// Under Wine the first window a process makes may start the desktop
// window's process as its child: that one is no folder window.
std::vector<DWORD> ChildProcesses(DWORD parent) {
    DWORD desktop = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktop);
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && entry.th32ProcessID != parent && entry.th32ProcessID != desktop)
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

// The first shown window of the process that has a title, or null.
HWND TitledWindow(DWORD processId) {
    for (HWND window : ShownWindows(processId))
        if (GetWindowTextLengthW(window) > 0) return window;
    return nullptr;
}

}  // namespace

std::vector<std::string> CloseOpenedFolders(unsigned timeoutMs, unsigned long parent, std::size_t expected) {
    if (parent == 0) parent = GetCurrentProcessId();
    std::vector<DWORD> children;
    Eventually([&] { return (children = ChildProcesses(parent)).size() >= expected; }, static_cast<int>(timeoutMs));
    std::vector<std::string> titles;
    for (DWORD child : children) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, child);
        if (process == nullptr) continue;
        HWND window = nullptr;
        Eventually([&] { return (window = TitledWindow(child)) != nullptr || WaitForSingleObject(process, 0) == WAIT_OBJECT_0; },
                   static_cast<int>(timeoutMs));
        titles.push_back(window != nullptr ? WindowText(window) : "<no window>");
        if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, timeoutMs) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        WaitForSingleObject(process, timeoutMs);
        CloseHandle(process);
    }
    return titles;
}
