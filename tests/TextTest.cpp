// Code page 932 text: stepping, paths, cutting, splitting, wildcards and ASCII case.
#include <gtest/gtest.h>

#include <string>

#include "fsutil/MbcsText.h"
#include "fsutil/TextSplit.h"
#include "fsutil/Wildcard.h"

// 表 and ソ: their second byte is the backslash's value. 日 is 93 FA.
#define HYOU "\x95\x5C"
#define SO "\x83\x5C"

namespace {

// Lead bytes are 81-9F and E0-FC; a trail byte 7F is invalid; a lead byte
// before the NUL is a character of its own. CharacterPrefix cuts between characters.
TEST(MbcsText, StepsWholeCharacters) {
    const std::string text = "a" HYOU "\x81\x7F" "\x9F\x40" "\xA0\xDF\xFD" "\xE0\x40" "\xFC\xFC" "\xFF" "\x95";
    const char* p = text.c_str();
    for (unsigned code : {0x61u, 0x955Cu, 0x817Fu, 0x9F40u, 0xA0u, 0xDFu, 0xFDu, 0xE040u, 0xFCFCu, 0xFFu, 0x95u, 0u}) {
        EXPECT_EQ(CharCodeAt(p), code) << "offset " << p - text.c_str();
        p = NextChar(p);
    }
    EXPECT_EQ(p, text.c_str() + text.size()) << "stays at the NUL";
    const int kinds[] = {0, 0, 1, 2, 1, 0, 1, 2, 0, 0, 0, 1, 2, 1, 2, 0, 1, 0, 0};  // indices -1 to 17
    for (int i = -1; i <= 17; ++i) EXPECT_EQ(ByteKindAt(text.c_str(), i), kinds[i + 1]) << "index " << i;
    const size_t prefixes[] = {0, 1, 1, 3, 3, 5, 5, 7, 8, 9, 10, 10, 12, 12, 14, 15, 16, 16};  // limits 0 to 17
    for (size_t n = 0; n <= 17; ++n) EXPECT_EQ(CharacterPrefix(text.c_str(), n), prefixes[n]) << "limit " << n;
}

TEST(MbcsText, PathsSplitOnlyAtSeparatorCharacters) {
    const struct { const char *path, *name, *folder; } rows[] = {{"C:\\dir\\file.ini", "file.ini", "C:\\dir"},
        {"file.ini", "file.ini", ""}, {"", "", ""}, {"C:\\dir\\", "", "C:\\dir"}, {"C:\\dir\\\\", "", "C:\\dir\\"},
        {"C:\\", "", "C:"}, {"/", "", ""}, {"a/b\\c", "c", "a/b"}, {"C:\\dir\\" HYOU, HYOU, "C:\\dir"},
        {"C:\\" SO "x" HYOU, SO "x" HYOU, "C:"}, {"C:\\" HYOU "\\x", "x", "C:\\" HYOU},
        {"D:\\" SO "\\", "", "D:\\" SO}};
    for (const auto& row : rows)
        EXPECT_TRUE(GetFileNamePart(row.path) == std::string(row.name) && GetDirectoryPart(row.path) == row.folder)
            << row.path << " gives " << GetFileNamePart(row.path) << " in " << GetDirectoryPart(row.path);
}

TEST(MbcsText, FoldsOnlyAsciiLetters) {
    const struct { const char *a, *b; bool equal, startsWith; } rows[] = {{"Standard", "sTANDARD", true, true},
        {"Standard ", "Standard", false, true}, {"", "", true, true}, {"Standar", "Standard", false, false},
        {"\xC1", "\xE1", false, false}, {"@[", "`{", false, false}, {"SOFTWARE\\x", "Software\\", false, true}};
    for (const auto& row : rows)
        EXPECT_TRUE(EqualsIgnoreAsciiCase(row.a, row.b) == row.equal &&
                    StartsWithIgnoreAsciiCase(row.a, row.b) == row.startsWith) << row.a << " / " << row.b;
}

// Each row's list starts stale: it is emptied first.
TEST(SplitText, NonEmptyPiecesBetweenDelimiterCharacters) {
    const struct { const char *text, *delimiters; int maxCount; const char* stop; StringList pieces; } rows[] = {
        {"x.dll;;y.txt;", ";", 0, nullptr, {"x.dll", "y.txt"}}, {";;;", ";", 0, nullptr, {}}, {"", ";", 0, nullptr, {}},
        {" ; a", ";", 0, nullptr, {" ", " a"}}, {"a;b,c d", ";, ", 0, nullptr, {"a", "b", "c", "d"}},
        {"a;b", "", 0, nullptr, {}}, {"C:\\" HYOU "\\x", "\\", 0, nullptr, {"C:", HYOU, "x"}},
        {"a;b#c;d", ";", 0, "#", {"a", "b"}}, {"#a", ";", 0, "#", {}}, {"a;b/", ";", 0, "//", {"a", "b/"}},
        {"a;;b", ";", 0, ";;", {"a", "b"}}, {"a;b;c", ";", 1, nullptr, {"a", "b", "c"}},
        {"a;;b;c;;", ";", 2, nullptr, {"a", "b;c"}}, {"a;", ";", 2, nullptr, {"a"}},
        {"a\\b" HYOU, "\\", 2, nullptr, {"a", "b" HYOU}}};
    for (const auto& row : rows) {
        StringList out{"stale"};
        SplitTextAtAny(row.text, out, row.delimiters, row.maxCount, row.stop);
        EXPECT_EQ(out, row.pieces) << "[" << row.text << "] " << row.maxCount << (row.stop ? row.stop : "");
    }
}

TEST(MatchWildcard, WholeCharactersCaseSensitive) {
    const struct { const char *pattern, *name; bool match; } rows[] = {{"*.ini", "x.ini", true},
        {"*.ini", "x.INI", false}, {"*.*", "noext", false}, {"", "", true}, {"", "a", false}, {"**", "", true},
        {"a?c", "ac", false}, {"a?c", "abc", true}, {"*a*b*c", "xaxxbyyc", true}, {"*a*b*c", "xaxxbyyca", false},
        {"?", "\x93\xFA", true}, {"??", "\x93\xFA", false}, {"a*?", "a\x93\xFA", true}, {SO "*", HYOU ".t", false},
        {"*\\*", HYOU "x", false}, {"*\\x", HYOU "x", false}, {"*\\x", HYOU "\\x", true}, {"*\x5C", HYOU, false}};
    for (const auto& row : rows)
        EXPECT_EQ(MatchWildcard(row.pattern, row.name), row.match) << "[" << row.pattern << "] [" << row.name << "]";
    std::string stars;  // backtracking into every star would try C(250, 40) splits
    for (int i = 0; i < 40; ++i) stars += "*a";
    EXPECT_FALSE(MatchWildcard((stars + "b").c_str(), std::string(250, 'a').c_str()));
}

}  // namespace
