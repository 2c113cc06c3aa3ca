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

struct Search {
    DWORD processId;
    HWND window = nullptr;
};

BOOL CALLBACK FindTitledWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || GetWindowTextLengthW(window) == 0) return TRUE;
    search->window = window;
    return FALSE;
}

}  // namespace

std::vector<std::string> CloseOpenedFolders(unsigned timeoutMs, unsigned long parent, std::size_t expected) {
    if (parent == 0) parent = GetCurrentProcessId();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::vector<DWORD> children = ChildProcesses(parent);
    for (; children.size() < expected && GetTickCount64() < deadline; children = ChildProcesses(parent)) Sleep(50);
    std::vector<std::string> titles;
    for (DWORD child : children) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, child);
        if (process == nullptr) continue;
        Search search{child};
        for (const ULONGLONG shown = GetTickCount64() + timeoutMs; search.window == nullptr &&
             GetTickCount64() < shown && WaitForSingleObject(process, 50) == WAIT_TIMEOUT;)
            EnumWindows(FindTitledWindow, reinterpret_cast<LPARAM>(&search));
        titles.push_back(search.window != nullptr ? WindowText(search.window) : "<no window>");
        if (search.window != nullptr) PostMessageW(search.window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, timeoutMs) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        WaitForSingleObject(process, timeoutMs);
        CloseHandle(process);
    }
    return titles;
}
