#include "fsutil/FileTree.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "fsutil/FileFinder.h"
#include "fsutil/TextSplit.h"
#include "fsutil/Wildcard.h"
#include "fsutil/WinText.h"

bool MatchesAnyPattern(const char* name, const StringList& patterns) {
    for (const std::string& pattern : patterns) {
        if (pattern == "*.*" || pattern == "*") return true;
        if (MatchWildcard(pattern.c_str(), name)) return true;
    }
    return false;
}

void WalkDirectory(const std::string& directory, StringList& out, const StringList& patterns,
                   bool collectDirectories, int maxDepth, int depth) {
    const int lastDepth = maxDepth < 0 || maxDepth > WalkDepthLimit ? WalkDepthLimit : maxDepth;
    // Directories still to list, the next one last. A directory's
    // subdirectories go on in reverse, so each is walked completely before
    // the next, and every directory is collected before those below it.
    std::vector<std::pair<std::string, int>> pending{{directory, depth}};
    while (!pending.empty()) {
        const auto [current, level] = std::move(pending.back());
        pending.pop_back();
        const std::size_t firstSubdirectory = pending.size();
        // Each directory is listed by its own path, so a directory that
        // vanished or cannot be entered lists nothing instead of some other
        // directory, and a relative root stays relative to the unchanged
        // current directory. The listing ends before the next one starts.
        FileFinder finder;
        std::string name;
        for (bool more = finder.FindFirst((current + "\\*.*").c_str()); more; more = finder.FindNext()) {
            if (finder.IsDotEntry() || !finder.Name(name)) continue;
            std::string path = current + "\\" + name;
            if (path.size() > PathLengthLimit) continue;
            if (finder.IsDirectory()) {
                if (collectDirectories && MatchesAnyPattern(name.c_str(), patterns)) out.push_back(path);
                if (level < lastDepth && !finder.IsLink()) pending.emplace_back(std::move(path), level + 1);
            } else if (!collectDirectories && MatchesAnyPattern(name.c_str(), patterns)) {
                out.push_back(std::move(path));
            }
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstSubdirectory), pending.end());
    }
}

int CollectPaths(const char* root, StringList& out, const char* patterns, bool collectDirectories, int maxDepth) {
    out.clear();
    StringList patternList;
    SplitText(patterns, patternList, ';');
    std::wstring wideRoot;
    if (!ToWide(root, wideRoot)) return 0;
    const DWORD attributes = GetFileAttributesW(wideRoot.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        out.push_back(root);
        return 1;
    }
    // A root that is itself a link is not entered either: what it points at
    // is not below it.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        WalkDirectory(root, out, patternList, collectDirectories, maxDepth, 0);
    return static_cast<int>(out.size());
}

int CollectFiles(const char* root, StringList& out, const char* patterns, int maxDepth) {
    return CollectPaths(root, out, patterns, false, maxDepth);
}

int CollectDirectories(const char* root, StringList& out, const char* patterns, int maxDepth) {
    return CollectPaths(root, out, patterns, true, maxDepth);
}
