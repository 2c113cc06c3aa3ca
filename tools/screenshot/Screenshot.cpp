// kelmora_screenshot FOLDER IMAGE.bmp [TAB [DPI]]: starts Kelmora.exe
// (KELMORA_EXE) from FOLDER, optionally at the scaling of DPI (144 is 150%)
// and showing tab TAB, saves what the screen shows of the main dialog as a
// 24-bit BMP file and closes the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

bool SaveWindowImage(HWND window, const char* bmpPath) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up, as BMP files are
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD imageSize = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4 * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    bool saved = false;
    HANDLE out = CreateFileW(DisplayText(bmpPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
                WriteFile(out, bits, imageSize, &written, nullptr);
        CloseHandle(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelmora_screenshot FOLDER IMAGE.bmp [TAB [DPI]]\n");
        return 2;
    }
    // The scaling a program gets is the one set when it starts; it is set
    // back to the default at once, so nothing started later meets it.
    HKEY desktop = nullptr;
    const DWORD dpi = argc > 4 ? static_cast<DWORD>(std::atoi(argv[4])) : 0;
    if (dpi > 0 && RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                   &desktop, nullptr) == ERROR_SUCCESS)
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    AppDriver app;
    const bool started = app.Start(argv[1]);
    if (desktop != nullptr) {
        RegDeleteValueW(desktop, L"LogPixels");
        RegCloseKey(desktop);
    }
    if (!started) {
        std::fprintf(stderr, "cannot start %s in %s\n", BuiltExePath().c_str(), argv[1]);
        return 1;
    }
    if (argc > 3) app.ShowTab(std::atoi(argv[3]));
    // Without a window manager no window is told it is active: the caption
    // is drawn as it looks in front.
    SendMessageW(app.dialog, WM_NCACTIVATE, TRUE, 0);
    Sleep(800);  // let it paint
    const bool saved = SaveWindowImage(app.dialog, argv[2]);
    app.Close();
    if (!saved) std::fprintf(stderr, "cannot save %s\n", argv[2]);
    return saved ? 0 : 1;
}
