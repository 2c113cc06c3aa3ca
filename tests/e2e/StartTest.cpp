// Starting and closing the shipped Kelmora.exe as the release zip gives it:
// its window, the installer tab's defaults written at once, and "Kelmora.ini"
// written next to the exe only when it closes or the session ends, and only
// when there is something to keep.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/FileTree.h"
#include "fsutil/WinText.h"

namespace {

std::string Remembered(const std::string& path) { return "[Kelmora]\r\nInstallIni=" + path + "\r\n"; }

// The zip is unpacked by the test run into a folder whose name has Japanese
// and a blank (KELMORA_PACKAGE_DIR); without one, the built exe is copied.
TEST(Start, TheReleaseZipsExeThenWithWhatTheUserStored) {
    ScratchDir scratch;
    wchar_t given[MAX_PATH] = {}, full[MAX_PATH] = {};
    const bool unpacked = GetEnvironmentVariableW(L"KELMORA_PACKAGE_DIR", given, MAX_PATH) != 0 &&
                          GetFullPathNameW(given, MAX_PATH, full, nullptr) != 0;
    const std::string folder = unpacked ? NarrowOrEmpty(full) : scratch.Path(), exe = folder + "\\Kelmora.exe";
    const std::string ini = folder + "\\Kelmora.ini", tavisk = folder + "\\Tavisk.ini";
    ASSERT_TRUE(unpacked || CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(exe).c_str(), FALSE));
    for (const std::string& left : {ini, tavisk}) DeleteFileW(DisplayText(left).c_str());  // by the other locale's run

    const std::string defaults = "[Tavisk]\r\nRTPType=RPGXP\r\nRTPName=Test\r\nTitle=Test Quorlen\r\n"
                                 "Copyright=Copyright(c) 2009,\r\nVersion=Ver0.01\r\nBitmap=\r\n";
    {
        AppDriver app;
        ASSERT_TRUE(app.StartProgram(exe));
        EXPECT_EQ(WindowText(app.dialog), "Quorlen 開発者用エディタ Ver1.10");
        EXPECT_EQ(ReadFileBytes(tavisk), defaults) << "the installer tab's defaults, written at once";
        const HWND page = app.PageWith(RtpTypeComboId);
        EXPECT_EQ(WindowText(GetDlgItem(page, InstallerIniPathEditId)), tavisk);
        EXPECT_FALSE(PathExists(ini)) << "nothing is written before the end";
        // A typed edit is not dropped unasked: Cancel keeps the window.
        SetControlText(GetDlgItem(page, TitleEditId), "typed");
        for (const int answer : {IDCANCEL, IDNO}) {
            PostMessageW(app.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_EQ(app.Answer(answer), "確認: 変更を保存しますか？");
            EXPECT_EQ(app.WaitExit(answer == IDNO ? 15000 : 1000), answer == IDNO);
        }
    }
    EXPECT_EQ(ReadFileBytes(ini), Remembered("Tavisk.ini"));
    EXPECT_EQ(ReadFileBytes(tavisk), defaults);
    // Japanese with a 0x5C second byte and another section, a path relative to
    // the program's folder, a full one inside it, and a file that is not text (UTF-16 without its
    // byte order mark: the default is used, and the file is kept as it is),
    // an empty path (Tavisk.ini beside the program), and "Z:Tavisk.ini" on
    // the program's own drive (its folder, never a file named with the colon):
    // an untouched run leaves each byte for byte. Windows ending the session
    // ends the program without a close, asks nothing and leaves "Tavisk.ini"
    // as it is: "Kelmora.ini" is written, as it held no path.
    const std::wstring comment = L"; mine\r\n[Kelmora]\r\n";
    const std::string notText(reinterpret_cast<const char*>(comment.data()), comment.size() * 2);
    const struct { std::string stored, shown; bool endSession; } rows[] = {
        {"[Other]\r\nx=1\r\n" + Remembered("D:\\日本\\表.ini"), "D:\\日本\\表.ini", false},
        {Remembered("sub\\Tavisk.ini"), folder + "\\sub\\Tavisk.ini", false}, {Remembered(tavisk), tavisk, false},
        {notText, tavisk, false}, {Remembered(""), tavisk, false},
        {Remembered(folder.substr(0, 2) + "Tavisk.ini"), tavisk, false},
        {"", tavisk, true}};
    CreateDirectoryW(DisplayText(folder + "\\sub").c_str(), nullptr);
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteFileBytes(ini, row.stored));
        AppDriver app;
        ASSERT_TRUE(app.StartProgram(exe)) << row.shown;
        const HWND page = app.PageWith(RtpTypeComboId);
        EXPECT_EQ(WindowText(GetDlgItem(page, InstallerIniPathEditId)), row.shown);
        if (row.endSession) {
            SetControlText(GetDlgItem(page, TitleEditId), "typed");
            EXPECT_EQ(SendMessageTimeoutW(app.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, nullptr), TRUE);
            SendMessageTimeoutW(app.dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, nullptr);
            EXPECT_EQ(app.WaitBox(500), nullptr) << "the session end asked";
            EXPECT_EQ(ReadFileBytes(tavisk), defaults);
        } else {
            ASSERT_TRUE(app.Close());
        }
        EXPECT_EQ(ReadFileBytes(ini), row.endSession ? Remembered("Tavisk.ini") : row.stored) << row.shown;
    }
    EXPECT_TRUE(PathExists(folder + "\\sub\\Tavisk.ini"));
}

// Two instances in turn: the second chooses another file, spelled through
// the Z: drive, and closes; the first, untouched, closes after it and keeps
// that choice. The folder moved afterwards, the program still finds the
// chosen file inside it. A read-only "Kelmora.ini" keeps no new choice, and
// the close says so.
TEST(Start, TwoInstancesInTurnThenTheFolderMoved) {
    ScratchDir scratch;
    const std::string folder = scratch / "x64", moved = scratch / "移動後";
    std::string chosen = folder + "\\b\\Tavisk.ini", prefix = std::getenv("KELMORA_WINEPREFIX") ? std::getenv("KELMORA_WINEPREFIX") : "";
    std::replace(prefix.begin(), prefix.end(), '/', '\\');
    if (!prefix.empty() && chosen.rfind("C:", 0) == 0) chosen = "Z:" + prefix + "\\drive_c" + chosen.substr(2);
    ASSERT_TRUE(MakeDirectory(folder) && MakeDirectory(folder + "\\b"));
    {
        AppDriver first, second;
        ASSERT_TRUE(first.Start(folder));
        ASSERT_TRUE(second.StartProgram(folder + "\\Kelmora.exe"));
        const HWND page = second.PageWith(RtpTypeComboId);
        ClickButton(GetDlgItem(page, InstallerIniBrowseId));
        second.Answer(IDOK, chosen);
        EXPECT_TRUE(Eventually([&] { return WindowText(GetDlgItem(page, InstallerIniPathEditId)) == chosen; }));
        ASSERT_TRUE(second.Close());
        ASSERT_TRUE(first.Close());
    }
    EXPECT_EQ(ReadFileBytes(folder + "\\Kelmora.ini"), Remembered("b\\Tavisk.ini"));
    ASSERT_TRUE(MoveFileW(DisplayText(folder).c_str(), DisplayText(moved).c_str()));
    AppDriver app;
    ASSERT_TRUE(app.StartProgram(moved + "\\Kelmora.exe"));
    const HWND page = app.PageWith(RtpTypeComboId);
    EXPECT_EQ(WindowText(GetDlgItem(page, InstallerIniPathEditId)), moved + "\\b\\Tavisk.ini");
    ASSERT_TRUE(SetFileAttributesW(DisplayText(moved + "\\Kelmora.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    ClickButton(GetDlgItem(page, InstallerIniBrowseId));
    app.Answer(IDOK, moved + "\\other.ini");
    EXPECT_TRUE(Eventually([&] { return WindowText(GetDlgItem(page, InstallerIniPathEditId)) == moved + "\\other.ini"; }));
    PostMessageW(app.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Answer(IDOK), "エラー: 選んだファイルを「Kelmora.ini」に記録できませんでした\n読み取り専用のファイルです");
    EXPECT_TRUE(app.WaitExit());
    EXPECT_EQ(ReadFileBytes(moved + "\\Kelmora.ini"), Remembered("b\\Tavisk.ini"));
}

// The first box of app captioned caption whose text starts with textStart,
// waiting past others (the progress window), or null.
HWND BoxTitled(const AppDriver& app, const std::string& caption, const std::string& textStart = "") {
    HWND box = nullptr;
    const bool found = Eventually([&] {
        const SeenBox seen = (box = app.WaitBox(100)) == nullptr ? SeenBox{} : ReadBox(box);
        return box != nullptr && seen.caption == caption && seen.text.rfind(textStart, 0) == 0;
    }, 30000);
    return found ? box : nullptr;
}

// Kelmora.exe started from a scratch folder, with the Linux-made tree that
// the environment variable names registered as an RPGXP RTP, its tab shown.
struct OneRtpShown {
    ScratchDir dir;
    ScratchKey xp{"Enterbrain\\RGSS\\RTP"};
    AppDriver app;
    const char* tree = nullptr;
    HWND list = nullptr, remove = nullptr;

    bool Start(const char* variable, const char* name) {
        tree = std::getenv(variable);
        if (tree == nullptr) {
            ADD_FAILURE() << "run through ctest: " << variable << " is not set";
            return false;
        }
        if (!xp.SetString(name, tree) || !app.Start(dir.Path()) || !app.ShowTab(1)) return false;
        list = GetDlgItem(app.PageWith(RtpListId), RtpListId);
        remove = GetDlgItem(app.PageWith(RtpListId), RtpRemoveButtonId);
        return true;
    }
};

// Long work shows how far it is, the window answers throughout, and it can be
// stopped: キャンセル while counting closes the question unasked, 中止 while
// removing leaves the rest. A log-off meanwhile is told the program is busy,
// and a close waits until the removal has ended and said so. A tree of
// 10,000 nested folders, made on the Linux side.
TEST(Start, LongWorkShowsProgressStopsAndHoldsTheSessionEndAndTheClose) {
    OneRtpShown shown;
    ASSERT_TRUE(shown.Start("KELMORA_BIG_TREE", "Big"));
    auto& [dir, xp, app, big, list, remove] = shown;
    for (const std::string step : {"数えています", "削除しています"}) {
        ASSERT_TRUE(app.SelectRow(list, 0));
        ClickButton(remove);
        if (step == "削除しています") {
            ASSERT_TRUE(AnswerBox(BoxTitled(app, "確認"), IDYES));
        }
        const HWND progress = BoxTitled(app, "RTPの削除", step);
        ASSERT_NE(progress, nullptr) << step;
        const std::string seen = ReadBox(progress).text;
        const LONG bar = GetWindowLongW(GetDlgItem(progress, ProgressBarId), GWL_STYLE);
        EXPECT_NE(bar & WS_VISIBLE, 0) << step;
        EXPECT_EQ((bar & PBS_MARQUEE) != 0, step == "数えています") << "a moving bar while the total is unknown";
        DWORD_PTR answer = 0;
        EXPECT_TRUE(Eventually([&] {
            return SendMessageTimeoutW(app.dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0 &&
                   ReadBox(progress).text != seen;
        })) << "the count grows and the window answers: " << seen;
        if (step == "数えています") {
            AnswerBox(progress, IDCANCEL);
            EXPECT_EQ(app.WaitBox(1000), nullptr) << "cancelled: no question";
            EXPECT_TRUE(xp.HasValue("Big"));
            continue;
        }
        DWORD_PTR mayEnd = TRUE;
        ASSERT_NE(SendMessageTimeoutW(app.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &mayEnd), 0);
        EXPECT_EQ(mayEnd, static_cast<DWORD_PTR>(FALSE)) << "the session may end during the removal";
        PostMessageW(app.dialog, WM_CLOSE, 0, 0);
        EXPECT_FALSE(app.WaitExit(300));
        EXPECT_TRUE(IsWindowVisible(app.dialog)) << "the window went away during the removal";
        AnswerBox(progress, IDCANCEL);
    }
    std::string folder = big;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    EXPECT_EQ(app.Answer(IDNO), "お知らせ: RTP[Big] の削除を中止しました。登録は削除済みです。\nフォルダ: " + folder +
                                    "\n残りを続けて削除しますか？ (いいえ: フォルダを開きます)");
    EXPECT_TRUE(app.WaitExit()) << "the close asked for during the removal is not done";
    EXPECT_FALSE(xp.HasValue("Big"));
    FoundTree left;
    WalkTree(big, left, -1);
    EXPECT_GT(left.files.size(), 0u) << "stopped: the rest stays";
}

// Past its limit the question's count stops and says "以上" (at least). A
// close during the count is キャンセル: no question, and the window closes.
// A tree of 101,010 entries, made on the Linux side.
TEST(Start, AHugeCountStopsAtItsLimitAndForAClose) {
    OneRtpShown shown;
    ASSERT_TRUE(shown.Start("KELMORA_WIDE_TREE", "Wide"));
    ASSERT_TRUE(shown.app.SelectRow(shown.list, 0));
    ClickButton(shown.remove);
    const HWND question = BoxTitled(shown.app, "確認");
    ASSERT_NE(question, nullptr);
    const std::string asked = ReadBox(question).text;
    EXPECT_NE(asked.find(" 個以上、"), std::string::npos) << asked;
    ASSERT_TRUE(AnswerBox(question, IDNO));

    // The close comes while the count runs: the count takes it at its first look.
    ClickButton(shown.remove);
    PostMessageW(shown.app.dialog, WM_CLOSE, 0, 0);
    bool questioned = false;
    EXPECT_TRUE(Eventually([&] {
        if (HWND box = shown.app.WaitBox(50)) questioned = questioned || ReadBox(box).caption == "確認";
        return WaitForSingleObject(shown.app.process, 0) == WAIT_OBJECT_0;
    }, 15000)) << "the window stays";
    EXPECT_FALSE(questioned) << "the question showed after the close";
    EXPECT_TRUE(shown.xp.HasValue("Wide"));
    EXPECT_TRUE(PathExists(std::string(shown.tree) + "\\c1\\level1\\f1.png"));
}

}  // namespace
