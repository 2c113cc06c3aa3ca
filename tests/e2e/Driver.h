#pragma once
// Drives the shipped Kelmora.exe from outside, as a person would: starts it
// as its own process from a scratch folder, finds its windows, reads and sets
// control texts, clicks, answers message boxes and the open-file dialog, and
// closes or kills it. Every wait has a timeout; a failed wait says what
// windows were there.
#include <windows.h>

#include <string>
#include <vector>

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

// The tab control of another process; these need memory in the target.
int TabCount(HWND tab);
int TabSelection(HWND tab);
std::string TabText(HANDLE process, HWND tab, int index);
// Clicks the middle of tab index with the mouse, as a user would.
bool ClickTab(HANDLE process, HWND tab, int index);

// Types path into the open-file dialog's file name box and confirms it.
void ConfirmOpenFile(HWND dialog, const std::string& path);

// Saves what the screen shows of window as a 24-bit BMP file.
bool SaveWindowImage(HWND window, const std::string& bmpPath);
