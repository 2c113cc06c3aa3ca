#pragma once
// Finds the dialogs (#32770 windows: message boxes, the open-file dialog)
// that code under test raises on a thread of this process, and answers them
// from a second thread, so that a test never waits on a box forever.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a message box showed, read back as UTF-16 and held as code page 932.
struct SeenBox {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    std::vector<int> buttons;  // control ids: IDOK, IDCANCEL, IDYES, IDNO...
    int defaultButton = 0;
};

SeenBox ReadBox(HWND box);
HICON StockIcon(LPCWSTR id);  // LoadIconW(nullptr, id): what message boxes show

std::string WindowText(HWND window);

class DialogWatcher {
public:
    // handler runs on the watcher thread once for each new dialog of thread
    // threadId; it answers the dialog (or not) and returns.
    using Handler = std::function<void(HWND dialog)>;

    explicit DialogWatcher(Handler handler, DWORD threadId = GetCurrentThreadId());
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;
    ~DialogWatcher();

    // How many dialogs the handler has been given so far.
    int Count() const;

private:
    // The thread and its lock live in the source file: <thread> pulls in
    // texts that code page 932 cannot hold.
    struct State;
    std::unique_ptr<State> state;
};

// Answers every message box with button and records what it showed.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int button = IDOK, DWORD threadId = GetCurrentThreadId());
    std::vector<SeenBox> Seen() const;

private:
    struct Record;
    std::shared_ptr<Record> record;
    DialogWatcher watcher;
};

// A hidden top-level window to own the boxes under test.
class TestOwnerWindow {
public:
    TestOwnerWindow();
    TestOwnerWindow(const TestOwnerWindow&) = delete;
    TestOwnerWindow& operator=(const TestOwnerWindow&) = delete;
    ~TestOwnerWindow();
    HWND window;
};

// The open-file dialog's file name box: edt1 in Wine, cmb13 on Windows.
HWND FileNameBox(HWND dialog);
