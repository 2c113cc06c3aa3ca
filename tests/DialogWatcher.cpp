#include "DialogWatcher.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "fsutil/WinText.h"

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM data) {
    auto* box = reinterpret_cast<SeenBox*>(data);
    const std::wstring name = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(name.c_str(), L"Button") == 0 && (style & WS_VISIBLE) != 0) {
        const int id = GetDlgCtrlID(child);
        box->buttons.push_back(id);
        if ((style & 0x0F) == BS_DEFPUSHBUTTON) box->defaultButton = id;
    } else if (_wcsicmp(name.c_str(), L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON)
            box->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        else if (box->text.empty())
            box->text = WindowText(child);
    }
    return TRUE;
}

// Window enumeration callbacks must be stdcall in the x86 build: no lambdas.
BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770")
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
    const int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = static_cast<int>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    std::string narrow;
    if (!ToNarrow(text, narrow)) return "<not code page 932>";
    return narrow;
}

HICON StockIcon(LPCWSTR id) { return LoadIconW(nullptr, id); }

SeenBox ReadBox(HWND box) {
    SeenBox seen;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.caption = WindowText(box);
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&seen));
    std::sort(seen.buttons.begin(), seen.buttons.end());
    return seen;
}

TestOwnerWindow::TestOwnerWindow()
    : window(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                             nullptr)) {}

TestOwnerWindow::~TestOwnerWindow() { DestroyWindow(window); }

HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, 0x480);  // edt1
    if (box == nullptr) box = GetDlgItem(dialog, 0x47C);  // cmb13
    return box;
}

struct DialogWatcher::State {
    Handler handler;
    DWORD threadId;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::mutex lock;
    std::vector<HWND> handled;
    int count = 0;
    std::thread worker;

    void Run() {
        while (WaitForSingleObject(stop, 20) == WAIT_TIMEOUT) {
            std::vector<HWND> dialogs;
            EnumThreadWindows(threadId, CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
            {
                // A handle seen before may be reused by a later dialog once
                // the first is gone.
                std::lock_guard<std::mutex> guard(lock);
                handled.erase(std::remove_if(handled.begin(), handled.end(), [](HWND w) { return !IsWindow(w); }),
                              handled.end());
            }
            for (HWND dialog : dialogs) {
                {
                    std::lock_guard<std::mutex> guard(lock);
                    if (std::find(handled.begin(), handled.end(), dialog) != handled.end()) continue;
                    handled.push_back(dialog);
                    ++count;
                }
                handler(dialog);
            }
        }
    }
};

DialogWatcher::DialogWatcher(Handler handler, DWORD threadId) : state(std::make_unique<State>()) {
    state->handler = std::move(handler);
    state->threadId = threadId;
    state->worker = std::thread([this] { state->Run(); });
}

DialogWatcher::~DialogWatcher() {
    SetEvent(state->stop);
    state->worker.join();
    CloseHandle(state->stop);
}

int DialogWatcher::Count() const {
    std::lock_guard<std::mutex> guard(state->lock);
    return state->count;
}

struct BoxAnswerer::Record {
    std::mutex lock;
    std::vector<SeenBox> seen;
};

BoxAnswerer::BoxAnswerer(int button, DWORD threadId)
    : record(std::make_shared<Record>()),
      watcher(
          [record = record, button](HWND box) {
              SeenBox seen = ReadBox(box);
              {
                  std::lock_guard<std::mutex> guard(record->lock);
                  record->seen.push_back(seen);
              }
              PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
          },
          threadId) {}

std::vector<SeenBox> BoxAnswerer::Seen() const {
    std::lock_guard<std::mutex> guard(record->lock);
    return record->seen;
}
