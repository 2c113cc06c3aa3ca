#include "fsutil/FileTree.h"

#include <windows.h>

#include "fsutil/FileFinder.h"
#include "fsutil/TextSplit.h"
#include "fsutil/Wildcard.h"
#include "fsutil/WinText.h"

namespace {

// The platform drops trailing dots and blanks from every path component, so
// such a name would reach another entry (or, for "...", the directory
// itself): it is left out rather than followed.
bool NameSurvivesPathParsing(const std::string& name) {
    const char last = name.back();
    return last != '.' && last != ' ';
}

}  // namespace

bool MatchesAnyPattern(const char* name, const StringList& patterns) {
    for (const std::string& pattern : patterns) {
        if (pattern == "*.*" || pattern == "*") return true;
        if (MatchWildcard(pattern.c_str(), name)) return true;
    }
    return false;
}

void WalkDirectory(const std::string& directory, StringList& out, const StringList& patterns,
                   bool collectDirectories, int maxDepth, int depth) {
    // Each directory is listed by its own path, so a directory that vanished
    // or cannot be entered lists nothing instead of some other directory, and
    // a relative root stays relative to the unchanged current directory.
    StringList subdirectories;
    {
        FileFinder finder;
        std::string name;
        for (bool more = finder.FindFirst((directory + "\\*.*").c_str()); more; more = finder.FindNext()) {
            if (finder.IsDotEntry()) continue;
            if (!finder.Name(name) || name.empty() || !NameSurvivesPathParsing(name)) continue;
            std::string path = directory + "\\" + name;
            if (finder.IsDirectory()) {
                if (collectDirectories && MatchesAnyPattern(name.c_str(), patterns)) out.push_back(path);
                if (maxDepth != 0 && !finder.IsLink()) subdirectories.push_back(std::move(path));
            } else if (!collectDirectories && MatchesAnyPattern(name.c_str(), patterns)) {
                out.push_back(std::move(path));
            }
        }
        // The listing is released here, before the descent.
    }
    if (maxDepth >= 0 && depth + 1 > maxDepth) return;
    for (const std::string& subdirectory : subdirectories)
        WalkDirectory(subdirectory, out, patterns, collectDirectories, maxDepth, depth + 1);
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
