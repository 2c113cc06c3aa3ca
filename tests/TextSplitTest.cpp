// Splitting texts at delimiter bytes.
#include <gtest/gtest.h>

#include <string>

#include "fsutil/TextSplit.h"

namespace {

StringList Split(const char* text, char delimiter = ';', int maxCount = 0, const char* stop = nullptr) {
    StringList out;
    SplitText(text, out, delimiter, maxCount, stop);
    return out;
}

TEST(SplitText, EmptyPiecesNeverAppear) {
    EXPECT_EQ(Split("x.dll;;y.txt;"), (StringList{"x.dll", "y.txt"}));
    EXPECT_EQ(Split(";;a"), (StringList{"a"}));
    EXPECT_EQ(Split("a"), (StringList{"a"}));
    EXPECT_EQ(Split("*.*"), (StringList{"*.*"}));
}

TEST(SplitText, EmptyOrOnlyDelimitersGivesNothing) {
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split(";").empty());
    EXPECT_TRUE(Split(";;;").empty());
}

TEST(SplitText, PiecesKeepTheirBlanks) {
    EXPECT_EQ(Split("a; b"), (StringList{"a", " b"}));
    EXPECT_EQ(Split(" ; "), (StringList{" ", " "}));
}

TEST(SplitText, TheListIsEmptiedFirst) {
    StringList out{"old", "older"};
    SplitText("new", out, ';');
    EXPECT_EQ(out, (StringList{"new"}));
    SplitText("", out, ';');
    EXPECT_TRUE(out.empty());
    out = {"kept?"};
    SplitTextAtAny("a;b", out, "");
    EXPECT_TRUE(out.empty()) << "an empty delimiter sequence still empties the list";
}

TEST(SplitText, SecondByteNeverSplits) {
    // 0x95 0x5C is 表: splitting at '\' must not cut it.
    const std::string text = "C:\\\x95\x5C\\x";
    EXPECT_EQ(Split(text.c_str(), '\\'), (StringList{"C:", "\x95\x5C", "x"}));
}

TEST(SplitText, StopTextEndsTheWalk) {
    EXPECT_EQ(Split("a;b#c;d", ';', 0, "#"), (StringList{"a", "b"}));
    EXPECT_TRUE(Split("#a;b", ';', 0, "#").empty());
    EXPECT_EQ(Split("a;b//c", ';', 0, "//"), (StringList{"a", "b"}));
    EXPECT_EQ(Split("a;b/", ';', 0, "//"), (StringList{"a", "b/"})) << "a stop text longer than the rest";
    EXPECT_EQ(Split("a;b", ';', 0, ""), (StringList{"a", "b"})) << "an empty stop text is none";
    EXPECT_EQ(Split("a;;b", ';', 0, ";;"), (StringList{"a", "b"})) << "a stop text beginning with a delimiter";
}

TEST(SplitTextAtAny, AnyOfSeveralDelimiters) {
    StringList out;
    SplitTextAtAny("a;b,c d", out, ";, ");
    EXPECT_EQ(out, (StringList{"a", "b", "c", "d"}));
}

TEST(SplitText, MaxCountOneIsNoLimit) {
    EXPECT_EQ(Split("a;b;c", ';', 1), (StringList{"a", "b", "c"}));
}

TEST(SplitText, MaxCountLimitsThePieces) {
    EXPECT_EQ(Split("a;b;c", ';', 2), (StringList{"a", "b;c"}));
    EXPECT_EQ(Split("a;b;c;;", ';', 2), (StringList{"a", "b;c"})) << "trailing delimiters are stripped";
    EXPECT_EQ(Split("a;;b;c", ';', 2), (StringList{"a", "b;c"}));
    EXPECT_EQ(Split("a;b;c", ';', 3), (StringList{"a", "b", "c"}));
    EXPECT_EQ(Split("a;b;c", ';', 9), (StringList{"a", "b", "c"}));
    EXPECT_EQ(Split("a;", ';', 2), (StringList{"a"}));
    EXPECT_EQ(Split("abc", ';', 2), (StringList{"abc"}));
    // The last piece ends in 表, whose second byte is the delimiter's value.
    const std::string text = "a\\b\x95\x5C";
    EXPECT_EQ(Split(text.c_str(), '\\', 2), (StringList{"a", "b\x95\x5C"}));
}

}  // namespace
