// IniFile on real ini files through the platform's profile functions, under
// ANSI code pages that can and cannot carry code page 932 bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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
    EXPECT_TRUE(PathExists(folder + "\\test_settings.exe")) << folder;
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

TEST(IniFileRead, CutsAtACharacterBoundary) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "t.ini", "[s]\r\nascii=abcdefg\r\n"));
    const IniFile file = At(dir / "t.ini");
    char out[8];
    EXPECT_EQ(file.Read("s", "ascii", out, 5, ""), 4);
    EXPECT_STREQ(out, "abcd");
    // A missing key gives the default as it is, under any ANSI code page.
    EXPECT_EQ(file.Read("s", "jp", out, 4, Nihongo.c_str()), 2) << "3 bytes would split the second character";
    EXPECT_EQ(std::string(out), Nihongo.substr(0, 2));
    EXPECT_EQ(file.Read("s", "jp", out, 7, Nihongo.c_str()), 6);
    EXPECT_EQ(std::string(out), Nihongo);
    EXPECT_EQ(file.Read("s", "jp", out, 1, Nihongo.c_str()), 0);
    EXPECT_STREQ(out, "");
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

// The encodings a settings file may have on disk.
enum class Encoding { NoFile, Ansi, Utf16, Utf8 };
const char* const EncodingNames[] = {"no file yet", "ANSI", "UTF-16 with byte order mark",
                                     "UTF-8 with byte order mark"};

struct Value {
    const char* name;
    std::wstring unicode;  // as a Unicode file holds it
    std::string ansi;      // as a file without a byte order mark holds it
};
// The Japanese one has 0x5C second bytes; Zoë is beyond code page 932, and an
// ANSI file holds it in the bytes of code page 1252.
const Value Ascii{"ASCII", L"C:\\Tool\\Tavisk.ini", "C:\\Tool\\Tavisk.ini"};
const Value Japanese{"Japanese", L"D:\\ソ表\\Tavisk.ini", "D:\\ソ表\\Tavisk.ini"};
const Value Zoe{"Zo\\u00EB", L"C:\\Users\\Zo\u00EB\\Tavisk.ini", "C:\\Users\\Zo\xEB\\Tavisk.ini"};

// The ANSI code pages the runs have; a row says under which ones it succeeds.
enum : unsigned { Cp932 = 1, Cp1252 = 2, Cp949 = 4, Cp65001 = 8, AnyCp = 15, NoCp = 0 };
unsigned RunCodePage() {
    const UINT codePages[] = {932, 1252, 949, 65001};
    for (unsigned i = 0; i < 4; ++i)
        if (GetACP() == codePages[i]) return 1u << i;
    return NoCp;
}

// "[Kelmora]" with one "key=value" line per pair, as the encoding lays it down.
std::string FileBytes(Encoding encoding, const std::vector<std::pair<const char*, const Value*>>& lines) {
    std::wstring unicode = L"[Kelmora]\r\n";
    std::string ansi = "[Kelmora]\r\n";
    for (const auto& [key, value] : lines) {
        unicode += std::wstring(key, key + std::strlen(key)) + L"=" + value->unicode + L"\r\n";
        ansi += std::string(key) + "=" + value->ansi + "\r\n";
    }
    switch (encoding) {
    case Encoding::Utf16:
        return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(unicode.data()), unicode.size() * 2);
    case Encoding::Utf8: {
        std::string utf8(unicode.size() * 3, '\0');
        utf8.resize(WideCharToMultiByte(CP_UTF8, 0, unicode.data(), static_cast<int>(unicode.size()), utf8.data(),
                                        static_cast<int>(utf8.size()), nullptr, nullptr));
        return "\xEF\xBB\xBF" + utf8;
    }
    default:
        return ansi;
    }
}

// Each row: a file holding InstallIni = value is read, then the key Copy is
// written (with the value itself, or with plain text where the program cannot
// give the value). The read gives the stored text exactly or fails with the
// empty text; the write stores the text exactly or fails and leaves every byte.
TEST(IniFileEncoding, TextIsExactOrTheOperationFails) {
    struct Row {
        Encoding encoding;
        const Value* value;
        unsigned readsUnder;
        unsigned writesUnder;
    };
    const Row rows[] = {
        {Encoding::NoFile, &Ascii, AnyCp, AnyCp},
        {Encoding::NoFile, &Japanese, AnyCp, Cp932 | Cp1252},
        {Encoding::Ansi, &Ascii, AnyCp, AnyCp},
        {Encoding::Ansi, &Japanese, Cp932 | Cp1252, Cp932 | Cp1252},
        // Code page 1252 carries every byte: the other key can be written.
        {Encoding::Ansi, &Zoe, NoCp, Cp1252},
        {Encoding::Utf16, &Ascii, AnyCp, AnyCp},
        {Encoding::Utf16, &Japanese, AnyCp, AnyCp},
        {Encoding::Utf16, &Zoe, NoCp, AnyCp},
        {Encoding::Utf8, &Ascii, AnyCp, NoCp},
        {Encoding::Utf8, &Japanese, AnyCp, NoCp},
        {Encoding::Utf8, &Zoe, NoCp, NoCp},
    };
    const unsigned codePage = RunCodePage();
    ASSERT_NE(codePage, NoCp) << "no row expects ANSI code page " << GetACP();
    if (const char* expected = std::getenv("KELMORA_EXPECTED_ACP")) EXPECT_EQ(GetACP(), UINT(std::atoi(expected)));
    ScratchDir dir;
    int number = 0;
    for (const Row& row : rows) {
        const Value& value = *row.value;
        const Value& written = &value == &Zoe ? Ascii : value;
        SCOPED_TRACE(testing::Message() << EncodingNames[static_cast<int>(row.encoding)] << " file, value "
                                        << value.name << ", ANSI code page " << GetACP());
        const std::string path = dir / ("row" + std::to_string(++number) + ".ini");
        const bool noFile = row.encoding == Encoding::NoFile;
        const std::string before = noFile ? "<missing>" : FileBytes(row.encoding, {{"InstallIni", &value}});
        const std::string after = noFile ? FileBytes(Encoding::Ansi, {{"Copy", &written}})
                                         : FileBytes(row.encoding, {{"InstallIni", &value}, {"Copy", &written}});
        if (!noFile) {
            ASSERT_TRUE(WriteFileBytes(path, before));
        }
        const IniFile file = At(path);

        const bool reads = (row.readsUnder & codePage) != 0;
        std::string text = "garbage";
        EXPECT_EQ(file.Read("Kelmora", "InstallIni", text, value.ansi.c_str()), reads);
        EXPECT_EQ(text, reads ? value.ansi : "");

        const bool writes = (row.writesUnder & codePage) != 0;
        EXPECT_EQ(file.Write("Kelmora", "Copy", written.ansi), writes);
        EXPECT_EQ(ReadFileBytes(path), writes ? after : before);
    }
}

TEST(IniFileWrite, RefusesLineBreaks) {
    ScratchDir dir;
    const std::string path = dir / "Tavisk.ini";
    const std::string before = "[Tavisk]\r\nRTPType=RPGXP\r\n";
    ASSERT_TRUE(WriteFileBytes(path, before));
    const IniFile file = At(path);
    const struct {
        const char* section;
        const char* key;
        std::string value;
    } rows[] = {
        {"Tavisk", "Title", "A\r\n[Tavisk]\r\nRTPType=RPGVX"},
        {"Tavisk", "Title", "A\nRTPType=RPGVX"},
        {"Tavisk", "Title", "A\rRTPType=RPGVX"},
        {"Tavisk", "Title", std::string("A\0B", 3)},
        {"Tavisk", "Title\r\nRTPType", "RPGVX"},
        {"Other]\r\n[Tavisk", "RTPType", "RPGVX"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(file.Write(row.section, row.key, row.value))
            << "[" << row.section << "] " << row.key << "=" << row.value;
        EXPECT_EQ(ReadFileBytes(path), before);
    }
}

}  // namespace
