#include "app/SystemFunction.h"

#include <string>

FARPROC SystemProcedure(const wchar_t* dll, const char* name) {
    // By its full path: a DLL of that name in the program's folder is never taken.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
    HMODULE module = LoadLibraryW(path.c_str());
    return module == nullptr ? nullptr : GetProcAddress(module, name);
}
