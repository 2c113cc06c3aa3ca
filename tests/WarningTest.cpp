// The open-file dialog, answered as a user would.
#include <gtest/gtest.h>

#include <string>

#include "Boxes.h"
#include "ScratchDir.h"
#include "app/ChooseOpenFile.h"
#include "fsutil/WinText.h"

namespace {

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
