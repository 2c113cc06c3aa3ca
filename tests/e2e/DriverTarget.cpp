// driver_target MODE [FILE]: a small program for the driver's own tests to
// drive from outside, with the boxes Kelmora.exe shows.
//   warning        a warning box; exits 0 once it is closed
//   question       a Yes/No box; exits with the button pressed (IDYES, IDNO)
//   open FILE      the open-file dialog; writes the chosen path to FILE and
//                  exits 0, or exits 1 when cancelled
#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/ChooseOpenFile.h"
#include "app/Warning.h"
#include "fsutil/WinText.h"

int main() {
    // The arguments as the platform has them, not in the ANSI code page.
    int argc = 0;
    LPWSTR* wideArguments = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i) argv.push_back(NarrowOrEmpty(wideArguments[i]));
    LocalFree(wideArguments);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "warning") {
        ShowWarningF(nullptr, "公式RTP[%s] を削除することはできません", "Standard");
        return 0;
    }
    if (mode == "question") {
        return MessageBoxW(nullptr, DisplayText("本当に削除してもよろしいですか？").c_str(), DisplayText("確認").c_str(),
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    }
    if (mode == "open" && argc > 2) {
        char file[512] = "";
        if (!ChooseOpenFile(nullptr, file, sizeof file, "ini\0*.ini\0", nullptr, nullptr, 1)) return 1;
        HANDLE out = CreateFileW(DisplayText(argv[2]).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(out, file, static_cast<DWORD>(std::strlen(file)), &written, nullptr);
        CloseHandle(out);
        return 0;
    }
    return 2;
}
