#pragma once
// Removing an installed RTP: its registry value, then every file and every
// directory at and below the folder that value names.
#include <cstdint>
#include <functional>

#include "rtp/RemovalOutcome.h"
#include "rtp/RtpRemoval.h"

// kindIndex: 0 or 1 (a row of RtpKinds); name: the registry value name.
// Done when the registry value, every file and every directory are gone;
// otherwise the outcome says why, and whether the value went. Nothing is
// shown: the caller words the outcome.
//
// Everything CheckRtpRemoval refuses is refused first, the registration kept.
// confirmed: what the user was asked about; the removal goes on only when
// the registration still names the very same folder (or, when it was
// missing, still a missing one), and then reuses the question's walk when it
// was complete. hooks.progress hears of the work as it goes and can stop it
// after the current entry: stopped while counting, nothing is touched
// (CountStopped); later, what is left is reported as left over.
// Links below the folder are removed themselves where the platform allows and
// never followed; a link that cannot be removed is left over. Nothing is
// deleted unless the platform resolves it to a place inside the folder, in
// the very letter case the walk found, and no folder of another RTP is
// entered or removed, whatever name reaches it; whatever appeared since the
// walk is left over. Done only once the folder is really gone: a mount
// point, or a folder made again meanwhile, is left over. A folder that no
// longer exists only loses its registration (done).
enum class RemovalStep { Listing, Files, Folders };
struct RemovalHooks {
    // done of total entries of the step (while listing, the files found so
    // far and a total of 0); false stops the removal.
    std::function<bool(RemovalStep step, std::uint64_t done, std::uint64_t total)> progress;
};
RemovalOutcome DeleteRtp(int kindIndex, const char* name, const RtpRemoval* confirmed = nullptr,
                         const RemovalHooks& hooks = {});

// Deletes the registry value of RTP name alone, for a folder whose drive or
// share did not answer when the user was asked (confirmed): only when it
// still does not and the registration names the same folder. No file is
// touched. When the folder answers now, FolderAnswers: nothing is done, and
// the removal above applies.
RemovalOutcome DeleteRtpRegistration(int kindIndex, const char* name, const RtpRemoval& confirmed);

// Removes what is left of the folder of RTP name after a removal that
// deleted its registration and then stopped or left something: only while
// the RTP is not registered again, the folder is the very one the user was
// asked about (confirmed), and after every check against the other RTPs again; what is left is walked
// afresh, and deleted as DeleteRtp deletes. A stop is DeletionStopped.
RemovalOutcome DeleteRtpRemainder(int kindIndex, const char* name, const RtpRemoval& confirmed,
                                  const RemovalHooks& hooks = {});
