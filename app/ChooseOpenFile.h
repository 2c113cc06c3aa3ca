#pragma once
// The platform's open-file dialog.
#include <windows.h>

#include <cstdint>

// Shows the open-file dialog owned by owner. file holds the initial name on
// entry and the chosen full path on return; fileSize is its size in bytes.
// filter is the platform's list of description and pattern pairs, each ended
// by a NUL, the list by one more. An empty or null initialDirectory or title
// is not passed on. The chosen file need not exist, the read-only box is
// hidden, and the current directory is the same afterwards.
// True when the user confirmed a file; false when cancelled or failed (file
// is then unchanged), or when the path does not fit fileSize bytes.
bool ChooseOpenFile(HWND owner, char* file, std::uint32_t fileSize, const char* filter, const char* initialDirectory,
                    const char* title, std::uint32_t filterIndex);
