#pragma once
// The program's process-wide state. Nothing here touches a file or the
// current directory while it is constructed or destroyed: "Kelmora.ini" is
// loaded and saved at the points WinMain and the main dialog name.
#include <windows.h>

#include "app/TabHost.h"
#include "settings/SettingsFile.h"

constexpr int InstallerIniPathSize = 512;

extern HINSTANCE AppInstance;
// The main dialog once it exists (the desktop window before): the owner of
// every message box and of the open-file dialog.
extern HWND OwnerWindow;
// The installer settings file that the first page edits, a full path where
// the stored one could be made full.
extern char InstallerIniPath[InstallerIniPathSize];
// Its text in "Kelmora.ini", bound there: relative to the program's folder
// where the file lies inside it.
extern char RememberedInstallerIni[InstallerIniPathSize];
// "Kelmora.ini" next to the executable, once it is loaded.
extern SettingsFile ToolSettings;
extern TabHost MainTabHost;
