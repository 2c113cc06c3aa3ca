#pragma once
// Counting what lies below a folder: files, folders, bytes, and whether any
// file is a program, before the user is asked to delete it all. The walk is
// the removal's: links are counted but never entered.
#include <cstdint>

struct TreeCount {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;  // below the root, links to folders included
    std::uint64_t bytes = 0;
    bool executables = false;   // a file named *.exe or *.dll
    bool complete = true;       // false when a limit stopped the walk
};

// Walks the folder root (code page 932; a full path) and counts what it
// holds, stopping once maxEntries files and folders are counted or timeLimitMs
// have passed. A folder that cannot be listed counts as empty.
TreeCount CountTree(const char* root, std::uint64_t maxEntries, unsigned timeLimitMs);
