#include "pages/RtpListPage.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProcessState.h"
#include "app/ProgressWindow.h"
#include "app/ShellFolder.h"
#include "app/Warning.h"
#include "fsutil/WinText.h"
#include "pages/RemovalMessages.h"
#include "rtp/DeleteRtp.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpFolder.h"
#include "rtp/StringMap.h"

std::array<ListViewCtrl, RtpKindCount> RtpListViews;
std::array<HWND, RtpKindCount> RtpListControls{};
std::array<std::array<HWND, 2>, RtpKindCount> RtpListButtons{};

namespace {

constexpr int NameColumn = 0;
constexpr int FolderColumn = 1;
constexpr int StateColumn = 2;

// Per kind: the names of the RTPs registered as REG_EXPAND_SZ, sorted.
std::array<std::vector<std::string>, RtpKindCount> ExpandedNames;

ListViewCtrl& ListOf(int kind) { return RtpListViews[static_cast<std::size_t>(kind)]; }

const RtpKind& KindOf(int kind) { return RtpKinds[static_cast<std::size_t>(kind)]; }

// What a row's folder is, as the state column says it; found once the row
// shows. What could be wrong comes before how it is registered.
std::string StateText(int kind, int row) {
    const ListViewCtrl& list = ListOf(kind);
    const std::vector<std::string>& expanded = ExpandedNames[static_cast<std::size_t>(kind)];
    const bool isExpanded = std::binary_search(expanded.begin(), expanded.end(), list.GetItemText(row, NameColumn));
    switch (LookAtRtpFolder(list.GetItemText(row, FolderColumn))) {
    case RtpFolderState::Missing: return "フォルダなし";
    case RtpFolderState::NoAnswer: return "ドライブが応答しません";
    case RtpFolderState::File: return "ファイルです";
    case RtpFolderState::Link: return "リンクです";
    case RtpFolderState::Fine:
    case RtpFolderState::Unknown: break;
    }
    return isExpanded ? "展開形式" : "";
}

// Tabbing into a list where no row has the focus would show no cue of where
// the keyboard is: the first row takes the focus, not the selection. And no
// button shows the default frame while the list has the focus, where Enter
// opens the folder: the focus may have come from a button that went
// disabled, which the dialog does not see.
void ShowFocusCue(int kind) {
    ListViewCtrl& list = ListOf(kind);
    if (list.GetItemCount() > 0 && list.GetFocusedRow() < 0) list.SetFocusedRow(0);
    for (HWND button : RtpListButtons[static_cast<std::size_t>(kind)])
        if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
}

// An empty list says so in its body, so that it does not look broken.
LRESULT DrawEmptyList(int kind, const NMCUSTOMDRAW& draw) {
    if (ListOf(kind).GetItemCount() > 0) return CDRF_DODEFAULT;
    if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (draw.dwDrawStage != CDDS_POSTPAINT) return CDRF_DODEFAULT;
    RECT body{}, header{};
    GetClientRect(draw.hdr.hwndFrom, &body);
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(draw.hdr.hwndFrom, LVM_GETHEADER, 0, 0)), &header);
    body.top += (header.bottom - header.top) * 3 / 2;  // half a row below the header
    const HGDIOBJ font = SelectObject(draw.hdc, reinterpret_cast<HFONT>(SendMessageW(draw.hdr.hwndFrom, WM_GETFONT, 0, 0)));
    SetTextColor(draw.hdc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(draw.hdc, TRANSPARENT);
    DrawTextW(draw.hdc, DisplayText("登録されているRTPはありません").c_str(), -1, &body, DT_CENTER | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(draw.hdc, font);
    return CDRF_DODEFAULT;
}

}  // namespace

int RtpListKeyCommand(HWND page, const MSG& message) {
    HWND list = GetDlgItem(page, RtpListId);
    if (list == nullptr || message.message != WM_KEYDOWN) return 0;
    if (message.wParam == VK_F5) return RtpRefreshId;
    if (message.hwnd != list) return 0;
    return message.wParam == VK_RETURN ? RtpOpenButtonId : message.wParam == VK_DELETE ? RtpRemoveButtonId : 0;
}

INT_PTR CALLBACK RtpListPageProcXp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RtpListPageHandler(0, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK RtpListPageProcVx(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RtpListPageHandler(1, dialog, message, wParam, lParam);
}

INT_PTR RtpListPageHandler(int kind, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitRtpListPage(kind, dialog);
        return TRUE;
    case RtpListFillMessage:
        FillRtpListPage(kind);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (wParam != RtpListId || header == nullptr) return TRUE;
        if (LRESULT answer = 0; ListOf(kind).Notify(reinterpret_cast<NMHDR*>(lParam), answer))
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
        else if (header->code == static_cast<UINT>(LVN_ITEMCHANGED))
            UpdateRtpButtons(kind);
        else if (header->code == static_cast<UINT>(NM_DBLCLK))
            OpenSelectedRtpFolder(kind);
        else if (header->code == static_cast<UINT>(NM_SETFOCUS))
            ShowFocusCue(kind);
        else if (header->code == static_cast<UINT>(NM_CUSTOMDRAW))
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, DrawEmptyList(kind, *reinterpret_cast<const NMCUSTOMDRAW*>(lParam)));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == RtpOpenButtonId)
            OpenSelectedRtpFolder(kind);
        else if (LOWORD(wParam) == RtpRemoveButtonId)
            RemoveSelectedRtp(kind);
        else if (LOWORD(wParam) == RtpRefreshId)
            RefreshRtpList(kind);  // another program may have installed or removed an RTP
        return TRUE;
    default:
        return FALSE;
    }
}

void InitRtpListPage(int kind, HWND dialog) {
    const auto k = static_cast<std::size_t>(kind);
    RtpListControls[k] = GetDlgItem(dialog, RtpListId);
    RtpListButtons[k][0] = GetDlgItem(dialog, RtpOpenButtonId);
    RtpListButtons[k][1] = GetDlgItem(dialog, RtpRemoveButtonId);
    ListOf(kind).Attach(RtpListControls[k]);
    UpdateRtpButtons(kind);  // nothing is selected
    // The list is built once the window is shown, before it is painted and
    // before the program takes any input.
    PostMessageW(dialog, RtpListFillMessage, 0, 0);
}

void FillRtpListPage(int kind) {
    ListViewCtrl& list = ListOf(kind);
    list.AddColumn("Name", LVCFMT_LEFT, 0);
    list.AddColumn("Path", LVCFMT_LEFT, 0);
    list.AddColumn("状態", LVCFMT_LEFT, 0);
    list.SetLazyColumn(StateColumn, [kind](int row) { return StateText(kind, row); }, "ドライブが応答しません");
    list.SetFullRowSelect(true);
    RefreshRtpList(kind);
}

void RefreshRtpList(int kind) {
    ListViewCtrl& list = ListOf(kind);
    // The view stays where it was, and so does the selected RTP when it is still there.
    const int selected = list.GetFirstSelected();
    const std::string selectedName = selected < 0 ? std::string() : list.GetItemText(selected, NameColumn);
    const int top = list.GetTopRow();
    // Row by row, the control would lay itself out and paint thousands of times.
    list.SetRedraw(false);
    RegistryKey key;
    StringMap rtps;
    std::vector<std::string>& expanded = ExpandedNames[static_cast<std::size_t>(kind)];
    std::vector<std::string_view> cells;  // name, folder and state of each RTP, in name order
    if (key.Open(KindOf(kind).rtpKeyPath, KindOf(kind).rootKey) && key.ReadStringValues(rtps, &expanded)) {
        cells.reserve(rtps.size() * 3);
        for (const auto& [name, folder] : rtps) {
            cells.emplace_back(name);
            cells.emplace_back(folder);
            cells.emplace_back();  // found when shown
        }
    }
    std::sort(expanded.begin(), expanded.end());
    list.SetRows(cells, ListViewCtrl::AutoFitWidth);
    list.ScrollToTop(top);
    if (const auto found = rtps.find(selectedName); selected >= 0 && found != rtps.end())
        list.SelectRow(static_cast<int>(std::distance(rtps.begin(), found)));
    list.SetRedraw(true);
    // Deleting the rows tells no one that the selection went with them.
    UpdateRtpButtons(kind);
}

void UpdateRtpButtons(int kind) {
    const ListViewCtrl& list = ListOf(kind);
    bool open = false;
    bool remove = false;
    const int row = list.GetFirstSelected();
    if (row >= 0) {
        open = true;
        remove = !IsOfficialRtp(kind, list.GetItemText(row, NameColumn).c_str());
    }
    const auto& buttons = RtpListButtons[static_cast<std::size_t>(kind)];
    // A focused button that is disabled would leave the keyboard nowhere.
    if (HWND focus = GetFocus(); (focus == buttons[0] && !open) || (focus == buttons[1] && !remove))
        SetFocus(RtpListControls[static_cast<std::size_t>(kind)]);
    EnableWindow(buttons[0], open);
    EnableWindow(buttons[1], remove);
}

void OpenSelectedRtpFolder(int kind) {
    const ListViewCtrl& list = ListOf(kind);
    const int row = list.GetFirstSelected();
    if (row < 0) return;
    const std::string folder = list.GetItemText(row, FolderColumn);
    if (ShowFolder(folder)) return;
    std::string text = "RTPフォルダが見つかりません\nフォルダ: " + folder;
    // What can be done about it, where the RTP can be removed.
    if (!IsOfficialRtp(kind, list.GetItemText(row, NameColumn).c_str())) text += "\n「RTPを削除する」で登録だけを削除できます";
    ShowMessage(OwnerWindow, text.c_str(), "お知らせ", MB_ICONINFORMATION);
}

namespace {

// The name of the selected RTP, when it is one that can be removed.
std::optional<std::string> RemovableSelection(int kind) {
    const ListViewCtrl& list = ListOf(kind);
    const int row = list.GetFirstSelected();
    if (row < 0) return std::nullopt;
    std::string name = list.GetItemText(row, NameColumn);
    if (IsOfficialRtp(kind, name.c_str())) return std::nullopt;
    return name;
}

// The check before the question, under a progress window. The count can
// be cancelled (CountStopped), and so it is by a close of the window, which
// then goes on.
RemovalOutcome CheckShowingProgress(HWND window, int kind, const std::string& name, RtpRemoval& removal) {
    ProgressWindow progress(window, "RTPの削除", "キャンセル");
    WalkStops stops{RemovalCountEntryLimit, GetTickCount64() + RemovalCountTimeLimitMs, {}};
    stops.carryOn = [&](const FoundTree& tree) {
        return progress.UpdateWith([&] { return RemovalStepText(RemovalStep::Listing, tree.files.size(), 0); }) &&
               !ProgressWindow::CloseAsked();
    };
    return CheckRtpRemoval(kind, name.c_str(), removal, nullptr, stops);
}

bool Ask(const std::string& question) {
    return ShowMessage(OwnerWindow, question.c_str(), "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// Whatever can be refused without the user's Yes is refused instead of the
// question; otherwise the folder is walked to say how much will go, and the
// user is asked (No is the default). A folder whose drive or share does not
// answer can lose its registration alone, when the user says so; should it
// answer by then, the usual question follows. True on Yes to removing it all.
bool AskRemoval(HWND window, int kind, const std::string& name, RtpRemoval& removal) {
    RemovalOutcome checked = CheckShowingProgress(window, kind, name, removal);
    if (checked.reason == RemovalReason::FolderNoAnswer) {
        if (!Ask(RegistrationOnlyQuestion(removal))) return false;
        if (const RemovalOutcome alone = DeleteRtpRegistration(kind, name.c_str(), removal);
            alone.reason != RemovalReason::FolderAnswers) {
            ReportRemoval(kind, name, removal, alone);
            return false;
        }
        checked = CheckShowingProgress(window, kind, name, removal);
    }
    if (checked.reason == RemovalReason::CountStopped) return false;  // the user's own cancel
    if (!checked.Done()) {
        ReportRemoval(kind, name, removal, checked);
        return false;
    }
    return Ask(RemovalQuestion(removal));
}

// Runs work(hooks) under a progress window that is gone when this returns.
template <class Work>
RemovalOutcome ShowingProgress(HWND window, Work work) {
    ProgressWindow progress(window, "RTPの削除", "中止");
    RemovalHooks hooks;
    hooks.progress = [&](RemovalStep step, std::uint64_t done, std::uint64_t total) {
        return progress.UpdateWith([&] { return RemovalStepText(step, done, total); }, done, total);
    };
    return work(hooks);
}

}  // namespace

void ReportRemoval(int kind, const std::string& name, const RtpRemoval& removal, const RemovalOutcome& outcome) {
    // Once the registration is gone or changed, the list says so before any box shows.
    if (outcome.unregistered || outcome.registrationChanged) RefreshRtpList(kind);
    HWND window = GetAncestor(RtpListControls[static_cast<std::size_t>(kind)], GA_ROOT);
    // What is left, removed on the user's Yes.
    const auto remainder = [&](const RemovalHooks& hooks) {
        return DeleteRtpRemainder(kind, name.c_str(), removal, hooks);
    };
    for (RemovalOutcome now = outcome;; now = ShowingProgress(window, remainder)) {
        if (now.Done()) {
            ShowMessage(OwnerWindow, RemovalDoneMessage(name.c_str(), now).c_str(), "お知らせ", MB_ICONINFORMATION);
            return;
        }
        if (!now.MayCarryOn()) {
            ShowWarning(OwnerWindow, RemovalWarning(name.c_str(), now).c_str());
            // What is left can be finished by hand.
            if (now.LeftOver()) ShowFolder(removal.folder);
            return;
        }
        // The user's own stop is no error.
        const bool stopped = now.reason == RemovalReason::DeletionStopped;
        if (ShowMessage(OwnerWindow, CarryOnQuestion(name.c_str(), removal, now).c_str(), stopped ? "お知らせ" : "エラー",
                        MB_YESNO | MB_DEFBUTTON2 | (stopped ? MB_ICONINFORMATION : MB_ICONWARNING)) != IDYES) {
            ShowFolder(removal.folder);
            return;
        }
    }
}

void RemoveSelectedRtp(int kind) {
    // Boxes and the progress window hand on messages: a Delete posted
    // meanwhile must not start a second removal inside this one.
    static bool removing = false;
    if (removing) return;
    struct Busy {
        Busy() { removing = true; }
        ~Busy() { removing = false; }
    } busy;
    const std::optional<std::string> name = RemovableSelection(kind);
    if (!name) return;
    HWND window = GetAncestor(RtpListControls[static_cast<std::size_t>(kind)], GA_ROOT);
    RtpRemoval removal;
    if (!AskRemoval(window, kind, *name, removal)) return;
    // Exactly the folder asked about, or nothing.
    const RemovalOutcome outcome = ShowingProgress(
        window, [&](const RemovalHooks& hooks) { return DeleteRtp(kind, name->c_str(), &removal, hooks); });
    ReportRemoval(kind, *name, removal, outcome);
}
