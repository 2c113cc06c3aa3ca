// File tree collection on real folders: order, depth, patterns, roots that
// are files or missing, Japanese names, links, and the current directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LinkFixture.h"
#include "ScratchDir.h"
#include "fsutil/FileFinder.h"
#include "fsutil/FileTree.h"
#include "fsutil/WinText.h"

namespace {

using Paths = std::vector<std::string>;

// The entries of a folder in the order the platform lists them, which is the
// order the collection must keep.
Paths ListNames(const std::string& folder) {
    Paths names;
    FileFinder finder;
    std::string name;
    for (bool more = finder.FindFirst((folder + "\\*.*").c_str()); more; more = finder.FindNext())
        if (!finder.IsDotEntry() && finder.Name(name)) names.push_back(name);
    return names;
}

// Keeps the elements of wanted in the order they have in order.
Paths InOrder(const Paths& order, const Paths& wanted) {
    Paths result;
    for (const auto& item : order)
        if (std::find(wanted.begin(), wanted.end(), item) != wanted.end()) result.push_back(item);
    return result;
}

std::string Join(const Paths& paths) {
    std::string text;
    for (const auto& p : paths) text += p + "\n";
    return text;
}

// R holds directory a (directory x, file f1), directory b (directory y) and file g.
class SampleTree : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MakeDirectory(R));
        ASSERT_TRUE(MakeDirectory(R + "\\a"));
        ASSERT_TRUE(MakeDirectory(R + "\\a\\x"));
        ASSERT_TRUE(WriteFileBytes(R + "\\a\\f1", "1"));
        ASSERT_TRUE(MakeDirectory(R + "\\b"));
        ASSERT_TRUE(MakeDirectory(R + "\\b\\y"));
        ASSERT_TRUE(WriteFileBytes(R + "\\g", "g"));
        // The collection keeps the platform's order of a and b.
        const Paths top = InOrder(ListNames(R), {"a", "b"});
        ASSERT_EQ(top.size(), 2u);
        first = top[0];
        second = top[1];
    }
    std::string Below(const std::string& top) const { return top == "a" ? "x" : "y"; }

    ScratchDir dir;
    const std::string R = dir / "R";
    std::string first, second;
};

TEST_F(SampleTree, UnlimitedDepth) {
    StringList files{"stale"};
    EXPECT_EQ(CollectFiles(R.c_str(), files, "*.*", -1), 2);
    EXPECT_EQ(files, (Paths{R + "\\g", R + "\\a\\f1"})) << Join(files);

    StringList directories{"stale"};
    EXPECT_EQ(CollectDirectories(R.c_str(), directories, "*.*", -1), 4);
    const Paths expected{R + "\\" + first, R + "\\" + second, R + "\\" + first + "\\" + Below(first),
                         R + "\\" + second + "\\" + Below(second)};
    EXPECT_EQ(directories, expected) << Join(directories);
}

TEST_F(SampleTree, EveryDirectoryStandsBeforeTheDirectoriesBelowIt) {
    ASSERT_TRUE(MakeDirectory(R + "\\a\\x\\deep"));
    ASSERT_TRUE(MakeDirectory(R + "\\a\\x\\deep\\deeper"));
    StringList directories;
    CollectDirectories(R.c_str(), directories, "*", -1);
    ASSERT_EQ(directories.size(), 6u) << Join(directories);
    for (std::size_t i = 0; i < directories.size(); ++i)
        for (std::size_t j = i + 1; j < directories.size(); ++j)
            EXPECT_NE(directories[i].rfind(directories[j] + "\\", 0), 0u)
                << directories[j] << " is inside " << directories[i] << " but comes after it";
}

TEST_F(SampleTree, DepthZeroListsTheRootOnly) {
    StringList out;
    EXPECT_EQ(CollectFiles(R.c_str(), out, "*.*", 0), 1);
    EXPECT_EQ(out, (Paths{R + "\\g"}));
    EXPECT_EQ(CollectDirectories(R.c_str(), out, "*.*", 0), 2);
    EXPECT_EQ(out, (Paths{R + "\\" + first, R + "\\" + second}));
}

TEST_F(SampleTree, DepthOneListsButNeverEntersTheSecondLevel) {
    ASSERT_TRUE(WriteFileBytes(R + "\\a\\x\\hidden", "h"));
    StringList out;
    EXPECT_EQ(CollectFiles(R.c_str(), out, "*.*", 1), 2);
    EXPECT_EQ(out, (Paths{R + "\\g", R + "\\a\\f1"})) << Join(out);
    EXPECT_EQ(CollectDirectories(R.c_str(), out, "*.*", 1), 4);
    EXPECT_EQ(out, (Paths{R + "\\" + first, R + "\\" + second, R + "\\" + first + "\\" + Below(first),
                          R + "\\" + second + "\\" + Below(second)}))
        << Join(out);
}

TEST_F(SampleTree, DirectoryModeWalksIntoDirectoriesThatDoNotMatch) {
    StringList out;
    EXPECT_EQ(CollectDirectories(R.c_str(), out, "x;y", -1), 2);
    EXPECT_EQ(out, (Paths{R + "\\" + first + "\\" + Below(first), R + "\\" + second + "\\" + Below(second)}))
        << Join(out);
}

TEST_F(SampleTree, EmptyPatternsCollectNothingFromADirectory) {
    for (const char* patterns : {"", ";", ";;;"}) {
        StringList out{"stale"};
        EXPECT_EQ(CollectFiles(R.c_str(), out, patterns, -1), 0) << '"' << patterns << '"';
        EXPECT_TRUE(out.empty()) << Join(out);
        EXPECT_EQ(CollectDirectories(R.c_str(), out, patterns, -1), 0);
        EXPECT_TRUE(out.empty()) << Join(out);
    }
}

TEST_F(SampleTree, TheCurrentDirectoryIsTheSameAfterEveryCall) {
    const std::string before = CurrentDirectory();
    StringList out;
    CollectFiles(R.c_str(), out, "*.*", -1);
    EXPECT_EQ(CurrentDirectory(), before);
    CollectDirectories(R.c_str(), out, "*.*", 1);
    EXPECT_EQ(CurrentDirectory(), before);
    CollectFiles((R + "\\g").c_str(), out, "*.*", -1);
    CollectFiles((R + "\\missing").c_str(), out, "*.*", -1);
    EXPECT_EQ(CurrentDirectory(), before);
}

// A relative root is resolved against the caller's current directory, for the
// root and for every directory below it alike.
TEST_F(SampleTree, ARelativeRootStaysRelativeToTheCallersDirectory) {
    const std::string before = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(WideOrEmpty(dir.Path()).c_str()));
    StringList files;
    StringList directories;
    const int fileCount = CollectFiles("R", files, "*.*", -1);
    const int directoryCount = CollectDirectories("R", directories, "*.*", -1);
    const std::string during = CurrentDirectory();
    SetCurrentDirectoryW(WideOrEmpty(before).c_str());
    EXPECT_EQ(during, dir.Path());
    EXPECT_EQ(fileCount, 2);
    EXPECT_EQ(files, (Paths{"R\\g", "R\\a\\f1"})) << Join(files);
    EXPECT_EQ(directoryCount, 4) << Join(directories);
}

TEST(CollectPaths, TwoPatternsCollectEitherInListingOrder) {
    ScratchDir dir;
    for (const char* name : {"one.txt", "two.ini", "three.dat", "four.TXT", "five.ini.bak", "six.txt"})
        ASSERT_TRUE(WriteFileBytes(dir / name, name));
    StringList out;
    EXPECT_EQ(CollectFiles(dir.Path().c_str(), out, "*.txt;*.ini", -1), 3);
    Paths expected;
    for (const auto& name : InOrder(ListNames(dir.Path()), {"one.txt", "two.ini", "six.txt"}))
        expected.push_back(dir / name);
    EXPECT_EQ(out, expected) << Join(out);
}

TEST(CollectPaths, StarDotStarMatchesNamesWithoutADot) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "README", "r"));
    ASSERT_TRUE(MakeDirectory(dir / "Graphics"));
    StringList out;
    EXPECT_EQ(CollectFiles(dir.Path().c_str(), out, "*.*", -1), 1);
    EXPECT_EQ(out, Paths{dir / "README"});
    EXPECT_EQ(CollectDirectories(dir.Path().c_str(), out, "*.*", -1), 1);
    EXPECT_EQ(out, Paths{dir / "Graphics"});
    EXPECT_EQ(CollectFiles(dir.Path().c_str(), out, "*.x;*", -1), 1) << "a lone star too";
}

TEST(CollectPaths, AFileRootIsItsOwnResultInBothModes) {
    ScratchDir dir;
    const std::string file = dir / "file.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    for (bool directories : {false, true})
        for (const char* patterns : {"*.*", "", "*.ini"}) {
            StringList out{"stale"};
            EXPECT_EQ(CollectPaths(file.c_str(), out, patterns, directories, -1), 1);
            EXPECT_EQ(out, Paths{file}) << "directories=" << directories << " patterns=" << patterns;
        }
}

TEST(CollectPaths, AMissingRootYieldsNothing) {
    ScratchDir dir;
    StringList out{"stale"};
    EXPECT_EQ(CollectFiles((dir / "missing").c_str(), out, "*.*", -1), 0);
    EXPECT_TRUE(out.empty());
    out = {"stale"};
    EXPECT_EQ(CollectDirectories("", out, "*.*", -1), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(CollectFiles("\x81", out, "*.*", -1), 0) << "not code page 932";
}

TEST(CollectPaths, ARootWithATrailingSeparatorDoublesIt) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "f", "x"));
    StringList out;
    EXPECT_EQ(CollectFiles((dir.Path() + "\\").c_str(), out, "*.*", -1), 1);
    EXPECT_EQ(out, Paths{dir.Path() + "\\\\f"});
}

// ソ (83 5C), 表 (95 5C) and 能 (94 5C) end in the byte of '\'.
TEST(CollectPaths, JapaneseNamesWithABackslashSecondByte) {
    ScratchDir dir;
    const std::string so = dir / "ソ";
    ASSERT_TRUE(MakeDirectory(so));
    ASSERT_TRUE(MakeDirectory(so + "\\表"));
    ASSERT_TRUE(WriteFileBytes(so + "\\表\\能力.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(so + "\\画像ソ", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / "表.ini", "x"));
    StringList out;
    EXPECT_EQ(CollectFiles(dir.Path().c_str(), out, "*.*", -1), 3);
    EXPECT_EQ(out, (Paths{dir / "表.ini", so + "\\画像ソ", so + "\\表\\能力.txt"})) << Join(out);
    EXPECT_EQ(CollectFiles(dir.Path().c_str(), out, "*ソ;能?.txt", -1), 2) << Join(out);
    EXPECT_EQ(out, (Paths{so + "\\画像ソ", so + "\\表\\能力.txt"}));
    EXPECT_EQ(CollectDirectories(dir.Path().c_str(), out, "表", -1), 1);
    EXPECT_EQ(out, Paths{so + "\\表"});
    for (const auto& path : out) EXPECT_TRUE(PathExists(path)) << path;
}

// On the Linux-made tree of drive L: (tests/make-link-fixture.sh): a folder
// that is a link is listed but never walked into, the root included; names
// that no path can reach, among them "..\\" and "..\\..\\..\\keep", are left
// out; and 2,000 levels of folders are walked only down to the limit.
TEST(CollectPaths, OnlyWhatLiesInsideTheRoot) {
    REQUIRE_LINK_FIXTURE(fixture);
    ASSERT_EQ(GetFileAttributesW(WideOrEmpty(fixture + "\\rtp\\link").c_str()),
              DWORD{FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY})
        << "the fixture's link should show as a reparse point";
    const struct {
        std::string root;
        Paths files, directories;
    } cases[]{
        {"rtp", {"data.txt", "sub\\s.txt"}, {"link", "sub", "sub\\emptylink"}},
        {"rootlink", {}, {}},
        {"games\\deep\\rtp", {"data.txt"}, {}},
    };
    for (const auto& c : cases) {
        const std::string root = fixture + "\\" + c.root;
        ASSERT_TRUE(PathExists(root)) << root;
        for (const auto& [expected, directories] : {std::pair{c.files, false}, std::pair{c.directories, true}}) {
            StringList out;
            CollectPaths(root.c_str(), out, "*.*", directories, -1);
            std::sort(out.begin(), out.end());
            Paths paths;
            for (const auto& name : expected) paths.push_back(root + "\\" + name);
            EXPECT_EQ(out, paths) << c.root << (directories ? " directories" : " files");
        }
    }
    StringList chain;
    EXPECT_EQ(CollectDirectories((fixture + "\\chain").c_str(), chain, "*.*", -1), WalkDepthLimit + 1);
}

// A directory that cannot be listed contributes nothing, and the walk goes on.
TEST(WalkDirectory, AMissingDirectoryContributesNothing) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "f", "x"));
    StringList out;
    WalkDirectory(dir / "gone", out, StringList{"*"}, false, -1, 0);
    EXPECT_TRUE(out.empty()) << Join(out);
    WalkDirectory(dir.Path(), out, StringList{"*"}, false, -1, 0);
    EXPECT_EQ(out, Paths{dir / "f"});
}

// A path longer than the platform takes is never collected, even from a
// directory that can still be listed ("\\." names the same directory again).
TEST(WalkDirectory, NoPathLongerThanTheLimit) {
    ScratchDir dir;
    const std::string longName(100, 'l');
    ASSERT_TRUE(WriteFileBytes(dir / "s", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / longName, "x"));
    std::string padded = dir.Path();
    while (padded.size() + 1 + longName.size() <= PathLengthLimit) padded += "\\.";
    StringList out;
    WalkDirectory(padded, out, StringList{"*"}, false, 0, 0);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], padded + "\\s");
}

TEST(MatchesAnyPattern, NamesOnlyInListOrder) {
    EXPECT_TRUE(MatchesAnyPattern("noext", {"*.*"}));
    EXPECT_TRUE(MatchesAnyPattern("", {"*"}));
    EXPECT_FALSE(MatchesAnyPattern("a.txt", {}));
    EXPECT_TRUE(MatchesAnyPattern("a.ini", {"*.txt", "*.ini"}));
    EXPECT_FALSE(MatchesAnyPattern("a.INI", {"*.txt", "*.ini"}));
    EXPECT_FALSE(MatchesAnyPattern("dir\\a.txt", {"a.txt"})) << "a name, never a path";
    EXPECT_TRUE(MatchesAnyPattern("表", {"?"}));
}

TEST(FileFinder, ReleasesItsListingAtTheEnd) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "only", "x"));
    FileFinder finder;
    EXPECT_FALSE(finder.FindNext()) << "nothing held yet";
    ASSERT_TRUE(finder.FindFirst((dir / "*.*").c_str()));
    int entries = 1;
    while (finder.FindNext()) ++entries;
    EXPECT_EQ(entries, 3) << ". .. only";
    EXPECT_FALSE(finder.IsFound());
    EXPECT_FALSE(finder.FindNext());
    EXPECT_FALSE(finder.FindFirst((dir / "missing\\*.*").c_str()));
    EXPECT_FALSE(finder.FindFirst("\x81"));
    finder.Close();
}

}  // namespace
