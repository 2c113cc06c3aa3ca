// RtpKinds and RegistryKey against the real registry, in scratch keys below
// HKEY_LOCAL_MACHINE\Software, written in the 32-bit view as a 32-bit
// installer writes them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScratchDir.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpKinds.h"

namespace {

const std::string Nihon = "\x93\xFA\x96\x7B";    // 日本
const std::string Hyou = "\x95\x5C\x8E\xA6";     // 表示
const std::string Folder = "C:\\RTP\\\x95\x5C";  // a folder ending in 表

std::vector<std::string> Keys(const StringMap& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map) keys.push_back(entry.first);
    return keys;
}

TEST(RtpKinds, TheTwoRows) {
    EXPECT_EQ(RtpKinds[0].rootKey, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(RtpKinds[0].rtpKeyPath, "Enterbrain\\RGSS\\RTP");
    EXPECT_STREQ(RtpKinds[0].officialName, "Standard");
    EXPECT_STREQ(RtpKinds[0].label, "RPGXP");
    EXPECT_EQ(RtpKinds[1].rootKey, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(RtpKinds[1].rtpKeyPath, "Enterbrain\\RGSS2\\RTP");
    EXPECT_STREQ(RtpKinds[1].officialName, "RPGVX");
    EXPECT_STREQ(RtpKinds[1].label, "RPGVX");
}

TEST(IsOfficialRtp, CaseOfAsciiLettersOnly) {
    EXPECT_TRUE(IsOfficialRtp(0, "Standard"));
    EXPECT_TRUE(IsOfficialRtp(0, "standard"));
    EXPECT_TRUE(IsOfficialRtp(0, "STANDARD"));
    EXPECT_TRUE(IsOfficialRtp(1, "rpgvx"));
    EXPECT_FALSE(IsOfficialRtp(0, "RPGXP")) << "the label is not the official name";
    EXPECT_FALSE(IsOfficialRtp(0, "Standard ")) << "a trailing blank";
    EXPECT_FALSE(IsOfficialRtp(0, "Standar"));
    EXPECT_FALSE(IsOfficialRtp(1, "Standard"));
    EXPECT_FALSE(IsOfficialRtp(0, ""));
    EXPECT_FALSE(IsOfficialRtp(0, "\xF3tandard")) << "0xF3 is 's' + 0x80, not a letter";
}

TEST(RegistryKeyOpen, AddsSoftwareUnlessThePathHasIt) {
    ScratchKey scratch("KelmoraTest.Open");
    ASSERT_TRUE(scratch.SetString("v", "data"));
    char buffer[64] = {};
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Open", HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(key.QueryString("v", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "data");
    EXPECT_TRUE(key.Open("sOfTwArE\\KelmoraTest.Open", HKEY_LOCAL_MACHINE)) << "any letter case";
    EXPECT_TRUE(key.Open("Software\\KelmoraTest.Open", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(key.Open("Missing.KelmoraTest", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(key.IsOpen());
}

TEST(RegistryKeyOpen, SoftwareWithoutSeparatorGetsThePrefix) {
    ScratchKey nested("Software");  // Software\Software
    ASSERT_TRUE(nested.SetString("marker", "nested"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("Software", HKEY_LOCAL_MACHINE));
    char buffer[64] = {};
    EXPECT_TRUE(key.QueryString("marker", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "nested");
}

TEST(RegistryKeyOpen, ReadsThe32BitViewOnly) {
    ScratchKey view32("KelmoraTest.View", KEY_WOW64_32KEY);
    ScratchKey view64("KelmoraTest.View", KEY_WOW64_64KEY);
    ASSERT_TRUE(view32.SetString("Installed32", "C:\\x86"));
    ASSERT_TRUE(view64.SetString("Installed64", "C:\\x64"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.View", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    EXPECT_EQ(Keys(map), std::vector<std::string>{"Installed32"});
}

TEST(RegistryKeyOpen, ASecondOpenReleasesTheFirstEvenWhenItFails) {
    ScratchKey scratch("KelmoraTest.Reopen");
    ASSERT_TRUE(scratch.SetString("a", "1"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Reopen", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(key.Open("KelmoraTest.Nowhere", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(key.IsOpen());
    StringMap map{{"kept", "yes"}};
    EXPECT_FALSE(key.ReadStringValues(map));
    EXPECT_EQ(map.size(), 1u) << "an empty key leaves the map as it was";
    char buffer[8] = {};
    EXPECT_FALSE(key.QueryString("a", buffer, sizeof buffer));
    EXPECT_FALSE(key.DeleteValue("a"));
    EXPECT_TRUE(scratch.HasValue("a"));
    key.Close();
    key.Close();
}

TEST(ReadStringValues, ListsNamedStringValuesByteWise) {
    ScratchKey scratch("KelmoraTest.Read");
    ASSERT_TRUE(scratch.SetString("rtpB", "C:\\b"));
    ASSERT_TRUE(scratch.SetString("RTPa", "C:\\a"));
    ASSERT_TRUE(scratch.SetString(Nihon, Folder));
    ASSERT_TRUE(scratch.SetString("", "default value"));
    ASSERT_TRUE(scratch.SetString("Expand", "%TEMP%", REG_EXPAND_SZ));
    ASSERT_TRUE(scratch.SetDword("Number", 7));
    ASSERT_TRUE(scratch.SetString("Empty", ""));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Read", HKEY_LOCAL_MACHINE));
    StringMap map{{"stale", "entry"}};
    ASSERT_TRUE(key.ReadStringValues(map));
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"Empty", "RTPa", "rtpB", Nihon}));
    EXPECT_EQ(map[Nihon], Folder);
    EXPECT_EQ(map["RTPa"], "C:\\a");
    EXPECT_EQ(map["Empty"], "");
}

TEST(ReadStringValues, AKeyWithoutNamedStringsIsFalseAndEmpty) {
    ScratchKey scratch("KelmoraTest.NoStrings");
    ASSERT_TRUE(scratch.SetString("", "default"));
    ASSERT_TRUE(scratch.SetDword("n", 1));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.NoStrings", HKEY_LOCAL_MACHINE));
    StringMap map{{"stale", "entry"}};
    EXPECT_FALSE(key.ReadStringValues(map));
    EXPECT_TRUE(map.empty());
}

// A value too long for the 520-byte buffers is skipped; every value after it
// in the platform's order is still listed.
TEST(ReadStringValues, TooLongValuesAreSkippedAndTheWalkGoesOn) {
    ScratchKey scratch("KelmoraTest.Long");
    ASSERT_TRUE(scratch.SetString("A-first", "C:\\a"));
    ASSERT_TRUE(scratch.SetString("B-long-data", std::string(600, 'x')));
    ASSERT_TRUE(scratch.SetString(std::string(530, 'n'), "C:\\long-name"));
    ASSERT_TRUE(scratch.SetString("C-after", "C:\\c"));
    ASSERT_TRUE(scratch.SetString("D-data-519", std::string(519, 'd')));
    ASSERT_TRUE(scratch.SetString("E-data-520", std::string(520, 'e')));
    // 260 double-byte characters: 520 bytes in code page 932, too long.
    std::string japanese520, japanese518;
    for (int i = 0; i < 260; ++i) japanese520 += "\x82\xA0";
    for (int i = 0; i < 259; ++i) japanese518 += "\x82\xA0";
    ASSERT_TRUE(scratch.SetString("F-japanese-520", japanese520));
    ASSERT_TRUE(scratch.SetString("G-japanese-518", japanese518));
    ASSERT_TRUE(scratch.SetString(std::string(519, 'm'), "C:\\name-519"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Long", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    EXPECT_EQ(Keys(map),
              (std::vector<std::string>{"A-first", "C-after", "D-data-519", "G-japanese-518", std::string(519, 'm')}));
    EXPECT_EQ(map["D-data-519"].size(), 519u);
    EXPECT_EQ(map["G-japanese-518"], japanese518);
}

// Names or data that code page 932 cannot hold would name another value or
// another folder once converted: they are not listed.
TEST(ReadStringValues, SkipsWhatCodePage932CannotHold) {
    ScratchKey scratch("KelmoraTest.Unicode");
    ASSERT_TRUE(scratch.SetWide(L"caf\u00E9", L"C:\\cafe"));
    ASSERT_TRUE(scratch.SetWide(L"plain", L"C:\\caf\u00E9"));
    ASSERT_TRUE(scratch.SetWide(L"\u65E5\u672C", L"C:\\\u8868"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Unicode", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    EXPECT_EQ(Keys(map), std::vector<std::string>{Nihon});
    EXPECT_EQ(map[Nihon], "C:\\\x95\x5C");
}

// Data stored without a terminating zero, with an odd byte count, or with a
// zero inside: the text ends within the data and nothing beyond it is read.
TEST(ReadStringValues, DataWithoutTerminatorStaysWithinTheData) {
    ScratchKey scratch("KelmoraTest.Raw");
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'u'};
    ASSERT_TRUE(scratch.SetRaw(L"NoZero", REG_SZ, unterminated, sizeof unterminated));
    const wchar_t odd[] = {L'C', L':', L'\\', L'o', L'X'};
    ASSERT_TRUE(scratch.SetRaw(L"OddSize", REG_SZ, odd, sizeof odd - 1));
    const wchar_t inner[] = {L'C', L':', L'\\', L'i', 0, L'x', 0};
    ASSERT_TRUE(scratch.SetRaw(L"InnerZero", REG_SZ, inner, sizeof inner));
    std::wstring full(520, L'f');  // 520 units, no terminator: fills the whole buffer
    ASSERT_TRUE(scratch.SetRaw(L"Full", REG_SZ, full.data(), static_cast<DWORD>(full.size() * sizeof(wchar_t))));
    std::wstring almost(519, L'g');
    ASSERT_TRUE(scratch.SetRaw(L"Almost", REG_SZ, almost.data(), static_cast<DWORD>(almost.size() * sizeof(wchar_t))));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Raw", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"Almost", "InnerZero", "NoZero", "OddSize"}));
    EXPECT_EQ(map["NoZero"], "C:\\u");
    EXPECT_EQ(map["OddSize"], "C:\\o");
    EXPECT_EQ(map["InnerZero"], "C:\\i");
    EXPECT_EQ(map["Almost"], std::string(519, 'g'));
}

TEST(QueryString, FitsOrFails) {
    ScratchKey scratch("KelmoraTest.Query");
    ASSERT_TRUE(scratch.SetString("Long", std::string(600, 'x')));
    ASSERT_TRUE(scratch.SetString("Fits", std::string(511, 'y')));
    ASSERT_TRUE(scratch.SetString("JustOver", std::string(512, 'z')));
    ASSERT_TRUE(scratch.SetString("Expand", "C:\\x", REG_EXPAND_SZ));
    ASSERT_TRUE(scratch.SetDword("Number", 1));
    ASSERT_TRUE(scratch.SetString(Nihon, Folder));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Query", HKEY_LOCAL_MACHINE));
    char buffer[512];
    EXPECT_FALSE(key.QueryString("Long", buffer, sizeof buffer));
    EXPECT_FALSE(key.QueryString("JustOver", buffer, sizeof buffer));
    ASSERT_TRUE(key.QueryString("Fits", buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), std::string(511, 'y'));
    EXPECT_FALSE(key.QueryString("Expand", buffer, sizeof buffer));
    EXPECT_FALSE(key.QueryString("Number", buffer, sizeof buffer));
    EXPECT_FALSE(key.QueryString("Missing", buffer, sizeof buffer));
    ASSERT_TRUE(key.QueryString(Nihon.c_str(), buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), Folder);
    EXPECT_FALSE(key.QueryString("\x81", buffer, sizeof buffer)) << "a name that is not code page 932";
}

TEST(QueryString, UnterminatedDataFillingTheBufferIsNeverReadPast) {
    ScratchKey scratch("KelmoraTest.QueryRaw");
    std::wstring eight(8, L'a');
    ASSERT_TRUE(scratch.SetRaw(L"Eight", REG_SZ, eight.data(), 8 * sizeof(wchar_t)));
    const wchar_t three[] = {L'a', L'b', L'c'};
    ASSERT_TRUE(scratch.SetRaw(L"Three", REG_SZ, three, sizeof three));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.QueryRaw", HKEY_LOCAL_MACHINE));
    char buffer[9];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(key.QueryString("Eight", buffer, 8)) << "8 bytes and no room for the terminator";
    ASSERT_TRUE(key.QueryString("Eight", buffer, 9));
    EXPECT_STREQ(buffer, "aaaaaaaa");
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_TRUE(key.QueryString("Three", buffer, 4));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], '#') << "nothing written past the text";
}

TEST(DeleteValue, DeletesExactlyTheNamedValue) {
    ScratchKey scratch("KelmoraTest.Delete");
    ASSERT_TRUE(scratch.SetString(Nihon, Folder));
    ASSERT_TRUE(scratch.SetString(Hyou, "C:\\other"));
    RegistryKey key;
    ASSERT_TRUE(key.Open("KelmoraTest.Delete", HKEY_LOCAL_MACHINE));
    StringMap map;
    ASSERT_TRUE(key.ReadStringValues(map));
    // The name as listed finds the value again.
    ASSERT_TRUE(key.DeleteValue(map.begin()->first.c_str()));
    EXPECT_FALSE(scratch.HasValue(map.begin()->first));
    EXPECT_TRUE(scratch.HasValue(std::next(map.begin())->first));
    EXPECT_FALSE(key.DeleteValue(map.begin()->first.c_str())) << "already gone";
    EXPECT_FALSE(key.DeleteValue("\x81")) << "not code page 932";
}

}  // namespace
