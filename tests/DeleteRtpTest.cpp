// The removal of an RTP against the real registry (the RPGXP and RPGVX keys
// in the test prefix), real folders and files, and the warnings the page
// words its outcomes with; and the file tree collection it lists everything
// with. Both run on scratch trees and on the Linux-made tree
// of drive L: (tests/make-link-fixture.sh: Wine can make neither links nor
// names Windows forbids), named by the environment variable
// KELMORA_LINK_FIXTURE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ScratchDir.h"
#include "fsutil/FileTree.h"
#include "fsutil/WinText.h"
#include "pages/RemovalMessages.h"
#include "rtp/DeleteRtp.h"
#include "rtp/RtpFolder.h"
#include "rtp/RtpRemoval.h"

namespace {

// What the removal question counts: the removal's own walk, bounded, and
// sizes as Windows shows them.
TEST(WalkTree, CountsWhatWillGoAndStopsAtItsLimit) {
    ScratchDir dir;
    for (const char* d : {"R", "R\\a", "R\\b"}) ASSERT_TRUE(MakeDirectory(dir / d));
    for (const char* f : {"R\\a\\1", "R\\a\\2", "R\\b\\3.DLL"}) ASSERT_TRUE(WriteFileBytes(dir / f, "12345"));
    FoundTree all, cut;
    WalkTree((dir / "R").c_str(), all, -1);
    WalkTree((dir / "R").c_str(), cut, -1, 0, {3, 0, {}});
    EXPECT_TRUE(all.complete);
    EXPECT_FALSE(cut.complete);
    for (const auto& [what, counted, expected] : {std::tuple<const char*, std::uint64_t, std::uint64_t>{"files", all.files.size(), 3},
             {"folders", all.folders.size(), 2}, {"bytes", all.bytes, 15}, {"entries cut", cut.files.size() + cut.folders.size(), 3}})
        EXPECT_EQ(counted, expected) << what;
    const std::pair<std::uint64_t, std::string> sizes[] = {
        {1023, "1023 バイト"}, {2003, "1.95 KB"}, {1024000, "0.97 MB"}, {12ull << 30, "12.0 GB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
    // Past 10 GB (a sparse file), the question says so.
    HANDLE large = CreateFileW(WideOrEmpty(dir / "R\\b\\3.DLL").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(SetFilePointerEx(large, LARGE_INTEGER{.QuadPart = 11ll << 30}, nullptr, FILE_BEGIN) && SetEndOfFile(large));
    CloseHandle(large);
    RtpRemoval removal;
    removal.identity.kind = FolderIdentity::Kind::Folder;
    WalkTree((dir / "R").c_str(), removal.tree, -1);
    EXPECT_EQ(SummarizeRtpRemoval(removal),
              "\nファイル 3 個、フォルダ 2 個、11.0 GB\n注意: 実行ファイル (.exe, .dll) が含まれています\n注意: 10 GB を超えています");
    EXPECT_EQ(FormatCount(1234567), "1,234,567");
}

const std::string Files =
    "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください";
const std::string Dirs =
    "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
const std::string RtpName = "テスト表RTP";
const std::string Removed = " <removed>";

// What an overlap refusal says to do about another RTP.
std::string Fix(const std::string& other) { return "\n先に RTP[" + other + "] を削除するか、どちらかの登録を直してください"; }

// An RTP-shaped tree whose names end in a 0x5C second byte (ソ 83 5C, 表 95 5C,
// 能 94 5C); copied from CD media, some entries may be read-only.
void MakeRtpTree(const std::string& folder, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(MakeDirectory(folder)) << folder;
    for (const char* d : {"Graphics", "Audio", "Audio\\BGM", "ソース", "ソース\\能力"})
        ASSERT_TRUE(MakeDirectory(folder + "\\" + d));
    for (const char* f : {"Game.ini", "Audio\\BGM\\表.mid", "ソース\\能力\\データ.dat", "ソース\\能力\\ソ"})
        ASSERT_TRUE(WriteFileBytes(folder + "\\" + f, f));
    for (const char* entry : {"\\Game.ini", "\\ソース", "\\ソース\\能力\\ソ"})
        ASSERT_TRUE(SetFileAttributesW(WideOrEmpty(folder + entry).c_str(), attributes));
}

struct Removal {
    std::string registered, held, warning;  // below the base folder, or a full path; "" for none
    std::vector<std::string> kept, gone;
    std::vector<std::string> stayed = {};  // what the warning goes on to say, in parts in any order
};

// The same folder on drive C: through drive Z:, which Wine maps to the Unix
// root; empty elsewhere.
std::string ThroughDriveZ(const std::string& path) {
    wchar_t prefix[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) == 0) return {};
    std::wstring unix = std::wstring(L"Z:") + prefix + L"\\drive_c" + WideOrEmpty(path).substr(2);
    std::replace(unix.begin(), unix.end(), L'/', L'\\');
    return NarrowOrEmpty(unix);
}

class DeleteRtpTest : public testing::Test {
protected:
    // What the page warns of after DeleteRtp, followed by Removed when it
    // removed everything: a refusal's text alone also says nothing went.
    static std::string Said(int kind, const std::string& name, const RtpRemoval* confirmed = nullptr,
                            const RemovalHooks& hooks = {}) {
        const RemovalOutcome outcome = DeleteRtp(kind, name.c_str(), confirmed, hooks);
        return RemovalWarning(name.c_str(), outcome) + (outcome.Done() ? Removed : "");
    }

    void Remove(const std::string& base, const std::vector<Removal>& rows) {
        for (const Removal& row : rows) {
            SCOPED_TRACE(row.registered);
            const std::string at =
                row.registered[1] == ':' || row.registered[0] == '\\' ? row.registered : base + "\\" + row.registered;
            ASSERT_TRUE(key.SetString(RtpName, at));
            HANDLE held = row.held.empty() ? INVALID_HANDLE_VALUE
                                           : CreateFileW(WideOrEmpty(base + "\\" + row.held).c_str(), GENERIC_READ,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            ASSERT_EQ(held == INVALID_HANDLE_VALUE, row.held.empty());
            const std::string said = Said(0, RtpName);
            EXPECT_EQ(said.substr(0, row.warning.size()), row.warning);
            for (const std::string& part : row.stayed) EXPECT_NE(said.find(part), std::string::npos) << part << " in " << said;
            EXPECT_EQ(said.ends_with(Removed), row.warning.empty()) << said;
            CloseHandle(held);
            EXPECT_FALSE(key.HasValue(RtpName)) << "the registration goes first";
            for (const auto& path : row.kept) EXPECT_TRUE(PathExists(base + "\\" + path)) << path;
            for (const auto& path : row.gone) EXPECT_FALSE(PathExists(base + "\\" + path)) << path;
        }
    }

    ScratchKey key{"Enterbrain\\RGSS\\RTP"};
    ScratchDir dir;
};

TEST_F(DeleteRtpTest, RemovesTheValueThenTheTreeOrSaysWhatIsLeft) {
    for (const char* name : {"h1", "h2", "h4", "表"}) MakeRtpTree(dir / name);
    MakeRtpTree(dir / "RTP表", FILE_ATTRIBUTE_READONLY);
    // A folder whose name only begins with another RTP's does not overlap it.
    ASSERT_TRUE(MakeDirectory(dir / "h") && key.SetString("Other", dir / "h"));
    const std::string deep = "gone\\" + std::string(508 - dir.Path().size(), 'y');  // 515 bytes in all, as listed
    // Registered by its short name; and a read-only file outside, with a second name inside.
    MakeRtpTree(dir / "A long RTP folder");
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(WideOrEmpty(dir / "A long RTP folder").c_str(), shortName, MAX_PATH), 0u);
    ASSERT_TRUE(WriteFileBytes(dir / "outside.txt", "keep") && MakeDirectory(dir / "hl") &&
                SetFileAttributesW(WideOrEmpty(dir / "outside.txt").c_str(), FILE_ATTRIBUTE_READONLY) &&
                CreateHardLinkW(WideOrEmpty(dir / "hl\\keep.txt").c_str(), WideOrEmpty(dir / "outside.txt").c_str(), nullptr));
    Remove(dir.Path(), {
        {NarrowOrEmpty(shortName), "", "", {}, {"A long RTP folder"}},
        {"hl", "", "", {"outside.txt"}, {"hl"}},
        {"RTP表/", "", "", {}, {"RTP表"}},
        {"表", "", "", {}, {"表"}},  // the 0x5C byte is no separator to drop
        {"\\\\?\\" + dir / "h4", "", "", {}, {"h4"}},
        {"h1", "h1\\Audio\\BGM\\表.mid", Files, {"h1\\Audio\\BGM\\表.mid", "h1\\Graphics"}, {"h1\\Game.ini"},
         {"\n残った項目:\nAudio\\BGM\\表.mid (使用中)"}},
        {"h2\\", "h2\\ソース\\能力", Dirs, {"h2\\ソース\\能力"}, {"h2\\ソース\\能力\\ソ", "h2\\Audio"},
         {"\n残った項目:\nソース\\能力 (使用中)"}},
        {deep.substr(0, 255) + "\\" + deep.substr(255), "", "", {}, {}},  // deleted by hand: only the registration goes
    });
    EXPECT_TRUE(key.HasValue("Other")) << "only the one value";
    EXPECT_TRUE(GetFileAttributesW(WideOrEmpty(dir / "outside.txt").c_str()) & FILE_ATTRIBUTE_READONLY)
        << "the file's other name keeps its attribute";
}

// The question's count stops at its entry limit or its time limit, and says
// its counts are at least what it shows, and what it could not check. Yes
// counts again, and 中止 stops that count: nothing is touched, the
// registration stays, and the box says so.
TEST_F(DeleteRtpTest, StoppedWhileCountingAgainTouchesNothing) {
    MakeRtpTree(dir / "s");
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(WriteFileBytes(dir / ("s\\Graphics\\" + std::to_string(i)), "png"));
    ASSERT_TRUE(key.SetString(RtpName, dir / "s"));
    FoundTree late;
    WalkTree((dir / "s").c_str(), late, -1, 0, {UINT64_MAX, 1, {}});
    EXPECT_FALSE(late.complete) << "a count past its time goes on";
    RtpRemoval asked;
    ASSERT_TRUE(CheckRtpRemoval(0, RtpName.c_str(), asked, nullptr, {100, 0, {}}).Done());
    const std::string summary = SummarizeRtpRemoval(asked);
    EXPECT_NE(summary.find(" 個以上、フォルダ "), std::string::npos) << summary;
    EXPECT_TRUE(summary.ends_with("\n注意: 途中までしか数えていないため、実行ファイルが含まれるか、10 GB を超えるかは確認できていません"))
        << summary;
    RemovalHooks hooks;
    hooks.progress = [](RemovalStep step, std::uint64_t, std::uint64_t) { return step != RemovalStep::Listing; };
    EXPECT_EQ(Said(0, RtpName, &asked, hooks), "RTP[" + RtpName + "] の削除を中止しました。何も削除していません");
    EXPECT_TRUE(key.HasValue(RtpName));
    EXPECT_TRUE(PathExists(dir / "s\\Game.ini"));
}

// What a stop or a file in use left goes on a second try, once the folder
// is still the one asked about and shares nothing with another RTP.
TEST_F(DeleteRtpTest, WhatAStopOrAFileInUseLeftGoesOnASecondTry) {
    RemovalHooks stop;
    stop.progress = [](RemovalStep step, std::uint64_t, std::uint64_t) { return step != RemovalStep::Folders; };
    for (const std::string folder : {"r", "s"}) {
        SCOPED_TRACE(folder);
        MakeRtpTree(dir / folder);
        ASSERT_TRUE(key.SetString(RtpName, dir / folder));
        RtpRemoval asked;
        ASSERT_TRUE(CheckRtpRemoval(0, RtpName.c_str(), asked, nullptr).Done());
        const RemovalOutcome first = DeleteRtp(0, RtpName.c_str(), &asked, stop);
        EXPECT_TRUE(first.MayCarryOn());
        EXPECT_EQ(CarryOnQuestion(RtpName.c_str(), asked, first),
                  "RTP[" + RtpName + "] の削除を中止しました。登録は削除済みです。\nフォルダ: " + dir / folder +
                      "\n残りを続けて削除しますか？ (いいえ: フォルダを開きます)");
        // Another folder in its place; another RTP registered inside meanwhile.
        if (folder == "r") {
            ASSERT_TRUE(MoveFileW(WideOrEmpty(dir / "r").c_str(), WideOrEmpty(dir / "r-old").c_str()));
            ASSERT_TRUE(MakeDirectory(dir / "r") && MakeDirectory(dir / "r\\Audio"));
        } else {
            ASSERT_TRUE(key.SetString("Inner", dir / "s\\Audio"));
        }
        EXPECT_EQ(DeleteRtpRemainder(0, RtpName.c_str(), asked).reason,
                  folder == "r" ? RemovalReason::FolderChanged : RemovalReason::Overlaps);
        EXPECT_TRUE(PathExists(dir / folder + "\\Audio"));
        if (folder == "s") {
            ASSERT_TRUE(key.DeleteValue("Inner"));
            ASSERT_TRUE(key.SetString(RtpName, dir / "s"));  // installed anew meanwhile
            EXPECT_EQ(DeleteRtpRemainder(0, RtpName.c_str(), asked).reason, RemovalReason::FolderChanged);
            ASSERT_TRUE(key.DeleteValue(RtpName));
            EXPECT_TRUE(DeleteRtpRemainder(0, RtpName.c_str(), asked).Done());
            EXPECT_FALSE(PathExists(dir / "s"));
        }
    }
}

// Values that name nothing removable, the official RTP, and folders that would
// reach a drive, a share, or wherever the current directory happens to be
// (the tool's own folder): refused before anything is touched. Rows: kind, name, folder, value type (0: no value), warning.
TEST_F(DeleteRtpTest, RefusesBeforeTouchingAnything) {
    const std::string relative = "登録されているフォルダが絶対パスではないので RTP[%s] は削除できません";
    const std::string root = "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%s] は削除できません";
    const std::string notInstalled = "レジストリキーのサブキーの取得に失敗しました\nRTP[%s] はインストールされていないようです";
    const std::string official = "公式RTP[%s] を削除することはできません";
    const struct { int kind; std::string name, folder; DWORD type; std::string warning; } rows[]{
        {0, "standard", dir / "sub", REG_SZ, official}, {1, "rpgvx", "", 0, official},
        {1, "x", "", 0, "レジストリキーのオープンに失敗しました"},
        {0, "Missing", "", 0, notInstalled},  // also what a second try of a removed RTP says
        {0, "e", "", REG_SZ, "登録されているフォルダが空なので RTP[%s] は削除できません"},
        {0, "r1", "c:\\", REG_SZ, root}, {0, "r2", "L:\\\\", REG_SZ, root}, {0, "r3", "L:/", REG_SZ, root},
        {0, "r4", "L:\\x\\..", REG_SZ, root}, {0, "r5", "\\\\server\\share\\", REG_SZ, root},
        {0, "a1", "sub", REG_SZ, relative}, {0, "a2", "\\sub", REG_SZ, relative}, {0, "a3", "C:sub", REG_SZ, relative},
        {0, "a4", "\\\\server", REG_SZ, relative},
        {0, "a5", "\\\\?\\" + dir / "sub\\..\\x", REG_SZ, "登録されているフォルダが \\\\?\\ で始まり、その後がドライブか共有フォルダからのそのまま使えるパスではないので RTP[%s] は削除できません"},
        {0, "a6", "\\\\.\\C:", REG_SZ, "登録されているフォルダがデバイスのパス (\\\\.\\) なので RTP[%s] は削除できません"},
        {0, "w", dir / "s*", REG_SZ, "登録されているフォルダにフォルダ名に使えない文字 (* ? \" < > | :) が含まれているので RTP[%s] は削除できません"},
        {0, "b", dir / "sub ", REG_SZ, "登録されているフォルダの名前が空白かピリオドで終わっているので RTP[%s] は削除できません"},
        {0, "q", "Q:\\rtp", REG_SZ, "登録されているフォルダのドライブが応答しないので RTP[%s] は削除できません"},
        {0, "f", dir / "Kelmora.ini", REG_SZ, "登録されているフォルダがファイルなので RTP[%s] は削除できません"},
        // Another RTP's folder inside, the same folder written otherwise, and the folder inside another's.
        {0, "Mine", dir.Path(), REG_SZ, "RTP[standard] のフォルダ " + dir / "sub\\Standard" + " と重なっているので RTP[Mine] は削除できません" + Fix("standard")},
        {0, "In", dir / "sub\\Standard\\Data", REG_SZ, "RTP[standard] のフォルダ " + dir / "sub\\Standard" + " と重なっているので RTP[In] は削除できません" + Fix("standard")},
        {0, "Vx", dir / "vx\\RPGVX\\.\\", REG_SZ, "RTP[RPGVX] のフォルダ " + dir / "vx\\RPGVX" + " と重なっているので RTP[Vx] は削除できません" + Fix("RPGVX")},
    };
    { ScratchKey gone("Enterbrain\\RGSS2\\RTP"); }  // made and removed: now missing
    for (const char* folder : {"sub", "sub\\Standard", "sub\\Standard\\Data", "vx", "vx\\RPGVX", "g", "g\\The Std"})
        ASSERT_TRUE(MakeDirectory(dir / folder));
    for (const char* f : {"Kelmora.ini", "sub\\keep.txt", "g\\The Std\\keep.txt"}) ASSERT_TRUE(WriteFileBytes(dir / f, "k"));
    std::unique_ptr<ScratchKey> vx;  // made once the missing key has been tried
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(WideOrEmpty(dir.Path()).c_str()));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name + " = " + row.folder);
        if (row.name == "Mine") { ASSERT_TRUE(key.SetString("standard", dir / "sub\\Standard")); }
        if (row.name == "Vx") { vx = std::make_unique<ScratchKey>("Enterbrain\\RGSS2\\RTP"); ASSERT_TRUE(vx->SetString("RPGVX", dir / "vx\\RPGVX")); }
        if (row.type != 0) { ASSERT_TRUE(key.SetString(row.name, row.folder, row.type)); }
        std::string text = row.warning;
        if (text.find("%s") != std::string::npos) text.replace(text.find("%s"), 2, row.name);
        EXPECT_EQ(Said(row.kind, row.name), text);
        EXPECT_EQ(key.HasValue(row.name), row.type != 0) << "the registration stays";
        for (const char* kept : {"sub\\keep.txt", "Kelmora.ini"}) EXPECT_TRUE(PathExists(dir / kept)) << kept;
        if (row.type != 0) key.SetString(row.name, "");  // names nothing that later rows could overlap
    }
    SetCurrentDirectoryW(before);

    // The official RTP's folder, or the one to remove, written as another
    // name of the same folder: found all the same.
    const std::string std = dir / "g\\The Std";
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(WideOrEmpty(std).c_str(), shortName, MAX_PATH), 0u);
    SetEnvironmentVariableW(L"KELMORA_SCRATCH", WideOrEmpty(dir.Path()).c_str());
    const struct { std::string standard, holder; DWORD type = REG_SZ; } spellings[]{
        {ThroughDriveZ(std), dir / "g"}, {std, ThroughDriveZ(dir / "g")}, {NarrowOrEmpty(shortName), dir / "g"},
        {"\\\\?\\" + std, dir / "g"}, {std + ".", dir / "g"}, {"%KELMORA_SCRATCH%\\g\\The Std", dir / "g", REG_EXPAND_SZ},
    };
    for (const auto& row : spellings) {
        SCOPED_TRACE(row.standard + " in " + row.holder);
        if (row.standard.empty() || row.holder.empty()) continue;  // no drive Z: but under Wine
        ASSERT_TRUE(key.SetString("standard", row.standard, row.type) && key.SetString("Holder", row.holder));
        EXPECT_EQ(Said(0, "Holder"),
                  "RTP[standard] のフォルダ " + (row.type == REG_SZ ? row.standard : std) +
                      " と重なっているので RTP[Holder] は削除できません" + Fix("standard"));
        EXPECT_TRUE(PathExists(std + "\\keep.txt"));
        EXPECT_TRUE(key.HasValue("Holder"));
    }
}

// One folder under two final paths, as Wine gives them: a drive letter
// mapped onto std\sub (KELMORA_SUBFOLDER_DRIVE) answers for everything below
// it, and so does std\sub bound at mnt where the tests may mount. An RTP
// there is refused by what its folders are, before the question and at Yes,
// whichever name either is registered under; so is any RTP beside one whose
// folder no one can open. Nothing is deleted.
TEST_F(DeleteRtpTest, RefusesTheFoldersOfOtherRtpsUnderAnyName) {
    const char* given = std::getenv("KELMORA_LINK_FIXTURE");
    const char* drive = std::getenv("KELMORA_SUBFOLDER_DRIVE");
    if (given == nullptr && !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) GTEST_SKIP();
    ASSERT_TRUE(given != nullptr && drive != nullptr) << "run through ctest: the fixture's variables are not set";
    std::string fixture = given;
    std::replace(fixture.begin(), fixture.end(), '/', '\\');
    const std::string std = fixture + "\\std", loop = fixture + "\\loop";
    const std::string shares = " と重なっているので RTP[" + RtpName + "] は削除できません" + Fix("Std");
    const std::string unchecked = " と重なっていないかを確かめきれないので RTP[" + RtpName + "] は削除できません";
    const struct { std::string other; DWORD type; std::string registered, said; } rows[]{
        {std, REG_SZ, std + "\\sub\\inner", "RTP[Std] のフォルダ " + std + shares},
        {std, REG_MULTI_SZ, std::string(drive) + "\\inner", "RTP[Std] のフォルダ " + std + shares},
        {std, REG_SZ, fixture + "\\mnt", "RTP[Std] のフォルダ " + std + shares},
        {std + "\\sub\\inner", REG_SZ, std, "RTP[Std] のフォルダ " + std + "\\sub\\inner" + shares},
        {loop, REG_SZ, fixture + "\\case\\MINE", "RTP[Std] のフォルダ " + loop + unchecked},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.registered + " beside " + row.other);
        if (row.registered == fixture + "\\mnt" && !PathExists(row.registered + "\\inner")) {
            std::printf("no bind mount here (mounting needs root): the mount row is left out\n");
            continue;
        }
        ASSERT_TRUE(key.SetString("Std", row.other, row.type) && key.SetString(RtpName, row.registered));
        RtpRemoval asked;
        EXPECT_EQ(RemovalWarning(RtpName.c_str(), CheckRtpRemoval(0, RtpName.c_str(), asked, nullptr)), row.said)
            << "before the question";
        EXPECT_EQ(Said(0, RtpName), row.said) << "at Yes";
        EXPECT_TRUE(key.HasValue(RtpName));
        for (const std::string& kept : {std + "\\keep.txt", std + "\\sub\\inner\\own.txt", fixture + "\\case\\MINE\\victim.txt"})
            EXPECT_TRUE(PathExists(kept)) << kept;
    }
}

// A folder whose drive does not answer loses its registration alone, and no
// file; not once its drive answers (the usual removal then applies), nor
// once the registration names another folder.
TEST_F(DeleteRtpTest, ADeadDrivesRegistrationCanGoAlone) {
    const char* given = std::getenv("KELMORA_LINK_FIXTURE");
    const char* dead = std::getenv("KELMORA_DEAD_DRIVE");
    if (given == nullptr && !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) GTEST_SKIP();
    ASSERT_TRUE(given != nullptr && dead != nullptr) << "run through ctest: the fixture's variables are not set";
    const struct { std::string registered, now; RemovalReason reason; } rows[]{
        {"Q:\\rtp", "Q:\\rtp", RemovalReason::None}, {"Q:\\rtp", "Q:\\other", RemovalReason::FolderChanged},
        {std::string(dead) + "\\rtp", std::string(dead) + "\\rtp", RemovalReason::FolderAnswers}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.registered + " then " + row.now);
        ASSERT_TRUE(key.SetString(RtpName, row.registered));
        RtpRemoval asked;
        ASSERT_EQ(CheckRtpRemoval(0, RtpName.c_str(), asked, nullptr).reason, RemovalReason::FolderNoAnswer);
        ASSERT_TRUE(key.SetString(RtpName, row.now));
        if (row.registered[0] != 'Q') {  // the drive answers now
            ASSERT_TRUE(MakeDirectory(std::string(given) + "/deaddrive"));
        }
        EXPECT_EQ(DeleteRtpRegistration(0, RtpName.c_str(), asked).reason, row.reason);
        EXPECT_EQ(key.HasValue(RtpName), row.reason != RemovalReason::None);
    }
}

// The walk lists links but never walks into them, the root included;
// it leaves out names no path can reach ("..\\", "a*b", "...", names code page
// 932 cannot hold), and walks 300 levels of folders only down to the limit.
// So the removal touches nothing outside the registered folder. Wine cannot
// remove a link without following it, so links stay and are reported; so do
// those names and the levels below the limit.
TEST_F(DeleteRtpTest, NothingOutsideTheFolderIsListedOrTouched) {
    const char* given = std::getenv("KELMORA_LINK_FIXTURE");  // made under Wine only
    if (given == nullptr && !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) GTEST_SKIP();
    ASSERT_NE(given, nullptr) << "run through ctest: KELMORA_LINK_FIXTURE is not set";
    std::string fixture = given;
    std::replace(fixture.begin(), fixture.end(), '/', '\\');
    // The question counts what the removal's walk finds: names no path can
    // reach, and the folders below the depth limit, stay; a link holds nothing.
    const struct { std::string folder, counted; } questions[]{
        {"rtp", "\nファイル 2 個、フォルダ 3 個、7 バイト、削除できない 1 項目は残ります"},  // links listed, not entered
        {"games\\deep\\rtp", "\nファイル 1 個、フォルダ 0 個、5 バイト、削除できない 15 項目は残ります"},
        {"rootlink", "\nフォルダはリンクです: リンクを削除できればリンクだけを削除し、できなければ残します。リンク先は削除しません"},
        {"chain", "\nファイル 0 個、フォルダ 257 個、0 バイト、削除できない 1 項目は残ります"},
    };
    for (const auto& question : questions) {
        ASSERT_TRUE(key.SetString(RtpName, fixture + "\\" + question.folder));
        RtpRemoval removal;
        EXPECT_TRUE(CheckRtpRemoval(0, RtpName.c_str(), removal, nullptr).Done());
        EXPECT_EQ(SummarizeRtpRemoval(removal), question.counted) << question.folder;
    }
    EXPECT_EQ(LookAtRtpFolder(fixture + "\\rootlink"), RtpFolderState::Link) << "the list's state";
    std::vector<Removal> rows{
        {"rtp", "", Dirs, {"outside\\keep.txt", "outside\\sub\\deep.txt", "emptyout", "rtp\\link",
                                         "rtp\\sub\\emptylink"}, {"rtp\\data.txt", "rtp\\sub\\s.txt"},
         {"\n... (Windows で扱えない名前)", "\nsub\\emptylink (リンク)", "\nlink (リンク)"}},
        {"rootlink\\", "", Dirs, {"rootlink-target\\t.txt", "rootlink-target\\inner\\i.txt"}, {},
         {"\n" + fixture + "\\rootlink (リンク)"}},
        // Wine shows a link to a file as the file itself.
        {"filertp", "", Files, {"outside\\keep.txt", "outside\\sub\\deep.txt"}, {"filertp\\own.txt"},
         {"\nabslink.txt (リンク)", "\nfilelink (リンク)"}},
        {"games\\deep\\rtp", "", Dirs, {"keep\\keep.txt", "rootfile.txt", "games\\deep\\x.txt"},
         {"games\\deep\\rtp\\data.txt"}, {" (Windows で扱えない名前)\n", "\nほか 5 項目"}},
        {"chain", "", Dirs, {"chain\\d"}, {}},
        // A link to a case twin's file reaches it, not the name below the folder.
        {"case\\mine", "", Files, {"case\\MINE\\victim.txt", "case\\mine\\victim.txt"}, {"case\\mine\\own.txt"}, {"\nvictim.txt (リンク)"}},
    };
    // A mount point stays whatever its removal said: not a success.
    if (PathExists(fixture + "\\emptymnt")) rows.push_back({"emptymnt", "", Dirs, {"emptymnt", "emptyout"}, {}, {"\n" + fixture + "\\emptymnt (消えなかったフォルダ)"}});
    Remove(fixture, rows);
    EXPECT_TRUE(GetFileAttributesW(WideOrEmpty(fixture + "\\outside\\keep.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

}  // namespace
