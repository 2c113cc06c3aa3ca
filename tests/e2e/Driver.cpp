#include "e2e/Driver.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "fsutil/WinText.h"

namespace {

// Window enumeration callbacks must be stdcall in the x86 build: no lambdas.
BOOL CALLBACK DescribeWindow(HWND window, LPARAM data) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window))
        *reinterpret_cast<std::ostringstream*>(data) << "  [" << NarrowOrEmpty(name) << "] [" << WindowText(window)
                                                     << "] owner " << GetWindow(window, GW_OWNER) << " process " << owner << "\n";
    return TRUE;
}

}  // namespace

std::string BuiltExePath() {
    const char* path = std::getenv("KELMORA_EXE");
    return path != nullptr ? path : "Kelmora.exe";
}

std::string DescribeWindows() {
    std::ostringstream out;
    EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&out));
    return out.str();
}

std::string ControlText(HWND control) { return WindowText(control); }

void SetControlText(HWND control, const std::string& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(DisplayText(text).c_str()));
}

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool TypeKey(HWND window, UINT key, std::initializer_list<UINT> modifiers) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    auto add = [&inputs](UINT virtualKey, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (UINT modifier : modifiers) add(modifier, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) add(*it, KEYEVENTF_KEYUP);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Let the target take the keys before the caller looks at the result.
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    return sent == inputs.size();
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

AppDriver::~AppDriver() {
    Kill();
    if (process != nullptr) CloseHandle(process);
}

bool AppDriver::Start(const std::string& folder) {
    const std::string copy = folder + "\\Kelmora.exe";
    return CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(copy).c_str(), FALSE) && StartProgram(copy);
}

bool AppDriver::StartProgram(const std::string& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + DisplayText(exe) + L"\"";
    // Started from another folder on purpose: the program must find its own.
    if (!CreateProcessW(DisplayText(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
    return Eventually([&] {
        for (HWND shown : Dialogs(processId))
            if (GetWindow(shown, GW_OWNER) == nullptr) dialog = shown;
        return dialog != nullptr || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    }, 20000) && dialog != nullptr;
}

bool AppDriver::Close() {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitExit();
}

bool AppDriver::WaitExit(int timeoutMs) {
    return process != nullptr && WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

void AppDriver::Kill() {
    if (process != nullptr && WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
    }
}

LRESULT AppDriver::SendRemote(HWND window, UINT message, WPARAM wParam, void* data, std::size_t size,
                              std::size_t textOffset, std::wstring* text) const {
    constexpr std::size_t TextUnits = 1024;
    const std::size_t total = size + (text != nullptr ? TextUnits * sizeof(wchar_t) : 0);
    char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, total, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return 0;
    if (text != nullptr) {  // the struct's text pointer, at textOffset, points past the struct
        wchar_t* remoteText = reinterpret_cast<wchar_t*>(remote + size);
        std::memcpy(static_cast<char*>(data) + textOffset, &remoteText, sizeof remoteText);
        text->assign(TextUnits, L'\0');
        WriteProcessMemory(process, remoteText, text->data(), TextUnits * sizeof(wchar_t), nullptr);
    }
    WriteProcessMemory(process, remote, data, size, nullptr);
    const LRESULT result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, data, size, nullptr);
    if (text != nullptr) {
        ReadProcessMemory(process, remote + size, text->data(), TextUnits * sizeof(wchar_t), nullptr);
        text->resize(wcsnlen(text->c_str(), TextUnits));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return result;
}

int AppDriver::TabSelection() const { return static_cast<int>(SendMessageW(Tab(), TCM_GETCURSEL, 0, 0)); }

std::vector<std::string> AppDriver::TabTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < SendMessageW(Tab(), TCM_GETITEMCOUNT, 0, 0); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.cchTextMax = 1024;
        std::wstring text;
        SendRemote(Tab(), TCM_GETITEMW, static_cast<WPARAM>(i), &item, sizeof item, offsetof(TCITEMW, pszText), &text);
        texts.push_back(NarrowOrEmpty(text));
    }
    return texts;
}

bool AppDriver::ClickTab(int index) const {
    RECT rect{};
    if (!SendRemote(Tab(), TCM_GETITEMRECT, static_cast<WPARAM>(index), &rect, sizeof rect)) return false;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(Tab(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(Tab(), WM_LBUTTONUP, 0, point);
    return true;
}

RECT AppDriver::DisplayArea() const {
    RECT area{};
    GetClientRect(Tab(), &area);
    SendRemote(Tab(), TCM_ADJUSTRECT, FALSE, &area, sizeof area);
    MapWindowPoints(Tab(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

std::vector<HWND> AppDriver::Pages() const {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (child != Tab()) pages.push_back(child);
    return pages;
}

HWND AppDriver::ShownPage() const {
    for (HWND page : Pages())
        if (IsWindowVisible(page)) return page;
    return nullptr;
}

HWND AppDriver::PageWith(int id) const {
    for (HWND page : Pages())
        if (GetDlgItem(page, id) != nullptr) return page;
    return nullptr;
}

std::vector<std::string> AppDriver::Rows(HWND list) const {
    std::vector<std::string> rows;
    for (int row = 0; row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        std::string cells;
        for (int column : {0, 1}) {
            LVITEMW item{};
            item.iSubItem = column;
            item.cchTextMax = 1024;
            std::wstring text;
            SendRemote(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), &item, sizeof item, offsetof(LVITEMW, pszText),
                       &text);
            cells += (column == 0 ? "" : " | ") + NarrowOrEmpty(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

bool AppDriver::SelectRow(HWND list, int row) const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return SendRemote(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item, sizeof item) != 0;
}

bool AppDriver::DoubleClickRow(HWND list, int row) const {
    RECT rect{};
    rect.left = LVIR_LABEL;
    if (!SendRemote(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), &rect, sizeof rect)) return false;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    return true;
}
