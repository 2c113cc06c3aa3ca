// The release zip as a user gets it: unpacked into a folder whose name has
// Japanese and a blank (KELMORA_PACKAGE_DIR, made by the test run), its
// Kelmora.exe carries its version, icon and Japanese dialog, starts there
// with all three tabs and keeps "Kelmora.ini" there.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

TEST(ReleasePackage, RunsFromAJapaneseFolderWithItsResources) {
    wchar_t given[MAX_PATH] = {}, full[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KELMORA_PACKAGE_DIR", given, MAX_PATH) == 0) GTEST_SKIP() << "no unpacked release zip";
    GetFullPathNameW(given, MAX_PATH, full, nullptr);
    const std::string folder = NarrowOrEmpty(full), exe = folder + "\\Kelmora.exe";
    const std::wstring path = DisplayText(exe);

    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_TRUE(!block.empty() && GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_TRUE(fixed->dwFileVersionMS == 0x10001 && fixed->dwProductVersionMS == 0x10001 && fixed->dwFileVersionLS == 0 &&
                fixed->dwProductVersionLS == 0) << std::hex << fixed->dwFileVersionMS << " " << fixed->dwFileVersionLS;
    std::string texts;
    for (const wchar_t* name : {L"FileDescription", L"ProductName", L"InternalName", L"FileVersion", L"ProductVersion"}) {
        wchar_t* value = nullptr;
        const bool found = VerQueryValueW(block.data(), (std::wstring(L"\\StringFileInfo\\041104B0\\") + name).c_str(),
                                          reinterpret_cast<void**>(&value), &length);
        texts += (found ? NarrowOrEmpty(value) : "<missing>") + "|";
    }
    EXPECT_EQ(texts, "Quorlen 開発者用エディタ|Quorlen 開発者用エディタ|Kelmora|1.1.0.0|1.1.0.0|");

    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << exe;
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    EXPECT_NE(FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(101), japanese), nullptr) << "the main dialog";
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr) << "the application manifest";
    // Icon group 102: a count, then 14-byte entries: size, colours, bits per pixel.
    HRSRC group = FindResourceExW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(102), japanese);
    const auto* icons = group != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
    ASSERT_NE(icons, nullptr) << "icon group 102 in Japanese";
    std::string images = std::to_string(icons[4]);
    for (const BYTE* entry = icons + 6; entry < icons + 6 + 14 * icons[4]; entry += 14)
        images += " " + std::to_string(entry[0]) + "px " + std::to_string(entry[2]) + " colours " + std::to_string(entry[6]) + " bits";
    EXPECT_EQ(images, "2 32px 16 colours 4 bits 16px 16 colours 4 bits");
    FreeLibrary(module);

    DeleteFileW(DisplayText(folder + "\\Kelmora.ini").c_str());  // left by the run in the other locale
    AppDriver app;
    ASSERT_TRUE(app.StartProgram(exe)) << DescribeWindows();
    EXPECT_EQ(app.TabTexts(), (std::vector<std::string>{"インストーラ用iniファイル作成", "RTP一覧(RPGXP)", "RTP一覧(RPGVX)"}));
    ASSERT_TRUE(app.Close()) << DescribeWindows();
    EXPECT_EQ(ReadFileBytes(folder + "\\Kelmora.ini"), "[Kelmora]\r\nInstallIni=" + folder + "\\Tavisk.ini\r\n");
}

}  // namespace
