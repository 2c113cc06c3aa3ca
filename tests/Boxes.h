#pragma once
// The one way tests find, read and answer dialogs (#32770 windows: message
// boxes, the open-file dialog), whether a thread of this process raised them
// or Kelmora.exe driven from outside did. Every wait has a timeout.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// What a box showed, read back as UTF-16 and held as code page 932.
struct SeenBox {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // control ids, sorted: IDOK, IDCANCEL, IDYES, IDNO...
    int defaultButton = 0;
};

// Polls done until it holds, for at most timeoutMs; true when it held.
template <class Predicate>
bool Eventually(Predicate done, int timeoutMs = 10000) {
    for (const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);; Sleep(25)) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
    }
}

std::string WindowText(HWND window);

// Real key presses into window's thread after bringing it to the front,
// modifiers (VK_CONTROL, VK_SHIFT) held while key is pressed.
bool TypeKey(HWND window, UINT key, std::initializer_list<UINT> modifiers = {});
// The shown top-level windows of process processId, of class className
// (any class when null).
std::vector<HWND> ShownWindows(DWORD processId, const wchar_t* className = nullptr);
// The shown dialogs of process processId.
inline std::vector<HWND> Dialogs(DWORD processId) { return ShownWindows(processId, L"#32770"); }
// The first shown dialog of processId other than except; null after timeoutMs.
HWND WaitBox(DWORD processId, HWND except = nullptr, int timeoutMs = 10000);
SeenBox ReadBox(HWND box);
// Presses button (0: Enter, as a key press) after typing fileName into the
// open-file dialog's name box when one is given; true once the box is gone.
bool AnswerBox(HWND box, int button, const std::string& fileName = "");
