#pragma once
// Functions of system DLLs that the start does not need (the shell's folder
// window, the open-file dialog): their DLLs are loaded from the system folder
// on first use, so the first window shows without loading them.
#include <windows.h>

// The function name of the system DLL dll ("shell32.dll"), or null when
// either cannot be had. The DLL stays loaded.
FARPROC SystemProcedure(const wchar_t* dll, const char* name);

// The same, as the function's own type (decltype(&ShellExecuteW)).
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    // Through the one function type that matches every other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProcedure(dll, name)));
}
