#include "Boxes.h"

#include <algorithm>

#include "fsutil/WinText.h"

namespace {

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    GetClassNameW(window, found, 64);
    return _wcsicmp(found, name) == 0;
}

// Window enumeration callbacks must be stdcall in the x86 build: no lambdas.
BOOL CALLBACK ReadControl(HWND child, LPARAM data) {
    auto* box = reinterpret_cast<SeenBox*>(data);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (IsClass(child, L"Button") && (style & WS_VISIBLE) != 0) {
        box->buttons.push_back(GetDlgCtrlID(child));
        if ((style & 0x0F) == BS_DEFPUSHBUTTON) box->defaultButton = GetDlgCtrlID(child);
    } else if (IsClass(child, L"Static") && (style & SS_TYPEMASK) != SS_ICON && box->text.empty()) {
        box->text = WindowText(child);
    }
    return TRUE;
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        (search->className == nullptr || IsClass(window, search->className)))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

// A window whose thread does not answer reads as empty, after a bounded wait.
std::string WindowText(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(std::min<std::size_t>(copied, length));
    std::string narrow;
    return ToNarrow(text, narrow) ? narrow : "<not code page 932>";
}

bool TypeKey(HWND window, UINT key, std::initializer_list<UINT> modifiers) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    std::vector<UINT> keys(modifiers);
    keys.push_back(key);
    for (std::size_t i = 0; i < 2 * keys.size(); ++i) {  // down in order, then up in reverse
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(i < keys.size() ? keys[i] : keys[2 * keys.size() - 1 - i]);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(input.ki.wVk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = i < keys.size() ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);  // let the target take them
    return sent == inputs.size();
}

std::vector<HWND> ShownWindows(DWORD processId, const wchar_t* className) {
    Search search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitBox(DWORD processId, HWND except, int timeoutMs) {
    HWND found = nullptr;
    Eventually([&] {
        for (HWND dialog : Dialogs(processId))
            if (dialog != except && found == nullptr) found = dialog;
        return found != nullptr;
    }, timeoutMs);
    return found;
}

SeenBox ReadBox(HWND box) {
    SeenBox seen;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.caption = WindowText(box);
    EnumChildWindows(box, ReadControl, reinterpret_cast<LPARAM>(&seen));
    std::sort(seen.buttons.begin(), seen.buttons.end());
    return seen;
}

bool AnswerBox(HWND box, int button, const std::string& fileName) {
    if (!fileName.empty()) {
        HWND name = GetDlgItem(box, 0x480);  // edt1 in Wine, cmb13 on Windows
        if (name == nullptr) name = GetDlgItem(box, 0x47C);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideOrEmpty(fileName).c_str()));
    }
    if (button == 0)
        TypeKey(box, VK_RETURN);  // as a user answers
    else
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return Eventually([box] { return !IsWindow(box); });
}
