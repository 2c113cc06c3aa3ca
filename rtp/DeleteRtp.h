#pragma once
// Removing an installed RTP: its registry value, then every file and every
// directory at and below the folder that value names.
#include <windows.h>

#include <functional>

#include "rtp/RtpRemoval.h"

// kindIndex: 0 or 1 (a row of RtpKinds); name: the registry value name.
// True when the registry value, every file and every directory are gone.
// Every failure is shown as a warning owned by owner; when files or
// directories are left over, the folder is also opened in the shell. With a
// null owner nothing is shown or opened and the result alone tells.
//
// Everything CheckRtpRemoval refuses is refused first, the registration kept.
// confirmed: what the user was asked about; the removal goes on only when
// the registration still names the very same folder (or, when it was
// missing, still a missing one), and then reuses the question's walk when it
// was complete. unregistered: called once the registry value is deleted,
// before any box shows.
// Links below the folder are removed themselves where the platform allows and
// never followed; a link that cannot be removed is left over. Nothing is
// deleted unless the platform resolves it to a place inside the folder, and
// whatever appeared since the walk is left over. A folder that no longer
// exists only loses its registration (true).
bool DeleteRtp(int kindIndex, const char* name, HWND owner, const RtpRemoval* confirmed = nullptr,
               const std::function<void()>& unregistered = {});
