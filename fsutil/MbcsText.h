#pragma once
// Stepping through code page 932 text and taking paths apart.
//
// Every function here walks whole characters from the start of the text, so the
// second byte of a double-byte character (which may be 0x5C, the backslash) is
// never taken for a separator.
// None of them fails, allocates, or keeps state.
#include <cstddef>
#include <string>

// 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte(unsigned char byte);

// The character after the one at p; p itself at the terminating NUL.
// A lead byte directly before the NUL is a character of its own.
const char* NextChar(const char* p);

enum ByteKind : int {
    SingleByte = 0,  // also an invalid second byte, the NUL and any index outside the text
    LeadByte = 1,
    TrailByte = 2,
};

// What the byte at index is, found by walking the text from its first byte.
int ByteKindAt(const char* text, long long index);

// The file name: the text after the last separator ('\' or '/'), or the
// whole path when it holds none.
const char* GetFileNamePart(const char* path);

// The folder part of path: "C:\dir\file.ini" gives "C:\dir", "C:\dir\" gives
// "C:\dir", "C:\" gives "C:", "file.ini" gives "".
std::string GetDirectoryPart(const char* path);

// The length of the longest start of text, in whole characters, that takes
// at most limit bytes: where to cut a text without splitting a character.
std::size_t CharacterPrefix(const char* text, std::size_t limit);

// Byte-wise equality with only ASCII A-Z folded to a-z.
bool EqualsIgnoreAsciiCase(const char* a, const char* b);

// Whether text begins with prefix, with ASCII A-Z folded to a-z.
bool StartsWithIgnoreAsciiCase(const char* text, const char* prefix);
