// The RTP list tabs of the shipped Kelmora.exe, worked from outside: RTPs
// registered in the 32-bit view of HKEY_LOCAL_MACHINE, real folders, the
// shell's folder windows, and the program's own boxes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DialogWatcher.h"
#include "OpenedFolders.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

const char XpKey[] = "Enterbrain\\RGSS\\RTP";
const char VxKey[] = "Enterbrain\\RGSS2\\RTP";

void RemoveRtpKeys() {
    for (const wchar_t* path : {L"Software\\Enterbrain\\RGSS\\RTP", L"Software\\Enterbrain\\RGSS2\\RTP",
                                L"Software\\Enterbrain\\RGSS", L"Software\\Enterbrain\\RGSS2", L"Software\\Enterbrain"})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, 0);  // values go with a key; parents only when empty
}

// The cursor the program shows: a handle of that program, only to compare.
HCURSOR Cursor() {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    GetCursorInfo(&cursor);
    return cursor.hCursor;
}

class RtpListTest : public testing::Test {
protected:
    void SetUp() override { RemoveRtpKeys(); }
    void TearDown() override {
        if (app.ProcessId() != 0) CloseOpenedFolders(3000, app.ProcessId());
        app.Kill();
        RemoveRtpKeys();
    }
    void StartApp() {
        ASSERT_TRUE(app.Start(dir.Path()) && app.WaitMainDialog()) << AppDriver::DescribeWindows();
        tab = GetDlgItem(app.MainDialog(), 1000);
    }
    // Clicks the tab titled title; its page's list and buttons are then at hand.
    void ShowTab(const std::string& title) {
        int index = 0;
        while (index < TabCount(tab) && TabText(app.Process(), tab, index) != title) ++index;
        ASSERT_LT(index, TabCount(tab)) << "no tab " << title;
        // The old page stays shown a moment after the tab is selected.
        const HWND before = index == TabSelection(tab) ? nullptr : ShownPage(app.MainDialog());
        ASSERT_TRUE(ClickTab(app.Process(), tab, index));
        ASSERT_TRUE(Eventually([&] {
            page = ShownPage(app.MainDialog());
            return page != nullptr && page != before && TabSelection(tab) == index;
        })) << title;
        list = GetDlgItem(page, 1001);
        open = GetDlgItem(page, 1002);
        remove = GetDlgItem(page, 1003);
    }
    // "name | folder" for each row.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 0; row < ListRowCount(list); ++row)
            rows.push_back(ListCellText(app.Process(), list, row, 0) + " | " + ListCellText(app.Process(), list, row, 1));
        return rows;
    }
    int RowOf(const std::string& name) const {
        int row = 0;
        while (row < ListRowCount(list) && ListCellText(app.Process(), list, row, 0) != name) ++row;
        return row;
    }
    // Selects the row, then waits for the buttons to say open/remove.
    void Select(const std::string& name, bool canRemove) {
        ASSERT_TRUE(SelectListRow(app.Process(), list, RowOf(name))) << name;
        EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(open) && IsWindowEnabled(remove) == canRemove; }))
            << name << ": open " << IsWindowEnabled(open) << ", remove " << IsWindowEnabled(remove);
    }
    // Reads the next box, answers it with button (0: Enter) and waits for it to go.
    SeenBox Answer(int button) {
        HWND box = app.WaitOtherDialog();
        if (box == nullptr) return SeenBox{nullptr, "", "<no box>", nullptr, {}, 0};
        const SeenBox seen = ReadBox(box);
        if (button == 0)
            PressKey(box, VK_RETURN);
        else
            AnswerDialog(box, button);
        EXPECT_TRUE(Eventually([&] { return !IsWindow(box); })) << seen.text;
        return seen;
    }
    std::string MakeRtp(ScratchKey& key, const std::string& name) {
        const std::string folder = dir / ("rtp" + std::to_string(folders.size() + 1));
        EXPECT_TRUE(MakeDirectory(folder) && MakeDirectory(folder + "\\Graphics") &&
                    WriteFileBytes(folder + "\\Graphics\\表.png", "png"));
        folders.push_back(folder);
        EXPECT_TRUE(key.SetString(name, folder));
        return name + " | " + folder;
    }

    ScratchDir dir;
    AppDriver app;
    HWND tab = nullptr, page = nullptr, list = nullptr, open = nullptr, remove = nullptr;
    std::optional<ScratchKey> xp, vx;
    std::vector<std::string> folders;
};

TEST_F(RtpListTest, ListOpenAndRemove) {
    vx.emplace(VxKey);
    const std::string vxOfficial = MakeRtp(*vx, "rpgvx");
    const std::vector<std::string> vxRows{MakeRtp(*vx, "VX追加素材"), vxOfficial};
    xp.emplace(XpKey);
    // Too long to read, and first in the registry's own order: it hides nothing.
    ASSERT_TRUE(xp->SetString("0-too-long", std::string(600, 'x')));
    const std::string japanese = std::string("表示") + std::string(296, 'j');  // 300 bytes
    const std::vector<std::string> xpRows{MakeRtp(*xp, "RTPa"), MakeRtp(*xp, "alpha"), MakeRtp(*xp, "rtpB"),
                                          MakeRtp(*xp, "standard"), MakeRtp(*xp, japanese)};
    StartApp();
    ShowTab("RTP一覧(RPGVX)");
    EXPECT_EQ(Rows(), vxRows);
    Select("rpgvx", false);
    ShowTab("RTP一覧(RPGXP)");
    EXPECT_EQ(Rows(), xpRows) << "byte-wise: upper case first, Japanese last";
    EXPECT_FALSE(IsWindowEnabled(open) || IsWindowEnabled(remove)) << "nothing selected";
    Select("standard", false);
    Select("RTPa", true);
    ClickButton(open);
    EXPECT_EQ(CloseOpenedFolders(15000, app.ProcessId(), 1), std::vector<std::string>{"rtp3"});
    ASSERT_TRUE(DoubleClickListRow(app.Process(), list, RowOf("rtpB")));
    EXPECT_EQ(CloseOpenedFolders(15000, app.ProcessId(), 1), std::vector<std::string>{"rtp5"});

    // No, and Enter (No is the default), change nothing; the question holds the whole name.
    Select(japanese, true);
    ClickButton(remove);
    const SeenBox question = Answer(IDNO);
    EXPECT_EQ(question.caption + ": " + question.text,
              "確認: 本当に RTP[" + japanese + "] を削除してもよろしいですか？\nフォルダ: " + folders[6]);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.defaultButton, IDNO);
    Select("RTPa", true);
    ClickButton(remove);
    EXPECT_EQ(Answer(0).text, "本当に RTP[RTPa] を削除してもよろしいですか？\nフォルダ: " + folders[2]);
    EXPECT_EQ(Rows(), xpRows);
    EXPECT_TRUE(xp->HasValue("RTPa") && PathExists(folders[2]));

    // Yes: the list is rebuilt before the notice, and nothing stays selected.
    ClickButton(remove);
    EXPECT_EQ(Answer(IDYES).caption, "確認");
    ASSERT_NE(app.WaitOtherDialog(), nullptr);
    EXPECT_EQ(Rows(), std::vector<std::string>(xpRows.begin() + 1, xpRows.end()));
    EXPECT_FALSE(IsWindowEnabled(open) || IsWindowEnabled(remove));
    const SeenBox done = Answer(IDOK);
    EXPECT_EQ(done.caption + ": " + done.text, "お知らせ: RTPの削除に成功しました");
    EXPECT_FALSE(xp->HasValue("RTPa") || PathExists(folders[2]));

    // A file held open: the removal says so and the row stays; the value is gone.
    HANDLE held = CreateFileW(DisplayText(folders[4] + "\\Graphics\\表.png").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Select("rtpB", true);
    SetCursorPos(0, 0);  // away from the boxes, which would set their own cursor
    const HCURSOR before = Cursor();
    ClickButton(remove);
    Answer(IDYES);
    ASSERT_NE(app.WaitOtherDialog(), nullptr);
    const HCURSOR during = Cursor();
    EXPECT_EQ(Answer(IDOK).text,
              "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください");
    CloseHandle(held);
    EXPECT_EQ(CloseOpenedFolders(15000, app.ProcessId(), 1), std::vector<std::string>{"rtp5"});
    EXPECT_NE(during, before) << "the wait cursor while the removal runs";
    EXPECT_EQ(Cursor(), before);
    EXPECT_EQ(Rows(), std::vector<std::string>(xpRows.begin() + 1, xpRows.end()));
    Select("rtpB", true);
    ClickButton(remove);
    Answer(IDYES);
    EXPECT_EQ(Answer(IDOK).text,
              "レジストリキーのサブキーの取得に失敗しました\nRTP[rtpB] はインストールされていないようです");
}

TEST_F(RtpListTest, NothingInstalledThenF5ShowsANewRtp) {
    StartApp();
    for (const char* title : {"RTP一覧(RPGVX)", "RTP一覧(RPGXP)"}) {
        ShowTab(title);
        EXPECT_EQ(ListRowCount(list), 0) << title;
        EXPECT_FALSE(IsWindowEnabled(open) || IsWindowEnabled(remove)) << title;
    }
    xp.emplace(XpKey);
    const std::string row = MakeRtp(*xp, "後から入れたRTP");
    PressKey(list, VK_F5);
    EXPECT_TRUE(Eventually([&] { return Rows() == std::vector<std::string>{row}; })) << ListRowCount(list);
}

}  // namespace
