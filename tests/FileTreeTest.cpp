// File tree collection on a scratch tree and on the Linux-made tree of drive
// L: (tests/make-link-fixture.sh), each row's root relative to the current
// directory.
#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "ScratchDir.h"
#include "fsutil/FileTree.h"

namespace {

struct Row {
    const char* root;
    bool directories;
    const char* patterns;
    int depth;
    const char* expected;  // the collected paths, sorted, separated by blanks
};

// Collects each row from base and compares the sorted paths; the current
// directory stays base throughout.
void CheckRows(const std::string& base, std::initializer_list<Row> rows) {
    wchar_t before[MAX_PATH] = {}, during[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(WideOrEmpty(base).c_str())) << base;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.root << (row.directories ? " directories " : " files ")
                                        << '"' << row.patterns << "\" depth " << row.depth);
        StringList out{"stale"};
        const int count = CollectPaths(row.root, out, row.patterns, row.directories, row.depth);
        EXPECT_EQ(count, static_cast<int>(out.size()));
        std::sort(out.begin(), out.end());
        std::string text;
        for (const auto& path : out) text += (text.empty() ? "" : " ") + path;
        EXPECT_EQ(text, row.expected);
        GetCurrentDirectoryW(MAX_PATH, during);
        EXPECT_EQ(NarrowOrEmpty(during), base);
    }
    SetCurrentDirectoryW(before);
}

// ソ (83 5C) and 表 (95 5C) end in the byte of '\'.
TEST(CollectPaths, DepthPatternsAndRoots) {
    ScratchDir dir;
    for (const char* d : {"R", "R\\a", "R\\a\\a1", "R\\a\\a1\\a2", "R\\b", "R\\b\\b1", "R\\ソ"})
        ASSERT_TRUE(MakeDirectory(dir / d)) << d;
    for (const char* f : {"R\\g", "R\\a\\f1.txt", "R\\a\\a1\\h.ini", "R\\ソ\\表.txt"}) ASSERT_TRUE(WriteFileBytes(dir / f, f));
    CheckRows(dir.Path(), {
        {"R", false, "*.*", -1, "R\\a\\a1\\h.ini R\\a\\f1.txt R\\g R\\ソ\\表.txt"},
        {"R", true, "*.*", -1, "R\\a R\\a\\a1 R\\a\\a1\\a2 R\\b R\\b\\b1 R\\ソ"},
        {"R", false, "*", 0, "R\\g"},
        {"R", true, "*.*", 0, "R\\a R\\b R\\ソ"},
        {"R", false, "*.*", 1, "R\\a\\f1.txt R\\g R\\ソ\\表.txt"},
        {"R", true, "*.*", 1, "R\\a R\\a\\a1 R\\b R\\b\\b1 R\\ソ"},
        {"R", true, "a2;b1", -1, "R\\a\\a1\\a2 R\\b\\b1"},
        {"R", false, "*.txt;*.ini", -1, "R\\a\\a1\\h.ini R\\a\\f1.txt R\\ソ\\表.txt"},
        {"R", false, "表.*", -1, "R\\ソ\\表.txt"},
        {"R", false, ";", -1, ""},
        {"R", true, "", -1, ""},
        {"R\\", false, "*.*", 0, "R\\\\g"},
        {"R\\g", true, "*.ini", -1, "R\\g"},
        {"R\\missing", false, "*.*", -1, ""},
    });
    // Each subtree follows in the order the platform listed its folder.
    StringList order;
    ASSERT_EQ(CollectDirectories((dir / "R").c_str(), order, "a;b;a1;b1", -1), 4);
    EXPECT_EQ(order[2].rfind(order[0] + "\\", 0), 0u) << order[0] << ", " << order[1] << ", " << order[2];
}

// Links are listed, never walked into, the root included; names that no path
// can reach ("..\\", "a*b", names code page 932 cannot hold) are left out;
// 2,000 levels of folders are walked only down to the limit.
TEST(CollectPaths, OnlyWhatLiesInsideTheRoot) {
    REQUIRE_LINK_FIXTURE(fixture);
    CheckRows(fixture, {
        {"rtp", false, "*.*", -1, "rtp\\data.txt rtp\\sub\\s.txt"},
        {"rtp", true, "*.*", -1, "rtp\\link rtp\\sub rtp\\sub\\emptylink"},
        {"rootlink", false, "*.*", -1, ""},
        {"games\\deep\\rtp", false, "*.*", -1, "games\\deep\\rtp\\data.txt"},
        {"games\\deep\\rtp", true, "*.*", -1, ""},
    });
    for (const int depth : {-1, 5000}) {
        StringList chain;
        EXPECT_EQ(CollectDirectories((fixture + "\\chain").c_str(), chain, "*.*", depth), WalkDepthLimit + 1);
    }
}

// "\\." names the same folder again: it can still be listed, but the path of
// an entry would be longer than the platform takes.
TEST(WalkDirectory, NoPathLongerThanTheLimit) {
    ScratchDir dir;
    const std::string longName(100, 'l');
    ASSERT_TRUE(WriteFileBytes(dir / "s", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / longName, "x"));
    std::string padded = dir.Path();
    while (padded.size() + 1 + longName.size() <= PathLengthLimit) padded += "\\.";
    StringList out;
    WalkDirectory(padded, out, StringList{"*"}, false, 0, 0);
    EXPECT_EQ(out, StringList{padded + "\\s"});
}

}  // namespace
