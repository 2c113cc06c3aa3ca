#pragma once
// The first tab (template 103): edits section "Tavisk" of the companion
// installer's settings file, whose path is InstallerIniPath. Every load writes
// the six values straight back, so a missing file is created with the
// defaults and a file with missing keys or an unknown RTP kind is completed.
#include <windows.h>

#include <array>

constexpr int InstallerIniTemplate = 103;
constexpr int InstallerIniPathEditId = 1003;
constexpr int InstallerIniBrowseId = 1002;
constexpr int RtpTypeComboId = 1010;
constexpr int InstallerIniEditCount = 5;
constexpr std::array<int, InstallerIniEditCount> InstallerIniEditIds = {1004, 1006, 1007, 1008, 1009};
// The longest value in bytes of code page 932: the installer reads each into 260 bytes.
constexpr int InstallerIniValueLimit = 259;

// Key order: entries 0-4 belong to InstallerIniEdits, entry 5 to RtpTypeCombo.
inline constexpr std::array<const char*, InstallerIniEditCount + 1> InstallerIniKeys = {
    "RTPName", "Title", "Copyright", "Version", "Bitmap", "RTPType"};

// The page's controls, taken when it is created. RtpTypeCombo, the drop-down
// list, lives with the program's other process-wide objects (app/ProcessState.h).
extern HWND InstallerIniPathEdit;
extern std::array<HWND, InstallerIniEditCount> InstallerIniEdits;

// IDOK ("保存", or Enter passed on by the main dialog) saves and tells the
// user whether it worked; the edit boxes keep their text within the limit as
// it is typed, refusing what does not fit.
INT_PTR CALLBACK InstallerIniPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

void InitInstallerIniPage(HWND page);
// Shows the file's values (or the defaults) and writes them back at once,
// silently. A file that is not a settings file (not text, held open by
// another program, a path too long) shows empty boxes and is not written;
// when the user chose it, a warning says so. False for such a file.
bool LoadInstallerIni(bool chosen);
// Checks every value, then writes RTPType and the five edit boxes. A value
// that cannot be stored exactly (not code page 932, a line break) writes
// nothing and names its key in refused; a file that cannot be written, or a
// write that fails midway, returns false with refused untouched. A box whose
// stored value could not be read, and that is still empty, keeps that value.
bool SaveInstallerIni(const char** refused);
// Lets the user pick another file; a confirmed choice becomes InstallerIniPath
// and is loaded. Unsaved edits are dropped.
void BrowseInstallerIni();
