#pragma once
// One directory listing of the platform (FindFirstFileW / FindNextFileW).
// Starts empty, releases its listing exactly once: when the listing ends, on
// Close, or in the destructor. Cannot be copied.
#include <windows.h>

#include <cstdint>
#include <string>

class FileFinder {
public:
    FileFinder() = default;
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;
    virtual void Close();
    virtual ~FileFinder();

    // Releases any listing held and starts one for pattern (code page 932, for
    // example "C:\dir\*.*"). False when the listing cannot be started, also
    // when pattern is not code page 932 text.
    bool FindFirst(const char* pattern);
    bool FindFirst(const std::wstring& pattern);

    // Steps to the next entry. False at the end of the listing (the listing
    // is then released) and when no listing is held.
    bool FindNext();

    bool IsFound() const { return found; }
    DWORD Attributes() const { return entry.dwFileAttributes; }
    bool IsDirectory() const { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or a symbolic link: what it points at lies elsewhere.
    bool IsLink() const { return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsDotEntry() const;
    std::uint64_t Size() const { return (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow; }
    // The current entry's name as the platform gives it; check it with NameLength first.
    const wchar_t* WideName() const { return entry.cFileName; }

    // The length of the current entry's name in code page 932. False when
    // the name cannot reach the entry again as part of a path: code page 932
    // cannot hold it, it holds a character that Windows forbids in names (a
    // Linux file system can hold "..\x", and Wine shows it unchanged), or it
    // ends in a dot or a blank, which path parsing drops (and "..." would name
    // the directory).
    bool NameLength(std::size_t& length) const;

private:
    WIN32_FIND_DATAW entry{};
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool found = false;
    bool open = false;
};
