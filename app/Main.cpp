// Kelmora.exe: the entry point.
#include <windows.h>

#include <commctrl.h>

#include "app/MainDialog.h"
#include "app/ProcessState.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    // The dialog templates use the tab and list view controls.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(MainDialogTemplate), GetDesktopWindow(), MainDialogProc, 0);
    return 0;
}
