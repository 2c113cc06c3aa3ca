#include "pages/InstallerIniPage.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/ChooseOpenFile.h"
#include "app/ProcessState.h"
#include "app/Warning.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "rtp/RtpKinds.h"
#include "settings/IniFile.h"

HWND InstallerIniPathEdit = nullptr;
std::array<HWND, InstallerIniEditCount> InstallerIniEdits = {};

namespace {

constexpr char Section[] = "Tavisk";
constexpr std::size_t RtpTypeKey = InstallerIniEditCount;  // the last entry of InstallerIniKeys
// What a missing key shows and is written as; a missing RTPType reads as
// empty, which selects the first kind.
constexpr std::array<const char*, InstallerIniKeys.size()> Defaults = {
    "Test", "Test Quorlen", "Copyright(c) 2009,", "Ver0.01", "", ""};
constexpr int ValueSize = InstallerIniValueLimit + 1;
// The boxes, and the kind list last, whose stored value could not be read
// exactly (a character code page 932 cannot hold, a file whose encoding
// cannot carry it, a file held open by another program): they show nothing,
// and the file keeps the value until the user types another or chooses a
// kind (the list shows none until then). Once saved, a control is an
// ordinary one again.
std::array<bool, InstallerIniKeys.size()> Unreadable = {};
// One filter pair: the bare name lists only files of that name.
constexpr char Filter[] = "Quorlen用 設定ファイル(Tavisk.ini)\0Tavisk.ini\0";

void SetText(HWND window, const char* text) { SetWindowTextW(window, DisplayText(text).c_str()); }

// The box is narrower than most paths: it shows their end, the file's name,
// and holds the whole path for Home, the mouse and copying.
void ShowInstallerIniPath() {
    SetText(InstallerIniPathEdit, InstallerIniPath);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(InstallerIniPathEdit));
    SendMessageW(InstallerIniPathEdit, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(InstallerIniPathEdit, EM_SCROLLCARET, 0, 0);
}

std::wstring WideText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// An edit box limits UTF-16 units, the file bytes: 259 Japanese characters
// would be 518 bytes. Drops what was just typed or pasted (the characters
// before the caret) until the text fits in code page 932 bytes, never half a
// character. Text that code page 932 cannot hold is left for the save to refuse.
void FitValue(HWND edit) {
    const std::wstring text = WideText(edit);
    DWORD caret = 0;
    SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::size_t split = std::min<std::size_t>(caret, text.size());
    std::string head, tail;
    if (!ToNarrow(text.substr(0, split), head) || !ToNarrow(text.substr(split), tail)) return;
    constexpr std::size_t limit = InstallerIniValueLimit;
    if (head.size() + tail.size() <= limit) return;
    if (tail.size() >= limit) {
        head.clear();
        tail.resize(CharacterPrefix(tail.c_str(), limit));
    } else {
        head.resize(CharacterPrefix(head.c_str(), limit - tail.size()));
    }
    const std::wstring wideHead = WideOrEmpty(head);
    SetWindowTextW(edit, (wideHead + WideOrEmpty(tail)).c_str());
    SendMessageW(edit, EM_SETSEL, wideHead.size(), static_cast<LPARAM>(wideHead.size()));
}

void OnCommand(int id, int code, HWND control) {
    if (id == IDOK) {
        const char* refused = nullptr;
        if (SaveInstallerIni(&refused))
            ShowMessage(OwnerWindow, "設定を保存しました", "お知らせ", MB_ICONINFORMATION);
        else if (refused != nullptr)
            ShowWarningF(OwnerWindow, "%s を保存できませんでした\n設定ファイルは変更していません", refused);
        else
            ShowWarning(OwnerWindow, "設定を保存できませんでした");
    } else if (id == InstallerIniBrowseId) {
        BrowseInstallerIni();
    } else if (code == EN_CHANGE &&
               std::find(InstallerIniEdits.begin(), InstallerIniEdits.end(), control) != InstallerIniEdits.end()) {
        FitValue(control);
    }
}

}  // namespace

INT_PTR CALLBACK InstallerIniPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitInstallerIniPage(page);
        return TRUE;
    case WM_COMMAND:
        // IDOK also comes from Enter in an edit box, passed on by the main dialog.
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void InitInstallerIniPage(HWND page) {
    InstallerIniPathEdit = GetDlgItem(page, InstallerIniPathEditId);
    for (std::size_t i = 0; i < InstallerIniEdits.size(); ++i)
        InstallerIniEdits[i] = GetDlgItem(page, InstallerIniEditIds[i]);
    RtpTypeCombo.Attach(GetDlgItem(page, RtpTypeComboId));
    for (const RtpKind& kind : RtpKinds) RtpTypeCombo.AddString(kind.label, -1);
    RtpTypeCombo.SetCurSel(0, false);
    ShowInstallerIniPath();
    for (HWND edit : InstallerIniEdits) SendMessageW(edit, EM_LIMITTEXT, InstallerIniValueLimit, 0);
    LoadInstallerIni(false);
}

bool LoadInstallerIni(bool chosen) {
    IniFile file;
    file.SetPath(InstallerIniPath, false);
    const bool settingsFile = file.IsSettingsFile();
    for (std::size_t i = 0; i < InstallerIniKeys.size(); ++i) {
        std::string value;
        const bool read = settingsFile && file.Read(Section, InstallerIniKeys[i], value, Defaults[i]);
        value.resize(CharacterPrefix(value.c_str(), InstallerIniValueLimit));
        Unreadable[i] = !read;
        if (i != RtpTypeKey)
            SetText(InstallerIniEdits[i], value.c_str());
        else if (read)
            RtpTypeCombo.SelectByText(value.c_str(), true);
        else
            RtpTypeCombo.SetCurSel(-1, false);  // no kind shown rather than one the file does not hold
    }
    // Anything but a settings file is left exactly as it is.
    if (!settingsFile) {
        if (chosen) ShowWarning(OwnerWindow, "設定ファイルとして読めないファイルです");
        return false;
    }
    // Creates, completes and normalises the file; a failure here is not the user's doing.
    SaveInstallerIni(nullptr);
    return true;
}

bool SaveInstallerIni(const char** refused) {
    IniFile file;
    file.SetPath(InstallerIniPath, false);
    if (!file.IsSettingsFile()) return false;
    std::array<std::string, InstallerIniKeys.size()> values;
    std::array<bool, InstallerIniKeys.size()> kept = {};
    // Every value is checked before any is written: all of them or none.
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool held = true;
        if (i == RtpTypeKey) {
            char type[ValueSize] = {};
            RtpTypeCombo.GetSelectedText(type, ValueSize);
            values[i] = type;
        } else {
            // A character that code page 932 cannot hold is refused, not written as a look-alike.
            held = ToNarrow(WideText(InstallerIniEdits[i]), values[i]);
        }
        kept[i] = held && values[i].empty() && Unreadable[i];
        if (kept[i]) continue;
        const IniFile::WriteCheck check =
            held ? file.Check(Section, InstallerIniKeys[i], values[i]) : IniFile::WriteCheck::BadValue;
        if (check == IniFile::WriteCheck::Ok) continue;
        if (refused != nullptr && check == IniFile::WriteCheck::BadValue) *refused = InstallerIniKeys[i];
        return false;
    }
    bool saved = true;
    // RTPType first, where a new file has always had it.
    for (const std::size_t i : {RtpTypeKey, std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}}) {
        if (kept[i]) continue;
        if (file.Write(Section, InstallerIniKeys[i], values[i]))
            Unreadable[i] = false;
        else
            saved = false;
    }
    return saved;
}

void BrowseInstallerIni() {
    char file[InstallerIniPathSize] = {};
    const std::string folder = GetDirectoryPart(InstallerIniPath);
    if (!ChooseOpenFile(OwnerWindow, file, sizeof file, Filter, folder.c_str(), nullptr, 1)) return;
    std::memcpy(InstallerIniPath, file, sizeof file);
    ShowInstallerIniPath();
    LoadInstallerIni(true);
}
