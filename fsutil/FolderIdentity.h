#pragma once
// What a path reaches, as the platform says it is: a folder has many
// spellings (another drive letter reaching the same place, a short name,
// "\\?\", a trailing dot, a parent that is a link), and one identity: the
// final path the platform gives for an open handle, its volume and its file
// index. Whatever protects files decides on this, never on the path's text.
#include <windows.h>

#include <cstdint>
#include <string>

#include "fsutil/UniqueHandle.h"

struct FolderIdentity {
    enum class Kind {
        Missing,     // not there, on a drive or share that answers
        NoAnswer,    // not found, and neither is the root of its drive or share
        Unopenable,  // there, but it cannot be opened to say what it is
        File,
        Link,        // a junction or symbolic link to a folder: not entered
        Folder,
    };
    Kind kind = Kind::Missing;
    std::wstring finalPath;  // a Folder's, File's or Link's: "C:\G\Std", "\\server\share\x"
    DWORD volume = 0;
    std::uint64_t fileIndex = 0;
    DWORD attributes = 0;  // of what was opened: where Wine follows a link anyway, its target's

    // The same kind and, for what is there, the same final path and file.
    bool operator==(const FolderIdentity& other) const;
};

// Whether two identities are one file or folder (volume and file index),
// whatever path reaches each.
bool SameObject(const FolderIdentity& a, const FolderIdentity& b);

// Opens path (UTF-16, as the platform accepts it) without following a link at
// its last name, and says what it is.
FolderIdentity IdentifyFolder(const std::wstring& path);

// What handle, opened by OpenEntry on path, reaches: Unopenable when the
// platform cannot say.
FolderIdentity IdentityOf(HANDLE handle, const std::wstring& path);

// Opens a file or folder by path (at any length) for access: a link at its
// last name itself, or what it points at when followed. Empty when it
// cannot be opened.
enum class LastName { Itself, Followed };
UniqueHandle OpenEntry(const std::wstring& path, DWORD access, LastName last = LastName::Itself);

// The platform's own name for what handle reaches, without "\\?\" ("C:\dir\file"),
// or empty.
std::wstring FinalPathOf(HANDLE handle);
