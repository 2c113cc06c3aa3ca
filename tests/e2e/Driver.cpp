#include "e2e/Driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "DialogWatcher.h"
#include "fsutil/WinText.h"

namespace {

std::wstring Wide(const std::string& text) { return DisplayText(text); }

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Memory in another process, for the messages whose pointers the platform
// does not carry across.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE target, std::size_t bytes)
        : process(target), size(bytes),
          address(VirtualAllocEx(target, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address != nullptr) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
    bool Valid() const { return address != nullptr; }
    void* At(std::size_t offset) const { return static_cast<char*>(address) + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t bytes) const {
        SIZE_T done = 0;
        return offset + bytes <= size && WriteProcessMemory(process, At(offset), data, bytes, &done) && done == bytes;
    }
    bool Read(std::size_t offset, void* data, std::size_t bytes) const {
        SIZE_T done = 0;
        return offset + bytes <= size && ReadProcessMemory(process, At(offset), data, bytes, &done) && done == bytes;
    }

private:
    HANDLE process;
    std::size_t size;
    void* address;
};

// Window enumeration callbacks must be stdcall in the x86 build: no lambdas.
struct DialogSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && ClassName(window) == L"#32770")
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM data) {
    auto& out = *reinterpret_cast<std::ostringstream*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    out << "  window " << window << " class [" << NarrowOrEmpty(ClassName(window)) << "] caption ["
        << WindowText(window) << "] owner " << GetWindow(window, GW_OWNER) << " process " << owner << "\n";
    return TRUE;
}

}  // namespace

std::string BuiltExePath() {
    const char* path = std::getenv("KELMORA_EXE");
    return path != nullptr ? path : "Kelmora.exe";
}

AppDriver::~AppDriver() {
    Kill();
    if (process != nullptr) CloseHandle(process);
}

bool AppDriver::Start(const std::string& folder, const std::string& exe) {
    const std::string copy = folder + "\\Kelmora.exe";
    if (!CopyFileW(Wide(exe).c_str(), Wide(copy).c_str(), FALSE)) return false;
    return StartProgram(copy);
}

bool AppDriver::StartProgram(const std::string& exe, const std::string& arguments) {
    exePath = exe;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Wide(exePath) + L"\"";
    if (!arguments.empty()) commandLine += L" " + Wide(arguments);
    // Started from another folder on purpose: the program must find its own.
    if (!CreateProcessW(Wide(exePath).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
    return true;
}

std::vector<HWND> AppDriver::Dialogs() const {
    DialogSearch search{processId, {}};
    EnumWindows(CollectProcessDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AppDriver::WaitMainDialog(int timeoutMs) {
    Eventually([&] {
        for (HWND dialog : Dialogs()) {
            if (GetWindow(dialog, GW_OWNER) == nullptr) {
                mainDialog = dialog;
                return true;
            }
        }
        return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;  // ended: stop waiting
    }, timeoutMs);
    return mainDialog;
}

HWND AppDriver::WaitOtherDialog(int timeoutMs) {
    HWND found = nullptr;
    Eventually([&] {
        for (HWND dialog : Dialogs()) {
            if (dialog != mainDialog) {
                found = dialog;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

bool AppDriver::WaitExit(int timeoutMs) {
    return process != nullptr && WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD AppDriver::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process != nullptr) GetExitCodeProcess(process, &code);
    return code;
}

void AppDriver::Kill() {
    if (process != nullptr && WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
    }
}

std::string AppDriver::DescribeWindows() {
    std::ostringstream out;
    EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&out));
    const std::string text = out.str();
    return text.empty() ? "  (no visible top-level windows)\n" : text;
}

std::string ControlText(HWND control) { return WindowText(control); }

void SetControlText(HWND control, const std::string& text) {
    const std::wstring wide = Wide(text);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PressKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void AnswerDialog(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

std::vector<HWND> Pages(HWND mainDialog) {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(mainDialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == L"#32770") pages.push_back(child);
    return pages;
}

HWND ShownPage(HWND mainDialog) {
    for (HWND page : Pages(mainDialog))
        if (IsWindowVisible(page)) return page;
    return nullptr;
}

HWND FindPage(HWND root, int controlId) {
    for (HWND child = GetWindow(root, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        HWND page = GetDlgItem(child, controlId) != nullptr ? child : FindPage(child, controlId);
        if (page != nullptr) return page;
    }
    return nullptr;
}

int TabCount(HWND tab) { return static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)); }

int TabSelection(HWND tab) { return static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0)); }

std::string TabText(HANDLE process, HWND tab, int index) {
    constexpr int TextUnits = 256;
    RemoteBuffer remote(process, sizeof(TCITEMW) + TextUnits * sizeof(wchar_t));
    if (!remote.Valid()) return "<no memory in the target>";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = static_cast<wchar_t*>(remote.At(sizeof(TCITEMW)));
    item.cchTextMax = TextUnits;
    const wchar_t empty = 0;
    remote.Write(sizeof(TCITEMW), &empty, sizeof empty);
    if (!remote.Write(0, &item, sizeof item)) return "<write failed>";
    if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At(0))))
        return "<no such tab>";
    wchar_t text[TextUnits] = {};
    remote.Read(sizeof(TCITEMW), text, sizeof text);
    text[TextUnits - 1] = 0;
    return NarrowOrEmpty(text);
}

bool ClickTab(HANDLE process, HWND tab, int index) {
    RemoteBuffer remote(process, sizeof(RECT));
    RECT rect{};
    if (!remote.Valid() ||
        !SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &rect, sizeof rect))
        return false;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(tab, WM_LBUTTONUP, 0, point);
    return true;
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCellText(HANDLE process, HWND list, int row, int column) {
    constexpr int TextUnits = 1024;
    RemoteBuffer remote(process, sizeof(LVITEMW) + TextUnits * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = static_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
    item.cchTextMax = TextUnits;
    if (!remote.Valid() || !remote.Write(0, &item, sizeof item)) return "<no memory in the target>";
    const auto length = static_cast<std::size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0))));
    std::wstring text(length, L'\0');
    remote.Read(sizeof(LVITEMW), text.data(), length * sizeof(wchar_t));
    return NarrowOrEmpty(text);
}

bool SelectListRow(HANDLE process, HWND list, int row) {
    RemoteBuffer remote(process, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return remote.Valid() && remote.Write(0, &item, sizeof item) &&
           SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0)));
}

bool DoubleClickListRow(HANDLE process, HWND list, int row) {
    RemoteBuffer remote(process, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_LABEL;
    if (!remote.Valid() || !remote.Write(0, &rect, sizeof rect) ||
        !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &rect, sizeof rect))
        return false;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    return true;
}

void ConfirmOpenFile(HWND dialog, const std::string& path) {
    SetControlText(FileNameBox(dialog), path);
    AnswerDialog(dialog, IDOK);
}

bool SaveWindowImage(HWND window, const std::string& bmpPath) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    bool saved = false;
    HANDLE out = CreateFileW(Wide(bmpPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
                WriteFile(out, bits, imageSize, &written, nullptr);
        CloseHandle(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

RECT TabDisplayArea(HANDLE process, HWND tab) {
    RECT area{};
    GetClientRect(tab, &area);
    RemoteBuffer remote(process, sizeof(RECT));
    if (!remote.Write(0, &area, sizeof area)) return {};
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(0, &area, sizeof area);
    MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool TypeKey(HWND window, UINT key, std::initializer_list<UINT> modifiers) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    auto add = [&inputs](UINT virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (UINT modifier : modifiers) add(modifier, false);
    add(key, false);
    add(key, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) add(*it, true);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Let the target take the keys before the caller looks at the result.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return sent == inputs.size();
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}
