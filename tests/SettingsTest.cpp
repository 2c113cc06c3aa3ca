// IniFile and SettingsFile on real ini files through the platform's profile
// functions, under ANSI code pages that can and cannot carry code page 932 bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "ScratchDir.h"
#include "fsutil/WinText.h"
#include "settings/ExeDirectory.h"
#include "settings/SettingsFile.h"

namespace {

std::string Utf16(const std::wstring& w) { return std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2); }

// Other names go to the exe folder, which becomes current.
TEST(IniFile, SetPathPutsOtherNamesInTheExeFolder) {
    const std::string folder = GetExeDirectory();
    const auto pathOf = [](const char* name, bool kept) { IniFile f; f.SetPath(name, kept); return f.GetPath(); };
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_EQ(pathOf("Kelmora.ini", false), folder + "\\Kelmora.ini");
    // "C:x" as Windows resolves it, never a name with a colon: on the exe's
    // own drive, in its folder (the current one); on another, that drive's root.
    EXPECT_EQ(pathOf((folder.substr(0, 2) + "x").c_str(), false), folder + "\\x");
    EXPECT_EQ(pathOf(folder[0] == 'C' ? "D:x" : "C:x", false), folder[0] == 'C' ? "D:\\x" : "C:\\x");
    for (const char* kept : {"D:\\x.ini", "\x95\x5C:\\x", "\\\\srv\\share\\x.ini", "Z:/data/x.ini"}) EXPECT_EQ(pathOf(kept, false), kept);
    EXPECT_EQ(pathOf("x.ini", true), "x.ini");
}

// A value as a Unicode file and as a file without a byte order mark hold it.
// The Japanese one has 0x5C second bytes; Zoë is beyond code page 932, and an
// ANSI file holds it in the bytes of code page 1252.
struct Value { std::wstring unicode; std::string ansi; };
const Value Ascii{L"C:\\T", "C:\\T"}, Japanese{L"D:\\\u30BD\u8868", "D:\\\x83\x5C\x95\x5C"}, Zoe{L"Zo\u00EB", "Zo\xEB"};
enum Encoding { NoFile, Ansi, Utf16Bom, Utf8Bom };

// "[K]", then "In=" and "Copy=" lines, as the encoding lays them down.
std::string FileBytes(Encoding encoding, const Value* in, const Value* copy) {
    std::wstring unicode = L"[K]\r\n";
    std::string ansi = "[K]\r\n", utf8(256, '\0');
    if (in) unicode += L"In=" + in->unicode + L"\r\n", ansi += "In=" + in->ansi + "\r\n";
    if (copy) unicode += L"Copy=" + copy->unicode + L"\r\n", ansi += "Copy=" + copy->ansi + "\r\n";
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, unicode.data(), int(unicode.size()), utf8.data(), 256, 0, 0));
    return encoding == Utf16Bom ? "\xFF\xFE" + Utf16(unicode) : encoding == Utf8Bom ? "\xEF\xBB\xBF" + utf8 : ansi;
}

// Each row: a file holding In = value is read, then Copy is written (Zoë's
// row writes ASCII). A read gives the stored text exactly or fails with the
// empty text; a write stores the text exactly or fails and leaves every byte.
// One file takes every encoding in turn: it is found afresh for every call.
TEST(IniFile, TextIsExactOrTheOperationFails) {
    enum : unsigned { J = 1, W = 2, K = 4, U = 8, All = 15 };  // ANSI code pages 932, 1252, 949, 65001
    const struct { Encoding encoding; const Value* value; unsigned readsUnder, writesUnder; } rows[] = {
        {NoFile, &Ascii, All, All}, {Ansi, &Ascii, All, All}, {Utf16Bom, &Japanese, All, All},
        {NoFile, &Japanese, All, J | W}, {Utf8Bom, &Ascii, All, 0}, {Ansi, &Japanese, J | W, J | W},
        {Utf16Bom, &Ascii, All, All}, {Ansi, &Zoe, 0, W}, {Utf8Bom, &Japanese, All, 0}, {Utf16Bom, &Zoe, 0, All},
        {Utf8Bom, &Zoe, 0, 0}};
    const unsigned acp = GetACP(), run = acp == 932 ? J : acp == 1252 ? W : acp == 949 ? K : acp == 65001 ? U : 0u;
    ASSERT_NE(run, 0u) << "no row expects ANSI code page " << acp;
    ScratchDir dir;
    const std::string path = dir / "\x93\xFA\x96\x7B.ini";  // 日本.ini
    IniFile file, none;
    file.SetPath(path.c_str(), true);
    for (const auto& row : rows) {
        const Value *in = row.encoding == NoFile ? nullptr : row.value, *copy = row.value == &Zoe ? &Ascii : row.value;
        SCOPED_TRACE(testing::Message() << "encoding " << row.encoding << ", value " << row.value->ansi);
        const std::string before = in ? FileBytes(row.encoding, in, nullptr) : "<missing>";
        if (in) { ASSERT_TRUE(WriteFileBytes(path, before)); } else DeleteFileW(WideOrEmpty(path).c_str());
        const bool reads = (row.readsUnder & run) != 0, writes = (row.writesUnder & run) != 0;
        std::string text = "garbage";
        EXPECT_EQ(file.Read("K", "In", text, row.value->ansi.c_str()), reads);
        EXPECT_EQ(text, reads ? row.value->ansi : "");
        // A line break or a NUL would end the line early and start lines of its own.
        for (const auto& [section, key, text] : {std::tuple<std::string, std::string, std::string>{"K", "Copy", copy->ansi + "\n[K]"},
                 {"K", "Copy", std::string("x\0y", 3)}, {"K", "Copy\r", "x"}, {"K]\r\n[K", "Copy", "x"}})
            EXPECT_FALSE(file.Write(section.c_str(), key.c_str(), text)) << section << " " << key << " " << text;
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_EQ(file.Write("K", "Copy", copy->ansi), writes);
        EXPECT_EQ(ReadFileBytes(path), writes ? FileBytes(in ? row.encoding : Ansi, in, copy) : before);
    }
    char out[8];  // a missing key's default, cut to 3 bytes between characters
    EXPECT_EQ(file.Read("K", "Missing", out, 4, "\x93\xFA\x96\x7B"), 2);
    EXPECT_STREQ(out, "\x93\xFA");
    file.SetPath((dir / "no-such-folder\\x.ini").c_str(), true);
    EXPECT_FALSE(file.Write("K", "In", "x")) << "no folder";
    EXPECT_FALSE(none.Write("K", "In", "x")) << "no file";
    EXPECT_FALSE(none.Read("K", "In", out, 8, "d")) << "no file";
    EXPECT_STREQ(out, "");
}

// Files that are not text (UTF-16 without its byte order mark, or with it but
// holding U+0000, of an odd length, or before binary bytes; a NUL byte; a
// bitmap) and a path the profile functions cannot take: never read, never
// written.
TEST(IniFile, AnythingButASettingsFileIsLeftAlone) {
    ScratchDir dir;
    const std::string text = "[K]\r\nIn=x\r\n";
    const struct { std::string name, bytes; } rows[] = {
        {"utf16.ini", Utf16(L"[Other]\r\nName=Keep me\r\n[K]\r\nIn=x\r\n")},
        {"blob.ini", text + std::string("Blob=abc\0def\r\n", 14)},
        {"nul16.ini", "\xFF\xFE" + Utf16(std::wstring(L"[K]\r\nIn=A\r\n[Data]\r\nblob=abc\0def\r\nnext=1\r\n\0[Keep]\r\nk=v\r\n", 55))},
        {"odd16.ini", "\xFF\xFE" + Utf16(L"[K]\r\nIn=x\r\n") + "\n"},
        {"bin16.ini", std::string("\xFF\xFE" "BM\x36\x03\0\0\0\0\x36\0\0\0", 14) + text},
        {"title.bmp", std::string("BM\x36\x03\0\0\0\0\x36\0\0\0\r\n", 15) + text},
        {std::string(259 - dir.Path().size(), 'P'), text},  // 260 characters with the separator
    };
    for (const auto& row : rows) {
        const std::string path = dir / row.name;
        ASSERT_TRUE(WriteFileBytes(path, row.bytes)) << row.name;
        IniFile file;
        file.SetPath(path.c_str(), true);
        std::string out;
        EXPECT_FALSE(file.IsSettingsFile()) << row.name;
        EXPECT_FALSE(file.Read("K", "In", out, "d")) << row.name;
        EXPECT_FALSE(file.Write("K", "In", "y")) << row.name;
        EXPECT_EQ(ReadFileBytes(path), row.bytes) << row.name;
    }
}

// Written back when saved, by key byte-wise, only what changed or is missing;
// nothing is written before, nor when the object ends. A stored text
// the program cannot hold (not code page 932, or too long for the buffer: it
// would be written back cut) reads as the default and stays, unless the
// program then sets a new text. The file is UTF-16, which every ANSI code
// page can have written.
TEST(SettingsFile, WritesTheBoundTextsBackWhenSaved) {
    ScratchDir dir;
    const std::string path = dir / "Kelmora.ini";
    const std::wstring stored = L"[K]\r\nIn=C:\\Zo\u00EB\r\nLong=" + std::wstring(600, L'x') + L"\r\nEmpty=\r\n";
    ASSERT_TRUE(WriteFileBytes(path, "\xFF\xFE" + Utf16(stored)));
    char in[512] = "garbage", longText[512] = "garbage", empty[8] = "garbage", fresh[8];
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("K", "In", in, sizeof in, "C:\\default.ini");
        settings.BindText("K", "Long", longText, sizeof longText, "");
        settings.BindText("K", "Fresh", fresh, sizeof fresh, "new");
        settings.BindText("K", "Empty", empty, sizeof empty, "default");
        for (const auto& [read, expected] : {std::pair<const char*, const char*>{in, "C:\\default.ini"}, {longText, ""}, {empty, ""}, {fresh, "new"}})
            EXPECT_STREQ(read, expected);
        std::strcpy(longText, "chosen");
        EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE" + Utf16(stored)) << "nothing is written before the save";
        settings.Flush();
        std::strcpy(longText, "later");
    }
    EXPECT_EQ(ReadFileBytes(path),
              "\xFF\xFE" + Utf16(L"[K]\r\nIn=C:\\Zo\u00EB\r\nLong=chosen\r\nEmpty=\r\nFresh=new\r\n"));
}

}  // namespace
