#include "app/Warning.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/OwnMessageBox.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

int ShowMessage(HWND owner, const char* text, const char* caption, UINT style) {
    const std::wstring wideText = DisplayText(text), wideCaption = DisplayText(caption);
    if (OwnBoxDrawsBetter(wideText)) return ShowOwnMessageBox(owner, wideText, wideCaption, style);
    return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), style);
}

bool ShowWarning(HWND owner, const char* text) {
    ShowMessage(owner, text, "エラー", MB_OK | MB_ICONWARNING);
    return false;
}

bool ShowWarningF(HWND owner, const char* format, ...) {
    if (format == nullptr) format = "Program aborted.";
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int needed = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(needed > 0 ? static_cast<std::size_t>(needed) : 0, '\0');
    if (needed > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    // Cut to the buffer size at a character boundary, never half a character.
    text.resize(CharacterPrefix(text.c_str(), WarningTextSize - 1));
    return ShowWarning(owner, text.c_str());
}
