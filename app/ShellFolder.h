#pragma once
// Showing a folder to the user in the shell's folder view.
#include <string>

// Opens folder (code page 932) in the shell's folder view when it is a full
// path to an existing directory; false otherwise, and then nothing is
// started: a program, a document or a bare name is never opened or run.
bool ShowFolder(const std::string& folder);
