// The resources of the shipped Kelmora.exe, read from the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

class ExeResources : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(DisplayText(BuiltExePath()).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << BuiltExePath();
    }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

TEST_F(ExeResources, IconGroup102HasA16And32PixelImageOf16Colours) {
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    HRSRC group = FindResourceExW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(102), japanese);
    ASSERT_NE(group, nullptr) << "icon group 102 in Japanese";
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(data, nullptr);
    // GRPICONDIR: reserved, type, count; then 14-byte entries.
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_EQ(count, 2);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i;
        sizes.push_back(entry[0]);
        EXPECT_EQ(entry[2], 16) << "colours of image " << i;
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 4) << "bits per pixel of image " << i;
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
    EXPECT_NE(LoadImageW(module, MAKEINTRESOURCEW(102), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR), nullptr);
}

TEST_F(ExeResources, MainDialogTemplateIsJapanese) {
    EXPECT_NE(FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(101), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)),
              nullptr);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr) << "the application manifest";
}

TEST_F(ExeResources, VersionInformation) {
    const std::wstring path = DisplayText(BuiltExePath());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT units = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &units)) return std::string("<missing>");
        return NarrowOrEmpty(value);
    };
    EXPECT_EQ(text(L"FileDescription"), "Quorlen 開発者用エディタ");
    EXPECT_EQ(text(L"ProductName"), "Quorlen 開発者用エディタ");
    EXPECT_EQ(text(L"InternalName"), "Kelmora");
    EXPECT_EQ(text(L"FileVersion"), "1.1.0.0");
    EXPECT_EQ(text(L"ProductVersion"), "1.1.0.0");
}

}  // namespace
