#pragma once
// The first tab (template 103): edits section "Tavisk" of the companion
// installer's settings file, whose path is InstallerIniPath. The file changes
// only when the user saves (or when it does not exist yet, and is made with
// the defaults).
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
// Shows the file's values (the defaults for missing keys) and writes nothing
// to an existing file; a file that does not exist yet is made with the
// defaults. A file that is not a settings file (not text, held open by
// another program, a path too long) shows empty boxes; when the user chose
// it, a warning says so. False for such a file.
bool LoadInstallerIni(bool chosen);
// Checks every value, then writes RTPType and the five edit boxes, all of
// them or, as far as the file can be put back, none. When another program
// changed the file since it was read or last written, asks first; No reads
// it again into the boxes. Tells the user why when nothing was saved, and
// that it was saved when announce is set. A box whose stored value is not
// shown, and that is still empty (no kind chosen), keeps that value.
bool SaveInstallerIni(bool announce);
// When a box or the kind differs from what was read or last saved, asks
// whether to save it: false when the user cancels, or the save fails.
bool OfferToSaveInstallerIni();
// Lets the user pick another file, after offering to save edits; a confirmed
// choice becomes InstallerIniPath and is loaded.
void BrowseInstallerIni();
