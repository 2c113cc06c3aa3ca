#include "app/Warning.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

bool ShowWarning(HWND owner, const char* text) {
    MessageBoxW(owner, DisplayText(text).c_str(), DisplayText("エラー").c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

bool ShowWarningF(HWND owner, const char* format, ...) {
    if (format == nullptr) format = "Program aborted.";
    char text[WarningTextSize] = {};
    va_list arguments;
    va_start(arguments, format);
    const int needed = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (needed < 0) text[0] = 0;
    // A text cut to the buffer may end in the first half of a double-byte
    // character: drop that half rather than show a broken character.
    if (needed >= static_cast<int>(sizeof text)) {
        const char* last = text;
        for (const char* p = text; *p != 0; p = NextChar(p)) last = p;
        if (IsLeadByte(static_cast<unsigned char>(*last)) && last[1] == 0) text[last - text] = 0;
    }
    return ShowWarning(owner, text);
}
