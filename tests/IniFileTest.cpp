// IniFile on real ini files through the platform's profile functions. The
// files' bytes must be code page 932 under either ANSI code page.
#include <gtest/gtest.h>

#include <string>

#include "ScratchDir.h"
#include "settings/ExeDirectory.h"
#include "settings/IniFile.h"

namespace {

const std::string Nihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
const std::string Hyouji = "\x95\x5C\x8E\xA6";           // 表示

IniFile At(const std::string& path) {
    IniFile file;
    file.SetPath(path.c_str(), true);
    return file;
}

TEST(ExeDirectory, IsTheProgramsFolderAndBecomesCurrent) {
    SetCurrentDirectoryW(L"C:\\");
    const std::string folder = GetExeDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(folder, std::string(ExeDirectory));
    EXPECT_TRUE(PathExists(folder + "\\test_platform.exe")) << folder;
    EXPECT_EQ(CurrentDirectory(), folder);
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_TRUE(EnterExeDirectory());
    EXPECT_EQ(CurrentDirectory(), folder);
}

TEST(IniFileSetPath, RelativeNamesGoToTheExeFolder) {
    SetCurrentDirectoryW(L"C:\\");
    IniFile file;
    file.SetPath("Kelmora.ini", false);
    const std::string folder = ExeDirectory;
    EXPECT_EQ(file.GetPath(), folder + "\\Kelmora.ini");
    EXPECT_EQ(CurrentDirectory(), folder) << "resolving a relative name enters the exe folder";
    file.SetPath("", false);
    EXPECT_EQ(file.GetPath(), folder + "\\");
    file.SetPath("\\\\server\\share\\x.ini", false);
    EXPECT_EQ(file.GetPath(), folder + "\\\\\\server\\share\\x.ini") << "a UNC name is not recognised";
    file.SetPath("C:x.ini", false);
    EXPECT_EQ(file.GetPath(), folder + "\\C:x.ini");
    file.SetPath("C:/x.ini", false);
    EXPECT_EQ(file.GetPath(), folder + "\\C:/x.ini");
}

TEST(IniFileSetPath, AbsoluteNamesAreKept) {
    IniFile file;
    file.SetPath("D:\\data\\x.ini", false);
    EXPECT_EQ(file.GetPath(), "D:\\data\\x.ini");
    file.SetPath("x.ini", true);
    EXPECT_EQ(file.GetPath(), "x.ini");
    file.SetPath("?:\\x.ini", false);
    EXPECT_EQ(file.GetPath(), "?:\\x.ini") << "the first character is not examined";
    const std::string doubleByteFirst = Hyouji.substr(0, 2) + ":\\x.ini";
    file.SetPath(doubleByteFirst.c_str(), false);
    EXPECT_EQ(file.GetPath(), doubleByteFirst) << "characters, not bytes, are counted";
}

TEST(IniFileRead, WithoutAPathReadsNothing) {
    IniFile file;
    char out[16] = "garbage";
    EXPECT_EQ(file.Read("s", "k", out, sizeof out, "default"), 0);
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(file.Write("s", "k", "v"));
}

TEST(IniFileRead, MissingFileSectionOrKeyGivesTheDefault) {
    ScratchDir dir;
    const IniFile missing = At(dir / "none.ini");
    char out[64];
    EXPECT_EQ(missing.Read("Tavisk", "Title", out, sizeof out, "def"), 3);
    EXPECT_STREQ(out, "def");
    ASSERT_TRUE(WriteFileBytes(dir / "a.ini", "[Tavisk]\r\nTitle=x\r\n"));
    const IniFile file = At(dir / "a.ini");
    EXPECT_EQ(file.Read("Other", "Title", out, sizeof out, "d1"), 2);
    EXPECT_STREQ(out, "d1");
    EXPECT_EQ(file.Read("Tavisk", "Nope", out, sizeof out, Nihongo.c_str()), 6);
    EXPECT_EQ(std::string(out), Nihongo);
    EXPECT_EQ(file.Read("tavisk", "TITLE", out, sizeof out, ""), 1) << "the platform ignores letter case";
    EXPECT_STREQ(out, "x");
}

TEST(IniFileRead, CodePage932BytesWrittenByAnotherProgram) {
    ScratchDir dir;
    const std::string bytes = "[Tavisk]\r\nTitle=" + Nihongo + "\r\nCopyright=(C) " + Hyouji + "\r\n";
    ASSERT_TRUE(WriteFileBytes(dir / "t.ini", bytes));
    const IniFile file = At(dir / "t.ini");
    EXPECT_EQ(file.Read("Tavisk", "Title", ""), Nihongo);
    EXPECT_EQ(file.Read("Tavisk", "Copyright", ""), "(C) " + Hyouji);
}

TEST(IniFileRead, CutsAtACharacterBoundary) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "t.ini", "[s]\r\nascii=abcdefg\r\njp=" + Nihongo + "\r\n"));
    const IniFile file = At(dir / "t.ini");
    char out[8];
    EXPECT_EQ(file.Read("s", "ascii", out, 5, ""), 4);
    EXPECT_STREQ(out, "abcd");
    EXPECT_EQ(file.Read("s", "jp", out, 4, ""), 2) << "3 bytes would split the second character";
    EXPECT_EQ(std::string(out), Nihongo.substr(0, 2));
    EXPECT_EQ(file.Read("s", "jp", out, 7, ""), 6);
    EXPECT_EQ(std::string(out), Nihongo);
    EXPECT_EQ(file.Read("s", "jp", out, 1, ""), 0);
    EXPECT_STREQ(out, "");
}

TEST(IniFileWrite, StoresCodePage932BytesWhateverTheAnsiCodePage) {
    ScratchDir dir;
    const IniFile file = At(dir / "w.ini");
    ASSERT_TRUE(file.Write("Tavisk", "Title", Nihongo));
    ASSERT_TRUE(file.Write("Tavisk", "Bitmap", "C:\\" + Hyouji + "\\x.bmp"));
    const std::string bytes = ReadFileBytes(dir / "w.ini");
    EXPECT_NE(bytes.find("Title=" + Nihongo + "\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Bitmap=C:\\" + Hyouji + "\\x.bmp"), std::string::npos) << bytes;
    EXPECT_EQ(file.Read("Tavisk", "Title", ""), Nihongo);
}

TEST(IniFileWrite, EmptyValueKeepsTheKeyAndOthersAreUntouched) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "k.ini", "[Kelmora]\r\nInstallIni=C:\\old.ini\r\nOther=1\r\n[Else]\r\nx=y\r\n"));
    const IniFile file = At(dir / "k.ini");
    ASSERT_TRUE(file.Write("Kelmora", "InstallIni", ""));
    const std::string bytes = ReadFileBytes(dir / "k.ini");
    EXPECT_NE(bytes.find("InstallIni=\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Other=1"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("[Else]"), std::string::npos) << bytes;
    EXPECT_EQ(file.Read("Kelmora", "InstallIni", "default"), "") << "present and empty is not missing";
}

TEST(IniFileWrite, NumbersAsDecimalText) {
    ScratchDir dir;
    const IniFile file = At(dir / "n.ini");
    file.WriteInt("s", "minus", -5);
    file.WriteInt("s", "min", INT32_MIN);
    file.WriteByte("s", "byte", 200);
    EXPECT_EQ(file.Read("s", "minus", ""), "-5");
    EXPECT_EQ(file.Read("s", "min", ""), "-2147483648");
    EXPECT_EQ(file.Read("s", "byte", ""), "200");
}

TEST(IniFileWrite, FailsWhereNoFileCanBeMade) {
    ScratchDir dir;
    const IniFile file = At(dir / "no-such-folder\\x.ini");
    EXPECT_FALSE(file.Write("s", "k", "v"));
    EXPECT_FALSE(PathExists(dir / "no-such-folder"));
}

TEST(IniFileWrite, JapaneseFileName) {
    ScratchDir dir;
    const std::string path = dir / (Hyouji + ".ini");
    const IniFile file = At(path);
    ASSERT_TRUE(file.Write("s", "k", "v"));
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ(file.Read("s", "k", ""), "v");
}

}  // namespace
