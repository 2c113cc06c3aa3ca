// DeleteRtp against the real registry (the RPGXP and RPGVX keys in the test
// prefix), real folders and files, real warning boxes answered by the test,
// and the shell's real folder window.
#include <gtest/gtest.h>

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
    EXPECT_FALSE(DeleteRtp(0, "Gone", nullptr));
    EXPECT_TRUE(answerer.Seen().empty()) << answerer.Seen()[0].text;
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

TEST_F(DeleteRtpTest, AMissingFolderLeavesOnlyTheDirectoriesMessage) {
    const std::string gone = dir / "gone";
    ASSERT_TRUE(key.SetString(RtpName, gone));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
    EXPECT_TRUE(CloseOpenedFolders().empty()) << "the shell has no folder to show";
    EXPECT_FALSE(key.HasValue(RtpName));
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

// Links below the folder (Unix symbolic links, which Wine shows as reparse
// points) lead outside it. Nothing outside may be touched; under Wine the
// platform cannot remove a link without following it, so the links stay and
// are reported as left over.
TEST_F(DeleteRtpTest, LinksAreNeverFollowed) {
    REQUIRE_LINK_FIXTURE(fixture);
    const std::string rtp = fixture + "\\rtp";
    ASSERT_TRUE(PathExists(rtp + "\\link\\keep.txt"));
    ASSERT_TRUE(PathExists(rtp + "\\sub\\emptylink"));
    ASSERT_TRUE(key.SetString(RtpName, rtp));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
    EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{"rtp"});
    EXPECT_FALSE(key.HasValue(RtpName));
    EXPECT_FALSE(PathExists(rtp + "\\data.txt"));
    EXPECT_FALSE(PathExists(rtp + "\\sub\\s.txt"));
    // Outside: the full folder and the empty one both still there.
    EXPECT_TRUE(PathExists(fixture + "\\outside\\keep.txt"));
    EXPECT_TRUE(PathExists(fixture + "\\outside\\sub\\deep.txt"));
    EXPECT_TRUE(PathExists(fixture + "\\outside\\sub"));
    EXPECT_TRUE(PathExists(fixture + "\\emptyout")) << "an empty folder behind a link is not removed";
}

TEST_F(DeleteRtpTest, ARegisteredFolderThatIsALinkIsNotEntered) {
    REQUIRE_LINK_FIXTURE(fixture);
    ASSERT_TRUE(key.SetString(RtpName, fixture + "\\rootlink\\"));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, DirectoriesMessage, owner.window);
    EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{"rootlink"});
    EXPECT_TRUE(PathExists(fixture + "\\rootlink-target\\t.txt"));
    EXPECT_TRUE(PathExists(fixture + "\\rootlink-target\\inner\\i.txt"));
    EXPECT_TRUE(PathExists(fixture + "\\rootlink-target\\inner"));
}

// A link to a file elsewhere shows under Wine as an ordinary file, and
// deleting it by name there deletes the file it points to. The removal leaves
// such a link and reports it; what it points to stays whole.
TEST_F(DeleteRtpTest, LinksToFilesNeverCostTheFilesTheyPointTo) {
    REQUIRE_LINK_FIXTURE(fixture);
    const std::string rtp = fixture + "\\filertp";
    ASSERT_TRUE(PathExists(rtp + "\\filelink"));
    ASSERT_TRUE(key.SetString(RtpName, rtp));
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    ExpectOneWarning(answerer, FilesMessage, owner.window);
    EXPECT_EQ(CloseOpenedFolders(), std::vector<std::string>{"filertp"});
    EXPECT_FALSE(key.HasValue(RtpName));
    EXPECT_FALSE(PathExists(rtp + "\\own.txt")) << "an ordinary file beside the links is deleted";
    EXPECT_EQ(ReadFileBytes(fixture + "\\outside\\keep.txt"), "keep\n");
    EXPECT_EQ(ReadFileBytes(fixture + "\\outside\\sub\\deep.txt"), "deep\n");
}

}  // namespace
