// Variables bound to an ini file and written back when the settings end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ScratchDir.h"
#include "settings/SettingsFile.h"

namespace {

TEST(SettingsFile, BindReadsNowAndTheEndWritesBack) {
    ScratchDir dir;
    const std::string path = dir / "Kelmora.ini";
    char buffer[512] = "garbage";
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("Kelmora", "InstallIni", buffer, sizeof buffer, "C:\\Tool\\Tavisk.ini");
        EXPECT_STREQ(buffer, "C:\\Tool\\Tavisk.ini") << "the default when the file is missing";
        EXPECT_FALSE(PathExists(path)) << "nothing is written before the end";
        std::strcpy(buffer, "D:\\data\\Tavisk.ini");
    }
    EXPECT_EQ(ReadFileBytes(path), "[Kelmora]\r\nInstallIni=D:\\data\\Tavisk.ini\r\n");
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("Kelmora", "InstallIni", buffer, sizeof buffer, "default");
        EXPECT_STREQ(buffer, "D:\\data\\Tavisk.ini");
    }
}

TEST(SettingsFile, AnEmptyValueStaysEmptyAndIsWrittenBackEmpty) {
    ScratchDir dir;
    const std::string path = dir / "Kelmora.ini";
    ASSERT_TRUE(WriteFileBytes(path, "[Kelmora]\r\nInstallIni=\r\n"));
    char buffer[512];
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("Kelmora", "InstallIni", buffer, sizeof buffer, "C:\\default.ini");
        EXPECT_STREQ(buffer, "");
    }
    EXPECT_EQ(ReadFileBytes(path), "[Kelmora]\r\nInstallIni=\r\n");
}

TEST(SettingsFile, TheFirstBindingOfAKeyWins) {
    ScratchDir dir;
    const std::string path = dir / "s.ini";
    ASSERT_TRUE(WriteFileBytes(path, "[S]\r\nK=stored\r\n"));
    char first[32], second[32];
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("S", "K", first, sizeof first, "");
        settings.BindText("S", "K", second, sizeof second, "");
        EXPECT_STREQ(first, "stored");
        EXPECT_STREQ(second, "stored") << "both buffers are filled at once";
        std::strcpy(first, "from-first");
        std::strcpy(second, "from-second");
    }
    EXPECT_EQ(ReadFileBytes(path), "[S]\r\nK=from-first\r\n");
}

// The platform treats "Kelmora" and "kelmora" as one section; the bindings do
// not. The capital letter's byte is smaller, so its binding is written first
// and the lower-case one's value is what the file keeps.
TEST(SettingsFile, SectionsDifferingInCaseAreTwoBindingsWrittenInByteOrder) {
    ScratchDir dir;
    const std::string path = dir / "c.ini";
    char lower[32], upper[32];
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("kelmora", "InstallIni", lower, sizeof lower, "");
        settings.BindText("Kelmora", "InstallIni", upper, sizeof upper, "");
        std::strcpy(lower, "lower-value");
        std::strcpy(upper, "upper-value");
    }
    const std::string bytes = ReadFileBytes(path);
    EXPECT_NE(bytes.find("InstallIni=lower-value"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("upper-value"), std::string::npos) << bytes;
}

TEST(SettingsFile, NumbersAndStringsAreWrittenAsText) {
    ScratchDir dir;
    const std::string path = dir / "n.ini";
    std::int32_t number = 0;
    std::uint8_t flag = 0;
    std::string text;
    char empty[8];
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindInt("N", "Int", &number, 12);
        settings.BindByte("N", "Byte", &flag, 1);
        settings.BindString("N", "Text", &text, "abc");
        settings.BindText("N", "Empty", empty, sizeof empty, "x");
        EXPECT_EQ(number, 12);
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(text, "abc");
        number = -5;
        flag = 200;
        text += "!";
        empty[0] = 0;
    }
    // Written by section, then key, byte-wise: Byte, Empty, Int, Text.
    EXPECT_EQ(ReadFileBytes(path), "[N]\r\nByte=200\r\nEmpty=\r\nInt=-5\r\nText=abc!\r\n");
    SettingsFile again(path.c_str(), true);
    again.BindInt("N", "Int", &number, 0);
    again.BindByte("N", "Byte", &flag, 0);
    EXPECT_EQ(number, -5);
    EXPECT_EQ(flag, 200);
}

// A value the program cannot hold reads as the empty text or the default and
// is never written back, so the file keeps it. The file is UTF-16, which every
// ANSI code page can have written.
TEST(SettingsFile, ValuesItCannotHoldStayInTheFile) {
    ScratchDir dir;
    const std::string path = dir / "Kelmora.ini";
    const auto utf16 = [](const std::wstring& text) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    };
    const std::wstring stored = L"[Kelmora]\r\nInstallIni=C:\\Users\\Zo\u00EB\\Tavisk.ini\r\nLong=" +
                                std::wstring(600, L'x') + L"\r\nInt=12abc\r\nHuge=99999999999\r\nByte=300\r\n";
    ASSERT_TRUE(WriteFileBytes(path, "\xFF\xFE" + utf16(stored)));
    {
        SettingsFile settings(path.c_str(), true);
        char installIni[512] = "garbage", longText[512] = "garbage", fresh[16];
        std::int32_t number = 0, huge = 0;
        std::uint8_t flag = 0;
        settings.BindText("Kelmora", "InstallIni", installIni, sizeof installIni, "C:\\default.ini");
        settings.BindText("Kelmora", "Long", longText, sizeof longText, "");
        settings.BindInt("Kelmora", "Int", &number, 7);
        settings.BindInt("Kelmora", "Huge", &huge, 9);
        settings.BindByte("Kelmora", "Byte", &flag, 3);
        settings.BindText("Kelmora", "Fresh", fresh, sizeof fresh, "new");
        EXPECT_STREQ(installIni, "");
        EXPECT_STREQ(longText, "") << "cut to fit, it would be written back cut";
        EXPECT_EQ(number, 7);
        EXPECT_EQ(huge, 9);
        EXPECT_EQ(flag, 3);
        EXPECT_STREQ(fresh, "new");
        std::strcpy(longText, "chosen");  // a new value the program chose is written after all
    }
    std::wstring expected = stored + L"Fresh=new\r\n";
    expected.replace(expected.find(L"Long=") + 5, 600, L"chosen");
    EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE" + utf16(expected));
}

TEST(SettingsFile, WithoutAPathNothingIsWritten) {
    char buffer[16];
    {
        SettingsFile settings("", true);
        settings.BindText("S", "K", buffer, sizeof buffer, "default");
        EXPECT_STREQ(buffer, "") << "an empty path reads the empty text, not the default";
    }
    EXPECT_FALSE(PathExists(""));
}

TEST(SettingBinding, OrderIsBySectionThenKeyByteWise) {
    SettingBinding a, b;
    a.section = "K";
    a.key = "z";
    b.section = "k";
    b.key = "a";
    EXPECT_TRUE(a.IsLess(b));
    EXPECT_FALSE(b.IsLess(a));
    b.section = "K";
    EXPECT_TRUE(b.IsLess(a));
    b.key = "z";
    EXPECT_TRUE(a.IsSame(b));
    EXPECT_FALSE(a.IsLess(b));
    b.section = "K\x93";
    EXPECT_TRUE(a.IsLess(b)) << "a prefix comes first";
    a.section = "\x93";
    EXPECT_TRUE(b.IsLess(a)) << "bytes are unsigned";
}

}  // namespace
