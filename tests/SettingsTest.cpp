// IniFile and SettingsFile on real ini files through the platform's profile
// functions, under ANSI code pages that can and cannot carry code page 932 bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScratchDir.h"
#include "fsutil/WinText.h"
#include "settings/ExeDirectory.h"
#include "settings/SettingsFile.h"

namespace {

std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

// Other names go to the exe folder, which becomes current; where its name
// cannot be held there is no path at all, rather than a file in a root folder.
TEST(IniFile, SetPathPutsOtherNamesInTheExeFolder) {
    const std::string folder = GetExeDirectory();
    const struct { const char* name; bool absolute, inExeFolder; } rows[] = {{"Kelmora.ini", false, true},
        {"C:x", false, true}, {"D:\\x.ini", false, false}, {"x.ini", true, false}, {"\x95\x5C:\\x", false, false}};
    for (const auto& row : rows) {
        SetCurrentDirectoryW(L"C:\\");
        IniFile file;
        file.SetPath(row.name, row.absolute);
        const bool inFolder = row.inExeFolder && !folder.empty();
        EXPECT_EQ(file.GetPath(), inFolder ? folder + "\\" + row.name : row.inExeFolder ? "" : row.name);
        EXPECT_EQ(PathExists("test_settings.exe"), inFolder) << row.name << ": the exe folder is current";
    }
    if (folder.empty()) return;  // the copy started below
    ScratchDir dir;
    const std::wstring copy = WideOrEmpty(dir.Path()) + L"\\Zo\u00EB", exe = copy + L"\\test_settings.exe";
    std::wstring self(MAX_PATH, L'\0'), command = L"\"" + exe + L"\" --gtest_filter=IniFile.SetPath*";
    GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    ASSERT_TRUE(CreateDirectoryW(copy.c_str(), nullptr) && CopyFileW(self.c_str(), exe.c_str(), TRUE));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, 0, 0, nullptr, nullptr, &startup, &child));
    if (WaitForSingleObject(child.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 9);
    DWORD code = 9;
    EXPECT_TRUE(GetExitCodeProcess(child.hProcess, &code) && code == 0) << "the copy's run failed: " << code;
    CloseHandle(child.hThread), CloseHandle(child.hProcess);
}

// A value as a Unicode file and as a file without a byte order mark hold it.
// The Japanese one has 0x5C second bytes; Zoë is beyond code page 932, and an
// ANSI file holds it in the bytes of code page 1252.
struct Value { std::wstring unicode; std::string ansi; };
const Value Ascii{L"C:\\T.ini", "C:\\T.ini"}, Japanese{L"D:\\\u30BD\u8868", "D:\\\x83\x5C\x95\x5C"};
const Value Zoe{L"C:\\Zo\u00EB", "C:\\Zo\xEB"};
enum Encoding { NoFile, Ansi, Utf16Bom, Utf8Bom };

// "[K]" with one "key=value" line per pair, as the encoding lays it down.
std::string FileBytes(Encoding encoding, const std::vector<std::pair<std::string, const Value*>>& lines) {
    std::wstring unicode = L"[K]\r\n";
    std::string ansi = "[K]\r\n", utf8(256, '\0');
    for (const auto& [key, value] : lines) {
        unicode += WideOrEmpty(key) + L"=" + value->unicode + L"\r\n";
        ansi += key + "=" + value->ansi + "\r\n";
    }
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
        {Utf8Bom, &Zoe, 0, 0},
    };
    const UINT acp = GetACP();
    const unsigned run = acp == 932 ? J : acp == 1252 ? W : acp == 949 ? K : acp == 65001 ? U : 0u;
    ASSERT_NE(run, 0u) << "no row expects ANSI code page " << acp;
    ScratchDir dir;
    const std::string path = dir / "Tavisk.ini";
    IniFile file;
    file.SetPath(path.c_str(), true);
    for (const auto& row : rows) {
        const Value& written = row.value == &Zoe ? Ascii : *row.value;
        SCOPED_TRACE(testing::Message() << "encoding " << row.encoding << ", value " << row.value->ansi);
        const std::string before = row.encoding == NoFile ? "<missing>" : FileBytes(row.encoding, {{"In", row.value}});
        const std::string after = row.encoding == NoFile ? FileBytes(Ansi, {{"Copy", &written}})
                                                         : FileBytes(row.encoding, {{"In", row.value}, {"Copy", &written}});
        DeleteFileW(WideOrEmpty(path).c_str());
        ASSERT_TRUE(row.encoding == NoFile || WriteFileBytes(path, before));
        const bool reads = (row.readsUnder & run) != 0, writes = (row.writesUnder & run) != 0;
        std::string text = "garbage";
        EXPECT_EQ(file.Read("K", "In", text, row.value->ansi.c_str()), reads);
        EXPECT_EQ(text, reads ? row.value->ansi : "");
        EXPECT_EQ(file.Write("K", "Copy", written.ansi), writes);
        EXPECT_EQ(ReadFileBytes(path), writes ? after : before);
    }
}

TEST(IniFile, WritesOnlyWholeLinesAndCutsReadsBetweenCharacters) {
    ScratchDir dir;
    const std::string nihongo = "\x93\xFA\x96\x7B\x8C\xEA", path = dir / (nihongo + ".ini");
    const std::string before = "[K]\r\nType=RPGXP\r\nKeep=1\r\n";
    ASSERT_TRUE(WriteFileBytes(path, before));
    IniFile file, none;
    file.SetPath(path.c_str(), true);
    const struct { const char *section, *key; std::string value; } rows[] = {{"K", "T", "A\r\n[K]\r\nType=RPGVX"},
        {"K", "T", "A\nType=RPGVX"}, {"K", "T", "A\rType=RPGVX"}, {"K", "T", std::string("A\0B", 3)},
        {"K", "T\r\nType", "RPGVX"}, {"O]\r\n[K", "Type", "RPGVX"}};
    for (const auto& row : rows)
        EXPECT_FALSE(file.Write(row.section, row.key, row.value)) << row.section << "/" << row.key << "=" << row.value;
    EXPECT_EQ(ReadFileBytes(path), before);
    ASSERT_TRUE(file.Write("K", "Type", ""));
    EXPECT_EQ(ReadFileBytes(path), "[K]\r\nType=\r\nKeep=1\r\n");
    EXPECT_EQ(file.Read("k", "TYPE", "default"), "") << "present and empty is not missing; letter case is ignored";
    char out[8];
    for (int size : {1, 4, 7}) {  // a missing key's default, cut to size - 1 bytes
        EXPECT_EQ(file.Read("K", "Missing", out, size, nihongo.c_str()), (size - 1) / 2 * 2) << size;
        EXPECT_EQ(out, nihongo.substr(0, (size - 1) / 2 * 2)) << size;
    }
    file.SetPath((dir / "no-such-folder\\x.ini").c_str(), true);
    EXPECT_FALSE(file.Write("K", "Type", "v") || none.Write("K", "Type", "v"));
    EXPECT_FALSE(none.Read("K", "Type", out, sizeof out, "default") || out[0] != 0) << "no path reads nothing";
}

// Written back at the end, by section then key, byte-wise. A value the program
// cannot hold reads as the empty text or the default and is not written back,
// so the file keeps it, unless the program then sets a text. The file is
// UTF-16, which every ANSI code page can have written.
TEST(SettingsFile, WritesTheBoundVariablesBackAtTheEnd) {
    ScratchDir dir;
    const std::string path = dir / "Kelmora.ini";
    const std::wstring stored = L"[K]\r\nIn=C:\\Zo\u00EB\r\nLong=" + std::wstring(600, L'x') +
                                L"\r\nInt=12abc\r\nHuge=99999999999\r\nByte=300\r\nEmpty=\r\n";
    ASSERT_TRUE(WriteFileBytes(path, "\xFF\xFE" + Utf16(stored)));
    char in[512] = "garbage", longText[512] = "garbage", empty[8], fresh[8], twice[8];
    std::int32_t number = 0, huge = 0, bad = 0;
    std::uint8_t flag = 0, badFlag = 0;
    std::string string;
    {
        SettingsFile settings(path.c_str(), true);
        settings.BindText("K", "In", in, sizeof in, "C:\\default.ini");
        settings.BindText("K", "Long", longText, sizeof longText, "");  // cut, it would be written back cut
        settings.BindInt("K", "Int", &bad, 7);
        settings.BindInt("K", "Huge", &huge, 9);
        settings.BindByte("K", "Byte", &badFlag, 3);
        settings.BindText("K", "Empty", empty, sizeof empty, "default");
        settings.BindText("K", "Fresh", fresh, sizeof fresh, "new");
        settings.BindText("K", "Fresh", twice, sizeof twice, "");  // the first binding is the one written
        settings.BindInt("K", "Number", &number, 12);
        settings.BindByte("K", "Flag", &flag, 1);
        settings.BindString("K", "String", &string, "abc");
        EXPECT_TRUE(!in[0] && !longText[0] && !empty[0] && bad == 7 && huge == 9 && badFlag == 3) << in << longText;
        EXPECT_TRUE(std::string(fresh) == "new" && number == 12 && flag == 1 && string == "abc") << fresh;
        EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE" + Utf16(stored)) << "nothing is written before the end";
        std::strcpy(longText, "chosen"), std::strcpy(twice, "twice");
        number = -5, flag = 200, string += "!";
    }
    std::wstring expected = stored + L"Flag=200\r\nFresh=new\r\nNumber=-5\r\nString=abc!\r\n";
    expected.replace(expected.find(L"Long=") + 5, 600, L"chosen");
    EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE" + Utf16(expected));
    SettingsFile again(path.c_str(), true);
    again.BindInt("K", "Number", &number, 0);
    again.BindByte("K", "Flag", &flag, 0);
    EXPECT_TRUE(number == -5 && flag == 200);
}

}  // namespace
