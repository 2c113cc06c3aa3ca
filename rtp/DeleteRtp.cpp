#include "rtp/DeleteRtp.h"

#include <winternl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "fsutil/FileTree.h"
#include "fsutil/PathRules.h"
#include "fsutil/UniqueHandle.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpKinds.h"

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD ForDeletion = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

// Opens the entry named name in the folder that folder is open on, or a link
// itself where the platform allows: no path text is parsed again.
UniqueHandle OpenEntryIn(HANDLE folder, const std::wstring& name, DWORD access) {
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    UNICODE_STRING relative{bytes, bytes, const_cast<wchar_t*>(name.c_str())};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &relative, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE entry = nullptr;
    if (name.size() > 0x7FFF) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return UniqueHandle();
    }
    const NTSTATUS opened = NtCreateFile(&entry, access, &attributes, &status, nullptr, 0, ShareAll, FILE_OPEN,
                                         FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT |
                                             FILE_SYNCHRONOUS_IO_NONALERT,
                                         nullptr, 0);
    if (opened < 0) {
        SetLastError(RtlNtStatusToDosError(opened));
        return UniqueHandle();
    }
    return UniqueHandle(entry);
}

// Marks what a handle opened with DELETE access reaches as deleted once it is closed.
bool DeleteByHandle(HANDLE entry) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// Sets or clears the read-only attribute through the handle; false when it
// already was as asked.
bool SetReadOnly(HANDLE entry, bool readOnly) {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic) ||
        ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) == readOnly)
        return false;
    // Times of zero are left as they are; attributes of zero would be too.
    const DWORD attributes = readOnly ? basic.FileAttributes | FILE_ATTRIBUTE_READONLY
                                      : basic.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    basic = {};
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// How many names the file has (hard links): they share its attributes.
DWORD LinkCount(HANDLE entry) {
    FILE_STANDARD_INFO standard{};
    return GetFileInformationByHandleEx(entry, FileStandardInfo, &standard, sizeof standard) ? standard.NumberOfLinks
                                                                                                : 1;
}

// Why the platform's error left an entry (a folder when folder).
LeftReason ReasonFor(DWORD error, bool folder) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return LeftReason::InUse;
    case ERROR_ACCESS_DENIED: return LeftReason::Denied;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return LeftReason::Unnamable;
    default: return folder ? LeftReason::FolderStayed : LeftReason::Denied;
    }
}

// A path as a box shows it: its end, where it is long.
std::string ShownPath(std::wstring_view path) {
    constexpr std::size_t Longest = 80;
    if (path.size() <= Longest) return ShownNarrow(path);
    return "…" + ShownNarrow(path.substr(path.size() - (Longest - 1)));
}

// An entry opened to be deleted, or why it could not be: gone when it is no
// longer there.
struct Opened {
    UniqueHandle handle;
    LeftReason why = LeftReason::Denied;
    bool gone = false;
};

// Whether two names are the same to the letter: the platform gives both in
// the case they have on disk, and a case twin beside a folder is another folder.
bool SameToTheLetter(std::wstring_view a, std::wstring_view b) { return a == b; }

// What every deletion is checked against: the folder the user was asked
// about, by its identity. Each entry listed below it must reach exactly that
// folder's final path followed by the names the walk found down to it: where
// the platform follows a link anyway (Wine shows a Unix symbolic link as the
// file it points at), a link anywhere on the way, or a name that parses as
// another path, reaches something else. And no folder entered or removed may
// be one of the other RTPs' folders, by identity: a final path is not
// canonical (a drive letter or a mount onto a subfolder gives its own). So
// whatever a path text might reach, nothing outside the folder is ever deleted.
class Boundary {
public:
    Boundary(const std::wstring& walked, const FolderIdentity& identity, const FolderSet& others)
        : folder(walked), root(identity), others(others) {}

    // Opens a folder of the walk (the registered folder itself for null) by its path.
    Opened OpenFolder(const FoundEntry* entry, DWORD access) const {
        if (entry == nullptr) {
            // The folder itself: the very one that was counted, or nothing;
            // a link only where the platform opened the link itself.
            UniqueHandle handle = OpenEntry(folder, access);
            if (!handle) return Failed(true);
            const FolderIdentity opened = IdentityOf(handle.Get(), folder);
            const bool same = opened == root && SameToTheLetter(opened.finalPath, root.finalPath) &&
                              (root.kind == FolderIdentity::Kind::Folder ||
                               (opened.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) &&
                              NotOthers(handle.Get());
            return same ? Opened{std::move(handle)} : Opened{UniqueHandle(), LeftReason::Link};
        }
        return Checked(OpenEntry(entry->path, access), Relative(entry), {});
    }

    // Opens a folder of the walk to open its files in. Unchecked: each file is
    // checked against its whole path, so a folder that reaches elsewhere only
    // leaves its files over.
    UniqueHandle OpenFilesFolder(const FoundEntry* entry) const {
        UniqueHandle handle =
            OpenEntry(entry == nullptr ? folder : entry->path, FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE);
        return handle && NotOthers(handle.Get()) ? std::move(handle) : UniqueHandle();
    }

    // Opens a file of the walk in its folder, open on parent as OpenFilesFolder gave it.
    Opened OpenFile(HANDLE parent, const FoundEntry* parentEntry, const FoundEntry& file) const {
        return Checked(OpenEntryIn(parent, file.name, ForDeletion), Relative(parentEntry), file.name);
    }

    // name in the folder of the walk parent (the registered folder itself
    // for null), as shown: below the registered folder.
    std::string Shown(const FoundEntry* parent, std::wstring_view name) const {
        std::wstring below(Relative(parent));
        if (!below.empty()) below.erase(0, 1).append(1, L'\\');
        return ShownPath(below.append(name));
    }

    // A folder of the walk as shown: below the registered folder, which
    // itself (null) is shown whole.
    std::string ShownFolder(const FoundEntry* entry) const {
        return ShownPath(entry == nullptr ? std::wstring_view(folder) : Relative(entry).substr(1));
    }

private:
    // A folder of the walk's path after the registered folder's ("\\a\\b").
    std::wstring_view Relative(const FoundEntry* entry) const {
        return entry == nullptr ? std::wstring_view() : std::wstring_view(entry->path).substr(folder.size());
    }

    // Why the open that just failed did.
    static Opened Failed(bool isFolder) {
        const DWORD error = GetLastError();
        return {UniqueHandle(), ReasonFor(error, isFolder), error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
    }

    // The handle, when it reaches exactly the root's final path + relative
    // + '\\' + name, and, for a folder (name empty), is none of the other
    // RTPs'. Anything else is reached through a link, or a name that parses
    // as another path.
    Opened Checked(UniqueHandle entry, std::wstring_view relative, std::wstring_view name) const {
        if (!entry) return Failed(name.empty());
        if (name.empty() && (relative.empty() || !NotOthers(entry.Get()))) return {UniqueHandle(), LeftReason::Link};
        std::wstring expected = root.finalPath;
        expected += relative;
        if (!name.empty()) expected.append(1, L'\\').append(name);
        // Wine names nothing past MAX_PATH.
        const std::wstring reached = FinalPathOf(entry.Get());
        if (reached.empty()) return {UniqueHandle(), LeftReason::Unnamable};
        if (!SameToTheLetter(reached, expected)) return {UniqueHandle(), LeftReason::Link};
        return {std::move(entry)};
    }

    bool NotOthers(HANDLE opened) const { return others.TagOf(opened) == FolderSet::NotHeld; }

    std::wstring folder;         // as resolved from the registration: the walk's paths start with it
    const FolderIdentity& root;  // what the user was asked about
    const FolderSet& others;     // the other RTPs' folders, as found at Yes
};

// Deletes an entry that passed the checks (a folder when folder), and closes
// it: nothing when it is gone, else why it stayed. RTPs copied from CD media
// are read-only: the attribute is cleared only on an entry that passed the
// checks, through the handle that passed them, and set again when the file
// keeps other names (hard links share it) or is not deleted after all.
std::optional<LeftReason> DeleteChecked(Opened entry, bool folder) {
    if (!entry.handle) return entry.gone ? std::nullopt : std::optional(entry.why);
    const HANDLE handle = entry.handle.Get();
    if (DeleteByHandle(handle)) return std::nullopt;
    DWORD error = GetLastError();
    if (SetReadOnly(handle, false)) {
        const bool deleted = DeleteByHandle(handle);
        error = GetLastError();
        if (!deleted || LinkCount(handle) > 1) SetReadOnly(handle, true);
        if (deleted) return std::nullopt;
    }
    return ReasonFor(error, folder);
}

// Tells hooks how far a step is; false once they stop the removal.
bool GoOn(const RemovalHooks& hooks, RemovalStep step, std::uint64_t done, std::uint64_t total) {
    return !hooks.progress || hooks.progress(step, done, total);
}

// Deletes every file of the walk, each in its folder as the walk found it,
// and notes in outcome each that stays. False when the hooks stopped it.
bool DeleteFiles(const FoundTree& tree, const Boundary& boundary, const RemovalHooks& hooks, RemovalOutcome& outcome) {
    int current = -2;  // the folder open now: none yet
    UniqueHandle folder;
    for (const FoundEntry& file : tree.files) {
        if (!GoOn(hooks, RemovalStep::Files, static_cast<std::uint64_t>(&file - tree.files.data()), tree.files.size()))
            return false;
        const FoundEntry* parent = file.folder < 0 ? nullptr : &tree.folders[static_cast<std::size_t>(file.folder)];
        if (file.folder != current) {
            folder = boundary.OpenFilesFolder(parent);
            current = file.folder;
        }
        const std::optional<LeftReason> stayed =
            folder ? DeleteChecked(boundary.OpenFile(folder.Get(), parent, file), false) : LeftReason::Denied;
        if (stayed) outcome.AddLeft(boundary.Shown(parent, file.name), *stayed);
    }
    return true;
}

// Under Wine a read-only folder is a Unix folder without write permission,
// whose entries cannot be deleted: such folders are made writable first.
void MakeFolderWritable(const FoundEntry* folder, DWORD attributes, const Boundary& boundary) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
    if (const Opened opened = boundary.OpenFolder(folder, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE);
        opened.handle)
        SetReadOnly(opened.handle.Get(), false);
}

// The registration names another folder than the one the user was asked
// about (folder, as it names it now): nothing is done, and the list is to be
// read again.
RemovalOutcome RegistrationChanged(std::string folder) {
    RemovalOutcome changed{RemovalReason::FolderChanged, {}, {}, std::move(folder)};
    changed.registrationChanged = true;
    return changed;
}

// Hooks' progress told of a walk: what it found so far.
WalkStops ListingStops(const RemovalHooks& hooks) {
    WalkStops stops;
    if (hooks.progress)
        stops.carryOn = [&hooks](const FoundTree& tree) {
            return hooks.progress(RemovalStep::Listing, tree.files.size(), 0);
        };
    return stops;
}

// Every check again, now: the registration, the folder or the other RTPs
// may have changed since the question. Done when the removal may go on.
RemovalOutcome CheckAgain(int kindIndex, const char* name, const RtpRemoval* confirmed, const FoundTree* walked,
                          const RemovalHooks& hooks, RtpRemoval& now) {
    RemovalOutcome outcome = CheckRtpRemoval(kindIndex, name, now, walked, ListingStops(hooks));
    if (outcome.Done() && confirmed != nullptr && !(now.identity == confirmed->identity)) {
        outcome = RegistrationChanged(now.folder);
    }
    return outcome;
}

bool Unregister(int kindIndex, const char* name) {
    const RtpKind& kind = RtpKinds[static_cast<std::size_t>(kindIndex)];
    RegistryKey key;
    return key.Open(kind.rtpKeyPath, kind.rootKey) && key.DeleteValue(name);
}

// Deletes what the walk found below the folder of the kind given, then the
// folder: the files first, then the folders from the deepest up, the folder
// itself last. Notes in outcome why and what stayed: files, then folders
// (one that stays only for what it holds is named when nothing else is).
void DeleteTree(const FoundTree& tree, FolderIdentity::Kind kind, const Boundary& boundary,
                const RemovalHooks& hooks, RemovalOutcome& outcome) {
    if (kind == FolderIdentity::Kind::Folder) {
        MakeFolderWritable(nullptr, FILE_ATTRIBUTE_READONLY, boundary);
        for (const FoundEntry& directory : tree.folders) MakeFolderWritable(&directory, directory.attributes, boundary);
    }
    for (const std::wstring& name : tree.unnamable) outcome.AddLeft(ShownPath(name), LeftReason::Unnamable);
    const std::uint64_t unnamable = outcome.leftCount;
    if (!DeleteFiles(tree, boundary, hooks, outcome)) {
        outcome.reason = RemovalReason::DeletionStopped;
        return;
    }
    if (outcome.leftCount > unnamable) {
        outcome.reason = RemovalReason::FilesLeft;
        return;
    }
    const auto removeFolder = [&](const FoundEntry* directory) {
        const std::optional<LeftReason> stayed = DeleteChecked(boundary.OpenFolder(directory, ForDeletion), true);
        if (!stayed) return;
        outcome.reason = RemovalReason::FoldersLeft;
        if (*stayed != LeftReason::FolderStayed || outcome.leftCount == 0)
            outcome.AddLeft(boundary.ShownFolder(directory), *stayed);
    };
    for (auto directory = tree.folders.rbegin(); directory != tree.folders.rend(); ++directory) {
        if (!GoOn(hooks, RemovalStep::Folders, static_cast<std::uint64_t>(directory - tree.folders.rbegin()),
                  tree.folders.size())) {
            outcome.reason = RemovalReason::DeletionStopped;
            return;
        }
        removeFolder(&*directory);
    }
    removeFolder(nullptr);
}

// Deletes tree, as walked in the folder of removal, and the folder, and
// notes in outcome what stayed. Done only once the folder is gone.
void DeleteFolder(const RtpRemoval& removal, const FoundTree& tree, const FolderSet& others,
                  const RemovalHooks& hooks, RemovalOutcome& outcome) {
    const std::wstring folder = WideOrEmpty(removal.folder);
    const Boundary boundary(folder, removal.identity, others);
    DeleteTree(tree, removal.identity.kind, boundary, hooks, outcome);
    // A deletion is done when the handle closes, and the platform may not do
    // it then (a mount point stays), or the folder may be there again.
    if (outcome.Done() && IdentifyFolder(folder).kind != FolderIdentity::Kind::Missing) {
        outcome.reason = RemovalReason::FoldersLeft;
        if (outcome.leftCount == 0) outcome.AddLeft(boundary.ShownFolder(nullptr), LeftReason::FolderStayed);
    }
}

}  // namespace

RemovalOutcome DeleteRtp(int kindIndex, const char* name, const RtpRemoval* confirmed, const RemovalHooks& hooks) {
    const bool reuse = confirmed != nullptr && confirmed->listed && confirmed->tree.complete;
    RtpRemoval now;
    RemovalOutcome outcome = CheckAgain(kindIndex, name, confirmed, reuse ? &confirmed->tree : nullptr, hooks, now);
    if (!outcome.Done()) return outcome;
    if (!Unregister(kindIndex, name)) return {RemovalReason::ValueUndeletable};
    outcome.unregistered = true;
    const RtpRemoval& removal = confirmed != nullptr ? *confirmed : now;
    if (removal.identity.kind == FolderIdentity::Kind::Missing) return outcome;

    DeleteFolder(removal, reuse ? confirmed->tree : now.tree, now.others, hooks, outcome);
    return outcome;
}

RemovalOutcome DeleteRtpRegistration(int kindIndex, const char* name, const RtpRemoval& confirmed) {
    RtpRemoval now;
    RemovalOutcome outcome = FindRtpFolder(kindIndex, name, now);
    outcome.registrationOnly = true;
    if (outcome.Done()) outcome.reason = RemovalReason::FolderAnswers;
    if (outcome.reason != RemovalReason::FolderNoAnswer) return outcome;
    if (now.folder != confirmed.folder) {
        return RegistrationChanged(now.folder);
    }
    outcome.reason = Unregister(kindIndex, name) ? RemovalReason::None : RemovalReason::ValueUndeletable;
    outcome.unregistered = outcome.Done();
    return outcome;
}

RemovalOutcome DeleteRtpRemainder(int kindIndex, const char* name, const RtpRemoval& confirmed,
                                  const RemovalHooks& hooks) {
    // Registered again meanwhile (installed anew): not what the user was asked about.
    RtpRemoval again;
    if (const RemovalReason read = FindRtpFolder(kindIndex, name, again).reason;
        read != RemovalReason::NotInstalled && read != RemovalReason::KeyUnopenable) {
        return RegistrationChanged(again.folder);
    }
    RtpRemoval now;
    now.name = confirmed.name;
    now.folder = confirmed.folder;
    now.identity = IdentifyFolder(WideOrEmpty(now.folder));
    if (now.identity.kind == FolderIdentity::Kind::Missing) return {};  // nothing is left
    if (!(now.identity == confirmed.identity)) return {RemovalReason::FolderChanged, {}, {}, now.folder};
    RemovalOutcome outcome = CheckAgainstOthers(kindIndex, name, now, nullptr, ListingStops(hooks));
    if (outcome.reason == RemovalReason::CountStopped) outcome.reason = RemovalReason::DeletionStopped;
    if (outcome.Done()) DeleteFolder(now, now.tree, now.others, hooks, outcome);
    return outcome;
}
