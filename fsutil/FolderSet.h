#pragma once
// Folders by what they are, whatever names reach them: a volume's serial
// number and a file index. Under Wine one folder can have two final paths (a
// drive letter or a mount onto a subfolder answers for everything below it),
// so "is this one of those folders" is asked of an open handle, never of a
// path's text. Each folder carries a tag: whose it is.
#include <windows.h>

#include <cstdint>
#include <set>
#include <unordered_set>
#include <utility>

class FolderSet {
public:
    static constexpr int NotHeld = -1;
    static constexpr int Unknown = -2;  // the platform could not say what the folder is

    // Adds the folder open on handle under tag (0 or more); false when the
    // platform cannot say what it is.
    bool Add(HANDLE folder, int tag);
    void Add(DWORD volume, std::uint64_t index, int tag);

    // The tag of the folder open on handle, NotHeld, or Unknown. The folder's
    // volume is asked for only when its file index is held: under Wine that
    // question goes to the mount manager, and most folders end at the index.
    int TagOf(HANDLE folder) const;
    int TagOf(DWORD volume, std::uint64_t index) const;

    // Whether a folder with this file index may be held (on some volume):
    // a folder listed with another index needs no further question.
    bool MayHold(std::uint64_t index) const { return indexes.count(index) != 0; }

    bool Empty() const { return folders.empty(); }
    std::size_t Size() const { return folders.size(); }

private:
    struct Folder {
        DWORD volume;
        std::uint64_t index;
        int tag;
        bool operator<(const Folder& other) const {
            return volume != other.volume ? volume < other.volume : index < other.index;
        }
    };
    std::set<Folder> folders;
    std::unordered_set<std::uint64_t> indexes;
};

// The file index of what handle reaches, without asking for its volume; false
// when the platform cannot say.
bool FileIndexOf(HANDLE handle, std::uint64_t& index);
