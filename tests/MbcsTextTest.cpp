// Character stepping and path splitting over code page 932 text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fsutil/MbcsText.h"

namespace {

// "表" is 0x95 0x5C: its second byte is the backslash's value.
const std::string Hyou = "\x95\x5C";
// "ソ" is 0x83 0x5C.
const std::string So = "\x83\x5C";
// "日本" in code page 932.
const std::string Nihon = "\x93\xFA\x96\x7B";

TEST(LeadByte, RangesAndTheirEdges) {
    for (int byte : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    for (int byte : {0x00, 0x5C, 0x7F, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
        EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(byte))) << byte;
}

TEST(NextChar, StepsWholeCharacters) {
    const std::string text = "a" + Hyou + "b";
    const char* p = text.c_str();
    EXPECT_EQ(NextChar(p), p + 1);
    EXPECT_EQ(NextChar(p + 1), p + 3);
    EXPECT_EQ(NextChar(p + 3), p + 4);
    EXPECT_EQ(NextChar(p + 4), p + 4) << "stays at the terminating NUL";
}

TEST(NextChar, LeadByteBeforeTheEndIsACharacterOfItsOwn) {
    const char text[] = "a\x95";
    EXPECT_EQ(NextChar(text + 1), text + 2);
    EXPECT_EQ(CharCodeAt(text + 1), 0x95u);
}

TEST(CharCodeAt, SingleDoubleAndEnd) {
    EXPECT_EQ(CharCodeAt("A"), 0x41u);
    EXPECT_EQ(CharCodeAt("\xFF"), 0xFFu) << "bytes are unsigned";
    EXPECT_EQ(CharCodeAt(Hyou.c_str()), 0x955Cu);
    EXPECT_EQ(CharCodeAt(""), 0u);
    EXPECT_EQ(CharCodeAt("\x81\x7F"), 0x817Fu) << "the second byte is not validated";
}

TEST(ByteKindAt, ClassifiesEveryByteOfAMixedText) {
    const std::string text = "a" + Hyou + Nihon + "\x81\x30" + "z";
    const int expected[] = {0, 1, 2, 1, 2, 1, 2, 1, 0, 0};
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i)
        EXPECT_EQ(ByteKindAt(text.c_str(), i), expected[i]) << "index " << i;
}

TEST(ByteKindAt, IndicesOutsideTheText) {
    EXPECT_EQ(ByteKindAt("ab", -1), 0);
    EXPECT_EQ(ByteKindAt("ab", 2), 0) << "the NUL";
    EXPECT_EQ(ByteKindAt("ab", 3), 0);
    EXPECT_EQ(ByteKindAt("", 0), 0);
}

TEST(ByteKindAt, AgreesWithNextCharOnCharacterStarts) {
    const std::string text = "x" + So + "\\" + Nihon + "\x81\x7F" + "q";
    for (const char* p = text.c_str(); *p != 0; p = NextChar(p))
        EXPECT_NE(ByteKindAt(text.c_str(), p - text.c_str()), 2) << "offset " << (p - text.c_str());
}

TEST(GetFileNamePart, Examples) {
    EXPECT_STREQ(GetFileNamePart("C:\\dir\\file.ini"), "file.ini");
    EXPECT_STREQ(GetFileNamePart("file.ini"), "file.ini");
    EXPECT_STREQ(GetFileNamePart("C:\\dir\\"), "");
    EXPECT_STREQ(GetFileNamePart("a/b\\c"), "c");
    EXPECT_STREQ(GetFileNamePart(""), "");
}

TEST(GetFileNamePart, SecondByte5CIsNoSeparator) {
    const std::string path = "C:\\dir\\" + Hyou;
    EXPECT_EQ(std::string(GetFileNamePart(path.c_str())), Hyou);
    const std::string name = So + "x" + Hyou + ".txt";
    const std::string nested = "C:\\" + name;
    EXPECT_EQ(std::string(GetFileNamePart(nested.c_str())), name);
}

TEST(GetDirectoryPart, Examples) {
    EXPECT_EQ(GetDirectoryPart("C:\\dir\\file.ini"), "C:\\dir");
    EXPECT_EQ(GetDirectoryPart("C:\\"), "C:");
    EXPECT_EQ(GetDirectoryPart("C:\\dir\\"), "C:\\dir");
    EXPECT_EQ(GetDirectoryPart("C:\\dir\\\\"), "C:\\dir\\") << "only one separator goes";
    EXPECT_EQ(GetDirectoryPart("file.ini"), "");
    EXPECT_EQ(GetDirectoryPart(""), "");
    EXPECT_EQ(GetDirectoryPart("/"), "");
    EXPECT_EQ(GetDirectoryPart("a/b"), "a");
}

TEST(GetDirectoryPart, DoubleByteCharactersWith5C) {
    EXPECT_EQ(GetDirectoryPart(("C:\\dir\\" + Hyou).c_str()), "C:\\dir");
    EXPECT_EQ(GetDirectoryPart(("C:\\" + Hyou + "\\x.ini").c_str()), "C:\\" + Hyou);
    // A folder whose name ends in 表 keeps its last byte.
    EXPECT_EQ(GetDirectoryPart(("C:\\" + So + "\\").c_str()), "C:\\" + So);
}

TEST(GetDirectoryPart, WritesInPlaceAndIntoABufferOfExactSize) {
    char buffer[] = "C:\\dir\\file.ini";
    GetDirectoryPart(buffer, buffer);
    EXPECT_STREQ(buffer, "C:\\dir");
    const char path[] = "C:\\x\\";
    char exact[sizeof path];
    GetDirectoryPart(exact, path);
    EXPECT_STREQ(exact, "C:\\x");
}

TEST(TailOf, CountsPlainBytes) {
    const char text[] = "abc";
    EXPECT_EQ(TailOf(text, 1), text + 2);
    EXPECT_EQ(TailOf(text, 3), text);
    EXPECT_EQ(TailOf(text, 4), text) << "longer than the text";
    EXPECT_EQ(TailOf(text, 0), text + 3);
    EXPECT_STREQ(TailOf("", 1), "");
    const std::string hyou = "C:\\" + Hyou;
    EXPECT_STREQ(TailOf(hyou.c_str(), 1), "\\") << "the second byte of 表, counted as a byte";
}

TEST(CutTail, NeverEmptiesTheText) {
    char backslash[] = "\\";
    CutTail(backslash, 1);
    EXPECT_STREQ(backslash, "\\");
    char four[] = "C:x\\";
    CutTail(four, 1);
    EXPECT_STREQ(four, "C:x");
    char same[] = "abc";
    CutTail(same, 0);
    EXPECT_STREQ(same, "abc");
    CutTail(same, 3);
    EXPECT_STREQ(same, "abc");
    CutTail(same, 100);
    EXPECT_STREQ(same, "abc");
    CutTail(same, 2);
    EXPECT_STREQ(same, "a");
    char empty[] = "";
    CutTail(empty, 0);
    EXPECT_STREQ(empty, "");
}

TEST(CharacterPrefix, CutsOnlyBetweenCharacters) {
    const std::string text = "a" + Hyou + "b";
    EXPECT_EQ(CharacterPrefix(text.c_str(), 0), 0u);
    EXPECT_EQ(CharacterPrefix(text.c_str(), 1), 1u);
    EXPECT_EQ(CharacterPrefix(text.c_str(), 2), 1u) << "2 bytes would split 表";
    EXPECT_EQ(CharacterPrefix(text.c_str(), 3), 3u);
    EXPECT_EQ(CharacterPrefix(text.c_str(), 100), 4u);
    EXPECT_EQ(CharacterPrefix("", 5), 0u);
}

TEST(IgnoreAsciiCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsIgnoreAsciiCase("Standard", "sTANDARD"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("Standard", "Standard "));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("Standar", "Standard"));
    EXPECT_TRUE(EqualsIgnoreAsciiCase("", ""));
    // 0xC1 and 0xE1 differ by 0x20 like 'A' and 'a' but are not ASCII letters.
    EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC1", "\xE1"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("@", "`"));
    EXPECT_TRUE(StartsWithIgnoreAsciiCase("SOFTWARE\\x", "Software\\"));
    EXPECT_FALSE(StartsWithIgnoreAsciiCase("Software", "Software\\"));
    EXPECT_TRUE(StartsWithIgnoreAsciiCase("abc", ""));
}

}  // namespace
