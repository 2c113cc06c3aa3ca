// Kelmora.exe's dialog templates with nothing behind them: the main dialog,
// its tab strip with the three tabs, and the three pages, the first shown.
// bench-rtp-list times the program's start with no RTPs against this one's.
#include <windows.h>

#include <commctrl.h>

#include "../../app/res/resource.h"  // this program links none of the libraries

namespace {

INT_PTR CALLBACK BarePage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INT_PTR CALLBACK BareMain(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) return EndDialog(dialog, 0);
    if (message != WM_INITDIALOG) return FALSE;
    HWND tab = GetDlgItem(dialog, MainTabControlId);
    const wchar_t* titles[] = {L"インストーラ用iniファイル作成", L"RTP一覧(RPGXP)", L"RTP一覧(RPGVX)"};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(titles[i]);
        SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tab, dialog, reinterpret_cast<POINT*>(&area), 2);
    const int templates[] = {InstallerIniTemplate, RtpListPageTemplate, RtpListPageTemplate};
    for (int i = 0; i < 3; ++i) {
        HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templates[i]), dialog, BarePage, 0);
        SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (i == 0) ShowWindow(page, SW_SHOW);
    }
    ShowWindow(dialog, SW_SHOW);
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(MainDialogTemplate), GetDesktopWindow(), BareMain, 0);
    return 0;
}
