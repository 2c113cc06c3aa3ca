// DeleteRtp against the real registry (the RPGXP and RPGVX keys in the test
// prefix), real folders, links and files, real warning boxes answered by the
// test, and the shell's real folder window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogWatcher.h"
#include "LinkFixture.h"
#include "OpenedFolders.h"
#include "ScratchDir.h"
#include "rtp/DeleteRtp.h"

namespace {

const std::string Files =
    "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください";
const std::string Dirs =
    "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
const std::string RtpName = "テスト表RTP";

// The parents of the RTP keys that the scratch keys leave behind.
class RegistryCleanup : public testing::Environment {
    void TearDown() override {
        for (const wchar_t* path : {L"Software\\Enterbrain\\RGSS", L"Software\\Enterbrain\\RGSS2", L"Software\\Enterbrain"})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, 0);  // only while empty
    }
};
const auto* const registryCleanup = testing::AddGlobalTestEnvironment(new RegistryCleanup);

// An RTP-shaped tree whose names end in a 0x5C second byte (ソ 83 5C, 表 95 5C,
// 能 94 5C); copied from CD media, some entries are read-only.
void MakeRtpTree(const std::string& folder, bool readOnly = false) {
    ASSERT_TRUE(MakeDirectory(folder)) << folder;
    for (const char* d : {"Graphics", "Audio", "Audio\\BGM", "ソース", "ソース\\能力"})
        ASSERT_TRUE(MakeDirectory(folder + "\\" + d));
    for (const char* f : {"Game.ini", "Audio\\BGM\\表.mid", "ソース\\能力\\データ.dat", "ソース\\能力\\ソ"})
        ASSERT_TRUE(WriteFileBytes(folder + "\\" + f, f));
    for (const char* entry : {"\\Game.ini", "\\ソース", "\\ソース\\能力\\ソ"})
        if (readOnly) ASSERT_TRUE(SetFileAttributesW(WideOrEmpty(folder + entry).c_str(), FILE_ATTRIBUTE_READONLY));
}

struct Removal {
    std::string registered, held;  // below the base folder ("Q:..." as it stands); held open during the removal
    bool silent;                   // no owner: nothing may be shown or opened
    const std::string* warning;    // nullptr: removed without a word
    std::string opened;            // the folder window's title, if one opens
    std::vector<std::string> kept, gone;
};

class DeleteRtpTest : public testing::Test {
protected:
    void TearDown() override { CloseOpenedFolders(5000); }  // no window or process left behind

    void ExpectWarning(const BoxAnswerer& answerer, const std::string* text, HWND shownTo) {
        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), text ? 1u : 0u) << (seen.empty() ? "" : seen[0].text);
        if (text) EXPECT_EQ(seen[0].text, *text);
        if (text) EXPECT_EQ(seen[0].caption + (seen[0].owner == shownTo ? "" : " to another owner"), "エラー");
    }

    void Remove(const std::string& base, const std::vector<Removal>& rows) {
        for (const Removal& row : rows) {
            SCOPED_TRACE(row.registered + (row.silent ? " without an owner" : ""));
            const std::string at = row.registered[1] == ':' ? row.registered : base + "\\" + row.registered;
            ASSERT_TRUE(key.SetString(RtpName, at));
            HANDLE held = row.held.empty() ? INVALID_HANDLE_VALUE
                                           : CreateFileW(WideOrEmpty(base + "\\" + row.held).c_str(), GENERIC_READ,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            ASSERT_EQ(held == INVALID_HANDLE_VALUE, row.held.empty());
            BoxAnswerer answerer(IDOK);
            EXPECT_EQ(DeleteRtp(0, RtpName.c_str(), row.silent ? nullptr : owner.window), row.warning == nullptr);
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            ExpectWarning(answerer, row.silent ? nullptr : row.warning, owner.window);
            EXPECT_EQ(CloseOpenedFolders(), row.opened.empty() || row.silent ? std::vector<std::string>{}
                                                                             : std::vector<std::string>{row.opened});
            EXPECT_FALSE(key.HasValue(RtpName)) << "the registration goes first";
            for (const auto& path : row.kept) EXPECT_TRUE(PathExists(base + "\\" + path)) << path;
            for (const auto& path : row.gone) EXPECT_FALSE(PathExists(base + "\\" + path)) << path;
        }
    }

    ScratchKey key{"Enterbrain\\RGSS\\RTP"};
    ScratchDir dir;
    TestOwnerWindow owner;
};

TEST_F(DeleteRtpTest, RemovesTheValueThenTheTreeOrSaysWhatIsLeft) {
    for (const char* name : {"h1", "h2", "h3", "ソ", "表"}) MakeRtpTree(dir / name);
    MakeRtpTree(dir / "RTP表", true);
    ASSERT_TRUE(WriteFileBytes(dir / "file.dat", "x"));
    ASSERT_TRUE(key.SetString("Other", dir / "h1"));
    ASSERT_EQ(GetFileAttributesW(L"Q:\\"), INVALID_FILE_ATTRIBUTES) << "drive Q: should not exist";
    Remove(dir.Path(), {
        {"RTP表", "", false, nullptr, "", {}, {"RTP表"}},
        {"ソ\\", "", false, nullptr, "", {}, {"ソ"}},  // one trailing separator goes, the 0x5C byte stays
        {"表", "", false, nullptr, "", {}, {"表"}},
        {"h1", "h1\\Audio\\BGM\\表.mid", false, &Files, "h1", {"h1\\Audio\\BGM\\表.mid", "h1\\Graphics", "h1\\ソース\\能力"},
         {"h1\\Game.ini", "h1\\ソース\\能力\\ソ"}},
        {"h2\\", "h2\\ソース\\能力", false, &Dirs, "h2", {"h2\\ソース\\能力"}, {"h2\\Game.ini", "h2\\Graphics", "h2\\Audio"}},
        {"h3", "h3\\Game.ini", true, &Files, "", {"h3\\Game.ini", "h3\\Graphics"}, {"h3\\Audio\\BGM\\表.mid"}},
        {"file.dat", "", false, &Dirs, "", {}, {"file.dat"}},
        {"gone\\deeper", "", false, nullptr, "", {}, {}},  // deleted by hand: only the registration is left
        {"Q:\\rtp", "", false, &Dirs, "", {}, {}},         // not gone: its drive does not answer
    });
    EXPECT_TRUE(key.HasValue("Other")) << "only the one value";
    // The second try finds nothing registered.
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(DeleteRtp(0, RtpName.c_str(), owner.window));
    const std::string notInstalled = "レジストリキーのサブキーの取得に失敗しました\nRTP[" + RtpName + "] はインストールされていないようです";
    ExpectWarning(answerer, &notInstalled, owner.window);
}

// Values that name nothing removable, the official RTP, and folders that would
// reach a drive, a share, or wherever the current directory happens to be:
// refused before anything is touched, and silently without an owner.
TEST_F(DeleteRtpTest, RefusesBeforeTouchingAnything) {
    const char* const notAbsolute = "登録されているフォルダが絶対パスではないので RTP[%s] は削除できません";
    const char* const root = "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%s] は削除できません";
    const char* const notInstalled = "レジストリキーのサブキーの取得に失敗しました\nRTP[%s] はインストールされていないようです";
    const struct {
        int kind;
        std::string name, data;
        DWORD type;  // 0: no value
        const char* warning;
    } rows[]{
        {0, "standard", dir / "sub", REG_SZ, "公式RTP[%s] を削除することはできません"},
        {1, "rpgvx", "", 0, "公式RTP[%s] を削除することはできません"},
        {1, "x", "", 0, "レジストリキーのオープンに失敗しました"},
        {0, "Missing", "", 0, notInstalled},
        {0, "Expand", dir / "sub", REG_EXPAND_SZ, notInstalled},
        {0, "Long", dir / ("sub\\" + std::string(600, 'x')), REG_SZ, notInstalled},
        {0, RtpName, "", REG_SZ, "登録されているフォルダが空なので RTP[%s] は削除できません"},
        {0, RtpName, "C:", REG_SZ, root}, {0, RtpName, "c:\\", REG_SZ, root}, {0, RtpName, "L:\\\\", REG_SZ, root},
        {0, RtpName, "L:/", REG_SZ, root}, {0, RtpName, "L:\\.", REG_SZ, root}, {0, RtpName, "L:\\x\\..", REG_SZ, root},
        {0, RtpName, "\\\\server\\share", REG_SZ, root}, {0, RtpName, "\\\\server\\share\\", REG_SZ, root},
        {0, RtpName, "\\", REG_SZ, notAbsolute}, {0, RtpName, "sub", REG_SZ, notAbsolute},
        {0, RtpName, "\\sub", REG_SZ, notAbsolute}, {0, RtpName, "C:sub", REG_SZ, notAbsolute},
        {0, RtpName, "..\\sub", REG_SZ, notAbsolute}, {0, RtpName, "\\\\server", REG_SZ, notAbsolute},
        {0, RtpName, "\\\\?\\C:\\sub", REG_SZ, notAbsolute}, {0, RtpName, "\\\\.\\C:", REG_SZ, notAbsolute},
    };
    { ScratchKey gone("Enterbrain\\RGSS2\\RTP"); }  // made and removed: now missing
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(WriteFileBytes(dir / "Kelmora.ini", "k"));  // the tool's own folder is the current directory
    ASSERT_TRUE(MakeDirectory(dir / "sub") && WriteFileBytes(dir / "sub\\keep.txt", "k"));
    ASSERT_TRUE(SetCurrentDirectoryW(WideOrEmpty(dir.Path()).c_str()));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name + " = " + row.data);
        if (row.type != 0) ASSERT_TRUE(key.SetString(row.name, row.data, row.type));
        std::string text = row.warning;
        if (text.find("%s") != std::string::npos) text.replace(text.find("%s"), 2, row.name);
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(DeleteRtp(row.kind, row.name.c_str(), owner.window));
        ExpectWarning(answerer, &text, owner.window);
        EXPECT_FALSE(DeleteRtp(row.kind, row.name.c_str(), nullptr));
        EXPECT_EQ(answerer.Seen().size(), 1u) << "silent without an owner";
        EXPECT_EQ(key.HasValue(row.name), row.type != 0) << "the registration stays";
        EXPECT_TRUE(PathExists(dir / "sub\\keep.txt") && PathExists(dir / "Kelmora.ini"));
    }
    SetCurrentDirectoryW(before);
    EXPECT_TRUE(CloseOpenedFolders().empty());
}

// On the Linux-made tree of drive L: (tests/make-link-fixture.sh), nothing
// outside the registered folder is touched. Wine cannot remove a link without
// following it, so links stay and are reported; so do names that no path can
// reach, and 2,000 levels of folders, more than a walk goes down.
TEST_F(DeleteRtpTest, NothingOutsideTheFolderIsTouched) {
    REQUIRE_LINK_FIXTURE(fixture);
    Remove(fixture, {
        {"rtp", "", false, &Dirs, "rtp", {"outside\\keep.txt", "outside\\sub\\deep.txt", "emptyout", "rtp\\link", "rtp\\sub\\emptylink"},
         {"rtp\\data.txt", "rtp\\sub\\s.txt"}},
        {"rootlink\\", "", false, &Dirs, "rootlink", {"rootlink-target\\t.txt", "rootlink-target\\inner\\i.txt"}, {}},
        // Wine shows a link to a file as the file itself.
        {"filertp", "", false, &Files, "filertp", {"outside\\keep.txt", "outside\\sub\\deep.txt"}, {"filertp\\own.txt"}},
        {"games\\deep\\rtp", "", false, &Dirs, "rtp", {"keep\\keep.txt", "rootfile.txt", "games\\deep\\x.txt"},
         {"games\\deep\\rtp\\data.txt"}},
        {"chain", "", false, &Dirs, "chain", {"chain\\d"}, {}},
    });
    // Names that climb out of the folder, hold a character Windows forbids or
    // one code page 932 cannot hold are never made into paths: each is left.
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW entry{};
    HANDLE listing = FindFirstFileW(WideOrEmpty(fixture + "\\games\\deep\\rtp\\*").c_str(), &entry);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    do left.emplace_back(entry.cFileName);
    while (FindNextFileW(listing, &entry));
    FindClose(listing);
    for (const std::wstring name : {L"..\\", L"..\\..\\..\\keep", L"..\\..\\..\\rootfile.txt", L"..\\x.txt", L"a:b", L"a*b",
                                    L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b", L"a\x01" L"b", L"a\x1f" L"b", L"c*d", L"\xe9"})
        EXPECT_TRUE(std::find(left.begin(), left.end(), name) != left.end()) << testing::PrintToString(name);
}

}  // namespace
