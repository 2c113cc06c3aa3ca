#pragma once
// Message boxes in the program's own text, and the warning boxes: caption
// "エラー", one OK button, the warning icon.
#include <windows.h>

// MessageBox with code page 932 text and caption; its answer (IDYES...).
int ShowMessage(HWND owner, const char* text, const char* caption, UINT style);

// Shows text in a modal warning box owned by owner (null: an unowned box) and
// returns when the user closes it. Always false, so a caller can
// `return ShowWarning(...)` from a function that failed.
bool ShowWarning(HWND owner, const char* text);

// printf-style; a null format shows "Program aborted.". The text is cut, at
// a character boundary, to fit WarningTextSize bytes.
bool ShowWarningF(HWND owner, const char* format, ...);

constexpr int WarningTextSize = 1000;
