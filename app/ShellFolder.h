#pragma once
// Showing a folder to the user in the shell's folder view.
#include <string>

// Opens folder (code page 932, a full path) in the shell's folder view when
// it reaches an existing directory (or a link to one); false otherwise, and
// then nothing is started. The shell is handed the folder as a parsed item
// from its final path, never a text it could expand or search for a program
// ("C:\RTP\%USERNAME%" is that folder, not a program named as the variable
// expands).
bool ShowFolder(const std::string& folder);
