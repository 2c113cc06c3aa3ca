#include "fsutil/FileTree.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "fsutil/FileFinder.h"
#include "fsutil/WinText.h"

namespace {

// name in directory, which is root or a folder below it, as a path below
// root ("sub\\name").
std::wstring Below(const std::wstring& root, const std::wstring& directory, std::wstring_view name) {
    std::wstring path = directory.size() > root.size() ? directory.substr(root.size() + 1) + L'\\' : std::wstring();
    return path.append(name);
}

// The one walk: rootLength is the root's length in code page 932.
void Walk(const std::wstring& wideRoot, std::size_t rootLength, FoundTree& tree, int maxDepth, int level,
          const WalkStops& stops, bool withFiles) {
    const int lastDepth = maxDepth < 0 || maxDepth > WalkDepthLimit ? WalkDepthLimit : maxDepth;
    // Folders still to list, the next one last: its index in tree.folders
    // (-1 for the root), its level, and its path's length in code page 932.
    // A folder's subfolders go on in reverse, so each is walked completely
    // before the next, and every folder is found before those below it.
    struct Pending { int folder; int level; std::size_t length; };
    std::vector<Pending> pending{{-1, level, rootLength}};
    FileFinder finder;
    constexpr std::uint64_t AskEvery = 256;
    std::uint64_t untilAsked = AskEvery;
    while (!pending.empty()) {
        const Pending current = pending.back();
        pending.pop_back();
        const std::size_t firstSubdirectory = pending.size();
        const std::wstring directory =
            current.folder < 0 ? wideRoot : tree.folders[static_cast<std::size_t>(current.folder)].path;
        // Each folder is listed by its own path, so one that vanished or
        // cannot be entered lists nothing instead of some other folder, and a
        // relative root stays relative to the unchanged current directory.
        // The listing ends before the next one starts.
        for (bool more = finder.FindFirst(directory); more; more = finder.FindNext()) {
            if (finder.IsDotEntry() || (!withFiles && !finder.IsDirectory())) continue;
            if (tree.files.size() + tree.folders.size() >= stops.maxEntries ||
                (--untilAsked == 0 && ((stops.deadline != 0 && GetTickCount64() >= stops.deadline) ||
                                       (stops.carryOn && !stops.carryOn(tree))))) {
                tree.complete = false;
                return;
            }
            if (untilAsked == 0) untilAsked = AskEvery;
            std::size_t nameLength = 0;
            const bool named = finder.NameLength(nameLength);
            const std::size_t length = current.length + 1 + nameLength;
            if (!named || length > PathLengthLimit) {
                ++tree.leftOut;
                tree.unnamable.push_back(Below(wideRoot, directory, finder.Name()));
                continue;
            }
            FoundEntry entry{std::wstring(finder.Name()), {}, current.folder, finder.Attributes(), finder.FileIndex()};
            if (finder.IsDirectory()) {
                entry.path = directory + L"\\" + entry.name;
                tree.folders.push_back(std::move(entry));
                if (finder.IsLink()) continue;
                if (current.level < lastDepth)
                    pending.push_back({static_cast<int>(tree.folders.size() - 1), current.level + 1, length});
                else
                    ++tree.leftOut;
            } else {
                tree.bytes += finder.Size();
                tree.files.push_back(std::move(entry));
            }
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstSubdirectory), pending.end());
    }
}

}  // namespace

void WalkTree(const char* root, FoundTree& tree, int maxDepth, int level, const WalkStops& stops) {
    tree = FoundTree{};
    std::wstring wideRoot;
    if (ToWide(root, wideRoot)) Walk(wideRoot, std::strlen(root), tree, maxDepth, level, stops, true);
}

void WalkFolders(const std::wstring& root, FoundTree& tree, const WalkStops& stops) {
    tree = FoundTree{};
    std::size_t length = 0;
    if (!NarrowLength(root, length)) length = root.size() * 2;  // at most two bytes a character
    Walk(root, length, tree, -1, 0, stops, false);
}
