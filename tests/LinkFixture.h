#pragma once
// The tree of tests/make-link-fixture.sh, made on the Linux side by a CTest
// fixture (Wine can make neither links nor names Windows forbids) on a drive
// of its own, and named by the environment variable KELMORA_LINK_FIXTURE.
#include <string>

// The fixture's folder as a Windows path, or "" when the variable is not set.
std::string LinkFixtureFolder();

// Whether this process runs under Wine, where the fixture must be present.
bool RunningUnderWine();

// Gives the fixture's folder, fails the test under Wine without one, and
// skips it elsewhere (on Windows itself nothing makes the fixture).
#define REQUIRE_LINK_FIXTURE(folder)                                                         \
    const std::string folder = LinkFixtureFolder();                                          \
    if (folder.empty()) {                                                                    \
        if (RunningUnderWine()) FAIL() << "run through ctest: KELMORA_LINK_FIXTURE is not set"; \
        GTEST_SKIP() << "the link fixture is made under Wine only";                          \
    }
