#pragma once
// Everything the removal of an RTP decides before anything is touched: the
// folder the registration names, what that folder is, whether removing it
// is allowed at all, and what lies below it. The removal question shows it,
// and Yes removes exactly that folder, or nothing.
#include <string>

#include "fsutil/FileTree.h"
#include "fsutil/FolderIdentity.h"
#include "fsutil/FolderSet.h"
#include "rtp/RemovalOutcome.h"

struct RtpRemoval {
    std::string name;    // the registry value name
    std::string folder;  // the registered folder as Windows resolves its text, for messages
    FolderIdentity identity;  // what that folder is
    FoundTree tree;           // what lies below it, when listed
    bool listed = false;      // tree holds the walk (complete or stopped)
    // Every folder of every other registered RTP, by identity: none of them
    // is ever deleted, whatever name reaches it.
    FolderSet others;
};

// Past these the question's walk stops and its counts say "以上" (at least).
constexpr std::uint64_t RemovalCountEntryLimit = 100000;
constexpr unsigned RemovalCountTimeLimitMs = 10000;
// The other RTPs' folders are walked within these, all of them together; past
// them the removal is refused, as nothing unchecked is deleted.
constexpr std::uint64_t OtherFoldersLimit = 100000;
constexpr unsigned OtherFoldersTimeLimitMs = 5000;

// Reads the registration of RTP name of kind kindIndex into removal and says
// what its folder is: every refusal below up to the drive or share that does
// not answer; not the other RTPs, and no walk.
RemovalOutcome FindRtpFolder(int kindIndex, const char* name, RtpRemoval& removal);

// Reads the registration of RTP name of kind kindIndex and checks everything
// that does not need the user's Yes. Refused, with the registration kept:
// the official RTP; a key or value that cannot be read (the registration
// changed); a folder that is empty, relative, a device, a drive or the root
// of a drive or share, holds a character or a name Windows cannot, is a
// file, cannot be opened, or lies on a drive or share that does not answer;
// and a folder that shares any folder with another RTP registered for either
// kind: the folder itself or any folder its walk reaches being that RTP's
// folder or any folder inside it, compared by what the folders are (volume
// and file index), as well as by their final paths. An RTP whose folders
// cannot all be walked within the bounds above, or opened to say what they
// are, is taken as sharing. Without walked, the folder's tree is walked
// within stops (not when the folder is a link, which is never entered); with
// it, that earlier walk's folders are checked as they are now.
// stops.carryOn is asked during the other RTPs' walks too: when it stops one
// or the folder's own walk, CountStopped comes back.
RemovalOutcome CheckRtpRemoval(int kindIndex, const char* name, RtpRemoval& removal, const FoundTree* walked,
                               const WalkStops& stops = {});

// The checks of CheckRtpRemoval after FindRtpFolder, for the folder or link
// removal holds as found: the other RTPs, and the walk of the folder.
RemovalOutcome CheckAgainstOthers(int kindIndex, const char* name, RtpRemoval& removal, const FoundTree* walked,
                                  const WalkStops& stops = {});
