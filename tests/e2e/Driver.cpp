#include "e2e/Driver.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "fsutil/WinText.h"

std::string BuiltExePath() {
    const char* path = std::getenv("KELMORA_EXE");
    return path != nullptr ? path : "Kelmora.exe";
}

void SetControlText(HWND control, const std::string& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(DisplayText(text).c_str()));
}

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

AppDriver::~AppDriver() {
    if (process == nullptr) return;
    if (threadId != 0 ? PostThreadMessageW(threadId, WM_QUIT, 0, 0) : TerminateProcess(process, 1))
        WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

namespace {

struct HostedPage {
    int templateId;
    DLGPROC proc;
    HWND parent;
    HANDLE shown;
};

void Dispatch(HWND page, MSG& message) {
    if (IsDialogMessageW(page, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

DWORD WINAPI RunPage(void* data) {
    auto* hosted = static_cast<HostedPage*>(data);
    HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(hosted->templateId), parent,
                                   hosted->proc, 0);
    ShowWindow(page, SW_SHOW);
    // What the page posted itself while it was made (the list's rows) is done
    // before the test goes on.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(page, message);
    hosted->parent = page != nullptr ? parent : nullptr;
    SetEvent(hosted->shown);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(page, message);
    DestroyWindow(parent);
    return 0;
}

}  // namespace

bool AppDriver::Host(int templateId, DLGPROC proc) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HostedPage hosted{templateId, proc, nullptr, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    process = CreateThread(nullptr, 0, RunPage, &hosted, 0, &threadId);
    processId = GetCurrentProcessId();
    WaitForSingleObject(hosted.shown, 20000);
    CloseHandle(hosted.shown);
    dialog = hosted.parent;
    return dialog != nullptr;
}

bool AppDriver::Start(const std::string& folder) {
    const std::string copy = folder + "\\Kelmora.exe";
    return CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(copy).c_str(), FALSE) && StartProgram(copy);
}

bool AppDriver::StartProgram(const std::string& exe) {
    if (!Launch(exe)) return false;
    Eventually([&] {
        for (HWND shown : Dialogs(processId))
            if (GetWindow(shown, GW_OWNER) == nullptr) dialog = shown;
        return dialog != nullptr || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    }, 20000);
    return dialog != nullptr;
}

bool AppDriver::Launch(const std::string& exe) {
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
    return true;
}

bool AppDriver::Close() {
    threadId != 0 ? PostThreadMessageW(threadId, WM_QUIT, 0, 0) : PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitExit();
}

bool AppDriver::WaitExit(int timeoutMs) {
    return process != nullptr && WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

LRESULT AppDriver::SendRemote(HWND window, UINT message, WPARAM wParam, void* data, std::size_t size,
                              std::size_t textOffset, std::wstring* text) const {
    const std::size_t textBytes = text != nullptr ? 1024 * sizeof(wchar_t) : 0;
    HANDLE target = threadId != 0 ? GetCurrentProcess() : process;  // a hosted page: this process
    char* remote = static_cast<char*>(VirtualAllocEx(target, nullptr, size + textBytes, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return 0;
    if (text != nullptr) {  // the struct's text pointer, at textOffset, points past the struct
        char* remoteText = remote + size;
        std::memcpy(static_cast<char*>(data) + textOffset, &remoteText, sizeof remoteText);
    }
    WriteProcessMemory(target, remote, data, size, nullptr);
    const LRESULT result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(target, remote, data, size, nullptr);
    if (text != nullptr) {
        text->assign(textBytes / sizeof(wchar_t), L'\0');
        ReadProcessMemory(target, remote + size, text->data(), textBytes, nullptr);
        text->resize(wcsnlen(text->c_str(), text->size()));
    }
    VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    return result;
}

std::string AppDriver::Answer(int button, const std::string& fileName) const {
    HWND box = WaitBox();
    if (box == nullptr) return "<no box>";
    const SeenBox seen = ReadBox(box);
    return AnswerBox(box, button, fileName) ? seen.caption + ": " + seen.text : "<not answered> " + seen.text;
}

int AppDriver::TabSelection() const { return static_cast<int>(SendMessageW(Tab(), TCM_GETCURSEL, 0, 0)); }

bool AppDriver::ShowTab(int index) const {
    const HWND before = TabSelection() == index ? nullptr : ShownPage();
    for (int i = 0, from = TabSelection(); i < 3 && from != index; ++i, from = TabSelection()) {
        TypeKey(dialog, VK_TAB, {VK_CONTROL});
        Eventually([&] { return TabSelection() != from; });
    }
    // The old page may stay shown a moment after the selection moved.
    return Eventually([&] { return TabSelection() == index && ShownPage() != nullptr && ShownPage() != before; });
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
        rows.emplace_back();
        for (int column : {0, 1}) {
            LVITEMW item{};
            item.iSubItem = column;
            item.cchTextMax = 1024;
            std::wstring text;
            SendRemote(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), &item, sizeof item, offsetof(LVITEMW, pszText), &text);
            rows.back() += (column == 0 ? "" : " | ") + NarrowOrEmpty(text);
        }
    }
    return rows;
}

bool AppDriver::SelectRow(HWND list, int row) const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return SendRemote(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item, sizeof item) != 0;
}

bool AppDriver::DoubleClickRow(HWND list, int row) const {
    RECT rect{LVIR_LABEL, 0, 0, 0};
    const bool found = SendRemote(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), &rect, sizeof rect) != 0;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        if (found) PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    return found;
}
