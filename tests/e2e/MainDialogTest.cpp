// The shipped Kelmora.exe, started as its own process from a scratch folder
// and worked from outside: start-up, "Kelmora.ini", the keys that must not
// close it, and the ways it ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "DialogWatcher.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

const char Caption[] = "Quorlen 開発者用エディタ Ver1.10";

// A running Kelmora.exe in a scratch folder of its own.
class MainDialogTest : public testing::Test {
protected:
    void StartApp() {
        ASSERT_TRUE(app.Start(dir.Path())) << "cannot start " << BuiltExePath() << " in " << dir.Path();
        ASSERT_NE(app.WaitMainDialog(), nullptr) << "no main dialog; windows:\n" << AppDriver::DescribeWindows();
    }
    void CloseAndWait() {
        PostMessageW(app.MainDialog(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.WaitExit()) << "still running after WM_CLOSE; windows:\n" << AppDriver::DescribeWindows();
    }
    std::string IniPath() const { return dir / "Kelmora.ini"; }

    ScratchDir dir;
    AppDriver app;
};

TEST_F(MainDialogTest, FirstRunWritesKelmoraIniNextToTheExe) {
    ASSERT_FALSE(PathExists(IniPath()));
    StartApp();
    EXPECT_EQ(ControlText(app.MainDialog()), Caption);
    EXPECT_FALSE(PathExists(IniPath())) << "nothing is written before the end";
    CloseAndWait();
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Kelmora]\r\nInstallIni=" + dir.Path() + "\\Tavisk.ini\r\n");
    DWORD code = 99;
    GetExitCodeProcess(app.Process(), &code);
    EXPECT_EQ(code, 0u);
}

TEST_F(MainDialogTest, ARememberedPathIsKeptByteForByte) {
    // D:\日本\表.ini: Japanese, and a 0x5C second byte.
    const std::string remembered = "D:\\日本\\表.ini";
    const std::string contents = "[Other]\r\nx=1\r\n[Kelmora]\r\nInstallIni=" + remembered + "\r\n";
    ASSERT_TRUE(WriteFileBytes(IniPath(), contents));
    StartApp();
    CloseAndWait();
    EXPECT_EQ(ReadFileBytes(IniPath()), contents);
}

TEST_F(MainDialogTest, APresentButEmptyKeyStaysEmpty) {
    ASSERT_TRUE(WriteFileBytes(IniPath(), "[Kelmora]\r\nInstallIni=\r\n"));
    StartApp();
    CloseAndWait();
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Kelmora]\r\nInstallIni=\r\n");
}

TEST_F(MainDialogTest, EscAndEnterLeaveTheDialogOpen) {
    StartApp();
    HWND dialog = app.MainDialog();
    PressKey(dialog, VK_ESCAPE);
    PressKey(dialog, VK_RETURN);
    PressKey(GetDlgItem(dialog, 1000), VK_ESCAPE);
    // A dialog that ended on Esc would be gone well within this time.
    EXPECT_FALSE(app.WaitExit(1500)) << "the dialog closed on Esc or Enter";
    EXPECT_TRUE(IsWindowVisible(dialog));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0) << "not responding";
    CloseAndWait();
}

TEST_F(MainDialogTest, TheCloseButtonAndAltF4WriteTheSettings) {
    StartApp();
    // The caption's close button and Alt+F4 both come as SC_CLOSE.
    PostMessageW(app.MainDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Kelmora]\r\nInstallIni=" + dir.Path() + "\\Tavisk.ini\r\n");
}

TEST_F(MainDialogTest, AKilledProcessWritesNothing) {
    StartApp();
    app.Kill();
    ASSERT_TRUE(app.WaitExit(5000));
    EXPECT_FALSE(PathExists(IniPath()));
}

TEST_F(MainDialogTest, LayoutAndTabControl) {
    StartApp();
    HWND dialog = app.MainDialog();
    HWND tab = GetDlgItem(dialog, 1000);
    ASSERT_NE(tab, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(tab, className, 64);
    EXPECT_STREQ(className, L"SysTabControl32");
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX));
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    // 255 x 211 dialog units; the tab control at (7, 7), 241 x 197. The
    // dialog's base units (whole pixels per 4 horizontal and 8 vertical
    // units) follow from its client size; the tab control must agree.
    RECT client{};
    GetClientRect(dialog, &client);
    const int baseX = (client.right * 4 + 127) / 255;
    const int baseY = (client.bottom * 8 + 105) / 211;
    EXPECT_EQ(client.right, MulDiv(255, baseX, 4));
    EXPECT_EQ(client.bottom, MulDiv(211, baseY, 8));
    const int left = MulDiv(7, baseX, 4), top = MulDiv(7, baseY, 8);
    const RECT tabUnits{left, top, left + MulDiv(241, baseX, 4), top + MulDiv(197, baseY, 8)};
    RECT tabRect{};
    GetWindowRect(tab, &tabRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tabRect), 2);
    EXPECT_EQ(tabRect.left, tabUnits.left);
    EXPECT_EQ(tabRect.top, tabUnits.top);
    EXPECT_EQ(tabRect.right, tabUnits.right);
    EXPECT_EQ(tabRect.bottom, tabUnits.bottom);
    CloseAndWait();
}

// A program in a drive's root folder: its folder text is the drive letter and
// colon alone, and its files are that text, a backslash and the name.
TEST(MainDialogInDriveRoot, SettingsAndDefaultPathUseTheDriveText) {
    const char* root = std::getenv("KELMORA_DRIVE_ROOT");  // "K:", a drive the test run maps to a scratch folder
    if (root == nullptr) GTEST_SKIP() << "no scratch drive was mapped for this run";
    const std::string drive = root;
    ASSERT_TRUE(PathExists(drive + "\\")) << drive << " is not mapped";
    DeleteFileW((DisplayText(drive) + L"\\Kelmora.ini").c_str());
    AppDriver app;
    ASSERT_TRUE(app.Start(drive)) << "cannot start " << BuiltExePath() << " in " << drive;
    ASSERT_NE(app.WaitMainDialog(), nullptr) << AppDriver::DescribeWindows();
    PostMessageW(app.MainDialog(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
    EXPECT_EQ(ReadFileBytes(drive + "\\Kelmora.ini"), "[Kelmora]\r\nInstallIni=" + drive + "\\Tavisk.ini\r\n");
    DeleteFileW((DisplayText(drive) + L"\\Kelmora.ini").c_str());
}

// A program folder whose name code page 932 cannot hold: the program neither
// reads nor writes its settings file there, and puts none in the drive's root
// instead, yet works.
TEST(MainDialogInDriveRoot, AFolderCodePage932CannotHoldGetsNoSettingsFile) {
    const char* root = std::getenv("KELMORA_DRIVE_ROOT");
    if (root == nullptr) GTEST_SKIP() << "no scratch drive was mapped for this run";
    const std::wstring drive = DisplayText(root);
    const std::wstring folder = drive + L"\\Jos\u00E9";
    const std::wstring files[] = {drive + L"\\Kelmora.ini", drive + L"\\Tavisk.ini", folder + L"\\Kelmora.ini"};
    for (const std::wstring& file : files) DeleteFileW(file.c_str());
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(DisplayText(BuiltExePath()).c_str(), (folder + L"\\Kelmora.exe").c_str(), FALSE));
    // The driver's paths are code page 932: start the copy by its relative
    // name from its folder, which the program then has as current directory.
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    {
        AppDriver app;
        const bool started = app.StartProgram("Kelmora.exe");
        SetCurrentDirectoryW(previous);
        ASSERT_TRUE(started);
        ASSERT_NE(app.WaitMainDialog(), nullptr) << AppDriver::DescribeWindows();
        EXPECT_EQ(ControlText(app.MainDialog()), Caption);
        PostMessageW(app.MainDialog(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
    }
    for (const std::wstring& file : files) {
        EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES)
            << "file " << &file - files << " of: the root's Kelmora.ini and Tavisk.ini, the folder's Kelmora.ini";
        DeleteFileW(file.c_str());
    }
    DeleteFileW((folder + L"\\Kelmora.exe").c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
