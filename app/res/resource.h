#pragma once
// Every resource and control id of Kelmora.exe, shared by Kelmora.rc, the
// program and its tests. Plain macros, so that the resource compiler reads
// them too. Ids of controls are unique within their own template only.

// The program's icon, in every size the caption and the task switcher ask for.
#define MainIconId 102

// The main dialog: the tab strip hosting the pages.
#define MainDialogTemplate 101
#define MainTabControlId 1000

// The installer settings page, the first tab; 保存 is IDOK.
#define InstallerIniTemplate 103
#define InstallerIniBrowseId 1002
#define InstallerIniPathEditId 1003
#define RtpNameEditId 1004
#define TitleEditId 1006
#define CopyrightEditId 1007
#define VersionEditId 1008
#define BitmapEditId 1009
#define RtpTypeComboId 1010

// An RTP list page, one per RTP kind; RtpRefreshId is a command without a control (F5).
#define RtpListPageTemplate 104
#define RtpListId 1001
#define RtpOpenButtonId 1002
#define RtpRemoveButtonId 1003
#define RtpRefreshId 1004

// The progress window of long work; its stop button is IDCANCEL.
#define ProgressTemplate 105
#define ProgressTextId 1001
#define ProgressBarId 1002
