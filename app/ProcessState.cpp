#include "app/ProcessState.h"

#include "settings/ExeDirectory.h"

// Order matters here: see the header.
HINSTANCE AppInstance = nullptr;
char InstallerIniPath[InstallerIniPathSize] = {};
char RememberedInstallerIni[InstallerIniPathSize] = {};
TabHost MainTabHost;
SettingsFile ToolSettings("Kelmora.ini", false);
ComboBoxCtrl RtpTypeCombo;
HWND OwnerWindow = GetDesktopWindow();

namespace {
// Resolving "Kelmora.ini" made the executable's folder current already; say
// so once more after everything else, whatever ran in between.
const bool EnteredExeDirectory = EnterExeDirectory();
}  // namespace
