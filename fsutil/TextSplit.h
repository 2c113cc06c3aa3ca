#pragma once
// Splitting code page 932 text at delimiter bytes.
#include <string_view>

#include "fsutil/StringList.h"

// Empties out, then appends the non-empty pieces of text between delimiter
// bytes, in order, without trimming. Only the first byte of a double-byte
// character is compared, so a second byte never splits. With a stop text the
// walk ends where it begins (looked for at characters that are not delimiters).
// A maxCount of 0 or 1 means no limit; with 2 or more, at most that many pieces
// result and the last one takes the rest of the text, less trailing delimiters.
void SplitTextAtAny(const char* text, StringList& out, std::string_view delimiters, int maxCount = 0,
                    const char* stop = nullptr);

void SplitText(const char* text, StringList& out, char delimiter, int maxCount = 0, const char* stop = nullptr);
