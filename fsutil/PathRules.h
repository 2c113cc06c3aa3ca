#pragma once
// The rules of Windows paths, in one place, in UTF-16 (inside the boundary
// with the platform): separators, drive and share roots, full paths, names
// Windows can hold, and comparing paths as Windows does (letter case
// ignored). Only GetFullPathNameW is called; nothing here touches the file
// system. Texts compared here decide nothing about files: what protects files
// compares identities (FolderIdentity).
#include <string>
#include <string_view>

bool IsPathSeparator(wchar_t c);

// An ASCII letter, as a drive's ("C" of "C:\").
bool IsDriveLetter(wchar_t c);

// "C:" alone, which names the drive's remembered current directory, not its root.
bool IsBareDrive(std::wstring_view path);

// Length of the root of a full path: "C:\" or "\\server\share"; 0 when the
// path has neither form ("\\?\" and "\\.\" name devices, not a share).
std::size_t RootLength(std::wstring_view path);

// path made full by the platform: "." and ".." resolved, '/' turned into '\',
// trailing separators dropped (a root keeps its own). False when path is not
// already a full path (a drive letter with a separator, or a share), or the
// result is not one either.
bool FullPathOf(const std::wstring& path, std::wstring& full);

// A character no Windows file name holds: a separator, one of : * ? " < > |,
// or a control character.
bool IsForbiddenInName(wchar_t c);

// Whether name can reach its entry again as part of a path: not empty, no
// forbidden character, and not ending in a dot or a blank (path parsing drops
// those, and "..." would name the folder itself).
bool IsReachableName(std::wstring_view name);

// A final path as the platform gives it ("\\?\C:\x", "\\?\UNC\server\share\x")
// in the form users know ("C:\x", "\\server\share\x").
std::wstring WithoutLongPrefix(std::wstring_view path);

// A full path as the platform takes it at any length: from 248 characters
// on (the most a folder's path may have without it), with "\\?\" or
// "\\?\UNC\" in front; shorter paths and other texts as they are.
std::wstring LongPathForm(const std::wstring& path);

// Whether two paths are the same text, letter case ignored.
bool SamePathText(std::wstring_view a, std::wstring_view b);

// Whether name ends with ending, letter case ignored (".EXE").
bool EndsWithIgnoreCase(std::wstring_view name, std::wstring_view ending);

// Whether the full path path is folder or lies inside it, compared on whole
// components with letter case ignored: "c:\rtp\a\x" lies in "C:\RTP\A", but
// "C:\RTP\AB" does not.
bool IsAtOrInside(std::wstring_view path, std::wstring_view folder);

// Whether one of two full paths is at or inside the other.
bool PathsOverlap(std::wstring_view a, std::wstring_view b);
