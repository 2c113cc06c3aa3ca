// The code page 932 / UTF-16 boundary and the registry, under a Japanese and
// a Western ANSI code page: results must not depend on it. Scratch keys are
// written in the 32-bit view, as a 32-bit installer writes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ScratchDir.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpKinds.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const std::string Nihon = "\x93\xFA\x96\x7B", Folder = "C:\\RTP\\\x95\x5C";  // 日本, a folder ending in 表

TEST(WinText, ExactOrFails) {
    const std::pair<std::string, std::wstring> both[] = {{"\x93\xFA\x96\x7B\x8C\xEA", L"\u65E5\u672C\u8A9E"},
        {"\x95\x5C\\\x83\x5C", L"\u8868\\\u30BD"}, {"\xB1", L"\uFF71"}, {"", L""}};
    for (const auto& [narrow, wide] : both) {
        std::wstring toWide;
        std::string toNarrow;
        EXPECT_TRUE(ToWide(narrow, toWide) && ToNarrow(wide, toNarrow) && toWide == wide && toNarrow == narrow)
            << narrow;
    }
    std::string narrow = "untouched";  // best fit would name another file: é as 'e', an emoji as '?'
    for (const wchar_t* wide : {L"caf\u00E9", L"\U0001F600", L"a\u0101", L"\uAC00"})
        EXPECT_FALSE(ToNarrow(wide, narrow) || !narrow.empty()) << "got [" << narrow << "]";
    std::wstring wide = L"untouched";
    for (const char* bytes : {"\x81", "a\x81", "\x81\x20", "\x81\x7F", "\xFD", "\xFF"})
        EXPECT_FALSE(ToWide(bytes, wide) || !wide.empty()) << "bytes [" << bytes << "]";
    // The test runner says which ANSI code page each run must have: proof the runs differ.
    if (const char* acp = std::getenv("KELMORA_EXPECTED_ACP")) { EXPECT_EQ(GetACP(), UINT(std::atoi(acp))); }
}

TEST(IsOfficialRtp, IgnoresTheCaseOfAsciiLettersOnly) {
    const struct { int kind; const char* name; bool official; } rows[] = {
        {0, "Standard", true}, {0, "sTANDARD", true}, {1, "rpgvx", true}, {0, "RPGXP", false}, {1, "Standard", false},
        {0, "Standard ", false}, {0, "Standar", false}, {0, "", false}, {0, "\xF3tandard", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsOfficialRtp(row.kind, row.name), row.official) << row.name;
}

TEST(RegistryKey, OpensBelowSoftwareInThe32BitViewOnly) {
    ScratchKey view32("KelmoraTest.View"), view64("KelmoraTest.View", KEY_WOW64_64KEY), nested("Software");
    ASSERT_TRUE(view32.SetDword("n", 1) && view32.SetString("", "unnamed") && view64.SetString("Only64", "C:\\x64"));
    ASSERT_TRUE(nested.SetString("marker", "nested"));  // Software\Software
    RegistryKey key;
    char buffer[16] = {};
    ASSERT_TRUE(key.Open("Software", HKEY_LOCAL_MACHINE) && key.QueryString("marker", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "nested");
    for (const char* path : {"sOfTwArE\\KelmoraTest.View", "KelmoraTest.View"}) {
        ASSERT_TRUE(key.Open(path, HKEY_LOCAL_MACHINE)) << path;
        StringMap map{{"stale", "entry"}};
        EXPECT_FALSE(key.ReadStringValues(map)) << "no named string in the 32-bit view";
        EXPECT_EQ(map.size(), 0u) << path;
    }
    EXPECT_FALSE(key.Open("KelmoraTest.Missing", HKEY_LOCAL_MACHINE) || key.IsOpen());
    StringMap map{{"kept", "yes"}};
    EXPECT_FALSE(key.ReadStringValues(map) || key.QueryString("marker", buffer, sizeof buffer));
    EXPECT_EQ(map.size(), 1u) << "a closed key leaves the map as it was";
}

TEST(RegistryKey, ReadsWhatFitsAndNeverPastTheData) {
    const std::wstring japanese518(259, L'\u3042');  // あ, 518 bytes in code page 932
    // Too long for the 520-byte buffers, not REG_SZ, unnamed or not code page 932: skipped, walking on.
    // Data without a terminating zero (a byte count), with an odd byte count, with a zero inside.
    const struct { std::wstring name; DWORD type; std::wstring data; DWORD bytes; } values[] = {
        {L"Big", REG_SZ, std::wstring(600, L'x'), 0}, {std::wstring(530, L'n'), REG_SZ, L"C:\\n", 0},
        {L"E520", REG_SZ, std::wstring(520, L'e'), 0}, {L"F520", REG_SZ, japanese518 + L"\u3042", 0},
        {L"", REG_SZ, L"C:\\", 0}, {L"Dword", REG_DWORD, L"ab", 4}, {L"Expand", REG_EXPAND_SZ, L"C:\\", 0},
        {L"caf\u00E9", REG_SZ, L"C:\\", 0}, {L"plain", REG_SZ, L"C:\\caf\u00E9", 0},
        {L"Full", REG_SZ, std::wstring(520, L'f'), 1040}, {L"RTPb", REG_SZ, L"C:\\b", 0}, {L"RTP", REG_SZ, L"C:\\", 0},
        {L"rtpA", REG_SZ, L"C:\\a", 0}, {L"\u65E5\u672C", REG_SZ, L"C:\\RTP\\\u8868", 0}, {L"Empty", REG_SZ, L"", 0},
        {L"D519", REG_SZ, std::wstring(519, L'd'), 0}, {L"G518", REG_SZ, japanese518, 0},
        {std::wstring(519, L'm'), REG_SZ, L"C:\\m", 0}, {L"G519", REG_SZ, std::wstring(519, L'g'), 1038},
        {L"NoZero", REG_SZ, L"C:u", 6}, {L"OddSize", REG_SZ, L"C:oX", 7},
        {L"Zero", REG_SZ, std::wstring(L"C:\0x", 4), 8},
    };
    ScratchKey scratch("KelmoraTest.Read");
    for (const auto& v : values)
        ASSERT_TRUE(scratch.SetRaw(v.name, v.type, v.data.c_str(), v.bytes ? v.bytes : DWORD(v.data.size() * 2 + 2)));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Read", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    // Byte-wise: a prefix first, capitals before small letters, Japanese last.
    const Pairs expected = {{"D519", std::string(519, 'd')}, {"Empty", ""}, {"G518", NarrowOrEmpty(japanese518)},
        {"G519", std::string(519, 'g')}, {"NoZero", "C:u"}, {"OddSize", "C:o"}, {"RTP", "C:\\"}, {"RTPb", "C:\\b"},
        {"Zero", "C:"}, {std::string(519, 'm'), "C:\\m"}, {"rtpA", "C:\\a"}, {Nihon, Folder}};
    EXPECT_EQ(Pairs(map.begin(), map.end()), expected);
    // QueryString fits the whole text and its terminator in the buffer, or fails.
    const struct { const char* name; unsigned size; const char* text; } rows[] = {{"D519", 519, nullptr},
        {"NoZero", 4, "C:u"}, {"NoZero", 3, nullptr}, {"Big", 520, nullptr}, {"Expand", 9, nullptr},
        {"Dword", 9, nullptr}, {"Missing", 9, nullptr}, {Nihon.c_str(), 10, Folder.c_str()}, {"\x81", 9, nullptr}};
    for (const auto& row : rows) {
        std::string buffer(row.size + 1, '#');
        EXPECT_EQ(key.QueryString(row.name, buffer.data(), row.size), row.text != nullptr) << row.name;
        if (row.text != nullptr) { EXPECT_STREQ(buffer.c_str(), row.text) << row.name; }
        EXPECT_EQ(buffer.back(), '#') << row.name << ": written past the buffer";
    }
    EXPECT_TRUE(key.DeleteValue(Nihon.c_str()) && !scratch.HasValue(Nihon) && scratch.HasValue("rtpA"));
    EXPECT_FALSE(key.DeleteValue(Nihon.c_str()) || key.DeleteValue("\x81")) << "gone, or not code page 932";
}

}  // namespace
