// kelmora_screenshot FOLDER IMAGE.bmp [TAB]: starts Kelmora.exe (KELMORA_EXE)
// from FOLDER, optionally clicks tab TAB, saves the main dialog as a BMP
// file and closes the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "e2e/Driver.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelmora_screenshot FOLDER IMAGE.bmp [TAB]\n");
        return 2;
    }
    AppDriver app;
    if (!app.Start(argv[1])) {
        std::fprintf(stderr, "cannot start %s in %s\n", BuiltExePath().c_str(), argv[1]);
        return 1;
    }
    HWND dialog = app.WaitMainDialog();
    if (dialog == nullptr) {
        std::fprintf(stderr, "no main dialog; windows:\n%s", AppDriver::DescribeWindows().c_str());
        return 1;
    }
    if (argc > 3) ClickTab(app.Process(), GetDlgItem(dialog, 1000), std::atoi(argv[3]));
    Sleep(800);  // let it paint
    const bool saved = SaveWindowImage(dialog, argv[2]);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    app.WaitExit();
    if (!saved) std::fprintf(stderr, "cannot save %s\n", argv[2]);
    return saved ? 0 : 1;
}
