#include "app/ProgressWindow.h"

#include <commctrl.h>

#include "app/DialogFont.h"
#include "fsutil/WinText.h"

namespace {

ProgressWindow* Current = nullptr;
bool CloseRequested = false;

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        // The button, Esc, Enter and the caption's close button all stop the work.
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
            SetWindowLongPtrW(window, GWLP_USERDATA, 1);
        return TRUE;
    case WM_CLOSE:
        SetWindowLongPtrW(window, GWLP_USERDATA, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

ProgressWindow::ProgressWindow(HWND ownerWindow, const char* captionText, const char* buttonText)
    : owner(ownerWindow), ownerWasEnabled(IsWindowEnabled(ownerWindow) != FALSE), started(GetTickCount64()),
      caption(captionText), button(buttonText) {
    Current = this;
    // Nothing else in the window can be used until the work ends.
    if (owner != nullptr) EnableWindow(owner, FALSE);
}

ProgressWindow::~ProgressWindow() {
    // The owner first, so that the focus goes back to it and not to another program.
    if (owner != nullptr && ownerWasEnabled) EnableWindow(owner, TRUE);
    if (window != nullptr) DestroyWindow(window);
    Current = nullptr;
    if (CloseRequested && owner != nullptr) PostMessageW(owner, WM_CLOSE, 0, 0);
    CloseRequested = false;
}

bool ProgressWindow::EndsSoon(ULONGLONG now, std::uint64_t done, std::uint64_t total) {
    if (total != stepTotal) {  // a new step: its pace is not known yet
        stepTotal = total;
        stepStarted = now;
        stepDone = done;
    }
    // Work of unknown length, or that has taken long enough, shows.
    if (total == 0 || now - started >= 2 * ProgressShowAfterMs) return false;
    if (done <= stepDone || done >= total) return true;
    // At its pace so far, the rest of the step.
    const double perEntry = static_cast<double>(now - stepStarted) / static_cast<double>(done - stepDone);
    return perEntry * static_cast<double>(total - done) < ProgressShowAfterMs;
}

bool ProgressWindow::Running() { return Current != nullptr; }

void ProgressWindow::CloseOwnerAfterwards() { CloseRequested = true; }

bool ProgressWindow::CloseAsked() { return CloseRequested; }

bool ProgressWindow::Update(const std::string& text, std::uint64_t done, std::uint64_t total) {
    const ULONGLONG now = GetTickCount64();
    if (now - lastPump < ProgressPumpEveryMs) return !stopped;
    lastPump = now;
    if (window == nullptr && now - started >= ProgressShowAfterMs && !EndsSoon(now, done, total)) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        window = CreateDialogIndirectParamW(instance, DialogTemplate(instance, ProgressTemplate), owner, ProgressProc, 0);
        if (window != nullptr) {
            SetWindowTextW(window, DisplayText(caption).c_str());
            SetDlgItemTextW(window, IDCANCEL, DisplayText(button).c_str());
            SendDlgItemMessageW(window, ProgressBarId, PBM_SETRANGE32, 0, 1000);
            ShowWindow(window, SW_SHOW);
        }
    }
    if (window != nullptr) {
        SetDlgItemTextW(window, ProgressTextId, DisplayText(text).c_str());
        // While the total is unknown, a bar that moves on its own: the work goes on.
        HWND bar = GetDlgItem(window, ProgressBarId);
        const LONG style = GetWindowLongW(bar, GWL_STYLE);
        if (((style & PBS_MARQUEE) != 0) != (total == 0)) {
            SetWindowLongW(bar, GWL_STYLE, total == 0 ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
            SendMessageW(bar, PBM_SETMARQUEE, total == 0, 0);
        }
        if (total > 0) SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done * 1000 / total), 0);
    }
    // The messages waiting, the system's included: the windows repaint and
    // nothing shows as not answering. A quit is kept for the loop that owns it.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (window != nullptr && IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (window != nullptr && GetWindowLongPtrW(window, GWLP_USERDATA) != 0) stopped = true;
    return !stopped;
}
