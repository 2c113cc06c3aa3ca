#pragma once
// The main dialog (MainDialogTemplate): a tab control hosting the pages.
#include <windows.h>

#include "app/TabHost.h"
#include "app/res/resource.h"

// The page table, in tab order, ended by a row with an empty title.
extern const TabPageSpec MainPages[];

// Ends only on WM_CLOSE: Esc and Enter (IDCANCEL, IDOK) never end it. A
// command from a page's button that the dialog manager sends here (Enter on
// the button, or on a page whose default it is) goes on to that page.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the pages, widens the dialog until every tab title fits, sets the
// icons in the sizes the system asks for (destroyed with the dialog) and
// shows the dialog. The pages read InstallerIniPath while they are created:
// LoadToolSettings comes first.
void InitMainDialog(HWND dialog);

// "Kelmora.ini" beside the program: LoadToolSettings binds and reads the
// remembered installer settings path and makes InstallerIniPath of it;
// SaveToolSettings writes it back if it changed (or the file lacks it), after
// the dialog and when the session ends.
void LoadToolSettings();
void SaveToolSettings();
