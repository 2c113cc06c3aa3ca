// The driver's own functions, across processes, on the real boxes and the
// real open-file dialog of a small target program.
#include <gtest/gtest.h>

#include <string>

#include "DialogWatcher.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

// driver_target.exe lies beside this test program.
std::string TargetPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\') + 1);
    return NarrowOrEmpty(folder + L"driver_target.exe");
}

class DriverTest : public testing::Test {
protected:
    HWND StartWithDialog(const std::string& arguments) {
        EXPECT_TRUE(app.StartProgram(TargetPath(), arguments)) << TargetPath();
        HWND dialog = app.WaitOtherDialog();
        EXPECT_NE(dialog, nullptr) << "no dialog; windows:\n" << AppDriver::DescribeWindows();
        return dialog;
    }
    AppDriver app;
};

TEST_F(DriverTest, ReadsAndAnswersAWarningBox) {
    HWND box = StartWithDialog("warning");
    ASSERT_NE(box, nullptr);
    const SeenBox seen = ReadBox(box);
    EXPECT_EQ(seen.caption, "エラー");
    EXPECT_EQ(seen.text, "公式RTP[Standard] を削除することはできません");
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
    AnswerDialog(box, IDOK);
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(DriverTest, ClicksAButtonOfAQuestion) {
    HWND box = StartWithDialog("question");
    ASSERT_NE(box, nullptr);
    const SeenBox seen = ReadBox(box);
    EXPECT_EQ(seen.caption, "確認");
    EXPECT_EQ(seen.text, "本当に削除してもよろしいですか？");
    EXPECT_EQ(seen.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen.defaultButton, IDNO);
    ClickButton(GetDlgItem(box, IDYES));
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(app.ExitCode(), static_cast<DWORD>(IDYES));
}

TEST_F(DriverTest, ConfirmsAndCancelsTheOpenFileDialog) {
    ScratchDir dir;
    const std::string chosen = dir / "選んだ表.ini";
    HWND dialog = StartWithDialog("open \"" + (dir / "result.txt") + "\"");
    ASSERT_NE(dialog, nullptr);
    ConfirmOpenFile(dialog, chosen);
    ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(ReadFileBytes(dir / "result.txt"), chosen);

    AppDriver second;
    ASSERT_TRUE(second.StartProgram(TargetPath(), "open \"" + (dir / "second.txt") + "\""));
    HWND again = second.WaitOtherDialog();
    ASSERT_NE(again, nullptr) << AppDriver::DescribeWindows();
    AnswerDialog(again, IDCANCEL);
    ASSERT_TRUE(second.WaitExit());
    EXPECT_EQ(second.ExitCode(), 1u);
    EXPECT_FALSE(PathExists(dir / "second.txt"));
}

TEST_F(DriverTest, AFailedWaitEndsInTimeAndSaysWhatIsThere) {
    ASSERT_TRUE(app.StartProgram(TargetPath(), "warning"));
    ASSERT_NE(app.WaitOtherDialog(), nullptr);
    EXPECT_FALSE(app.WaitExit(300)) << "the box is still open";
    const std::string windows = AppDriver::DescribeWindows();
    EXPECT_NE(windows.find("caption [エラー]"), std::string::npos) << windows;
    app.Kill();
    EXPECT_TRUE(app.WaitExit(5000));
    EXPECT_NE(app.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
}

}  // namespace
