// The RTP list pages in one journey, hosted in this process: RTPs registered
// in the 32-bit view of HKEY_LOCAL_MACHINE, real folders, the shell's folder
// windows, and the page's own boxes. Each step is a test of its own on the
// one page the suite hosts, in order, so a failure leaves the later checks
// to report.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"
#include "pages/RtpListPage.h"

namespace {

const std::string Dirs =
    "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
// The last line of every removal question, and of a missing folder's notice.
const std::string NoUndo = "\nごみ箱には移さずに削除します。元に戻せません。";
const std::string Unregister = "\n「RTPを削除する」で登録だけを削除できます";

// What the journey's steps share: the registered RTPs, their folders, and the
// hosted RPGXP and RPGVX pages.
struct Journey {
    ScratchDir dir;
    ScratchKey xp{"Enterbrain\\RGSS\\RTP"};
    AppDriver app, vx;
    std::vector<std::string> folders, rows;
    const std::string japanese = "表示" + std::string(296, 'j');  // 300 bytes
    std::string current = CurrentDirectory();
    bool hosted = false;
};

struct RtpListTest : testing::Test {
    static void SetUpTestSuite() {
        journey = std::make_unique<Journey>();
        Journey& j = *journey;
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Enterbrain\\RGSS2\\RTP", KEY_WOW64_32KEY, 0);
        // Too long to read, and first in the registry's own order: it hides nothing.
        j.xp.SetString("0-too-long", std::string(600, 'x'));
        for (const std::string name : {"RTPa", "alpha", "rtpB", "stANDard", j.japanese.c_str()}) {
            j.folders.push_back(j.dir / ("rtp" + std::to_string(j.folders.size())));
            MakeDirectory(j.folders.back()) && MakeDirectory(j.folders.back() + "\\Graphics") &&
                WriteFileBytes(j.folders.back() + "\\Graphics\\表.png", "png") && j.xp.SetString(name, j.folders.back());
            j.rows.push_back(name + " | " + j.folders.back());
        }
        // "Folders" that are programs, a bare name found in the program's own folder, and nothing.
        const std::string bat = "@echo ran> \"%~dp0ran.txt\"\r\n";
        MakeDirectory(j.dir / "run") && WriteFileBytes(j.dir / "run\\setup.bat", bat) &&
            WriteFileBytes(j.dir / "run.bat", bat);
        const std::string notFolders[] = {j.dir / "run\\setup.bat", "run.bat", j.dir / "gone"};
        for (int i = 0; i < 3; ++i) {
            j.xp.SetString("run" + std::to_string(i), notFolders[i]);
            j.rows.insert(j.rows.begin() + 3 + i, "run" + std::to_string(i) + " | " + notFolders[i]);
        }
        SetCurrentDirectoryW(DisplayText(j.dir.Path()).c_str());  // the program's own folder, where bare names are found
        j.hosted = j.vx.Host(RtpListPageTemplate, RtpListPageProcVx) && j.app.Host(RtpListPageTemplate, RtpListPageProcXp);
    }
    static void TearDownTestSuite() {
        SetCurrentDirectoryW(DisplayText(journey->current).c_str());
        journey.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(j.hosted);
        Use(j.app);
    }

    void Use(const AppDriver& host) {
        page = host.PageWith(RtpListId);
        list = GetDlgItem(page, RtpListId), open = GetDlgItem(page, RtpOpenButtonId), remove = GetDlgItem(page, RtpRemoveButtonId);
    }
    int RowOf(const std::string& name) const {
        const std::vector<std::string> rows = j.app.Rows(list);
        for (std::size_t row = 0; row < rows.size(); ++row)
            if (rows[row].rfind(name + " | ", 0) == 0) return static_cast<int>(row);
        return -1;
    }
    // Selects the row; says whether open and remove are then enabled.
    std::string Select(const std::string& name) {
        j.app.SelectRow(list, RowOf(name));
        Eventually([&] { return IsWindowEnabled(open) != FALSE; });
        return Buttons();
    }
    std::string Buttons() const { return std::string(IsWindowEnabled(open) ? "open" : "-") + (IsWindowEnabled(remove) ? " remove" : " -"); }
    // Registered while the page shows: read again (F5), it is listed.
    void Register(const std::string& name, const std::string& folder) {
        ASSERT_TRUE(j.xp.SetString(name, folder));
        PostMessageW(page, WM_COMMAND, RtpRefreshId, 0);
        ASSERT_TRUE(Eventually([&] { return RowOf(name) >= 0; })) << name;
    }
    // The state column's text for name's row.
    std::string StateOf(const std::string& name) const { return RtpListViews[0].GetItemText(RowOf(name), 2); }
    // Selects name and presses remove; the box that opens, or null.
    HWND Ask(const std::string& name) {
        Select(name);
        ClickButton(remove);
        return j.app.WaitBox();
    }
    // ... and answers that box (the question); its "caption: text".
    std::string Remove(const std::string& name, int answer) { return Ask(name) ? j.app.Answer(answer) : "<no box>"; }

    static std::unique_ptr<Journey> journey;
    Journey& j = *journey;
    HWND page = nullptr, list = nullptr, open = nullptr, remove = nullptr;
};
std::unique_ptr<Journey> RtpListTest::journey;

TEST_F(RtpListTest, ListsInByteOrderAndEnablesWhatApplies) {
    Use(j.vx);
    EXPECT_EQ(j.app.Rows(list).size(), 0u) << "RPGVX has no key";
    Use(j.app);
    EXPECT_EQ(j.app.Rows(list), j.rows) << "byte-wise: upper case first, Japanese last";
    EXPECT_EQ(Buttons(), "- -") << "nothing selected";
    EXPECT_EQ(Select("stANDard"), "open -") << "the official RTP, in any letter case";
    EXPECT_EQ(Select("RTPa"), "open remove");
}

// Only a folder opens, by the button or a double click; a program named as a
// folder, or as a folder's "%USERNAME%" expands, never runs.
TEST_F(RtpListTest, OpensFoldersAndNeverRunsAProgram) {
    Select("RTPa");
    ClickButton(open);
    EXPECT_EQ(j.app.WaitBox(1000), nullptr) << "a folder that exists opens without a word";
    for (const std::string name : {"run0", "run1", "run2"}) {
        Select(name);
        ClickButton(open);
        EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + j.rows[3 + name[3] - '0'].substr(7) + Unregister);
    }
    ASSERT_TRUE(j.app.DoubleClickRow(list, RowOf("run2")));
    EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + j.dir / "gone" + Unregister)
        << "double click";
    wchar_t user[256] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"USERNAME", user, 256), 0u);
    ASSERT_TRUE(MakeDirectory(j.dir / "pct") && MakeDirectory(j.dir / "pct\\%USERNAME%"));
    ASSERT_TRUE(CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(j.dir / "pct\\" + NarrowOrEmpty(user) + ".exe").c_str(), TRUE));
    Register("pct", j.dir / "pct\\%USERNAME%");
    Select("pct");
    ClickButton(open);
    EXPECT_EQ(j.app.WaitBox(1000), nullptr) << "a folder that exists opens without a word";
    EXPECT_FALSE(Eventually([&] {  // the copy of the program would show its window
        return FindWindowW(nullptr, L"Quorlen 開発者用エディタ Ver1.10") || PathExists(j.dir / "ran.txt") || PathExists(j.dir / "run\\ran.txt");
    }, 3000)) << "a program named as a folder ran";
}

// The question holds the whole name and says how much will go; a missing
// folder loses its registration only. No is the default: No, and Enter,
// change nothing.
TEST_F(RtpListTest, AsksWhatWillGoAndNoKeepsIt) {
    const HWND box = Ask(j.japanese);
    ASSERT_NE(box, nullptr);
    const SeenBox question = ReadBox(box);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.defaultButton, IDNO);
    EXPECT_EQ(j.app.Answer(IDNO), "確認: 本当に RTP[" + j.japanese + "] を削除してもよろしいですか？\nフォルダ: " + j.folders[4] +
                                      "\nファイル 1 個、フォルダ 1 個、3 バイト" + NoUndo);
    EXPECT_EQ(Remove("run2", IDNO), "確認: 本当に RTP[run2] を削除してもよろしいですか？\nフォルダ: " + j.dir / "gone" +
                                        "\nフォルダが見つかりません: 登録だけを削除します" + NoUndo);
    EXPECT_EQ(Remove("RTPa", 0).substr(0, 8), "確認: 本") << "Enter says No";
    EXPECT_TRUE(j.xp.HasValue("RTPa"));
    EXPECT_TRUE(PathExists(j.folders[0]));
    EXPECT_GE(RowOf("RTPa"), 0);
}

// Yes removes the folder that was counted, or nothing: here the registration
// changes or goes, the parent is replaced, or a missing folder is made while
// the question is open; the list shows the registration as it is now before
// the box says so. What comes into a folder while the question is open stays,
// and the removal says so. Then Yes on an unchanged RTP removes it, and the
// list is read again.
TEST_F(RtpListTest, YesRemovesTheFolderCountedOrNothing) {
    for (const char* folder : {"PL", "PL\\RTP", "PL\\RTP\\Mine"}) ASSERT_TRUE(MakeDirectory(j.dir / folder)) << folder;
    ASSERT_TRUE(WriteFileBytes(j.dir / "PL\\RTP\\Mine\\one.png", "one"));
    Register("Mine", j.dir / "PL\\RTP\\Mine");
    Register("Ghost", j.dir / "ghost");
    const struct { std::string name, now, made; } rows[] = {
        {"alpha", j.dir / "precious", j.dir / "precious"}, {"Mine", j.dir / "PL\\RTP\\Mine", j.dir / "PL\\RTP\\Mine"},
        {"Ghost", j.dir / "ghost", j.dir / "ghost"}};
    for (const auto& row : rows) {
        ASSERT_NE(Ask(row.name), nullptr);
        if (row.name == "Mine") {
            ASSERT_TRUE(MoveFileW(DisplayText(j.dir / "PL\\RTP").c_str(), DisplayText(j.dir / "PL\\old").c_str()));
            ASSERT_TRUE(MakeDirectory(j.dir / "PL\\RTP"));
        }
        ASSERT_TRUE(MakeDirectory(row.made)) << row.made;
        ASSERT_TRUE(WriteFileBytes(row.made + "\\a.txt", "a"));
        if (row.name == "alpha") {
            ASSERT_TRUE(j.xp.SetString("alpha", row.now + "\\"));
        }
        j.app.Answer(IDYES);
        if (row.name == "alpha") {
            ASSERT_NE(j.app.WaitBox(), nullptr);
            const int at = RowOf("alpha");
            ASSERT_GE(at, 0);
            EXPECT_EQ(j.app.Rows(list)[static_cast<std::size_t>(at)], "alpha | " + row.now + "\\") << "the row as it is now";
        }
        EXPECT_EQ(j.app.Answer(IDOK), "エラー: RTP[" + row.name + "] の登録されているフォルダが確認の後で変わったので削除しませんでした\n今のフォルダ: " + row.now);
        EXPECT_TRUE(PathExists(row.made + "\\a.txt")) << row.name;
        EXPECT_TRUE(j.xp.HasValue(row.name)) << row.name;
    }
    EXPECT_TRUE(PathExists(j.dir / "PL\\old\\Mine\\one.png"));
    EXPECT_TRUE(PathExists(j.folders[1]));
    Register("Went", j.folders[1]);
    ASSERT_NE(Ask("Went"), nullptr);
    ASSERT_TRUE(j.xp.DeleteValue("Went"));
    j.app.Answer(IDYES);
    ASSERT_NE(j.app.WaitBox(), nullptr);
    EXPECT_LT(RowOf("Went"), 0) << "the row of a registration that went";
    EXPECT_EQ(j.app.Answer(IDOK), "エラー: レジストリキーのサブキーの取得に失敗しました\nRTP[Went] はインストールされていないようです");
    ASSERT_TRUE(MakeDirectory(j.dir / "late") && WriteFileBytes(j.dir / "late\\old.png", "old"));
    Register("Late", j.dir / "late");
    ASSERT_NE(Ask("Late"), nullptr);
    ASSERT_TRUE(WriteFileBytes(j.dir / "late\\new.png", "new"));
    j.app.Answer(IDYES);
    EXPECT_EQ(j.app.Answer(IDOK), "エラー: " + Dirs + "\n残った項目:\n" + j.dir / "late" + " (消えなかったフォルダ)");
    EXPECT_TRUE(PathExists(j.dir / "late\\new.png"));
    EXPECT_FALSE(PathExists(j.dir / "late\\old.png"));
    EXPECT_EQ(Remove("RTPa", IDYES).substr(0, 8), "確認: 本");
    EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTPの削除に成功しました");
    EXPECT_LT(RowOf("RTPa"), 0);
    EXPECT_FALSE(j.xp.HasValue("RTPa"));
    EXPECT_FALSE(PathExists(j.folders[0]));
}

// A file held open: the removal says so, and the row goes with the
// registration, which went first; Yes tries again, as often as it takes.
TEST_F(RtpListTest, AFailedRemovalStillTakesTheRow) {
    HANDLE held = CreateFileW(DisplayText(j.folders[2] + "\\Graphics\\表.png").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Remove("rtpB", IDYES);
    const std::string inUse = "エラー: 削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください"
                              "\n残った項目:\nGraphics\\表.png (使用中)\n残りを続けて削除しますか？ (いいえ: フォルダを開きます)";
    EXPECT_EQ(j.app.Answer(IDYES), inUse);
    ASSERT_NE(j.app.WaitBox(), nullptr);
    EXPECT_LT(RowOf("rtpB"), 0) << "the registration went first: its row too";
    CloseHandle(held);
    EXPECT_EQ(j.app.Answer(IDYES), inUse) << "still held at the second try";
    EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTPの削除に成功しました");
    EXPECT_FALSE(PathExists(j.folders[2]));
}

// What can be refused without Yes is refused instead of the question; an
// RTP whose drive does not answer can lose its registration alone.
TEST_F(RtpListTest, RefusesInsteadOfAsking) {
    Register("Inner", j.folders[3] + "\\Graphics");
    Register("Q", "Q:\\rtp");
    const struct { std::string name; int answer; std::string said; } rows[] = {
        {"Inner", IDOK, "エラー: RTP[stANDard] のフォルダ " + j.folders[3] + " と重なっているので RTP[Inner] は削除できません"
                  "\n先に RTP[stANDard] を削除するか、どちらかの登録を直してください"},
        {"Q", IDNO, "確認: ドライブが応答しないので、RTP[Q] のファイルは削除できません。登録だけを削除しますか？ (ファイルには触れません)\nフォルダ: Q:\\rtp"}};
    for (const auto& row : rows) {
        EXPECT_EQ(Remove(row.name, row.answer), row.said);
        EXPECT_EQ(j.app.WaitBox(500), nullptr) << "no question after the refusal";
        EXPECT_TRUE(j.xp.HasValue(row.name));
    }
    EXPECT_TRUE(PathExists(j.folders[3] + "\\Graphics\\表.png"));
    Remove("Q", IDYES);
    EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTP[Q] の登録を削除しました。ファイルには触れていません");
    EXPECT_FALSE(j.xp.HasValue("Q"));
    EXPECT_LT(RowOf("Q"), 0);
}

// Each RTP's state says what is wrong with its folder, found as its row
// shows; a REG_EXPAND_SZ registration is listed expanded, and removed like
// any other. F5 keeps the selected RTP.
TEST_F(RtpListTest, StatesSayWhatIsWrongAndF5KeepsTheSelection) {
    ASSERT_TRUE(MakeDirectory(j.dir / "ex") && WriteFileBytes(j.dir / "ex\\x.txt", "x") && WriteFileBytes(j.dir / "afile", "f"));
    SetEnvironmentVariableW(L"KELMORA_STATES", DisplayText(j.dir.Path()).c_str());
    ASSERT_TRUE(j.xp.SetString("st4", "%KELMORA_STATES%\\ex", REG_EXPAND_SZ));
    Register("st1", j.dir / "nothere");
    Register("st2", j.dir / "afile");
    Register("st3", "Q:\\rtp");
    const struct { const char* name; const char* state; } rows[] = {{"stANDard", ""}, {"st1", "フォルダなし"},
        {"st2", "ファイルです"}, {"st3", "ドライブが応答しません"}, {"st4", "展開形式"}};
    for (const auto& row : rows) EXPECT_EQ(StateOf(row.name), row.state) << row.name;
    EXPECT_EQ(j.app.Rows(list)[static_cast<std::size_t>(RowOf("st4"))], "st4 | " + j.dir / "ex");
    Select("st2");
    SendMessageW(page, WM_COMMAND, RtpRefreshId, 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), RowOf("st2")) << "F5";
    EXPECT_EQ(Buttons(), "open remove");
    EXPECT_EQ(Remove("st4", IDYES).substr(0, 8), "確認: 本");
    EXPECT_EQ(j.app.Answer(IDOK), "お知らせ: RTPの削除に成功しました");
    EXPECT_FALSE(PathExists(j.dir / "ex"));
}

}  // namespace
