// The byte-wise order of RTP names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtp/StringMap.h"

namespace {

std::vector<std::string> Keys(const StringMap& map) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : map) keys.push_back(key);
    return keys;
}

TEST(StringMap, UpperCaseBeforeLowerCase) {
    StringMap map;
    map.emplace("rtpB", "b");
    map.emplace("RTPa", "a");
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"RTPa", "rtpB"}));
}

TEST(StringMap, JapaneseAfterEveryAsciiName) {
    StringMap map;
    map.emplace("\x93\xFA\x96\x7B", "j");  // 日本: first byte 0x93, above 0x7F
    map.emplace("~tilde", "t");
    map.emplace("Zeta", "z");
    map.emplace("\x7F", "del");
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"Zeta", "~tilde", "\x7F", "\x93\xFA\x96\x7B"}));
}

TEST(StringMap, PrefixFirstAndFirstInsertWins) {
    StringMap map;
    map.emplace("abc", "1");
    map.emplace("ab", "2");
    map.emplace("abc", "3");
    map.emplace(std::string("ab\0", 3), "4");
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"ab", std::string("ab\0", 3), "abc"}));
    EXPECT_EQ(map["abc"], "1");
}

}  // namespace
