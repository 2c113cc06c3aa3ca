// The code page 932 / UTF-16 boundary and the registry, under a Japanese and
// a Western ANSI code page: results must not depend on it. Scratch keys are
// written in the 32-bit view, as a 32-bit installer writes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchDir.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpKinds.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(IsOfficialRtp, IgnoresTheCaseOfAsciiLettersOnly) {
    const struct { int kind; const char* name; bool official; } rows[] = {{0, "Standard", true}, {0, "sTANDARD", true},
        {1, "rpgvx", true}, {0, "RPGXP", false}, {1, "Standard", false}, {0, "Standard ", false},
        {0, "Standar", false}, {0, "", false}, {0, "\xF3tandard", false}};
    for (const auto& row : rows) EXPECT_EQ(IsOfficialRtp(row.kind, row.name), row.official) << row.name;
}

// Skipped, while the walk goes on: values too long for the 520-byte buffers
// (in code page 932), not text, unnamed, or not code page 932; REG_EXPAND_SZ
// is read with its variables expanded. Data without
// a terminating zero (a byte count given), with an odd byte count, or with a
// zero inside is read up to its end or its zero.
TEST(RegistryKey, ReadsWhatFitsAndNeverPastTheData) {
    const std::wstring japanese518(259, L'\u3042');  // あ: 2 bytes
    const struct { std::wstring name; DWORD type; std::wstring data; DWORD bytes; } values[] = {
        {L"Big", REG_SZ, std::wstring(600, L'x'), 0}, {L"F520", REG_SZ, japanese518 + L"\u3042", 0},
        {L"", REG_SZ, L"C:\\", 0}, {L"Dword", REG_DWORD, L"ab", 4}, {L"Expand", REG_EXPAND_SZ, L"%SystemDrive%\\", 0},
        {L"caf\u00E9", REG_SZ, L"C:\\", 0}, {L"plain", REG_SZ, L"C:\\caf\u00E9", 0},
        {L"Full", REG_SZ, std::wstring(520, L'f'), 1040}, {L"RTPb", REG_SZ, L"C:\\b", 0}, {L"RTP", REG_SZ, L"C:\\", 0},
        {L"rtpA", REG_SZ, L"C:\\a", 0}, {L"\u65E5\u672C", REG_SZ, L"C:\\\u8868", 0}, {L"Empty", REG_SZ, L"", 0},
        {L"G518", REG_SZ, japanese518, 0}, {std::wstring(519, L'm'), REG_SZ, L"C:\\m", 0},
        {L"G519", REG_SZ, std::wstring(519, L'g'), 1038}, {L"NoZero", REG_SZ, L"C:u", 6},
        {L"OddSize", REG_SZ, L"C:oX", 7}, {L"Zero", REG_SZ, std::wstring(L"C:\0x", 4), 8}};
    ScratchKey scratch("KelmoraTest.Read");
    for (const auto& v : values)
        ASSERT_TRUE(scratch.SetRaw(v.name, v.type, v.data.c_str(), v.bytes ? v.bytes : DWORD(v.data.size() * 2 + 2)));
    RegistryKey key;
    StringMap map;
    std::vector<std::string> expanded;
    ASSERT_TRUE(key.Open("KelmoraTest.Read", HKEY_LOCAL_MACHINE));
    ASSERT_TRUE(key.ReadStringValues(map, &expanded));
    EXPECT_EQ(expanded, std::vector<std::string>{"Expand"});
    const std::string nihon = "\x93\xFA\x96\x7B", folder = "C:\\\x95\x5C";  // 日本, a folder ending in 表
    // Byte-wise: a prefix first, capitals before small letters, Japanese last.
    EXPECT_EQ(Pairs(map.begin(), map.end()), (Pairs{{"Empty", ""}, {"Expand", "C:\\"}, {"G518", NarrowOrEmpty(japanese518)},
        {"G519", std::string(519, 'g')}, {"NoZero", "C:u"}, {"OddSize", "C:o"}, {"RTP", "C:\\"}, {"RTPb", "C:\\b"},
        {"Zero", "C:"}, {std::string(519, 'm'), "C:\\m"}, {"rtpA", "C:\\a"}, {nihon, folder}}));
    // QueryString fits the whole text and its terminator in the buffer, or fails.
    const struct { const char* name; unsigned size; const char* text; } rows[] = {{"G519", 519, nullptr},
        {"NoZero", 4, "C:u"}, {"NoZero", 3, nullptr}, {"Big", 520, nullptr}, {"Expand", 9, "C:\\"},
        {"Dword", 9, nullptr}, {"Missing", 9, nullptr}, {nihon.c_str(), 6, folder.c_str()}, {"\x81", 9, nullptr}};
    for (const auto& row : rows) {
        std::string buffer(row.size + 1, '#'), expected = row.text ? row.text + std::string(1, '\0') : "";
        expected.resize(row.size + 1, '#');  // a failed query writes nothing
        EXPECT_EQ(key.QueryString(row.name, buffer.data(), row.size), row.text != nullptr) << row.name;
        EXPECT_EQ(buffer, expected) << row.name;
    }
    EXPECT_TRUE(key.DeleteValue(nihon.c_str()));
    EXPECT_FALSE(scratch.HasValue(nihon));
    EXPECT_TRUE(scratch.HasValue("rtpA")) << "only the one value went";
    EXPECT_FALSE(key.DeleteValue(nihon.c_str())) << "gone";
    EXPECT_FALSE(key.DeleteValue("\x81")) << "not code page 932";
}

}  // namespace
