#pragma once
// The running executable's folder, which the program keeps as its current
// directory and against which relative ini names are resolved.
#include <string>

constexpr int ExeDirectorySize = 512;

// The folder without a trailing separator ("C:" for a drive's root folder);
// empty until the first successful request, and for good when the folder's
// name cannot be held in code page 932.
extern char ExeDirectory[ExeDirectorySize];

// Fills ExeDirectory on first use, then makes it the current directory.
// False when the folder is unknown or cannot be entered.
bool EnterExeDirectory();

// EnterExeDirectory(), then ExeDirectory: every request of the folder also
// puts the current directory back there.
const char* GetExeDirectory();

// path as it is best remembered: relative to the executable's folder when it
// lies inside it ("Tavisk.ini", "sub\Tavisk.ini"), however the path spells
// that folder (another drive letter, "Z:\...\drive_c"), so that a moved folder
// keeps working; any other path unchanged.
std::string RelativeToExeDirectory(const std::string& path);
