// DeleteRtp against the real registry (the RPGXP and RPGVX keys in the test
// prefix), real folders and files, real warning boxes answered by the test,
// and the shell's real folder window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DialogWatcher.h"
#include "LinkFixture.h"
#include "OpenedFolders.h"
#include "ScratchDir.h"
#include "fsutil/WinText.h"
#include "rtp/DeleteRtp.h"

namespace {

const std::string FilesMessage =
    "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください";
const std::string DirectoriesMessage =
    "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
const std::string RtpName = "テスト表RTP";

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    EXPECT_TRUE(ToWide(text, wide)) << text;
    return wide;
}

// The parents of the RTP keys that the scratch keys leave behind.
class RegistryCleanup : public testing::Environment {
public:
    void TearDown() override {
        for (const wchar_t* path : {L"Software\\Enterbrain\\RGSS", L"Software\\Enterbrain\\RGSS2", L"Software\\Enterbrain"})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, 0);  // only while empty
    }
};
const auto* const registryCleanup = testing::AddGlobalTestEnvironment(new RegistryCleanup);

// Holds a file or folder open without letting anyone delete it.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~HeldOpen() { Release(); }
    void Release() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    bool IsHeld() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

// An RTP-shaped tree with Japanese names, some ending in a 0x5C second byte
// (ソ 83 5C, 表 95 5C, 能 94 5C).
std::vector<std::string> MakeRtpTree(const std::string& folder) {
    const std::vector<std::string> directories{"Graphics", "Graphics\\Characters", "Audio", "Audio\\BGM", "表示",
                                               "ソース", "ソース\\能力"};
    const std::vector<std::string> files{"Game.ini",          "Graphics\\Characters\\001-ソ.png",
                                         "Audio\\BGM\\表.mid", "表示\\readme.txt",
                                         "ソース\\能力\\データ.dat", "ソース\\能力\\ソ"};
    EXPECT_TRUE(MakeDirectory(folder)) << folder;
    for (const auto& d : directories) EXPECT_TRUE(MakeDirectory(folder + "\\" + d)) << d;
    std::vector<std::string> paths;
    for (const auto& f : files) {
        EXPECT_TRUE(WriteFileBytes(folder + "\\" + f, f)) << f;
        paths.push_back(folder + "\\" + f);
    }
    return paths;
}

std::string LastName(const std::string& folder) {
    const std::size_t cut = Wide(folder).find_last_of(L'\\');
    return NarrowOrEmpty(Wide(folder).substr(cut + 1));
}

class DeleteRtpTest : public testing::Test {
protected:
    void TearDown() override {
        // A failed test must not leave a folder window or its process behind.
        CloseOpenedFolders(5000);
    }

    void ExpectOneWarning(const BoxAnswerer& answerer, const std::string& text, HWND owner) {
        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "エラー");
        EXPECT_EQ(seen[0].text, text);
        EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING));
        EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(seen[0].owner, owner);
    }

    ScratchKey key{"Enterbrain\\RGSS\\RTP"};
    ScratchDir dir;
    TestOwnerWindow owner;
    const std::string folder = dir / "RTP表";
};

TEST_F(DeleteRtpTest, RemovesTheValueAndTheWholeTree) {
    MakeRtpTree(folder);
    // Copied from CD media, files and folders are read-only.
    for (const char* entry : {"\\Game.ini", "\\ソース", "\\ソース\\能力\\ソ"})
        ASSERT_TRUE(SetFileAttributesW(Wide(folder + entry).c_str(), FILE_ATTRIBUTE_READONLY)) << entry;
    ASSERT_TRUE(key.SetString(RtpName, folder));
    ASSERT_TRUE(key.SetString("Other", folder + "2"));
    BoxAnswerer answerer(IDOK);
    EXPECT_TRUE(DeleteRtp(0, RtpName.c_str(), owner.window));
    EXPECT_TRUE(answerer.Seen().empty()) << answerer.Seen()[0].text;
    EXPECT_TRUE(CloseOpenedFolders().empty());
    EXPECT_FALSE(key.HasValue(RtpName));
    EXPECT_TRUE(key.HasValue("Other")) << "only the one value";
    EXPECT_FALSE(PathExists(folder));
    EXPECT_TRUE(PathExists(dir.Path()));
}

TEST_F(DeleteRtpTest, OfficialRtpIsRefusedInAnyLetterCase) {
    MakeRtpTree(folder);
    ASSERT_TRUE(key.SetString("Standard", folder));
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(0, "standard", owner.window));
        ExpectOneWarning(answerer, "公式RTP[standard] を削除することはできません", owner.window);
        EXPECT_TRUE(key.HasValue("Standard"));
        EXPECT_TRUE(PathExists(folder + "\\Game.ini"));
        EXPECT_TRUE(CloseOpenedFolders().empty());
    }
    // One answerer at a time: a second one could miss a box the first answered.
    BoxAnswerer second(IDOK);
    EXPECT_FALSE(DeleteRtp(1, "rpgvx", owner.window));
    ExpectOneWarning(second, "公式RTP[rpgvx] を削除することはできません", owner.window);
}

TEST_F(DeleteRtpTest, AMissingKeyIsReported) {
    { ScratchKey gone("Enterbrain\\RGSS2\\RTP"); }  // made and removed: now missing
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(1, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, "レジストリキーのオープンに失敗しました", owner.window);
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

TEST_F(DeleteRtpTest, AValueThatCannotBeReadIsReportedAndKept) {
    MakeRtpTree(folder);
    ASSERT_TRUE(key.SetString("Expand", folder, REG_EXPAND_SZ));
    ASSERT_TRUE(key.SetString("Long", folder + "\\" + std::string(600, 'x')));
    for (const std::string name : {"Missing", "Expand", "Long"}) {
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(0, name.c_str(), owner.window));
        ExpectOneWarning(answerer,
                         "レジストリキーのサブキーの取得に失敗しました\nRTP[" + name +
                             "] はインストールされていないようです",
                         owner.window);
    }
    EXPECT_TRUE(key.HasValue("Expand"));
    EXPECT_TRUE(key.HasValue("Long"));
    EXPECT_TRUE(PathExists(folder + "\\Game.ini"));
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

TEST_F(DeleteRtpTest, AFileHeldOpenKeepsEveryDirectory) {
    const auto files = MakeRtpTree(folder);
    const std::string held = folder + "\\Audio\\BGM\\表.mid";
    ASSERT_TRUE(key.SetString(RtpName, folder));
    HeldOpen hold(held);
    ASSERT_TRUE(hold.IsHeld());
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, FilesMessage, owner.window);
    EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{LastName(folder)});
    hold.Release();
    EXPECT_FALSE(key.HasValue(RtpName)) << "the registration goes first";
    for (const auto& file : files) EXPECT_EQ(PathExists(file), file == held) << file;
    for (const char* d : {"", "\\Graphics", "\\Graphics\\Characters", "\\Audio", "\\表示", "\\ソース\\能力"})
        EXPECT_TRUE(PathExists(folder + d)) << d;
}

TEST_F(DeleteRtpTest, AFolderHeldOpenIsLeftOverWithItsParents) {
    const auto files = MakeRtpTree(folder);
    ASSERT_TRUE(key.SetString(RtpName, folder));
    HeldOpen hold(folder + "\\ソース\\能力");
    ASSERT_TRUE(hold.IsHeld());
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
    EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{LastName(folder)});
    hold.Release();
    EXPECT_FALSE(key.HasValue(RtpName));
    for (const auto& file : files) EXPECT_FALSE(PathExists(file)) << file;
    for (const char* d : {"\\Graphics", "\\Audio", "\\表示"}) EXPECT_FALSE(PathExists(folder + d)) << d;
    EXPECT_TRUE(PathExists(folder + "\\ソース\\能力"));
}

TEST_F(DeleteRtpTest, ANullOwnerGivesTheSameResultSilently) {
    const auto files = MakeRtpTree(folder);
    const std::string held = folder + "\\Game.ini";
    ASSERT_TRUE(key.SetString(RtpName, folder));
    BoxAnswerer answerer(IDOK);
    {
        HeldOpen hold(held);
        EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), nullptr));
    }
    EXPECT_TRUE(CloseOpenedFolders().empty()) << "no folder opened";
    EXPECT_FALSE(key.HasValue(RtpName));
    for (const auto& file : files) EXPECT_EQ(PathExists(file), file == held) << file;
    EXPECT_TRUE(PathExists(folder + "\\ソース\\能力"));

    ASSERT_TRUE(key.SetString(RtpName, folder));
    EXPECT_TRUE(DeleteRtp(0, RtpName.c_str(), nullptr)) << "the rest, now that nothing holds it";
    EXPECT_FALSE(PathExists(folder));
    EXPECT_FALSE(DeleteRtp(0, "Standard", nullptr));
    EXPECT_FALSE(DeleteRtp(0, "Missing", nullptr));
    ASSERT_TRUE(key.SetString("Gone", dir / "gone"));
    EXPECT_TRUE(DeleteRtp(0, "Gone", nullptr));
    EXPECT_TRUE(answerer.Seen().empty()) << answerer.Seen()[0].text;
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

// A folder deleted by hand leaves its registration behind, and removing that
// is a success. Only a folder that is truly absent counts: one on a drive that
// is not there cannot be removed.
TEST_F(DeleteRtpTest, AFolderAlreadyGoneOnlyLosesItsRegistration) {
    ASSERT_EQ(GetFileAttributesW(L"Q:\\"), INVALID_FILE_ATTRIBUTES) << "drive Q: should not exist";
    for (const auto& [registered, removed] :
         std::vector<std::pair<std::string, bool>>{{dir / "gone", true}, {dir / "gone\\deeper", true}, {"Q:\\rtp", false}}) {
        SCOPED_TRACE(registered);
        ASSERT_TRUE(key.SetString(RtpName, registered));
        BoxAnswerer answerer(IDOK);
        EXPECT_EQ(DeleteRtp(0, RtpName.c_str(), owner.window), removed);
        if (removed)
            EXPECT_TRUE(answerer.Seen().empty()) << answerer.Seen()[0].text;
        else
            ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
        EXPECT_FALSE(key.HasValue(RtpName));
    }
}

TEST_F(DeleteRtpTest, AFolderThatIsAFileIsDeletedAndReported) {
    const std::string file = dir / "file.dat";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(key.SetString(RtpName, file));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
    EXPECT_TRUE(CloseOpenedFolders().empty()) << "the shell has no folder to show";
    EXPECT_FALSE(PathExists(file));
    EXPECT_FALSE(key.HasValue(RtpName));
}

TEST_F(DeleteRtpTest, AnEmptyFolderIsRemoved) {
    ASSERT_TRUE(MakeDirectory(folder));
    ASSERT_TRUE(key.SetString(RtpName, folder));
    BoxAnswerer answerer(IDOK);
    EXPECT_TRUE(DeleteRtp(0, RtpName.c_str(), owner.window));
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_FALSE(PathExists(folder));
}

TEST_F(DeleteRtpTest, OneTrailingSeparatorIsDropped) {
    const auto files = MakeRtpTree(folder);
    ASSERT_TRUE(key.SetString(RtpName, folder + "\\"));
    {
        HeldOpen hold(files[0]);
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
        ExpectOneWarning(answerer, FilesMessage, owner.window);
        EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{LastName(folder)});
    }
    ASSERT_TRUE(key.SetString(RtpName, folder + "\\"));
    EXPECT_TRUE(DeleteRtp(0, RtpName.c_str(), owner.window));
    EXPECT_FALSE(PathExists(folder));
}

// A folder whose last character is ソ or 表 ends in the byte 0x5C: that byte
// is part of the name, not a separator to drop.
TEST_F(DeleteRtpTest, AFolderEndingInABackslashSecondByteKeepsIt) {
    for (const std::string& name : {std::string("ソ"), std::string("表"), std::string("データ能")}) {
        const std::string target = dir / name;
        MakeRtpTree(target);
        for (const std::string& registered : {target, target + "\\"}) {
            if (!PathExists(target)) MakeRtpTree(target);
            ASSERT_TRUE(key.SetString(RtpName, registered));
            BoxAnswerer answerer(IDOK);
            EXPECT_TRUE(DeleteRtp(0, RtpName.c_str(), owner.window)) << registered;
            EXPECT_TRUE(answerer.Seen().empty()) << registered << ": " << answerer.Seen()[0].text;
            EXPECT_FALSE(PathExists(target)) << registered;
        }
    }
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

// Folders that would reach a drive, a share, or wherever the current
// directory happens to be: refused before anything is touched.
TEST_F(DeleteRtpTest, DangerousFoldersAreRefusedBeforeAnythingIsTouched) {
    const std::string empty = "登録されているフォルダが空なので RTP[%s] は削除できません";
    const std::string relative = "登録されているフォルダが絶対パスではないので RTP[%s] は削除できません";
    const std::string root = "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%s] は削除できません";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", empty},
        {"\\", relative},
        {"C:", root},
        {"c:\\", root},  // would become C:, the current directory of drive C
        {"C:\\\\", root},
        {"C:/", root},
        {"C:\\.", root},
        {"C:\\windows\\..", root},
        {"Z:\\", root},
        {"sub", relative},
        {"sub\\", relative},
        {"\\sub", relative},
        {"C:sub", relative},
        {"..\\sub", relative},
        {"\\\\server\\share", root},
        {"\\\\server\\share\\", root},
        {"\\\\server", relative},
        {"\\\\?\\C:\\sub", relative},
        {"\\\\.\\C:", relative},
    };
    // The current directory is the tool's own folder: it and sub must survive.
    const std::string before = CurrentDirectory();
    ASSERT_TRUE(MakeDirectory(dir / "sub"));
    ASSERT_TRUE(WriteFileBytes(dir / "sub\\keep.txt", "k"));
    ASSERT_TRUE(WriteFileBytes(dir / "Kelmora.ini", "k"));
    ASSERT_TRUE(SetCurrentDirectoryW(Wide(dir.Path()).c_str()));
    for (const auto& [registered, format] : cases) {
        ASSERT_TRUE(key.SetString(RtpName, registered));
        BoxAnswerer answerer(IDOK);
        const bool result = DeleteRtp(0, RtpName.c_str(), owner.window);
        const std::string name = "RTP[" + RtpName + "]";
        std::string text = format;
        text.replace(text.find("RTP[%s]"), 7, name);
        EXPECT_FALSE(result) << registered;
        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u) << registered;
        EXPECT_EQ(seen[0].text, text) << registered;
        EXPECT_EQ(seen[0].caption, "エラー");
        EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING));
        EXPECT_TRUE(key.HasValue(RtpName)) << registered << ": the registration stays";
        EXPECT_TRUE(PathExists(dir / "sub\\keep.txt")) << registered;
        EXPECT_TRUE(PathExists(dir / "Kelmora.ini")) << registered;
        EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), nullptr)) << registered;
        EXPECT_EQ(answerer.Seen().size(), 1u) << registered << ": silent without an owner";
        EXPECT_TRUE(key.HasValue(RtpName));
    }
    SetCurrentDirectoryW(Wide(before).c_str());
    EXPECT_TRUE(CloseOpenedFolders().empty());
    EXPECT_TRUE(PathExists(dir / "sub\\keep.txt"));
}

// A registry value name may be far longer than a warning: the text is cut,
// never written past its buffer.
TEST_F(DeleteRtpTest, AVeryLongNameStillFitsTheWarning) {
    std::string name;
    for (int i = 0; i < 1500; ++i) name += "表";
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(0, name.c_str(), owner.window));
        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_LT(seen[0].text.size(), 1000u);
        EXPECT_EQ(seen[0].text.rfind("レジストリキーのサブキーの取得に失敗しました\nRTP[表表", 0), 0u);
    }
    ASSERT_TRUE(key.SetString(name, "C:\\"));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, name.c_str(), owner.window));
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_LT(seen[0].text.size(), 1000u);
    EXPECT_EQ(seen[0].text.rfind("登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[表", 0), 0u);
    EXPECT_TRUE(key.HasValue(name));
}

// On the Linux-made tree of drive L: (tests/make-link-fixture.sh), nothing
// outside the registered folder is touched. Wine cannot remove a link without
// following it, so links stay and are reported; so do names that no path can
// reach, and 2,000 levels of folders, more than a walk goes down.
TEST_F(DeleteRtpTest, NothingOutsideTheFolderIsTouched) {
    REQUIRE_LINK_FIXTURE(fixture);
    struct Case {
        std::string registered;
        const std::string& message;
        std::string opened;
        std::vector<std::string> kept, gone;
    };
    const std::vector<Case> cases{
        {"rtp", DirectoriesMessage, "rtp",
         {"outside\\keep.txt", "outside\\sub\\deep.txt", "emptyout", "rtp\\link", "rtp\\sub\\emptylink"},
         {"rtp\\data.txt", "rtp\\sub\\s.txt"}},
        {"rootlink\\", DirectoriesMessage, "rootlink", {"rootlink-target\\t.txt", "rootlink-target\\inner\\i.txt"}, {}},
        // Wine shows a link to a file as the file itself.
        {"filertp", FilesMessage, "filertp", {"outside\\keep.txt", "outside\\sub\\deep.txt"}, {"filertp\\own.txt"}},
        {"games\\deep\\rtp", DirectoriesMessage, "rtp", {"keep\\keep.txt", "rootfile.txt", "games\\deep\\x.txt"},
         {"games\\deep\\rtp\\data.txt"}},
        {"chain", DirectoriesMessage, "chain", {"chain\\d"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registered);
        ASSERT_TRUE(PathExists(fixture + "\\" + c.registered));
        ASSERT_TRUE(key.SetString(RtpName, fixture + "\\" + c.registered));
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
        ExpectOneWarning(answerer, c.message, owner.window);
        EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{c.opened});
        EXPECT_FALSE(key.HasValue(RtpName));
        for (const auto& path : c.kept) EXPECT_TRUE(PathExists(fixture + "\\" + path)) << path;
        for (const auto& path : c.gone) EXPECT_FALSE(PathExists(fixture + "\\" + path)) << path;
    }
    // Names that climb out of the folder, or that hold a character Windows
    // forbids, are never made into paths: each is left where it was.
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW entry{};
    HANDLE listing = FindFirstFileW(Wide(fixture + "\\games\\deep\\rtp\\*").c_str(), &entry);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    do left.emplace_back(entry.cFileName);
    while (FindNextFileW(listing, &entry));
    FindClose(listing);
    for (const std::wstring name : {L"..\\", L"..\\..\\..\\keep", L"..\\..\\..\\rootfile.txt", L"..\\x.txt", L"a:b",
                                    L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b", L"a\x01" L"b", L"a\x1f" L"b", L"c*d"})
        EXPECT_TRUE(std::find(left.begin(), left.end(), name) != left.end()) << testing::PrintToString(name);
}

}  // namespace
