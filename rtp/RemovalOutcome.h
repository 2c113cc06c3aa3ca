#pragma once
// How the check of a removal, or a removal, ended: what happened and what
// the words for it need. The removal shows nothing; the RTP list page says it
// (RemovalMessages).
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class RemovalReason {
    None,  // the check allows the removal; the removal removed everything
    // Refused before anything is touched, the registration kept:
    Official,
    KeyUnopenable,
    NotInstalled,  // the value cannot be read
    FolderEmpty,
    FolderNotAbsolute,
    FolderIsRoot,
    FolderBadCharacter,
    FolderBadName,
    FolderIsDevice,
    FolderLongForm,
    FolderIsFile,
    FolderUnopenable,
    FolderNoAnswer,
    Overlaps,         // with other, whose folder is otherFolder
    OtherUnchecked,   // other's folders could not all be checked
    InnerUnopenable,  // path: a folder inside that cannot be opened to say what it is
    CountStopped,     // the count was stopped: nothing touched
    FolderChanged,    // since the question; path: the folder registered now
    FolderAnswers,    // the drive or share that did not answer at the question does now: nothing done
    ValueUndeletable,
    // The registration went, and not everything else did:
    FilesLeft,
    FoldersLeft,
    DeletionStopped,
};

// Why an entry stayed in the folder.
enum class LeftReason { InUse, Denied, Unnamable, Link, FolderStayed };

// One entry that stayed: its path below the RTP folder, for showing (the
// registered folder itself, whole, when it is the folder that stayed).
struct LeftEntry {
    std::string path;
    LeftReason reason;
};

// How many of the entries that stayed an outcome names.
constexpr std::size_t LeftEntriesNamed = 10;

struct RemovalOutcome {
    RemovalOutcome() = default;
    RemovalOutcome(RemovalReason reason, std::string other = {}, std::string otherFolder = {}, std::string path = {})
        : reason(reason), other(std::move(other)), otherFolder(std::move(otherFolder)), path(std::move(path)) {}

    RemovalReason reason = RemovalReason::None;
    std::string other;        // another RTP's registry value name
    std::string otherFolder;  // its folder as registered
    std::string path;
    bool unregistered = false;         // the registry value is gone
    bool registrationChanged = false;  // the registry no longer says what the list shows
    bool registrationOnly = false;     // the registration alone was to go: no file was touched
    std::vector<LeftEntry> left;       // the first LeftEntriesNamed entries that stayed
    std::uint64_t leftCount = 0;       // how many stayed in all

    void AddLeft(std::string shown, LeftReason why) {
        if (left.size() < LeftEntriesNamed) left.push_back({std::move(shown), why});
        ++leftCount;
    }

    bool Done() const { return reason == RemovalReason::None; }
    // Something is left in the folder, which the user may finish by hand.
    bool LeftOver() const {
        return reason == RemovalReason::FilesLeft || reason == RemovalReason::FoldersLeft ||
               reason == RemovalReason::DeletionStopped;
    }
    // What is left may go on a second try: the user stopped, or something
    // was in use or refused.
    bool MayCarryOn() const {
        if (reason == RemovalReason::DeletionStopped) return true;
        if (!LeftOver()) return false;
        for (const LeftEntry& entry : left)
            if (entry.reason == LeftReason::InUse || entry.reason == LeftReason::Denied) return true;
        return false;
    }
};
