#pragma once
// The first tab (InstallerIniTemplate): edits section "Tavisk" of the companion
// installer's settings file, whose path is InstallerIniPath. The file changes
// only when the user saves (or when it does not exist yet, and is made with
// the defaults).
#include <windows.h>

#include <array>

#include "app/res/resource.h"
#include "pages/ComboBoxCtrl.h"
#include "settings/IniFile.h"

constexpr int InstallerIniEditCount = 5;
constexpr std::array<int, InstallerIniEditCount> InstallerIniEditIds = {
    RtpNameEditId, TitleEditId, CopyrightEditId, VersionEditId, BitmapEditId};
// The longest value in bytes of code page 932: the installer reads each into 260 bytes.
constexpr int InstallerIniValueLimit = 259;

// Key order: entries 0-4 belong to InstallerIniEdits, entry 5 to RtpTypeCombo.
inline constexpr std::array<const char*, InstallerIniEditCount + 1> InstallerIniKeys = {
    "RTPName", "Title", "Copyright", "Version", "Bitmap", "RTPType"};

// The page's controls, taken when it is created: RtpTypeCombo is the
// drop-down list of RTP kinds.
extern HWND InstallerIniPathEdit;
extern std::array<HWND, InstallerIniEditCount> InstallerIniEdits;
extern ComboBoxCtrl RtpTypeCombo;

// IDOK ("保存", or Enter passed on by the main dialog) saves and tells the
// user whether it worked; the edit boxes keep their text within the limit as
// it is typed, refusing what does not fit.
INT_PTR CALLBACK InstallerIniPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

void InitInstallerIniPage(HWND page);
// Shows the file's values (the defaults for missing keys) and writes nothing
// to an existing file; a file that does not exist yet is made with the
// defaults, whole or not at all. A file that is not a settings file (not
// text, held open by another program, too large, a path too long) shows
// empty boxes. A warning says why such a file shows nothing, or why a new
// one could not be made: at once when the user chose it, otherwise once the
// window shows. False for a file that is not a settings file.
bool LoadInstallerIni(bool chosen);
// Checks every value, then saves RTPType and the five edit boxes, all of
// them or none: they are written into a copy of the file, which is read
// back and only then takes the file's place, so a failed save leaves the
// file byte for byte. When another program changed the file since it was
// read or last written, asks first, and again when it changes once more
// before the copy takes its place; No writes nothing and keeps the boxes as
// the user left them. Tells the user why when nothing was saved, and that it
// was saved when announce is set. A box whose stored value is not shown, and
// that is still empty (no kind chosen), keeps that value. A value that needs
// quotes must fit the installer's 259 bytes with them.
bool SaveInstallerIni(bool announce);
// Why a file could not be read, made or saved, for the user.
const char* WriteFailureReason(IniFile::WriteCheck check);
// When a box or the kind differs from what was read or last saved, asks
// whether to save it: false when the user cancels, or the save fails.
bool OfferToSaveInstallerIni();
// Lets the user pick another file, after offering to save edits; a confirmed
// choice becomes InstallerIniPath and is loaded.
void BrowseInstallerIni();
