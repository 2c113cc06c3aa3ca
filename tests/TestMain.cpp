#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program's texts are code page 932 bytes, which GoogleTest prints
// escaped ("\x82\xCC"): each failure is printed again, its escapes undone and
// its text in UTF-8, so that the Japanese can be read.
class Utf8Failures : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (!result.failed()) return;
        const std::string escaped = result.message();
        std::string bytes;
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            const char c = escaped[i];
            if (c == '"' && escaped.compare(i, 3, "\" \"") == 0) {  // a literal split after an escape
                i += 2;
            } else if (c == '\\' && i + 3 < escaped.size() && escaped[i + 1] == 'x' && std::isxdigit(escaped[i + 2]) &&
                       std::isxdigit(escaped[i + 3])) {
                bytes += static_cast<char>(std::stoi(escaped.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else if (c == '\\' && i + 1 < escaped.size() && (escaped[i + 1] == '\\' || escaped[i + 1] == '"')) {
                bytes += escaped[++i];
            } else {
                bytes += c;
            }
        }
        bool ascii = true;
        for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) return;  // nothing to show otherwise
        const int units = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(units), L'\0');
        MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), units);
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), size, nullptr, nullptr);
        std::printf("%s:%d: the failure above, in UTF-8:\n%s\n", result.file_name() ? result.file_name() : "?",
                    result.line_number(), utf8.c_str());
        std::fflush(stdout);
    }
};

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // A crash must fail the test run, not wait in a debugger dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // The runner names the ANSI code page each run must have: proof the runs differ.
    const char* acp = std::getenv("KELMORA_EXPECTED_ACP");
    if (acp != nullptr && GetACP() != static_cast<UINT>(std::atoi(acp))) {
        std::fprintf(stderr, "ANSI code page %u, not %s\n", GetACP(), acp);
        return 1;
    }
#endif
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    testing::UnitTest::GetInstance()->listeners().Append(new Utf8Failures);
#endif
    return RUN_ALL_TESTS();
}
