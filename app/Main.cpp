// Kelmora.exe: the entry point. "Kelmora.ini" is loaded before the main
// dialog and saved after it.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/DialogFont.h"
#include "app/MainDialog.h"
#include "app/ProcessState.h"
#include "fsutil/WinText.h"
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
    // A face that draws Japanese, before the first window is laid out.
    std::wstring titles;
    for (const TabPageSpec* row = MainPages; row->title[0] != 0; ++row) titles += DisplayText(row->title) + L'\n';
    ChooseDialogFace(AppInstance, titles);
    LoadToolSettings();
    // A dialog that could not be made changed nothing: nothing is saved.
    if (DialogBoxIndirectParamW(AppInstance, DialogTemplate(AppInstance, MainDialogTemplate), GetDesktopWindow(),
                                MainDialogProc, 0) != -1)
        SaveToolSettings();
    return 0;
}
