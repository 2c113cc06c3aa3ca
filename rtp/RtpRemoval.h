#pragma once
// Everything the removal of an RTP decides before anything is touched: the
// folder the registration names, what that folder is, whether removing it
// is allowed at all, and what lies below it. The removal question shows it,
// and Yes removes exactly that folder, or nothing.
#include <windows.h>

#include <string>

#include "fsutil/FileTree.h"
#include "fsutil/FolderIdentity.h"

struct RtpRemoval {
    std::string name;    // the registry value name
    std::string folder;  // the registered folder as Windows resolves its text, for messages
    FolderIdentity identity;  // what that folder is
    FoundTree tree;           // what lies below it, when listed
    bool listed = false;      // tree holds the walk (complete or stopped)
};

// Past these the question's walk stops and its counts say "以上" (at least).
constexpr std::uint64_t RemovalCountEntryLimit = 100000;
constexpr unsigned RemovalCountTimeLimitMs = 10000;

// Reads the registration of RTP name of kind kindIndex and checks everything
// that does not need the user's Yes. Refused, with the registration kept:
// the official RTP; a key or value that cannot be read; a folder that is
// empty, relative, a drive or the root of a drive or share, holds a
// character or a name Windows cannot, is a file, cannot be opened, or lies
// on a drive or share that does not answer; and a folder that is, holds or
// lies inside the folder of any other RTP registered for either kind, under
// any spelling (compared by what the folders are). A refusal is shown as a
// warning owned by owner (nothing is shown with a null owner) and gives false.
// With list, the folder's tree is walked within stops (not when the folder is
// a link, which is never entered).
bool CheckRtpRemoval(int kindIndex, const char* name, HWND owner, RtpRemoval& removal, bool list,
                     const WalkStops& stops = {});
