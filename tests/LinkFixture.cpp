#include "LinkFixture.h"

#include <windows.h>

#include "fsutil/WinText.h"

std::string LinkFixtureFolder() {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(L"KELMORA_LINK_FIXTURE", value, 1024);
    if (length == 0 || length >= 1024) return "";
    std::wstring path(value, length);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return NarrowOrEmpty(path);
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
