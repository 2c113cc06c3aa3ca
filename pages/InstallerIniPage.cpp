#include "pages/InstallerIniPage.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/ChooseOpenFile.h"
#include "app/ProcessState.h"
#include "app/Warning.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "rtp/RtpKinds.h"
#include "settings/IniFile.h"

HWND InstallerIniPathEdit = nullptr;
std::array<HWND, InstallerIniEditCount> InstallerIniEdits = {};
ComboBoxCtrl RtpTypeCombo;

namespace {

constexpr char Section[] = "Tavisk";
constexpr std::size_t RtpTypeKey = InstallerIniEditCount;  // the last entry of InstallerIniKeys
constexpr std::size_t KeyCount = InstallerIniKeys.size();
// What a missing key shows and is written as.
constexpr std::array<const char*, KeyCount> Defaults = {"Test", "Test Quorlen", "Copyright(c) 2009,", "Ver0.01", "",
                                                        "RPGXP"};
// The boxes, and the kind list last, that do not show the stored value: one
// that could not be read exactly (a character code page 932 cannot hold, a
// file whose encoding cannot carry it, a file held open by another program),
// or a kind the list does not hold. They show nothing, and the file keeps the
// value until the user types another or chooses a kind. Once saved, a
// control is an ordinary one again.
std::array<bool, KeyCount> NotShown = {};
// The file as it was read or last written, to tell another program's changes.
IniFile::Content Loaded;
// What the boxes and the kind list showed when the file was read or last saved.
std::array<std::wstring, InstallerIniEditCount> ShownTexts;
int ShownKind = CB_ERR;
constexpr int ValueSize = InstallerIniValueLimit + 1;
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

void RememberShown() {
    for (std::size_t i = 0; i < ShownTexts.size(); ++i) ShownTexts[i] = WideText(InstallerIniEdits[i]);
    ShownKind = RtpTypeCombo.GetCurSel();
}

bool Edited() {
    for (std::size_t i = 0; i < ShownTexts.size(); ++i)
        if (WideText(InstallerIniEdits[i]) != ShownTexts[i]) return true;
    return RtpTypeCombo.GetCurSel() != ShownKind;
}

// The file's values into the boxes (defaults for missing keys); false, with
// every box empty, when it is not a settings file.
bool ShowFile(const IniFile& file) {
    // The content is taken before the values are read: a change made while
    // they are read is found at the save.
    std::array<IniFile::Found, KeyCount> found;
    bool settingsFile = false;
    Loaded = file.FindAll(Section, InstallerIniKeys, found, settingsFile);
    for (std::size_t i = 0; i < KeyCount; ++i) {
        std::string& value = found[i].value;
        const IniFile::Lookup lookup = settingsFile ? found[i].lookup : IniFile::Lookup::Failed;
        if (lookup == IniFile::Lookup::Missing) value = Defaults[i];
        value.resize(CharacterPrefix(value.c_str(), InstallerIniValueLimit));
        NotShown[i] = lookup == IniFile::Lookup::Failed;
        if (i != RtpTypeKey) {
            SetText(InstallerIniEdits[i], value.c_str());
        } else if (NotShown[i] || !RtpTypeCombo.SelectByText(value.c_str(), false)) {
            // No kind shown rather than one the file does not hold.
            NotShown[i] = true;
            RtpTypeCombo.SetCurSel(-1, false);
        }
    }
    RememberShown();
    return settingsFile;
}

const char* Reason(IniFile::WriteCheck check) { return WriteFailureReason(check); }

// A reason found while the page is made, told once the window shows.
std::string StartWarning;
// Told by a timer, not a posted message: the window is shown and painted
// first, and whoever makes the page and empties its queue is not held by the box.
constexpr UINT_PTR StartWarningTimer = 37;
constexpr UINT StartWarningDelayMs = 200;

// Tells the user now, or once the window shows when the page is being made.
void Tell(bool now, const std::string& text) {
    if (now)
        ShowWarning(OwnerWindow, text.c_str());
    else if (StartWarning.empty())
        StartWarning = text;
}

// NotWritten: the copy could not be written or did not read back.
enum class Stored { Saved, Refused, Unwritable, NotWritten, Declined };

// What a save did, and why it wrote nothing: the key refused (Refused), or
// the check that failed.
struct StoreResult {
    Stored outcome = Stored::Saved;
    IniFile::WriteCheck check = IniFile::WriteCheck::Ok;
    const char* refusedKey = nullptr;
};

// Asks whether to overwrite what another program changed since the file was
// read or last written.
bool MayOverwrite(const IniFile& file) {
    const std::string question = std::string("「") + GetFileNamePart(file.GetPath().c_str()) +
                                 "」は読み込んだ後で他のプログラムによって変更されています。上書きしますか？\n\n"
                                 "いいえ: 保存せず、入力した内容はそのまま残します";
    // No is the default: a reflexive Enter overwrites nothing.
    if (ShowMessage(OwnerWindow, question.c_str(), "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    return true;
}

// One key's value as its box, or the kind list, holds it.
struct BoxValue {
    std::string text;
    bool held = true;   // false: a character code page 932 cannot hold
    bool kept = false;  // the file keeps its value: not shown, and still empty
};
using BoxValues = std::array<BoxValue, KeyCount>;

BoxValues ReadBoxes() {
    BoxValues values;
    for (std::size_t i = 0; i < KeyCount; ++i) {
        BoxValue& v = values[i];
        if (i == RtpTypeKey) {
            char type[ValueSize] = {};
            RtpTypeCombo.GetSelectedText(type, ValueSize);
            v.text = type;
        } else {
            // A character that code page 932 cannot hold is refused, not written as a look-alike.
            v.held = ToNarrow(WideText(InstallerIniEdits[i]), v.text);
        }
        v.kept = v.held && v.text.empty() && NotShown[i];
    }
    return values;
}

// The first value the file or the installer would not take; Saved when
// every one would be.
StoreResult CheckValues(const IniFile& file, const BoxValues& values) {
    for (std::size_t i = 0; i < KeyCount; ++i) {
        const BoxValue& v = values[i];
        if (v.kept) continue;
        IniFile::WriteCheck check = v.held ? file.Check(Section, InstallerIniKeys[i], v.text) : IniFile::WriteCheck::BadValue;
        // The installer reads 260 bytes: the quotes around a value that needs
        // them count too, or its last characters would be lost.
        if (check == IniFile::WriteCheck::Ok && IniFile::StoredSize(v.text) > InstallerIniValueLimit)
            check = IniFile::WriteCheck::BadValue;
        if (check == IniFile::WriteCheck::Ok) continue;
        return {check == IniFile::WriteCheck::BadValue ? Stored::Refused : Stored::Unwritable, check, InstallerIniKeys[i]};
    }
    return {};
}

// The values to write, RTPType first, where a new file has always had it.
std::vector<IniFile::Value> Changes(const BoxValues& values) {
    std::vector<IniFile::Value> changes;
    for (const std::size_t i : {RtpTypeKey, std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}})
        if (!values[i].kept) changes.push_back({InstallerIniKeys[i], values[i].text});
    return changes;
}

// Writes all changes at once through a checked copy (IniFile::Replace): the
// file is never left half written. With compare, the file must still be as
// before; when it changed again, asks once more (No writes nothing).
StoreResult WriteChanges(const IniFile& file, const std::vector<IniFile::Value>& changes, IniFile::Content before,
                         bool compare) {
    const IniFile::Content* expected = compare ? &before : nullptr;
    for (;;) {
        IniFile::Content now;
        std::size_t refused = 0;
        // What the user agreed to overwrite, looked at afresh right before the swap.
        const IniFile::WriteCheck check = file.Replace(Section, changes, expected, now, refused);
        if (check == IniFile::WriteCheck::Ok) {
            Loaded = std::move(now);
            return {};
        }
        if (check == IniFile::WriteCheck::BadValue && refused < changes.size())
            return {Stored::Refused, check, changes[refused].key};
        if (check == IniFile::WriteCheck::DiskFull || check == IniFile::WriteCheck::NotWritten)
            return {Stored::NotWritten, check};
        if (check != IniFile::WriteCheck::Changed) return {Stored::Unwritable, check};
        if (!MayOverwrite(file)) return {Stored::Declined, check};
        before = std::move(now);
        expected = &before;
    }
}

// Checks the file and every value, asks when another program changed the
// file since it was read or last written (No writes nothing and keeps the
// boxes as they are), then saves all values at once.
StoreResult Store(const IniFile& file) {
    if (const IniFile::WriteCheck check = file.CheckFile(); check != IniFile::WriteCheck::Ok)
        return {Stored::Unwritable, check};
    const BoxValues values = ReadBoxes();
    if (const StoreResult refused = CheckValues(file, values); refused.outcome != Stored::Saved) return refused;
    IniFile::Content before = file.Snapshot();
    // A file that could not be read has no bytes to compare with: the copy is
    // compared with the file as the save first finds it.
    const bool compare = Loaded.read || !Loaded.exists;
    if (compare && before != Loaded) {
        if (!MayOverwrite(file)) return {Stored::Declined};
    }
    const StoreResult written = WriteChanges(file, Changes(values), std::move(before), compare);
    if (written.outcome != Stored::Saved) return written;
    for (std::size_t i = 0; i < KeyCount; ++i) NotShown[i] = NotShown[i] && values[i].kept;
    RememberShown();
    return written;
}

void OnCommand(int id, int code, HWND control) {
    if (id == IDOK) {
        SaveInstallerIni(true);
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
        // Why the file could not be read or made, once the window shows.
        if (!StartWarning.empty()) SetTimer(page, StartWarningTimer, StartWarningDelayMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != StartWarningTimer) return FALSE;
        KillTimer(page, StartWarningTimer);
        if (!StartWarning.empty()) ShowWarning(OwnerWindow, std::exchange(StartWarning, std::string()).c_str());
        return TRUE;
    case WM_COMMAND:
        // IDOK also comes from Enter in an edit box, passed on by the main dialog.
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

// Where the text a control shows starts, in the page's coordinates: an
// edit box writes at the top of its formatting rectangle, a drop-down list
// in the middle of its selection field.
LONG TextTop(HWND page, HWND control) {
    POINT origin{};
    MapWindowPoints(control, page, &origin, 1);
    RECT area{};
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    if (GetComboBoxInfo(control, &combo)) {
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        return origin.y + combo.rcItem.top + (combo.rcItem.bottom - combo.rcItem.top - metrics.tmHeight) / 2;
    }
    SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    return origin.y + area.top;
}

// Each label (a static text) writes at its top: it is moved so that its
// text stands on the line of the text of the box that follows it.
void AlignLabels(HWND page) {
    for (HWND label = GetWindow(page, GW_CHILD); label != nullptr; label = GetWindow(label, GW_HWNDNEXT)) {
        HWND box = GetWindow(label, GW_HWNDNEXT);
        wchar_t name[16] = {};
        GetClassNameW(label, name, 16);
        if (box == nullptr || lstrcmpiW(name, L"Static") != 0) continue;
        RECT rect{};
        GetWindowRect(label, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(label, nullptr, rect.left, TextTop(page, box), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

void InitInstallerIniPage(HWND page) {
    AlignLabels(page);
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
    // Anything but a settings file is left exactly as it is, and the user is
    // told why it shows nothing.
    if (!ShowFile(file)) {
        Tell(chosen, Reason(file.CheckFile()));
        return false;
    }
    // A file that does not exist yet is made with the defaults, whole or not
    // at all; an existing one is only read. A missing folder is said at the
    // save, as before; any other failure now.
    StoreResult made;
    if (!Loaded.exists) made = Store(file);
    const IniFile::WriteCheck check = made.check;
    if (check != IniFile::WriteCheck::Ok && check != IniFile::WriteCheck::NoFolder && check != IniFile::WriteCheck::Changed)
        Tell(chosen, std::string("設定ファイルを作成できませんでした\n") + Reason(check));
    return true;
}

bool SaveInstallerIni(bool announce) {
    IniFile file;
    file.SetPath(InstallerIniPath, false);
    const StoreResult result = Store(file);
    const char* refusedKey = result.refusedKey;
    const IniFile::WriteCheck check = result.check;
    switch (result.outcome) {
    case Stored::Saved:
        if (announce) ShowMessage(OwnerWindow, "設定を保存しました", "お知らせ", MB_ICONINFORMATION);
        return true;
    case Stored::Refused:
        return ShowWarningF(OwnerWindow, "%s を保存できませんでした\n設定ファイルは変更していません", refusedKey);
    case Stored::Unwritable:
        return ShowWarningF(OwnerWindow, "設定を保存できませんでした\n%s", Reason(check));
    case Stored::NotWritten:
        return ShowWarningF(OwnerWindow, "設定を保存できませんでした\n%s\n設定ファイルは変更していません", Reason(check));
    case Stored::Declined:
        break;
    }
    return false;
}

const char* WriteFailureReason(IniFile::WriteCheck check) {
    switch (check) {
    case IniFile::WriteCheck::ReadOnly: return "読み取り専用のファイルです";
    case IniFile::WriteCheck::Utf8: return "UTF-8 のファイルは読み込むだけで、書き込みません";
    case IniFile::WriteCheck::NoFolder: return "フォルダが見つかりません";
    case IniFile::WriteCheck::InUse: return "他のプログラムが使用中です";
    case IniFile::WriteCheck::TooLarge: return "16 MB を超えるファイルです";
    case IniFile::WriteCheck::DiskFull: return "ディスクの空き領域が足りません";
    case IniFile::WriteCheck::NotWritten: return "書き込んだ内容を読み戻せませんでした";
    case IniFile::WriteCheck::FolderDenied: return "フォルダに書き込めません";
    default: return "設定ファイルとして読めないファイルです";
    }
}

bool OfferToSaveInstallerIni() {
    if (!Edited()) return true;
    switch (ShowMessage(OwnerWindow, "変更を保存しますか？", "確認", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return SaveInstallerIni(false);
    case IDNO:
        return true;
    default:
        return false;
    }
}

void BrowseInstallerIni() {
    if (!OfferToSaveInstallerIni()) return;
    char file[InstallerIniPathSize] = {};
    const std::string folder = GetDirectoryPart(InstallerIniPath);
    if (!ChooseOpenFile(OwnerWindow, file, sizeof file, Filter, folder.c_str(), nullptr, 1)) return;
    std::memcpy(InstallerIniPath, file, sizeof file);
    ShowInstallerIniPath();
    LoadInstallerIni(true);
}
