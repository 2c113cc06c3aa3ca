#pragma once
// One directory listing of the platform, read through a handle to the
// directory (GetFileInformationByHandleEx, a batch of entries at a time),
// which also gives each entry's file index. Starts empty, releases its
// listing exactly once: when the listing ends, on Close, or in the
// destructor. Cannot be copied.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fsutil/UniqueHandle.h"

class FileFinder {
public:
    FileFinder() = default;
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;
    virtual void Close();
    virtual ~FileFinder() = default;

    // Releases any listing held and lists every entry of directory (a full
    // path: "C:\dir"); a link at its last name is followed, as a listing by
    // pattern would. False when the listing cannot be started or is empty.
    bool FindFirst(const std::wstring& directory);

    // Steps to the next entry. False at the end of the listing (the listing
    // is then released) and when no listing is held.
    bool FindNext();

    bool IsFound() const { return entry != nullptr; }
    DWORD Attributes() const { return entry->FileAttributes; }
    bool IsDirectory() const { return (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or a symbolic link: what it points at lies elsewhere.
    bool IsLink() const { return (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsDotEntry() const { return Name() == L"." || Name() == L".."; }
    std::uint64_t Size() const { return static_cast<std::uint64_t>(entry->EndOfFile.QuadPart); }
    // The file index of what the entry names (0 where the file system keeps none).
    std::uint64_t FileIndex() const { return static_cast<std::uint64_t>(entry->FileId.QuadPart); }
    // The current entry's name as the platform gives it; check it with NameLength first.
    std::wstring_view Name() const { return {entry->FileName, entry->FileNameLength / sizeof(wchar_t)}; }

    // The length of the current entry's name in code page 932. False when
    // the name cannot reach the entry again as part of a path: code page 932
    // cannot hold it, it holds a character that Windows forbids in names (a
    // Linux file system can hold "..\x", and Wine shows it unchanged), or it
    // ends in a dot or a blank, which path parsing drops (and "..." would name
    // the directory).
    bool NameLength(std::size_t& length) const;

private:
    // Reads the next batch of entries; false at the end of the listing.
    bool ReadBatch(FILE_INFO_BY_HANDLE_CLASS kind);

    UniqueHandle directory;
    std::vector<std::uint64_t> buffer;  // entries, 8-byte aligned
    const FILE_ID_BOTH_DIR_INFO* entry = nullptr;
};
