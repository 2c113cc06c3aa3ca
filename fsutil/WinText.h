#pragma once
// The one place where the program's code page 932 text meets the platform's
// UTF-16. Every Windows call that takes or returns text goes through here, so
// Japanese behaves the same whatever the system's ANSI code page is.
//
// Conversions are strict: text that code page 932 cannot hold, or bytes that
// are not valid code page 932, make the conversion fail instead of turning into
// some other valid name (a lookup or a deletion by such a name must fail, not
// hit a different file or value).
#include <string>
#include <string_view>

// Code page 932 to UTF-16. False for bytes that are not valid code page 932.
bool ToWide(std::string_view text, std::wstring& out);

// UTF-16 to code page 932. False for characters code page 932 cannot hold
// exactly (no best-fit substitutes, no '?').
bool ToNarrow(std::wstring_view text, std::string& out);

// The length ToNarrow would give text, found without converting it; false
// where ToNarrow would fail.
bool NarrowLength(std::wstring_view text, std::size_t& length);

// Convenience forms: the empty text on failure, for display only.
std::wstring WideOrEmpty(std::string_view text);
std::string NarrowOrEmpty(std::wstring_view text);

// The platform's ini functions read and write a file without a byte order
// mark through the ANSI code page. These two pass bytes through the ANSI code
// page unchanged, so that such a file on disk holds exactly the code page 932
// bytes whatever that code page is. False when the ANSI code page cannot carry
// the bytes back unchanged (nothing is written then, rather than corrupted).
bool ToProfileText(std::string_view bytes, std::wstring& out);
bool FromProfileText(std::wstring_view text, std::string& out);

// UTF-8 to UTF-16. False for bytes that are not valid UTF-8.
bool FromUtf8(std::string_view bytes, std::wstring& out);

// For showing UTF-16 text only: code page 932, with '?' for each character
// it cannot hold and each control character.
std::string ShownNarrow(std::wstring_view text);

// For showing text only: the strict conversion where it succeeds, otherwise
// a lenient one that shows undecodable bytes as replacement characters.
std::wstring DisplayText(std::string_view text);
