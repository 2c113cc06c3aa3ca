// Code page 932 text: stepping, paths and cutting between whole characters.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "fsutil/MbcsText.h"

// 表 and ソ: their second byte is the backslash's value. 日 is 93 FA.
#define HYOU "\x95\x5C"
#define SO "\x83\x5C"

namespace {

// Lead bytes are 81-9F and E0-FC; a lead byte before the NUL is a character
// of its own, and a trail byte 7F is invalid. CharacterPrefix cuts between characters.
TEST(MbcsText, StepsWholeCharacters) {
    const std::string text = "a" HYOU "\x81\x7F" "\x9F\x40" "\xA0\xDF\xFD" "\xE0\x40" "\xFC\xFC" "\xFF" "\x95";
    const char* p = text.c_str();
    for (std::ptrdiff_t next : {1, 3, 5, 7, 8, 9, 10, 12, 14, 15, 16, 16})  // 16, the NUL, where it stays
        EXPECT_EQ((p = NextChar(p)) - text.c_str(), next);
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
    for (const auto& row : rows) {
        EXPECT_STREQ(GetFileNamePart(row.path), row.name) << row.path;
        EXPECT_EQ(GetDirectoryPart(row.path), row.folder) << row.path;
    }
}

}  // namespace
