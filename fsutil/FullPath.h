#pragma once
// Full paths as Windows resolves them, in UTF-16 (inside the boundary with
// the platform). Nothing here touches the file system.
#include <string>
#include <string_view>

bool IsPathSeparator(wchar_t c);

// Length of the root of a full path: "C:\" or "\\server\share"; 0 when the
// path has neither form ("\\?\" and "\\.\" name devices, not a share).
std::size_t RootLength(std::wstring_view path);

// path made full by the platform: "." and ".." resolved, '/' turned into '\',
// trailing separators dropped (a root keeps its own). False when path is not
// already a full path (a drive letter with a separator, or a share), or the
// result is not one either.
bool FullPathOf(const std::wstring& path, std::wstring& full);

// Whether two paths are the same text, letter case ignored.
bool SamePathText(std::wstring_view a, std::wstring_view b);

// Whether one of two full paths equals the other or lies inside it, compared
// on whole components with letter case ignored: "C:\RTP\A" holds "c:\rtp\a\x"
// but not "C:\RTP\AB".
bool PathsOverlap(std::wstring_view a, std::wstring_view b);
