#include "app/MainDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/ProcessState.h"
#include "app/ProgressWindow.h"
#include "app/Warning.h"
#include "pages/InstallerIniPage.h"
#include "pages/RtpListPage.h"
#include "settings/ExeDirectory.h"
#include "settings/IniFile.h"

// The pages in tab order; the first is shown at start.
const TabPageSpec MainPages[] = {
    {"インストーラ用iniファイル作成", InstallerIniTemplate, InstallerIniPageProc},
    {"RTP一覧(RPGXP)", RtpListPageTemplate, RtpListPageProcXp},
    {"RTP一覧(RPGVX)", RtpListPageTemplate, RtpListPageProcVx},
    {"", 0, nullptr},
};

namespace {

HHOOK TabKeysHook = nullptr;
// InstallerIniPath as the program started with it.
std::string StartInstallerIniPath;

// A key that stands for a command of the shown page goes to that page,
// wherever the focus is in the window; the dialog manager never sees it.
bool PassKeyToPage(const MSG& message) {
    HWND page = MainTabHost.GetPage(MainTabHost.GetCurSel());
    if (page == nullptr || !IsChild(GetParent(page), message.hwnd)) return false;
    const int command = RtpListKeyCommand(page, message);
    // Posted: a box the command opens does not run inside this hook.
    if (command != 0) PostMessageW(page, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return command != 0;
}

// Every key pressed comes here first, as the thread takes it from its input
// and before the dialog manager sees it: Ctrl+Tab and Ctrl+Shift+Tab switch
// tabs wherever the focus is in the window. Only keys come here: a hook on
// the dialog's loop would be called for every message, paints included.
LRESULT CALLBACK TabKeysProc(int code, WPARAM wParam, LPARAM lParam) {
    // Taken from the queue (not only looked at), pressed (not released), without Alt.
    const WORD flags = HIWORD(lParam);
    if (code == HC_ACTION && (flags & (KF_UP | KF_ALTDOWN)) == 0) {
        // A key goes to the window with the focus.
        const MSG message{GetFocus(), WM_KEYDOWN, wParam, lParam, 0, {}};
        if (MainTabHost.SwitchByKey(message) || PassKeyToPage(message)) return 1;
    }
    return CallNextHookEx(TabKeysHook, code, wParam, lParam);
}

// Every tab title shows on the strip's one row, in whatever font and scaling
// the system gives the dialog: the window grows as much as the strip lacks,
// and stays centred where it was placed.
void FitTabTitles(HWND dialog) {
    const int missing = MainTabHost.MissingWidth();
    if (missing <= 0) return;
    RECT rect{}, work{};
    GetWindowRect(dialog, &rect);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG left = rect.left - missing / 2 < work.left ? rect.left : rect.left - missing / 2;
    SetWindowPos(dialog, nullptr, left, rect.top, rect.right - rect.left + missing,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    MainTabHost.Widen(missing);
}

// The caption and the task switcher show the icon image made for the
// scaling's size, not one stretched from 16 pixels. LoadImageW without
// LR_SHARED makes the icon the program's own: the one it replaces is
// destroyed, and a width of 0 only takes the icon off, as the dialog goes.
void SetIcon(HWND dialog, WPARAM which, int width, int height) {
    HANDLE icon = width > 0 ? LoadImageW(AppInstance, MAKEINTRESOURCEW(MainIconId), IMAGE_ICON, width, height, LR_DEFAULTCOLOR) : nullptr;
    if (LRESULT old = SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)); old != 0)
        DestroyIcon(reinterpret_cast<HICON>(old));
}

// The stored path made full: relative to the program's folder, wherever that
// has been moved to. An empty one means "Tavisk.ini" beside the program, as
// a missing one does; it stays empty in "Kelmora.ini" until another file is
// chosen.
void ResolveInstallerIniPath() {
    IniFile file;
    file.SetPath(RememberedInstallerIni[0] != 0 ? RememberedInstallerIni : "Tavisk.ini", false);
    const std::string& full = file.GetPath();
    if (full.size() < InstallerIniPathSize)
        std::memcpy(InstallerIniPath, full.c_str(), full.size() + 1);
    else
        std::strcpy(InstallerIniPath, RememberedInstallerIni);
    StartInstallerIniPath = InstallerIniPath;
}

// Another path chosen is remembered, relative to the program's folder where
// it lies inside it; an unchanged one leaves "Kelmora.ini" as it is (see
// SettingsFile), so that another instance's choice stays.
void RememberInstallerIniPath() {
    if (StartInstallerIniPath == InstallerIniPath) return;
    const std::string text = RelativeToExeDirectory(InstallerIniPath);
    std::memcpy(RememberedInstallerIni, text.c_str(), std::min(text.size() + 1, sizeof RememberedInstallerIni));
    RememberedInstallerIni[InstallerIniPathSize - 1] = 0;
}

// A new choice is written to "Kelmora.ini" at the close, and read back: when
// it was not kept (a read-only file or folder), the user is told why, once.
void KeepInstallerIniPath() {
    ToolSettings.Flush();
    std::string stored;
    const IniFile& file = ToolSettings.File();
    if (file.Find("Kelmora", "InstallIni", stored) == IniFile::Lookup::Found && stored == RememberedInstallerIni) return;
    const IniFile::WriteCheck check = file.Check("Kelmora", "InstallIni", RememberedInstallerIni);
    const char* reason = check == IniFile::WriteCheck::Ok ? "書き込めませんでした" : WriteFailureReason(check);
    ShowWarningF(OwnerWindow, "選んだファイルを「Kelmora.ini」に記録できませんでした\n%s", reason);
}

}  // namespace

void LoadToolSettings() {
    ToolSettings.SetPath("Kelmora.ini", false);
    ToolSettings.BindText("Kelmora", "InstallIni", RememberedInstallerIni, InstallerIniPathSize, "Tavisk.ini");
    ResolveInstallerIniPath();
}

void SaveToolSettings() {
    RememberInstallerIniPath();
    ToolSettings.Flush();
}

void InitMainDialog(HWND dialog) {
    // The strip is fitted to its titles before the pages are laid over it,
    // which then are laid once.
    MainTabHost.AddTabs(GetDlgItem(dialog, MainTabControlId), MainPages);
    FitTabTitles(dialog);
    MainTabHost.CreatePages(AppInstance, MainPages, 0);
    if (TabKeysHook == nullptr)
        TabKeysHook = SetWindowsHookExW(WH_KEYBOARD, TabKeysProc, nullptr, GetCurrentThreadId());
    SetIcon(dialog, ICON_SMALL, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SetIcon(dialog, ICON_BIG, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    ShowWindow(dialog, SW_SHOW);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OwnerWindow = dialog;
        InitMainDialog(dialog);
        // The keyboard starts on the tab strip, where Enter presses nothing
        // and the arrow keys choose a tab.
        SetFocus(GetDlgItem(dialog, MainTabControlId));
        return FALSE;
    case WM_CLOSE:
        // A removal under way is never cut off: the window closes once it ends.
        if (ProgressWindow::Running()) {
            ProgressWindow::CloseOwnerAfterwards();
            return TRUE;
        }
        // Edits not yet saved are offered for saving first; Cancel keeps the window.
        if (!OfferToSaveInstallerIni()) return TRUE;
        RememberInstallerIniPath();
        if (StartInstallerIniPath != InstallerIniPath) KeepInstallerIniPath();
        EndDialog(dialog, 0);
        return TRUE;
    // Nor by the end of the session: the system is told the program is busy,
    // and names the progress window.
    case WM_QUERYENDSESSION:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, ProgressWindow::Running() ? FALSE : TRUE);
        return TRUE;
    // Windows ends the process after the session ends, before WinMain could
    // save "Kelmora.ini": it is saved now, as after a close. Nothing asks and
    // nothing holds the session up: "Tavisk.ini" stays as it is.
    case WM_ENDSESSION:
        if (wParam != FALSE) SaveToolSettings();
        return TRUE;
    case WM_DESTROY:
        if (TabKeysHook != nullptr) UnhookWindowsHookEx(TabKeysHook);
        TabKeysHook = nullptr;
        SetIcon(dialog, ICON_SMALL, 0, 0);
        SetIcon(dialog, ICON_BIG, 0, 0);
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (wParam == MainTabControlId && header != nullptr && header->code == static_cast<UINT>(TCN_SELCHANGE))
            MainTabHost.ShowPage(MainTabHost.GetCurSel());
        return TRUE;
    }
    case WM_COMMAND: {
        // Enter on a page's button, or on a page with a default button, comes
        // here from the dialog manager: the page that holds the button gets
        // it. Esc and Enter never end this dialog.
        // Only while the keyboard is in that page: Enter on the strip
        // presses nothing.
        HWND from = reinterpret_cast<HWND>(lParam);
        HWND page = from != nullptr && IsChild(dialog, from) ? GetParent(from) : nullptr;
        HWND focus = GetFocus();
        if (page != nullptr && page != dialog && (focus == page || IsChild(page, focus)))
            SendMessageW(page, WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
