#pragma once
// The RTP list pages (RtpListPageTemplate), one per RTP kind: the kind's registered
// RTPs, name and folder, sorted by name; open the selected RTP's folder, or
// remove the selected RTP after asking. Every operation takes the kind index
// (0 RPGXP, 1 RPGVX).
#include <windows.h>

#include <array>
#include <string>

#include "app/res/resource.h"
#include "pages/ListViewCtrl.h"
#include "rtp/RemovalOutcome.h"
#include "rtp/RtpKinds.h"
#include "rtp/RtpRemoval.h"

// Per kind: the list wrapper, the list control, and the open (slot 0) and
// remove (slot 1) buttons of that kind's page.
extern std::array<ListViewCtrl, RtpKindCount> RtpListViews;
extern std::array<HWND, RtpKindCount> RtpListControls;
extern std::array<std::array<HWND, 2>, RtpKindCount> RtpListButtons;

INT_PTR CALLBACK RtpListPageProcXp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RtpListPageProcVx(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR RtpListPageHandler(int kind, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sent to a page, posted by its initialisation: FillRtpListPage.
constexpr UINT RtpListFillMessage = WM_APP + 1;

// The command a key pressed in the window stands for while page shows, or 0:
// on an RTP list page, F5 wherever the focus is, and Enter (open) and Delete
// (remove) on the list.
int RtpListKeyCommand(HWND page, const MSG& message);

// Takes the page's controls, disables both buttons, and asks for the list to
// be built once the window is shown.
void InitRtpListPage(int kind, HWND dialog);
// Gives the list its columns and RTPs.
void FillRtpListPage(int kind);
// Re-reads the kind's registry key into the list (empty when the key is
// missing or holds no RTP), sizes the columns, and sets the buttons for the
// now empty selection.
void RefreshRtpList(int kind);
// Open: enabled with a selected row. Remove: also, unless the row is the
// kind's official RTP.
void UpdateRtpButtons(int kind);
// Opens the selected RTP's folder when it is one; otherwise says it is not found.
void OpenSelectedRtpFolder(int kind);
// Asks first (No is the default), then removes, and says how it ended.
void RemoveSelectedRtp(int kind);
// Says how the removal of RTP name ended: the list is read again first when
// the registration went or changed; "RTPの削除に成功しました", or a warning,
// and the folder opened in the shell when something is left in it. What a
// stop or a file in use left can be removed on the user's Yes, as often as
// it takes. A failed removal whose registration stays keeps its row.
void ReportRemoval(int kind, const std::string& name, const RtpRemoval& removal, const RemovalOutcome& outcome);
