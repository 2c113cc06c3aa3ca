#pragma once
// Wildcard matching of file names, over whole code page 932 characters.

// True when the whole name matches the whole pattern. '*' takes any run of
// characters (none included), '?' exactly one character of one or two bytes;
// every other character matches only itself, case-sensitively. There are no
// escapes and no character classes.
//
// Cost is at most proportional to pattern length times name length, however
// many stars the pattern holds.
bool MatchWildcard(const char* pattern, const char* name);
