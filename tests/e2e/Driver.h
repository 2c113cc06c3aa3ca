#pragma once
// Drives the shipped Kelmora.exe from outside, as a person would: starts it
// as its own process, finds its windows, reads and sets control texts,
// clicks, types real keys, and closes or kills it. Every wait has a timeout.
#include <windows.h>

#include <string>
#include <vector>

#include "Boxes.h"
#include "app/res/resource.h"

// Where the build put Kelmora.exe (the KELMORA_EXE environment variable).
std::string BuiltExePath();

void SetControlText(HWND control, const std::string& text);
void ClickButton(HWND button);  // posted: a box it opens does not block the driver
// The window with the keyboard focus in window's thread, or null.
HWND FocusOf(HWND window);

class AppDriver {
public:
    AppDriver() = default;
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;
    ~AppDriver();  // kills the process if it still runs, ends a hosted page

    // Copies the built exe into folder and starts it from there; true once
    // its main dialog shows.
    bool Start(const std::string& folder);
    // Starts a program where it lies; true once its main dialog shows.
    bool StartProgram(const std::string& exe);
    // Starts it and returns at once.
    bool Launch(const std::string& exe);
    // Hosts one page of the program (a dialog template of this test program
    // and its procedure) in this process, on a thread of its own with its own
    // message loop, as the main dialog hosts it; dialog is then its parent.
    // True once it shows. Close ends the thread.
    bool Host(int templateId, DLGPROC proc);
    // Closes the main dialog as its close button does; true once ended.
    bool Close();
    bool WaitExit(int timeoutMs = 15000);
    // A box or the open-file dialog: a dialog other than the main one.
    HWND WaitBox(int timeoutMs = 10000) const { return ::WaitBox(processId, dialog, timeoutMs); }
    // Waits for the next box and answers it as AnswerBox does; its
    // "caption: text", or "<no box>".
    std::string Answer(int button, const std::string& fileName = "") const;

    // The tab strip. Tab texts and places need memory in the target.
    HWND Tab() const { return GetDlgItem(dialog, MainTabControlId); }
    int TabSelection() const;
    // Shows tab index with Ctrl+Tab, one key at a time (the strip scrolls
    // when its tabs are wider than it: a click may not reach every tab).
    bool ShowTab(int index) const;
    RECT DisplayArea() const;        // below the headers, in screen coordinates
    // The pages (child dialogs of the main dialog), the shown one, and the
    // page holding control id.
    std::vector<HWND> Pages() const;
    HWND ShownPage() const;
    HWND PageWith(int id) const;

    // "name | folder" for each row of a list of the program.
    std::vector<std::string> Rows(HWND list) const;
    // Selects row as a click does (selected and focused), or double-clicks
    // its label with the mouse.
    bool SelectRow(HWND list, int row) const;
    bool DoubleClickRow(HWND list, int row) const;

    // Sends message with data copied into the target and back.
    LRESULT SendRemote(HWND window, UINT message, WPARAM wParam, void* data, std::size_t size,
                       std::size_t textOffset = 0, std::wstring* text = nullptr) const;

    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND dialog = nullptr;  // the main dialog
    DWORD threadId = 0;     // the thread of a hosted page
};
