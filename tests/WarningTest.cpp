// Warning boxes and the open-file dialog, read and answered as a user would.
#include <gtest/gtest.h>

#include <string>

#include "Boxes.h"
#include "ScratchDir.h"
#include "app/ChooseOpenFile.h"
#include "app/Warning.h"
#include "fsutil/WinText.h"

namespace {

// A name far longer than the buffer is cut, never written past it, and never
// in the middle of a double-byte character.
TEST(ShowWarning, CaptionIconButtonOwnerAndText) {
    TestOwnerWindow owner;
    std::string name;
    for (int i = 0; i < 2000; ++i) name += "表";
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(ShowWarning(owner.window, "削除できなかったファイルがあります\n手動で削除してください"));
        ShowWarningF(nullptr, nullptr);
        ShowWarningF(owner.window, "RTP[%s] %d", "表ソ", 7);
        ShowWarningF(nullptr, "RTP[%s] を削除", name.c_str());   // 999 bytes would end inside 表
        ShowWarningF(nullptr, "RTP[x%s] を削除", name.c_str());  // 999 bytes end on a whole character
        const struct { HWND owner; std::string text; } expected[] = {
            {owner.window, "削除できなかったファイルがあります\n手動で削除してください"}, {nullptr, "Program aborted."},
            {owner.window, "RTP[表ソ] 7"}, {nullptr, ("RTP[" + name).substr(0, WarningTextSize - 2)},
            {nullptr, ("RTP[x" + name).substr(0, WarningTextSize - 1)}};
        const std::vector<SeenBox> seen = answerer.Seen();
        ASSERT_EQ(seen.size(), std::size(expected));
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].text, expected[i].text) << i;
            EXPECT_TRUE(seen[i].owner == expected[i].owner && seen[i].caption == "エラー" && seen[i].icon == StockIcon(IDI_WARNING) &&
                        seen[i].buttons == std::vector<int>{IDOK}) << i << ": " << seen[i].caption;
        }
    }
}

// The dialog's answer, the buffer's size, its title; what comes back. The
// current directory is never changed.
TEST(ChooseOpenFile, ReturnsTheConfirmedPathOnlyWhenItFits) {
    ScratchDir dir;
    const std::string before = CurrentDirectory();
    const struct { int button; const char* typed; std::uint32_t size; const char* title; bool chosen; std::string file, shownTitle; } rows[] = {
        {IDOK, "new-表.ini", 512, "ファイルを選択", true, dir / "new-表.ini", "ファイルを選択"},
        {IDCANCEL, "", 512, "", false, "initial.ini", "<the platform's>"},
        // Fits the dialog's UTF-16 buffer, not the code page 932 bytes.
        {IDOK, "表表表表.ini", static_cast<std::uint32_t>(DisplayText(dir / "表表表表.ini").size() + 1), nullptr, false, "initial.ini",
         "<the platform's>"},
    };
    for (const auto& row : rows) {
        char file[512] = "initial.ini";
        BoxAnswerer answerer(row.button, row.typed);
        EXPECT_EQ(ChooseOpenFile(nullptr, file, row.size, "ini\0*.ini\0all\0*.*\0", dir.Path().c_str(), row.title, 1), row.chosen) << row.typed;
        EXPECT_EQ(file, row.file) << row.typed;
        const std::vector<SeenBox> seen = answerer.Seen();
        EXPECT_EQ(seen.size() == 1 && seen[0].caption != "ファイルを選択" && !seen[0].caption.empty() ? "<the platform's>"
                  : seen.empty() ? "<none>" : seen[0].caption, row.shownTitle) << row.typed;
        EXPECT_EQ(CurrentDirectory(), before) << row.typed;
    }
}

}  // namespace
