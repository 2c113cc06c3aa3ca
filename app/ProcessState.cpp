#include "app/ProcessState.h"

HINSTANCE AppInstance = nullptr;
char InstallerIniPath[InstallerIniPathSize] = {};
char RememberedInstallerIni[InstallerIniPathSize] = {};
TabHost MainTabHost;
SettingsFile ToolSettings;
HWND OwnerWindow = GetDesktopWindow();
