// The installer settings tab of the shipped Kelmora.exe, worked from outside
// as a user would, one journey per test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DialogWatcher.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

constexpr int PathBox = 1003, Browse = 1002, Combo = 1010;
constexpr int Edits[] = {1004, 1006, 1007, 1008, 1009};
// RTPName, Title, Copyright, Version, Bitmap, RTPType.
using Values = std::vector<std::string>;
const Values Defaults = {"Test", "Test Quorlen", "Copyright(c) 2009,", "Ver0.01", "", "RPGXP"};

// A section as the page writes it into a new file: RTPType first.
std::string TaviskSection(const Values& v) {
    return "[Tavisk]\r\nRTPType=" + v[5] + "\r\nRTPName=" + v[0] + "\r\nTitle=" + v[1] + "\r\nCopyright=" + v[2] +
           "\r\nVersion=" + v[3] + "\r\nBitmap=" + v[4] + "\r\n";
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class InstallerIniPageTest : public testing::Test {
protected:
    void Start() {
        app = std::make_unique<AppDriver>();
        ASSERT_TRUE(app->Start(dir.Path())) << BuiltExePath();
        ASSERT_NE(app->WaitMainDialog(), nullptr) << AppDriver::DescribeWindows();
        page = FindPage(app->MainDialog(), Combo);
        ASSERT_NE(page, nullptr);
    }
    void Close() {
        PostMessageW(app->MainDialog(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(app->WaitExit()) << AppDriver::DescribeWindows();
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    Values Fields() const {
        Values shown;
        for (int id : Edits) shown.push_back(ControlText(Item(id)));
        shown.push_back(ControlText(Item(Combo)));
        return shown;
    }
    void SetFields(const Values& v) {
        for (int i = 0; i < 5; ++i) SetControlText(Item(Edits[i]), v[static_cast<std::size_t>(i)]);
        SendMessageW(Item(Combo), CB_SETCURSEL, v[5] == "RPGVX" ? 1 : 0, 0);
    }
    // Presses "保存" and answers the box it shows.
    SeenBox Save() {
        ClickButton(Item(IDOK));
        HWND box = app->WaitOtherDialog();
        if (box == nullptr) {
            ADD_FAILURE() << "no box after 保存; windows:\n" << AppDriver::DescribeWindows();
            return {};
        }
        const SeenBox seen = ReadBox(box);
        AnswerDialog(box, IDOK);
        EXPECT_TRUE(WaitGone(box));
        return seen;
    }
    // Confirms name in the browse dialog, or cancels it when name is empty.
    void BrowseTo(const std::string& name) {
        ClickButton(Item(Browse));
        HWND dialog = app->WaitOtherDialog();
        ASSERT_NE(dialog, nullptr) << AppDriver::DescribeWindows();
        if (name.empty())
            AnswerDialog(dialog, IDCANCEL);
        else
            ConfirmOpenFile(dialog, name);
        ASSERT_TRUE(WaitGone(dialog));
        DWORD_PTR ignored = 0;  // the load is done once the page answers again
        SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    }

    ScratchDir dir;
    std::unique_ptr<AppDriver> app;
    HWND page = nullptr;
};

TEST_F(InstallerIniPageTest, FirstStartWritesTheDefaultsThenSavesEdits) {
    const std::string ini = dir / "Tavisk.ini";
    Start();
    EXPECT_EQ(TabText(app->Process(), GetDlgItem(app->MainDialog(), 1000), 0), "インストーラ用iniファイル作成");
    EXPECT_TRUE(IsWindowVisible(page)) << "the first tab is shown at start";
    EXPECT_EQ(ControlText(Item(PathBox)), ini);
    EXPECT_EQ(ComboItemText(Item(Combo), 0) + "," + ComboItemText(Item(Combo), 1) + "," + ComboItemText(Item(Combo), 2),
              "RPGXP,RPGVX,<no such item>");
    EXPECT_EQ(Fields(), Defaults);
    EXPECT_EQ(ReadFileBytes(ini), TaviskSection(Defaults)) << "written at once, without a click";

    // 150 characters, 300 bytes: 259 bytes would end inside a character.
    const Values typed = {Repeat("表", 150), "ソフト表示", "(c) 2026 ソ", "Ver1.00", "表.bmp", "RPGVX"};
    Values kept = typed;
    kept[0] = Repeat("表", 129);
    SetFields(typed);
    EXPECT_EQ(Fields(), kept);

    // A file that cannot be written. The tests run as root, to whom a
    // read-only file is writable: a folder in its place it is.
    ASSERT_TRUE(DeleteFileW(DisplayText(ini).c_str()) && MakeDirectory(ini));
    const SeenBox refused = Save();
    RemoveDirectoryW(DisplayText(ini).c_str());
    EXPECT_EQ(refused.caption + ": " + refused.text, "エラー: 設定を保存できませんでした");

    const SeenBox saved = Save();
    EXPECT_EQ(saved.caption + ": " + saved.text, "お知らせ: 設定を保存しました");
    EXPECT_EQ(saved.owner, app->MainDialog());
    EXPECT_EQ(ReadFileBytes(ini), TaviskSection(kept));
    Close();
    EXPECT_EQ(ReadFileBytes(dir / "Kelmora.ini"), "[Kelmora]\r\nInstallIni=" + ini + "\r\n");
}

TEST_F(InstallerIniPageTest, AHandEditedFileThenBrowsingForOthers) {
    // A relative path, another section, a key the page does not know, an RTP
    // kind in the wrong case and a value of 300 bytes, with 0x5C second bytes.
    ASSERT_TRUE(MakeDirectory(dir / "sub"));
    ASSERT_TRUE(WriteFileBytes(dir / "Kelmora.ini", "[Kelmora]\r\nInstallIni=sub\\Tavisk.ini\r\n"));
    const std::string start = dir / "sub\\Tavisk.ini";
    ASSERT_TRUE(WriteFileBytes(start, "[Other]\r\nk=v\r\n[Tavisk]\r\nExtra=ソ\r\nRTPType=rpgvx\r\nTitle=" +
                                          Repeat("ソ", 150) + "\r\nVersion=表\r\n"));
    Start();
    EXPECT_EQ(ControlText(Item(PathBox)), "sub\\Tavisk.ini") << "shown as stored";
    const std::string title = Repeat("ソ", 129);
    EXPECT_EQ(Fields(), (Values{"Test", title, "Copyright(c) 2009,", "表", "", "RPGXP"}));
    const std::string completed = "[Other]\r\nk=v\r\n[Tavisk]\r\nExtra=ソ\r\nRTPType=RPGXP\r\nTitle=" + title +
                                  "\r\nVersion=表\r\nRTPName=Test\r\nCopyright=Copyright(c) 2009,\r\nBitmap=\r\n";
    EXPECT_EQ(ReadFileBytes(start), completed);

    SetControlText(Item(Edits[0]), "unsaved");
    BrowseTo("");
    EXPECT_EQ(ControlText(Item(PathBox)) + " " + ControlText(Item(Edits[0])), "sub\\Tavisk.ini unsaved");
    EXPECT_EQ(ReadFileBytes(start), completed) << "a cancelled browse writes nothing";

    // Bare names land in the folder of the current file.
    struct Row {
        const char* name;
        const char* stored;
        const char* shown;
    } rows[] = {{"vx.ini", "RPGVX", "RPGVX"}, {"lower.ini", "rpgvx", "RPGXP"}, {"empty.ini", "", "RPGXP"},
                {"other.ini", "RPG2000", "RPGXP"}};
    for (const Row& row : rows) {
        const std::string path = dir / "sub" + "\\" + row.name;
        ASSERT_TRUE(WriteFileBytes(path, std::string("[Tavisk]\r\nRTPType=") + row.stored + "\r\n"));
        BrowseTo(row.name);
        Values loaded = Defaults;
        loaded[5] = row.shown;
        EXPECT_EQ(ControlText(Item(PathBox)), path) << row.name;
        EXPECT_EQ(Fields(), loaded) << "RTPType=" << row.stored << " in " << row.name;
        EXPECT_EQ(ReadFileBytes(path), TaviskSection(loaded)) << row.name;
    }
    EXPECT_EQ(ReadFileBytes(start), completed) << "unsaved edits are dropped on browse";

    // The write after a load fails in a missing folder, and says nothing.
    BrowseTo(dir / "missing\\Tavisk.ini");
    EXPECT_EQ(app->WaitOtherDialog(1000), nullptr) << AppDriver::DescribeWindows();

    // A new file, whose path is remembered for the next start.
    const std::string chosen = dir / "ソフト表.ini";
    BrowseTo(chosen);
    EXPECT_EQ(ControlText(Item(PathBox)), chosen);
    EXPECT_EQ(ReadFileBytes(chosen), TaviskSection(Defaults));
    SetControlText(Item(Edits[1]), "表ソ");
    EXPECT_EQ(Save().text, "設定を保存しました");
    Close();
    EXPECT_EQ(ReadFileBytes(dir / "Kelmora.ini"), "[Kelmora]\r\nInstallIni=" + chosen + "\r\n");
    Start();
    EXPECT_EQ(ControlText(Item(PathBox)), chosen);
    EXPECT_EQ(ControlText(Item(Edits[1])), "表ソ");
    Close();
}

}  // namespace
