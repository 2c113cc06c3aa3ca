// Kelmora.exe: the entry point. "Kelmora.ini" is loaded before the main
// dialog and saved after it.
#include <windows.h>

#include <commctrl.h>

#include "app/MainDialog.h"
#include "app/ProcessState.h"
#include "settings/ExeDirectory.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    // The program's folder is the current directory from the start.
    EnterExeDirectory();
    // The dialog templates use the tab and list view controls.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    LoadToolSettings();
    // A dialog that could not be made changed nothing: nothing is saved.
    if (DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(MainDialogTemplate), GetDesktopWindow(), MainDialogProc, 0) != -1)
        SaveToolSettings();
    return 0;
}
