#include "rtp/RtpRemoval.h"

#include <algorithm>
#include <vector>

#include "fsutil/MbcsText.h"
#include "fsutil/PathRules.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpFolder.h"
#include "rtp/RtpKinds.h"

namespace {

constexpr std::uint32_t FolderSize = RegistryKey::EnumBufferSize;  // whatever the list shows can be removed

RemovalReason ReasonOf(RtpFolderProblem problem) {
    switch (problem) {
    case RtpFolderProblem::Empty: return RemovalReason::FolderEmpty;
    case RtpFolderProblem::NotAbsolute: return RemovalReason::FolderNotAbsolute;
    case RtpFolderProblem::Root: return RemovalReason::FolderIsRoot;
    case RtpFolderProblem::BadCharacter: return RemovalReason::FolderBadCharacter;
    case RtpFolderProblem::BadName: return RemovalReason::FolderBadName;
    case RtpFolderProblem::Device: return RemovalReason::FolderIsDevice;
    case RtpFolderProblem::LongForm: return RemovalReason::FolderLongForm;
    case RtpFolderProblem::None: break;
    }
    return RemovalReason::None;
}

RemovalOutcome Refused(RemovalReason reason) { return {reason}; }

// Where another registration's folder lies, as final paths: what its text
// reaches (through any link), and the place of its own last name (a link
// there would go with a removal of the folder holding it). Only what can be
// opened to check.
void PlacesOf(const std::wstring& text, std::vector<std::wstring>& places) {
    places.clear();
    const FolderIdentity named = IdentifyFolder(text);
    if (named.finalPath.empty()) return;
    places.push_back(named.finalPath);
    if (named.kind == FolderIdentity::Kind::Link) {
        // Where Wine opens a link as what it points at, its own place is its
        // parent's final path and its name.
        std::wstring full;
        if (FullPathOf(WithoutLongPrefix(text), full) && full.size() > RootLength(full)) {
            const std::size_t last = full.find_last_of(L'\\');
            const FolderIdentity parent = IdentifyFolder(full.substr(0, std::max(last, RootLength(full))));
            if (parent.kind == FolderIdentity::Kind::Folder)
                places.push_back(parent.finalPath + (IsPathSeparator(parent.finalPath.back()) ? L"" : L"\\") +
                                 full.substr(last + 1));
        }
        const UniqueHandle target = OpenEntry(text, FILE_READ_ATTRIBUTES, LastName::Followed);
        if (target) places.push_back(FinalPathOf(target.Get()));
    }
}

// Another registered RTP, of either kind, the official ones included.
struct OtherRtp {
    std::string name;    // the registry value name
    std::string folder;  // as registered, for messages
    std::wstring text;   // as registered, expanded
};

// Every other registered RTP of either kind, the official ones included.
std::vector<OtherRtp> OtherRtps(int kindIndex, const char* name) {
    const std::wstring ownName = WideOrEmpty(name);
    std::vector<OtherRtp> others;
    std::vector<RegistryKey::RegisteredText> registered;
    for (int kind = 0; kind < RtpKindCount; ++kind) {
        const RtpKind& row = RtpKinds[static_cast<std::size_t>(kind)];
        RegistryKey key;
        if (!key.Open(row.rtpKeyPath, row.rootKey) || !key.ReadAllTexts(registered)) continue;
        for (auto& other : registered)
            if (kind != kindIndex || !SamePathText(other.name, ownName))
                others.push_back({NarrowOrEmpty(other.name), NarrowOrEmpty(other.text), std::move(other.text)});
    }
    return others;
}

// The first other RTP whose folder is this one, holds it or lies inside it,
// by final paths however either is written: removing this folder would
// delete that RTP's files too. One that cannot be opened to check is left to
// WalkOtherFolders, which refuses it.
const OtherRtp* FindOverlap(const std::vector<OtherRtp>& others, const std::wstring& finalPath) {
    std::vector<std::wstring> places;
    for (const OtherRtp& other : others) {
        PlacesOf(other.text, places);
        for (const std::wstring& place : places)
            if (PathsOverlap(place, finalPath)) return &other;
    }
    return nullptr;
}

enum class OthersWalked { Known, Unchecked, Stopped };

// Puts every folder of the other RTPs into set by identity, tagged with the
// RTP's index in others: each one's folder (a link's target too, never
// entered) and every folder its walk reaches, all within the bounds.
// Unchecked, with which, when one cannot be walked within them or one of its
// folders cannot be opened; Stopped when carryOn stopped a walk.
OthersWalked WalkOtherFolders(const std::vector<OtherRtp>& others, FolderSet& set, const WalkStops& stops,
                              const OtherRtp*& unchecked) {
    WalkStops bounds{OtherFoldersLimit, GetTickCount64() + OtherFoldersTimeLimitMs, {}};
    bool stopped = false;
    if (stops.carryOn)
        bounds.carryOn = [&](const FoundTree& tree) { return !(stopped = !stops.carryOn(tree)); };
    FoundTree tree;
    for (const OtherRtp& other : others) {
        unchecked = &other;
        const int tag = static_cast<int>(&other - others.data());
        const FolderIdentity identity = IdentifyFolder(other.text);
        if (identity.kind == FolderIdentity::Kind::Unopenable) return OthersWalked::Unchecked;
        if (identity.kind != FolderIdentity::Kind::Folder && identity.kind != FolderIdentity::Kind::Link) continue;
        set.Add(identity.volume, identity.fileIndex, tag);
        if (identity.kind == FolderIdentity::Kind::Link) {
            const UniqueHandle target = OpenEntry(identity.finalPath, FILE_READ_ATTRIBUTES, LastName::Followed);
            if (!target || !set.Add(target.Get(), tag)) return OthersWalked::Unchecked;
            continue;
        }
        // Walked from the name the platform gives it: one spelling of the
        // folder itself, whatever was registered.
        WalkFolders(identity.finalPath, tree, bounds);
        if (stopped) return OthersWalked::Stopped;
        if (!tree.complete || tree.leftOut > 0) return OthersWalked::Unchecked;
        bounds.maxEntries -= tree.folders.size();
        for (const FoundEntry& folder : tree.folders) {
            if ((folder.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;  // not entered: not its own
            const UniqueHandle handle = OpenEntry(folder.path, FILE_READ_ATTRIBUTES);
            if (!handle || !set.Add(handle.Get(), tag)) return OthersWalked::Unchecked;
        }
    }
    unchecked = nullptr;
    return OthersWalked::Known;
}

// The first folder of the removal, the folder itself and every folder of
// tree, that is in others (its tag), or FolderSet::Unknown with the folder's
// path when one cannot be opened to say what it is; NotHeld when none is.
// Only a folder listed with a file index that others hold (or with none) is
// opened to ask for its volume: the rest cannot be theirs.
int FindSharedFolder(const RtpRemoval& removal, const FoundTree& tree, std::wstring& unopenable) {
    if (const int tag = removal.others.TagOf(removal.identity.volume, removal.identity.fileIndex);
        tag != FolderSet::NotHeld || removal.others.Empty())
        return tag;
    for (const FoundEntry& folder : tree.folders) {
        if ((folder.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;  // removed itself, never entered
        if (folder.fileIndex != 0 && !removal.others.MayHold(folder.fileIndex)) continue;
        const UniqueHandle handle = OpenEntry(folder.path, FILE_READ_ATTRIBUTES);
        const int tag = handle ? removal.others.TagOf(handle.Get()) : FolderSet::Unknown;
        if (tag == FolderSet::Unknown) unopenable = folder.path;
        if (tag != FolderSet::NotHeld) return tag;
    }
    return FolderSet::NotHeld;
}

// The registered folder of RTP name as Windows resolves its text, or why
// there is none to remove. A key or value that cannot be read shows the
// registration changed or went.
RemovalOutcome ReadRegisteredFolder(int kindIndex, const char* name, std::string& folder) {
    const RtpKind& kind = RtpKinds[static_cast<std::size_t>(kindIndex)];
    RegistryKey key;
    char registered[FolderSize] = {};
    RemovalOutcome unread;
    unread.registrationChanged = true;
    if (!key.Open(kind.rtpKeyPath, kind.rootKey)) unread.reason = RemovalReason::KeyUnopenable;
    else if (!key.QueryString(name, registered, FolderSize)) unread.reason = RemovalReason::NotInstalled;
    else return Refused(ReasonOf(ResolveRtpFolder(registered, folder)));
    return unread;
}

RemovalOutcome Sharing(RemovalReason reason, const OtherRtp& other) { return {reason, other.name, other.folder}; }

}  // namespace

RemovalOutcome FindRtpFolder(int kindIndex, const char* name, RtpRemoval& removal) {
    removal = RtpRemoval{};
    removal.name = name;
    if (IsOfficialRtp(kindIndex, name)) return Refused(RemovalReason::Official);
    if (const RemovalOutcome read = ReadRegisteredFolder(kindIndex, name, removal.folder); !read.Done()) return read;
    removal.identity = IdentifyFolder(WideOrEmpty(removal.folder));
    switch (removal.identity.kind) {
    case FolderIdentity::Kind::File: return Refused(RemovalReason::FolderIsFile);
    case FolderIdentity::Kind::Unopenable: return Refused(RemovalReason::FolderUnopenable);
    case FolderIdentity::Kind::NoAnswer: return Refused(RemovalReason::FolderNoAnswer);
    case FolderIdentity::Kind::Missing:
    case FolderIdentity::Kind::Link:
    case FolderIdentity::Kind::Folder: break;
    }
    return {};
}

RemovalOutcome CheckRtpRemoval(int kindIndex, const char* name, RtpRemoval& removal, const FoundTree* walked,
                               const WalkStops& stops) {
    if (const RemovalOutcome found = FindRtpFolder(kindIndex, name, removal);
        !found.Done() || removal.identity.kind == FolderIdentity::Kind::Missing)
        return found;  // a missing folder: only the registration will go
    return CheckAgainstOthers(kindIndex, name, removal, walked, stops);
}

RemovalOutcome CheckAgainstOthers(int kindIndex, const char* name, RtpRemoval& removal, const FoundTree* walked,
                                  const WalkStops& stops) {
    const std::vector<OtherRtp> others = OtherRtps(kindIndex, name);
    if (const OtherRtp* other = FindOverlap(others, removal.identity.finalPath))
        return Sharing(RemovalReason::Overlaps, *other);
    // The other RTPs' folders first, so that the count shown grows from 0 once.
    const OtherRtp* unchecked = nullptr;
    switch (WalkOtherFolders(others, removal.others, stops, unchecked)) {
    case OthersWalked::Stopped: return Refused(RemovalReason::CountStopped);
    case OthersWalked::Unchecked: return Sharing(RemovalReason::OtherUnchecked, *unchecked);
    case OthersWalked::Known: break;
    }
    if (walked == nullptr && removal.identity.kind == FolderIdentity::Kind::Folder) {
        bool stopped = false;
        WalkStops mine = stops;
        if (stops.carryOn) mine.carryOn = [&](const FoundTree& tree) { return !(stopped = !stops.carryOn(tree)); };
        WalkTree(removal.folder.c_str(), removal.tree, -1, 0, mine);
        removal.listed = true;
        if (stopped) return Refused(RemovalReason::CountStopped);
    }
    std::wstring unopenable;
    const int shared = FindSharedFolder(removal, walked != nullptr ? *walked : removal.tree, unopenable);
    if (shared == FolderSet::Unknown) return {RemovalReason::InnerUnopenable, {}, {}, NarrowOrEmpty(unopenable)};
    if (shared != FolderSet::NotHeld) return Sharing(RemovalReason::Overlaps, others[static_cast<std::size_t>(shared)]);
    return {};
}
