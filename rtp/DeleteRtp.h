#pragma once
// Removing an installed RTP: its registry value, then every file and every
// directory at and below the folder that value names.
#include <windows.h>

#include <cstdint>
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
// was complete. hooks: told once the registry value is deleted (before any
// box shows), before a box that shows the registration changed or went, and
// of the work as it goes; their progress can stop it after the current
// entry, and what is left is then reported as left over (stopped while
// counting, nothing is touched and the box says so).
// Links below the folder are removed themselves where the platform allows and
// never followed; a link that cannot be removed is left over. Nothing is
// deleted unless the platform resolves it to a place inside the folder, in
// the very letter case the walk found, and no folder of another RTP is
// entered or removed, whatever name reaches it; whatever appeared since the
// walk is left over. True only once the folder is really gone: a mount
// point, or a folder made again meanwhile, is left over. A folder that no
// longer exists only loses its registration (true).
enum class RemovalStep { Listing, Files, Folders, Done };
struct RemovalHooks {
    std::function<void()> unregistered;
    std::function<void()> registrationChanged;
    // done of total entries of the step (while listing, the files found so
    // far and a total of 0); false stops the removal. Done comes once the
    // deletions are over, before any box.
    std::function<bool(RemovalStep step, std::uint64_t done, std::uint64_t total)> progress;
};
bool DeleteRtp(int kindIndex, const char* name, HWND owner, const RtpRemoval* confirmed = nullptr,
               const RemovalHooks& hooks = {});
