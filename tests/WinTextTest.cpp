// The code page 932 / UTF-16 boundary. The whole program runs once under a
// Japanese and once under a Western ANSI code page: these results must not
// depend on it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "fsutil/WinText.h"

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring out;
    EXPECT_TRUE(ToWide(text, out)) << "[" << text << "]";
    return out;
}

TEST(WinText, JapaneseBothWays) {
    EXPECT_EQ(Wide("\x93\xFA\x96\x7B\x8C\xEA"), L"\u65E5\u672C\u8A9E");  // 日本語
    EXPECT_EQ(Wide("\x95\x5C\x83\x5C"), L"\u8868\u30BD") << "0x5C second bytes";
    EXPECT_EQ(Wide("\xB1"), L"\uFF71") << "half-width katakana";
    EXPECT_EQ(Wide("C:\\RTP\\x"), L"C:\\RTP\\x");
    EXPECT_EQ(Wide(""), L"");
    std::string narrow;
    ASSERT_TRUE(ToNarrow(L"\u8868\\\u30BD", narrow));
    EXPECT_EQ(narrow, "\x95\x5C\\\x83\x5C");
}

TEST(WinText, TextCodePage932CannotHoldFails) {
    std::string narrow = "untouched";
    // é would turn into 'e' and an emoji into '?': both name another file.
    for (const wchar_t* text : {L"caf\u00E9", L"\U0001F600", L"a\u0101", L"\uAC00"}) {
        EXPECT_FALSE(ToNarrow(text, narrow)) << "got [" << narrow << "]";
        EXPECT_TRUE(narrow.empty());
    }
    EXPECT_EQ(NarrowOrEmpty(L"x\u00E9"), "");
}

TEST(WinText, BytesThatAreNotCodePage932Fail) {
    std::wstring wide = L"untouched";
    for (const char* text : {"\x81", "a\x81", "\x81\x20", "\x81\x7F", "\xFD", "\xFF"}) {
        EXPECT_FALSE(ToWide(text, wide)) << "bytes [" << text << "]";
        EXPECT_TRUE(wide.empty());
    }
}

// The test runner starts this program once per locale and says which ANSI
// code page each run must have: proof that both runs really differ.
TEST(WinText, RunsUnderTheExpectedAnsiCodePage) {
    const UINT acp = GetACP();
    RecordProperty("AnsiCodePage", static_cast<int>(acp));
    const char* expected = std::getenv("KELMORA_EXPECTED_ACP");
    if (expected == nullptr) GTEST_SKIP() << "not started by the test runner; ANSI code page " << acp;
    EXPECT_EQ(acp, static_cast<UINT>(std::atoi(expected)));
}

}  // namespace
