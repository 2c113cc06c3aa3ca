#pragma once
// The tree of tests/make-link-fixture.sh, made on the Linux side by a CTest
// fixture (Wine can make neither links nor names Windows forbids) on drive L:
// and named by the environment variable KELMORA_LINK_FIXTURE.
#include <windows.h>

#include <algorithm>
#include <string>

#include "fsutil/WinText.h"

inline std::string LinkFixtureFolder() {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(L"KELMORA_LINK_FIXTURE", value, 1024);
    std::wstring path(value, length < 1024 ? length : 0);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return NarrowOrEmpty(path);
}

// Gives the fixture's folder; fails the test under Wine without one, and skips
// it on Windows itself, where nothing makes the fixture.
#define REQUIRE_LINK_FIXTURE(folder)                                                             \
    const std::string folder = LinkFixtureFolder();                                              \
    if (folder.empty() && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))    \
        FAIL() << "run through ctest: KELMORA_LINK_FIXTURE is not set";                          \
    if (folder.empty()) GTEST_SKIP() << "the link fixture is made under Wine only"
