// The RTP list pages in one journey, hosted in this process: RTPs registered
// in the 32-bit view of HKEY_LOCAL_MACHINE, real folders, the shell's folder
// windows, and the page's own boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/FileTree.h"
#include "fsutil/WinText.h"
#include "pages/RtpListPage.h"

namespace {

bool IsRunning(const std::wstring& program) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &process); more && !found; more = Process32NextW(snapshot, &process))
        found = _wcsicmp(process.szExeFile, program.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

struct RtpListTest : testing::Test {
    void Use(AppDriver& host) {
        page = host.PageWith(RtpListId);
        list = GetDlgItem(page, RtpListId), open = GetDlgItem(page, RtpOpenButtonId), remove = GetDlgItem(page, RtpRemoveButtonId);
    }
    int RowOf(const std::string& name) const {
        const std::vector<std::string> rows = app.Rows(list);
        for (std::size_t row = 0; row < rows.size(); ++row)
            if (rows[row].rfind(name + " | ", 0) == 0) return static_cast<int>(row);
        return -1;
    }
    // Selects the row; says whether open and remove are then enabled.
    std::string Select(const std::string& name) {
        app.SelectRow(list, RowOf(name));
        Eventually([&] { return IsWindowEnabled(open) != FALSE; });
        return Buttons();
    }
    std::string Buttons() const { return std::string(IsWindowEnabled(open) ? "open" : "-") + (IsWindowEnabled(remove) ? " remove" : " -"); }
    // Registered while the page shows: read again (F5), it is listed.
    void Register(const std::string& name, const std::string& folder) {
        ASSERT_TRUE(xp.SetString(name, folder));
        PostMessageW(page, WM_COMMAND, RtpRefreshId, 0);
        ASSERT_TRUE(Eventually([&] { return RowOf(name) >= 0; })) << name;
    }
    std::string MakeRtp(ScratchKey& key, const std::string& name) {
        folders.push_back(dir / ("rtp" + std::to_string(folders.size())));
        EXPECT_TRUE(MakeDirectory(folders.back()) && MakeDirectory(folders.back() + "\\Graphics") &&
                    WriteFileBytes(folders.back() + "\\Graphics\\表.png", "png") && key.SetString(name, folders.back()));
        return name + " | " + folders.back();
    }

    ScratchDir dir;
    ScratchKey xp{"Enterbrain\\RGSS\\RTP"};
    AppDriver app;
    HWND page = nullptr, list = nullptr, open = nullptr, remove = nullptr;
    std::vector<std::string> folders;
};

TEST_F(RtpListTest, ListOpenRemoveAndRefresh) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Enterbrain\\RGSS2\\RTP", KEY_WOW64_32KEY, 0);
    // Too long to read, and first in the registry's own order: it hides nothing.
    ASSERT_TRUE(xp.SetString("0-too-long", std::string(600, 'x')));
    const std::string japanese = "表示" + std::string(296, 'j');  // 300 bytes
    std::vector<std::string> rows{MakeRtp(xp, "RTPa"), MakeRtp(xp, "alpha"), MakeRtp(xp, "rtpB"),
                                  MakeRtp(xp, "stANDard"), MakeRtp(xp, japanese)};
    // "Folders" that are programs, a bare name found in the program's own folder, and nothing.
    const std::string bat = "@echo ran> \"%~dp0ran.txt\"\r\n";
    const std::vector<std::string> notFolders{dir / "run\\setup.bat", "run.bat", dir / "gone"};
    ASSERT_TRUE(MakeDirectory(dir / "run") && WriteFileBytes(notFolders[0], bat) && WriteFileBytes(dir / "run.bat", bat));
    for (std::size_t i = 0; i < notFolders.size(); ++i) {
        ASSERT_TRUE(xp.SetString("run" + std::to_string(i), notFolders[i]));
        rows.insert(rows.begin() + 3 + static_cast<std::ptrdiff_t>(i), "run" + std::to_string(i) + " | " + notFolders[i]);
    }
    const std::string current = CurrentDirectory();
    SetCurrentDirectoryW(DisplayText(dir.Path()).c_str());  // the program's own folder, where bare names are found
    AppDriver vx;
    ASSERT_TRUE(vx.Host(RtpListPageTemplate, RtpListPageProcVx) && app.Host(RtpListPageTemplate, RtpListPageProcXp));
    Use(vx);
    EXPECT_EQ(app.Rows(list).size(), 0u) << "RPGVX has no key";
    Use(app);
    EXPECT_EQ(app.Rows(list), rows) << "byte-wise: upper case first, Japanese last";
    EXPECT_EQ(Buttons(), "- -") << "nothing selected";
    EXPECT_EQ(Select("stANDard"), "open -") << "the official RTP, in any letter case";
    EXPECT_EQ(Select("RTPa"), "open remove");
    ClickButton(open);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "a folder that exists opens without a word";
    ASSERT_TRUE(app.DoubleClickRow(list, RowOf("rtpB")));
    for (const std::string name : {"run0", "run1", "run2"}) {
        Select(name);
        ClickButton(open);
        EXPECT_EQ(app.Answer(IDOK), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + notFolders[name[3] - '0']);
    }
    EXPECT_FALSE(Eventually([&] { return PathExists(dir / "ran.txt") || PathExists(dir / "run\\ran.txt"); }, 2000))
        << "a program named as a folder ran";

    // The folder changes while the question is open: nothing is removed.
    Select("alpha");
    ClickButton(remove);
    ASSERT_NE(app.WaitBox(), nullptr);
    ASSERT_TRUE(MakeDirectory(dir / "precious") && xp.SetString("alpha", dir / "precious\\"));
    EXPECT_EQ(app.Answer(IDYES), "確認: 本当に RTP[alpha] を削除してもよろしいですか？\nフォルダ: " + folders[1] +
                                     "\n1 ファイル、1 フォルダ、3 バイト");
    EXPECT_EQ(app.Answer(IDOK), "エラー: RTP[alpha] の登録されているフォルダが確認の後で変わったので削除しませんでした\n今のフォルダ: " +
                                    dir / "precious");
    EXPECT_TRUE(xp.HasValue("alpha") && PathExists(dir / "precious") && PathExists(folders[1]));

    // No, and Enter, change nothing; the question holds the whole name.
    Select(japanese);
    ClickButton(remove);
    HWND box = app.WaitBox();
    ASSERT_NE(box, nullptr);
    const SeenBox question = ReadBox(box);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.defaultButton, IDNO);
    // It says how much will go, and warns of programs; a missing folder loses its registration only.
    EXPECT_EQ(app.Answer(IDNO), "確認: 本当に RTP[" + japanese + "] を削除してもよろしいですか？\nフォルダ: " + folders[4] +
                                    "\n1 ファイル、1 フォルダ、3 バイト");
    Select("run2");
    ClickButton(remove);
    EXPECT_EQ(app.Answer(IDNO), "確認: 本当に RTP[run2] を削除してもよろしいですか？\nフォルダ: " + notFolders[2] +
                                    "\nフォルダが見つかりません: 登録だけを削除します");
    ASSERT_TRUE(WriteFileBytes(folders[0] + "\\Graphics\\Game.exe", std::string(2000, 'x')));
    Select("RTPa");
    ClickButton(remove);
    EXPECT_EQ(app.Answer(0), "確認: 本当に RTP[RTPa] を削除してもよろしいですか？\nフォルダ: " + folders[0] +
                                 "\n2 ファイル、1 フォルダ、1.95 KB\n注意: 実行ファイル (.exe, .dll) が含まれています");
    EXPECT_TRUE(xp.HasValue("RTPa") && PathExists(folders[0]) && app.Rows(list) == rows);

    // Yes: removed, and the list read again.
    ClickButton(remove);
    app.Answer(IDYES);
    EXPECT_EQ(app.Answer(IDOK), "お知らせ: RTPの削除に成功しました");
    rows.erase(rows.begin());
    rows[0] = "alpha | " + dir / "precious\\";  // as registered while the question was open
    EXPECT_EQ(app.Rows(list), rows);
    EXPECT_FALSE(xp.HasValue("RTPa") || PathExists(folders[0]));

    // A file held open: the removal says so and the row stays; the value is gone.
    HANDLE held = CreateFileW(DisplayText(folders[2] + "\\Graphics\\表.png").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Select("rtpB");
    ClickButton(remove);
    app.Answer(IDYES);
    EXPECT_EQ(app.Answer(IDOK), "エラー: 削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください");
    CloseHandle(held);
    rows.erase(rows.begin() + 1);
    EXPECT_EQ(app.Rows(list), rows) << "the registration went first: its row too";

    // What can be refused without Yes is refused instead of the question.
    Register("Inner", folders[2] + "\\Graphics");
    Register("rtpC", folders[2]);
    Register("Q", "Q:\\rtp");
    for (const std::string name : {"Inner", "rtpC", "Q"}) {
        Select(name);
        ClickButton(remove);
        EXPECT_EQ(app.Answer(IDOK), name == "Q" ? "エラー: 登録されているフォルダのドライブが応答しないので RTP[Q] は削除できません"
                                   : "エラー: RTP[" + std::string(name == "Inner" ? "rtpC" : "Inner") + "] のフォルダ " +
                                         (name == "Inner" ? folders[2] : folders[2] + "\\Graphics") +
                                         " と重なっているので RTP[" + name + "] は削除できません");
        EXPECT_EQ(app.WaitBox(500), nullptr) << "no question after the refusal";
    }
    EXPECT_TRUE(PathExists(folders[2] + "\\Graphics\\表.png") && xp.HasValue("Inner"));

    // Yes means the folder that was counted: its parent replaced, or a missing
    // folder made, while the question is open, and nothing is removed.
    ASSERT_TRUE(MakeDirectory(dir / "PL") && MakeDirectory(dir / "PL\\RTP") && MakeDirectory(dir / "PL\\RTP\\Mine") &&
                WriteFileBytes(dir / "PL\\RTP\\Mine\\one.png", "one"));
    Register("Mine", dir / "PL\\RTP\\Mine");
    Register("Ghost", dir / "ghost");
    for (const std::string name : {"Mine", "Ghost"}) {
        Select(name);
        ClickButton(remove);
        ASSERT_NE(app.WaitBox(), nullptr);
        if (name == "Mine") {
            ASSERT_TRUE(MoveFileW(DisplayText(dir / "PL\\RTP").c_str(), DisplayText(dir / "PL\\old").c_str()));
            ASSERT_TRUE(MakeDirectory(dir / "PL\\RTP"));
        }
        const std::string made = dir / (name == "Mine" ? "PL\\RTP\\Mine" : "ghost");
        ASSERT_TRUE(MakeDirectory(made) && MakeDirectory(made + "\\docs") && WriteFileBytes(made + "\\docs\\a.txt", "a"));
        app.Answer(IDYES);
        EXPECT_EQ(app.Answer(IDOK), "エラー: RTP[" + name + "] の登録されているフォルダが確認の後で変わったので削除しませんでした\n今のフォルダ: " + made);
        EXPECT_TRUE(PathExists(made + "\\docs\\a.txt") && xp.HasValue(name));
    }
    EXPECT_TRUE(PathExists(dir / "PL\\old\\Mine\\one.png"));

    // A folder named "%USERNAME%", beside a program named as that expands: the
    // folder opens, the program never runs.
    wchar_t user[256] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"USERNAME", user, 256) > 0 && MakeDirectory(dir / "pct") &&
                MakeDirectory(dir / "pct\\%USERNAME%"));
    ASSERT_TRUE(CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(dir / "pct\\" + NarrowOrEmpty(user) + ".exe").c_str(), TRUE));
    Register("pct", dir / "pct\\%USERNAME%");
    Select("pct");
    ClickButton(open);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "a folder that exists opens without a word";
    EXPECT_FALSE(Eventually([&] { return IsRunning(std::wstring(user) + L".exe"); }, 3000)) << "the program ran";

    // Long work shows how far it is, the window answers throughout, and it
    // can be stopped: the count closes the question unasked, the removal
    // leaves the rest. A tree of 10,000 nested folders, made on the Linux side.
    const char* big = std::getenv("KELMORA_BIG_TREE");
    ASSERT_NE(big, nullptr) << "run through ctest: KELMORA_BIG_TREE is not set";
    Register("Big", std::string(big) + "/a");
    for (const bool removing : {false, true}) {
        const std::string step = removing ? "削除しています" : "数えています";
        Select("Big");
        ClickButton(remove);
        HWND progress = nullptr;
        std::string seen;
        if (removing) {  // once counted, the question
            ASSERT_TRUE(Eventually([&] { return (progress = app.WaitBox(100)) && ReadBox(progress).caption == "確認"; }, 20000));
            AnswerBox(progress, IDYES);
        }
        ASSERT_TRUE(Eventually([&] {
            progress = app.WaitBox(100);
            seen = progress == nullptr ? "" : ReadBox(progress).text;
            return seen.rfind(step, 0) == 0;
        })) << seen;
        DWORD_PTR answer = 0;
        EXPECT_TRUE(Eventually([&] {
            return SendMessageTimeoutW(app.dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0 &&
                   ReadBox(progress).text != seen;
        })) << "the count grows and the window answers: " << seen;
        AnswerBox(progress, IDCANCEL);
        if (!removing) {
            EXPECT_EQ(app.WaitBox(1000), nullptr) << "cancelled: no question";
        }
        EXPECT_EQ(xp.HasValue("Big"), !removing);
    }
    EXPECT_EQ(app.Answer(IDOK), "エラー: 削除を中止しました: 残りのファイルとフォルダはそのままです\nレジストリキーの削除は済んでいるので残りは手動で削除してください");
    FoundTree left;
    WalkTree((std::string(big) + "/a").c_str(), left, -1);
    EXPECT_GT(left.files.size(), 0u) << "stopped: the rest stays";
    EXPECT_LT(RowOf("Big"), 0) << "the registration went first: its row too";

    SetCurrentDirectoryW(DisplayText(current).c_str());
}

}  // namespace
