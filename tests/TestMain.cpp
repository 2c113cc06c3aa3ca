#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program's texts are code page 932 bytes, which GoogleTest prints
// escaped ("\x82\xCC"): each failure holding any is printed again in UTF-8,
// its escapes undone, so that the Japanese can be read.
struct Utf8Failures : testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        const std::string escaped = result.message();
        std::string bytes;
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            if (escaped.compare(i, 3, "\" \"") == 0)  // a literal split after an escape
                i += 2;
            else if (escaped.compare(i, 2, "\\\\") == 0)
                bytes += escaped[++i];
            else if (escaped.compare(i, 2, "\\x") == 0 && i + 3 < escaped.size() && std::isxdigit(escaped[i + 2]) &&
                     std::isxdigit(escaped[i + 3]))
                bytes += static_cast<char>(std::stoi(escaped.substr(i + 2, 2), nullptr, 16)), i += 3;
            else
                bytes += escaped[i];
        }
        int units = MultiByteToWideChar(932, 0, bytes.data(), int(bytes.size()), nullptr, 0);
        std::wstring text(std::size_t(units), L'\0');
        MultiByteToWideChar(932, 0, bytes.data(), int(bytes.size()), text.data(), units);
        std::string utf8(std::size_t(units) * 3, '\0');
        utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), units, utf8.data(), units * 3, nullptr, nullptr)));
        if (result.failed() && utf8 != bytes)
            std::printf("%s:%d: the failure above, in UTF-8:\n%s\n", result.file_name(), result.line_number(), utf8.c_str());
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
