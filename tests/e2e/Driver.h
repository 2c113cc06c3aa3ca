#pragma once
// Drives the shipped Kelmora.exe from outside, as a person would: starts it
// as its own process from a scratch folder, finds its windows, reads and sets
// control texts, clicks, answers message boxes and the open-file dialog, and
// closes or kills it. Every wait has a timeout; a failed wait says what
// windows were there.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// Polls done until it holds, for at most timeoutMs; true when it held.
template <class Predicate>
bool Eventually(Predicate done, int timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(25);
    }
}

// Where the build put Kelmora.exe (the KELMORA_EXE environment variable).
std::string BuiltExePath();

class AppDriver {
public:
    AppDriver() = default;
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;
    ~AppDriver();  // kills the process if it still runs

    // Copies exe into folder as Kelmora.exe and starts it there.
    bool Start(const std::string& folder, const std::string& exe = BuiltExePath());
    // Starts a program where it lies, with a command line's arguments.
    bool StartProgram(const std::string& exe, const std::string& arguments = "");

    // The main dialog (an unowned dialog of the process), or null after timeoutMs.
    HWND WaitMainDialog(int timeoutMs = 20000);
    // A dialog of the process other than the main dialog: a message box, the
    // open-file dialog. Null after timeoutMs.
    HWND WaitOtherDialog(int timeoutMs = 10000);
    // True when the process has ended within timeoutMs.
    bool WaitExit(int timeoutMs = 15000);
    void Kill();
    // The exit code once ended; STILL_ACTIVE before.
    DWORD ExitCode() const;

    HANDLE Process() const { return process; }
    DWORD ProcessId() const { return processId; }
    HWND MainDialog() const { return mainDialog; }
    const std::string& ExePath() const { return exePath; }

    // Every top-level window on the desktop: class, caption, owner, process.
    static std::string DescribeWindows();

private:
    std::vector<HWND> Dialogs() const;

    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND mainDialog = nullptr;
    std::string exePath;
};

// Standard window messages, which the platform carries across processes.
std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& text);
void ClickButton(HWND button);            // posted: a modal box it opens does not block the driver
void PressKey(HWND window, UINT virtualKey);  // posted key down and up
void AnswerDialog(HWND dialog, int buttonId);
// The page (a child dialog anywhere below root) that holds control controlId.
HWND FindPage(HWND root, int controlId);
// The main dialog's pages (its child dialogs) in z-order, and the one shown.
std::vector<HWND> Pages(HWND mainDialog);
HWND ShownPage(HWND mainDialog);

// The tab control of another process; these need memory in the target.
int TabCount(HWND tab);
int TabSelection(HWND tab);
std::string TabText(HANDLE process, HWND tab, int index);
// Clicks the middle of tab index with the mouse, as a user would.
bool ClickTab(HANDLE process, HWND tab, int index);

// The list view of another process. Selecting a row sets its state as a
// click does (selected and focused), so the program hears LVN_ITEMCHANGED.
int ListRowCount(HWND list);
std::string ListCellText(HANDLE process, HWND list, int row, int column);
bool SelectListRow(HANDLE process, HWND list, int row);
// Double-clicks the middle of row's label with the mouse.
bool DoubleClickListRow(HANDLE process, HWND list, int row);

// Types path into the open-file dialog's file name box and confirms it.
void ConfirmOpenFile(HWND dialog, const std::string& path);

// Saves what the screen shows of window as a 24-bit BMP file.
bool SaveWindowImage(HWND window, const std::string& bmpPath);

// The tab control's display area, below its headers, in screen coordinates.
RECT TabDisplayArea(HANDLE process, HWND tab);

// Real key presses, as from the keyboard, into the window's thread after
// bringing window to the front: modifiers (VK_CONTROL, VK_SHIFT) are held
// while key is pressed. The key state the target sees is the real one.
bool TypeKey(HWND window, UINT key, std::initializer_list<UINT> modifiers = {});
// The window that has the keyboard focus in window's thread, or null.
HWND FocusOf(HWND window);
