#include "app/MainDialog.h"

#include <commctrl.h>

#include <cstdio>

#include "app/ProcessState.h"
#include "pages/RtpListPage.h"
#include "settings/ExeDirectory.h"

// Each page adds its row here as it comes.
const TabPageSpec MainPages[] = {
    // Row 0, the installer settings page, goes here.
    {"RTP一覧(RPGXP)", RtpListPageTemplate, RtpListPageProcXp},
    {"RTP一覧(RPGVX)", RtpListPageTemplate, RtpListPageProcVx},
    {"", 0, nullptr},
};

void InitMainDialog(HWND dialog) {
    char defaultPath[InstallerIniPathSize];
    std::snprintf(defaultPath, sizeof defaultPath, "%s\\%s", GetExeDirectory(), "Tavisk.ini");
    // The pages read InstallerIniPath while they are created: bind it first.
    ToolSettings.BindText("Kelmora", "InstallIni", InstallerIniPath, InstallerIniPathSize, defaultPath);
    MainTabHost.Create(GetDlgItem(dialog, MainTabControlId), AppInstance, MainPages, 0);
    HANDLE icon = LoadImageW(AppInstance, MAKEINTRESOURCEW(MainIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ShowWindow(dialog, SW_SHOW);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OwnerWindow = dialog;
        InitMainDialog(dialog);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (wParam == MainTabControlId && header != nullptr && header->code == static_cast<UINT>(TCN_SELCHANGE))
            MainTabHost.ShowPage(MainTabHost.GetCurSel());
        return TRUE;
    }
    case WM_COMMAND:
        return TRUE;
    default:
        return FALSE;
    }
}
