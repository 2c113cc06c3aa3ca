#pragma once
// Removing an installed RTP: its registry value, then every file and every
// directory at and below the folder that value names.
#include <windows.h>

// kindIndex: 0 or 1 (a row of RtpKinds); name: the registry value name.
// True when the registry value, every file and every directory are gone.
// Every failure is shown as a warning owned by owner; when files or
// directories are left over, the folder is also opened in the shell. With a
// null owner nothing is shown or opened and the result alone tells.
//
// The folder removed is the registered text as Windows resolves it (full,
// "." and ".." resolved, one trailing separator dropped). Refused before
// anything is touched: the official RTP; a folder that is empty, relative, a
// drive or the root of a drive or share, holds a character or a name Windows
// cannot, or is a file; a folder that equals, holds or lies inside another
// registered RTP's folder, of either kind; and, when confirmedFolder is
// given (the resolved folder the user was asked about), a registration that
// now names another folder.
// Links below the folder are removed themselves where the platform allows and
// never followed; a link that cannot be removed is left over. Nothing is
// deleted unless the platform resolves it to a place inside the folder. A
// folder that no longer exists only loses its registration (true).
bool DeleteRtp(int kindIndex, const char* name, HWND owner, const char* confirmedFolder = nullptr);
