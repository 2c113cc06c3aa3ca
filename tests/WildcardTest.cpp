// Wildcard matching of file names.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "fsutil/MbcsText.h"
#include "fsutil/Wildcard.h"

namespace {

// The definition, word for word: recursive backtracking over whole characters.
bool ReferenceMatch(const char* pattern, const char* name) {
    const unsigned code = CharCodeAt(pattern);
    if (code == 0) return *name == 0;
    if (code == '*') {
        if (ReferenceMatch(NextChar(pattern), name)) return true;
        if (*name == 0) return false;
        return ReferenceMatch(pattern, NextChar(name));
    }
    if (code == '?') {
        if (*name == 0) return false;
        return ReferenceMatch(NextChar(pattern), NextChar(name));
    }
    if (CharCodeAt(name) != code) return false;
    return ReferenceMatch(NextChar(pattern), NextChar(name));
}

TEST(MatchWildcard, Examples) {
    EXPECT_TRUE(MatchWildcard("*.ini", "x.ini"));
    EXPECT_FALSE(MatchWildcard("*.ini", "x.INI")) << "case matters";
    EXPECT_TRUE(MatchWildcard("?", "\x93\xFA")) << "one double-byte character";
    EXPECT_FALSE(MatchWildcard("?", ""));
    EXPECT_FALSE(MatchWildcard("??", "\x93\xFA")) << "? takes the whole character, not a byte";
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_TRUE(MatchWildcard("", ""));
    EXPECT_FALSE(MatchWildcard("", "a"));
    EXPECT_TRUE(MatchWildcard("a*", "a"));
    EXPECT_FALSE(MatchWildcard("a?c", "ac"));
    EXPECT_TRUE(MatchWildcard("a?c", "abc"));
    EXPECT_FALSE(MatchWildcard("*.*", "noext")) << "no special meaning here";
    EXPECT_TRUE(MatchWildcard("*a*b*c", "xaxxbyyc"));
    EXPECT_FALSE(MatchWildcard("*a*b*c", "xaxxbyyca"));
    EXPECT_TRUE(MatchWildcard("**", "abc"));
}

TEST(MatchWildcard, DoubleByteCharactersAreCompared) {
    // 表 (95 5C) and ソ (83 5C) share the second byte.
    EXPECT_TRUE(MatchWildcard("\x95\x5C*", "\x95\x5C.txt"));
    EXPECT_FALSE(MatchWildcard("\x83\x5C*", "\x95\x5C.txt"));
    EXPECT_FALSE(MatchWildcard("*\\*", "\x95\x5Cx")) << "a second byte 0x5C is no backslash";
    EXPECT_TRUE(MatchWildcard("*?", "\x95\x5C"));
    EXPECT_FALSE(MatchWildcard("*\x5C", "\x95\x5C"));
}

TEST(MatchWildcard, ManyStarsAnswerAtOnce) {
    std::string pattern;
    for (int i = 0; i < 40; ++i) pattern += "*a";
    pattern += "b";  // never present: the naive recursion would try C(250, 40) splits
    const std::string name(250, 'a');
    EXPECT_FALSE(MatchWildcard(pattern.c_str(), name.c_str()));
    EXPECT_TRUE(MatchWildcard(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str()));
}

// Random patterns and names over a small alphabet, double-byte characters
// with a 0x5C second byte among them, against the literal definition.
TEST(MatchWildcard, AgreesWithTheRecursiveDefinition) {
    const char* const patternPieces[] = {"*", "?", "a", "b", "\x95\x5C", "\x83\x5C", "\\", ".", "**"};
    const char* const namePieces[] = {"a", "b", "\x95\x5C", "\x83\x5C", "\\", ".", "ab"};
    std::mt19937 random(20261206);
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string pattern, name;
        const int patternLength = static_cast<int>(random() % 7);
        const int nameLength = static_cast<int>(random() % 9);
        for (int i = 0; i < patternLength; ++i) pattern += patternPieces[random() % std::size(patternPieces)];
        for (int i = 0; i < nameLength; ++i) name += namePieces[random() % std::size(namePieces)];
        const bool expected = ReferenceMatch(pattern.c_str(), name.c_str());
        ASSERT_EQ(MatchWildcard(pattern.c_str(), name.c_str()), expected)
            << "pattern [" << pattern << "] name [" << name << "]";
        matches += expected ? 1 : 0;
    }
    // Both outcomes must be well represented, or the comparison proves little.
    EXPECT_GT(matches, 1000);
    EXPECT_LT(matches, 19000);
}

}  // namespace
