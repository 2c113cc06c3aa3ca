// The release zip as a user gets it: unpacked into a folder whose name has
// Japanese and a blank (KELMORA_PACKAGE_DIR, made by the test run), its
// Kelmora.exe starts there with all three tabs and keeps "Kelmora.ini" there.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

// The folder as the program sees its own, with backslashes; empty when unset.
std::string PackageFolder() {
    wchar_t given[MAX_PATH] = {};
    wchar_t full[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KELMORA_PACKAGE_DIR", given, MAX_PATH) == 0) return "";
    if (GetFullPathNameW(given, MAX_PATH, full, nullptr) == 0) return "";
    return NarrowOrEmpty(full);
}

TEST(ReleasePackage, RunsFromAJapaneseFolderWithItsThreeTabs) {
    const std::string folder = PackageFolder();
    if (folder.empty()) GTEST_SKIP() << "no unpacked release zip for this run";
    const std::string ini = folder + "\\Kelmora.ini";
    DeleteFileW(DisplayText(ini).c_str());  // left by the run in the other locale
    AppDriver app;
    ASSERT_TRUE(app.StartProgram(folder + "\\Kelmora.exe")) << "cannot start Kelmora.exe in " << folder;
    HWND dialog = app.WaitMainDialog();
    ASSERT_NE(dialog, nullptr) << "no main dialog; windows:\n" << AppDriver::DescribeWindows();
    HWND tab = GetDlgItem(dialog, 1000);
    std::vector<std::string> titles;
    for (int i = 0; i < TabCount(tab); ++i) titles.push_back(TabText(app.Process(), tab, i));
    EXPECT_EQ(titles, (std::vector<std::string>{"インストーラ用iniファイル作成", "RTP一覧(RPGXP)", "RTP一覧(RPGVX)"}));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitExit()) << "still running after WM_CLOSE; windows:\n" << AppDriver::DescribeWindows();
    EXPECT_EQ(ReadFileBytes(ini), "[Kelmora]\r\nInstallIni=" + folder + "\\Tavisk.ini\r\n");
}

}  // namespace
