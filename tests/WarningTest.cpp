// Warning boxes and the open-file dialog, read and answered like a user would.
#include <gtest/gtest.h>

#include <string>

#include "DialogWatcher.h"
#include "ScratchDir.h"
#include "app/ChooseOpenFile.h"
#include "app/Warning.h"
#include "fsutil/WinText.h"

namespace {

TEST(ShowWarning, CaptionTextIconAndOneOkButton) {
    TestOwnerWindow owner;
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(ShowWarning(owner.window, "削除できなかったファイルがあります\n手動で削除してください"));
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "エラー");
    EXPECT_EQ(seen[0].text, "削除できなかったファイルがあります\n手動で削除してください");
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING));
    EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(seen[0].owner, owner.window);
}

TEST(ShowWarning, NullOwnerShowsAnUnownedBox) {
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(ShowWarning(nullptr, "x"));
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, nullptr);
    EXPECT_EQ(seen[0].text, "x");
}

TEST(ShowWarningF, NullFormatSaysProgramAborted) {
    BoxAnswerer answerer(IDOK);
    EXPECT_FALSE(ShowWarningF(nullptr, nullptr));
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "エラー");
    EXPECT_EQ(seen[0].text, "Program aborted.");
}

TEST(ShowWarningF, FormatsTheRtpName) {
    TestOwnerWindow owner;
    BoxAnswerer answerer(IDOK);
    ShowWarningF(owner.window, "公式RTP[%s] を削除することはできません", "Standard");
    ShowWarningF(owner.window, "RTP[%s] %d", "表ソ", 7);
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "公式RTP[Standard] を削除することはできません");
    EXPECT_EQ(seen[1].text, "RTP[表ソ] 7");
}

// A name far longer than the buffer is cut, never written past it, and never
// cut in the middle of a double-byte character.
TEST(ShowWarningF, ALongTextIsCutAtACharacterBoundary) {
    BoxAnswerer answerer(IDOK);
    std::string name;
    for (int i = 0; i < 2000; ++i) name += "表";
    ShowWarningF(nullptr, "RTP[%s] を削除", name.c_str());
    // One byte more before the name: now 999 bytes end on a whole character.
    ShowWarningF(nullptr, "RTP[x%s] を削除", name.c_str());
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    const std::string cut = ("RTP[" + name).substr(0, WarningTextSize - 2);
    EXPECT_EQ(seen[0].text.size(), cut.size()) << "998 bytes: the 999th would be half of 表";
    EXPECT_EQ(seen[0].text, cut);
    const std::string whole = ("RTP[x" + name).substr(0, WarningTextSize - 1);
    EXPECT_EQ(seen[1].text.size(), whole.size());
    EXPECT_EQ(seen[1].text, whole);
}

TEST(ChooseOpenFile, ConfirmingANewNameReturnsItsPath) {
    ScratchDir dir;
    const std::string before = CurrentDirectory();
    std::string title;
    DialogWatcher watcher([&](HWND dialog) {
        title = WindowText(dialog);
        SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"new-\u8868.ini"));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    char file[512] = "";
    ASSERT_TRUE(ChooseOpenFile(nullptr, file, sizeof file, "ini\0*.ini\0all\0*.*\0", dir.Path().c_str(), "ファイルを選択", 1));
    EXPECT_EQ(std::string(file), dir / "new-表.ini");
    EXPECT_EQ(title, "ファイルを選択");
    EXPECT_EQ(CurrentDirectory(), before) << "the current directory is not changed";
}

TEST(ChooseOpenFile, CancelReturnsFalseAndKeepsEverything) {
    ScratchDir dir;
    const std::string before = CurrentDirectory();
    std::string title;
    DialogWatcher watcher([&](HWND dialog) {
        title = WindowText(dialog);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    char file[512] = "initial.ini";
    EXPECT_FALSE(ChooseOpenFile(nullptr, file, sizeof file, "ini\0*.ini\0", "", "", 1));
    EXPECT_STREQ(file, "initial.ini");
    EXPECT_FALSE(title.empty()) << "the platform's default title";
    EXPECT_NE(title, "ファイルを選択");
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(watcher.Count(), 1);
}

TEST(ChooseOpenFile, APathLongerThanTheBufferIsRefused) {
    ScratchDir dir;
    DialogWatcher watcher([&](HWND dialog) {
        SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a-rather-long-name.ini"));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    char file[24] = "";
    EXPECT_FALSE(ChooseOpenFile(nullptr, file, sizeof file, "all\0*.*\0", dir.Path().c_str(), nullptr, 1));
    EXPECT_STREQ(file, "");
}

}  // namespace
