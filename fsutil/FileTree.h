#pragma once
// Walking the files and folders below a root.
//
// A found folder's path is the path of the folder holding it, one '\' and its
// name; paths are never normalised. Folders are listed in an order in which
// every folder comes before all folders below it, so reading the list from its
// end visits each folder only after everything inside it.
//
// Links (junctions and symbolic links, which the platform marks as reparse
// points) below the root are never walked into; a link to a folder is listed
// as a folder. The root itself is listed as given: a caller that must not
// follow a root that is a link checks it first.
//
// A walk goes at most WalkDepthLimit levels below the directory it starts
// from, whatever the maximum depth asked for, and never collects a path
// longer than PathLengthLimit bytes, the most the platform takes; it keeps its
// own list of directories still to list, so no tree, however deep, can
// exhaust the stack. Entries beyond the limits, and names that cannot reach
// their entry as part of a path (FileFinder::NameLength), are left out.
//
// The process's current directory is never changed. Nothing is reported to
// the user: what cannot be listed or named is simply missing from the result.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int WalkDepthLimit = 256;
constexpr std::size_t PathLengthLimit = 32767;

// One file or folder a walk found.
struct FoundEntry {
    std::wstring name;  // as the platform lists it
    std::wstring path;  // folders only: the root, '\' and every name down to this one
    int folder = -1;    // the folder holding it, an index into FoundTree::folders; -1 for the root
    DWORD attributes = 0;
    std::uint64_t fileIndex = 0;  // as listed (0 where the file system keeps none)
};

// Everything below a root, each in the order the collections below give it:
// so, read from its end, folders come after everything inside them.
struct FoundTree {
    std::vector<FoundEntry> files;
    std::vector<FoundEntry> folders;  // links to folders included, never walked into
    std::uint64_t bytes = 0;          // the files' sizes added up
    // Entries left out: names no path can reach, paths past the length
    // limit, and folders past the depth limit (whose contents are not listed).
    std::uint64_t leftOut = 0;
    // The names among them, below the root ("sub\a:b"): what a removal can
    // only leave.
    std::vector<std::wstring> unnamable;
    bool complete = true;  // false when the walk was stopped before its end
};

// When a walk stops early: after maxEntries files and folders, once the tick
// count reaches deadline (0: never), or when carryOn, asked every so many
// entries with the tree so far, says false.
struct WalkStops {
    std::uint64_t maxEntries = UINT64_MAX;
    ULONGLONG deadline = 0;
    std::function<bool(const FoundTree&)> carryOn;
};

// Lists everything below the directory root in one walk, within the limits
// above, starting level levels below the walk's start. The tree is emptied
// first; a root that cannot be listed leaves it empty. The removal's
// question counts from this tree, and the removal deletes exactly what it lists.
void WalkTree(const char* root, FoundTree& tree, int maxDepth, int level = 0, const WalkStops& stops = {});

// The folders alone below root (UTF-16, any form the platform opens), within
// the same limits, without a maximum depth: files are neither kept nor
// counted, and leftOut counts folders only.
void WalkFolders(const std::wstring& root, FoundTree& tree, const WalkStops& stops = {});
