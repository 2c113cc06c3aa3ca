// The RTP list tabs of the shipped Kelmora.exe: RTPs registered in the 32-bit
// view of HKEY_LOCAL_MACHINE, real folders, the shell's folder windows, and
// the program's own boxes, in one journey.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenedFolders.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

HCURSOR Cursor() {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    GetCursorInfo(&cursor);
    return cursor.hCursor;
}

struct RtpListTest : testing::Test {
    ~RtpListTest() override {
        if (app.processId != 0) CloseOpenedFolders(3000, app.processId);
    }
    // Shows tab index from the keyboard: the strip scrolls, a click may miss.
    void ShowTab(int index) {
        const HWND before = app.ShownPage();
        for (int i = 0; i < 3 && app.TabSelection() != index; ++i) {
            const int from = app.TabSelection();
            TypeKey(app.dialog, VK_TAB, {VK_CONTROL});
            Eventually([&] { return app.TabSelection() != from; });
        }
        ASSERT_TRUE(Eventually([&] { return app.TabSelection() == index && (page = app.ShownPage()) != before; })) << index;
        list = GetDlgItem(page, 1001), open = GetDlgItem(page, 1002), remove = GetDlgItem(page, 1003);
    }
    int RowOf(const std::string& name) const {
        const std::vector<std::string> rows = app.Rows(list);
        int row = 0;
        while (row < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(row)].rfind(name + " | ", 0) != 0) ++row;
        return row;
    }
    void Select(const std::string& name, bool canRemove) {
        ASSERT_TRUE(app.SelectRow(list, RowOf(name))) << name;
        EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(open) && IsWindowEnabled(remove) == canRemove; })) << name;
    }
    bool NoButtons() const { return !IsWindowEnabled(open) && !IsWindowEnabled(remove); }
    // Clicks remove and answers the question; returns the question.
    SeenBox Remove(int answer) {
        ClickButton(remove);
        HWND box = app.WaitBox();
        const SeenBox seen = box != nullptr ? ReadBox(box) : SeenBox{};
        EXPECT_TRUE(box != nullptr && AnswerBox(box, answer)) << DescribeWindows();
        return seen;
    }
    std::string Notice() {  // "caption: text" of the next box, answered with OK
        HWND box = app.WaitBox();
        if (box == nullptr) return "<no box>";
        const SeenBox seen = ReadBox(box);
        AnswerBox(box, IDOK);
        return seen.caption + ": " + seen.text;
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
    ASSERT_TRUE(app.Start(dir.Path())) << DescribeWindows();
    ShowTab(2);
    EXPECT_TRUE(app.Rows(list).empty() && NoButtons()) << "RPGVX has no key";
    ShowTab(1);
    EXPECT_EQ(app.Rows(list), rows) << "byte-wise: upper case first, Japanese last";
    EXPECT_TRUE(NoButtons()) << "nothing selected";
    Select("stANDard", false);  // the official RTP, in any letter case
    Select("RTPa", true);
    ClickButton(open);
    EXPECT_EQ(CloseOpenedFolders(15000, app.processId, 1), std::vector<std::string>{"rtp0"});
    ASSERT_TRUE(app.DoubleClickRow(list, RowOf("rtpB")));
    EXPECT_EQ(CloseOpenedFolders(15000, app.processId, 1), std::vector<std::string>{"rtp2"});

    // No, and Enter (No is the default), change nothing; the question holds the whole name.
    Select(japanese, true);
    const SeenBox question = Remove(IDNO);
    EXPECT_EQ(question.caption + ": " + question.text,
              "確認: 本当に RTP[" + japanese + "] を削除してもよろしいですか？\nフォルダ: " + folders[4]);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.defaultButton, IDNO);
    Select("RTPa", true);
    EXPECT_EQ(Remove(0).text, "本当に RTP[RTPa] を削除してもよろしいですか？\nフォルダ: " + folders[0]);
    EXPECT_TRUE(xp.HasValue("RTPa") && PathExists(folders[0]) && app.Rows(list) == rows);

    // Yes: the list is rebuilt before the notice, and nothing stays selected.
    Remove(IDYES);
    ASSERT_NE(app.WaitBox(), nullptr);
    rows.erase(rows.begin());
    EXPECT_EQ(app.Rows(list), rows);
    EXPECT_TRUE(NoButtons());
    EXPECT_EQ(Notice(), "お知らせ: RTPの削除に成功しました");
    EXPECT_FALSE(xp.HasValue("RTPa") || PathExists(folders[0]));

    // A file held open: the removal says so and the row stays; the value is gone.
    HANDLE held = CreateFileW(DisplayText(folders[2] + "\\Graphics\\表.png").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Select("rtpB", true);
    SetCursorPos(0, 0);  // away from the boxes, which set their own cursor
    const HCURSOR before = Cursor();
    Remove(IDYES);
    ASSERT_NE(app.WaitBox(), nullptr);
    EXPECT_NE(Cursor(), before) << "the wait cursor while the removal runs";
    EXPECT_EQ(Notice(), "エラー: 削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください");
    CloseHandle(held);
    EXPECT_EQ(CloseOpenedFolders(15000, app.processId, 1), std::vector<std::string>{"rtp2"});
    EXPECT_EQ(Cursor(), before);
    EXPECT_EQ(app.Rows(list), rows);
    Select("rtpB", true);
    Remove(IDYES);
    EXPECT_EQ(Notice(), "エラー: レジストリキーのサブキーの取得に失敗しました\nRTP[rtpB] はインストールされていないようです");

    // Registered while the program runs: F5 in the list shows it.
    ScratchKey vx("Enterbrain\\RGSS2\\RTP");
    const std::string added = MakeRtp(vx, "後から入れたRTP");
    ShowTab(2);
    TypeKey(app.dialog, VK_TAB);
    ASSERT_TRUE(Eventually([&] { return FocusOf(app.dialog) == list; })) << "Tab from the strip reaches the list";
    TypeKey(list, VK_F5);
    EXPECT_TRUE(Eventually([&] { return app.Rows(list) == std::vector<std::string>{added}; }));
    ASSERT_TRUE(app.Close());
}

}  // namespace
