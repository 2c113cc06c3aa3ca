#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <cstdlib>
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
    return RUN_ALL_TESTS();
}
