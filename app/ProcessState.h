#pragma once
// The program's process-wide objects. They are all defined in one source
// file, so they are constructed in the order listed and destroyed in the
// reverse order: ToolSettings writes "Kelmora.ini" before MainTabHost goes.
#include <windows.h>

#include "app/TabHost.h"
#include "pages/ComboBoxCtrl.h"
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
// "Kelmora.ini" next to the executable.
extern SettingsFile ToolSettings;
extern TabHost MainTabHost;
// The installer settings page's drop-down list of RTP kinds, attached when
// the page is created.
extern ComboBoxCtrl RtpTypeCombo;
