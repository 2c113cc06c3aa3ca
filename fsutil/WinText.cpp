#include "fsutil/WinText.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

constexpr UINT kCodePage932 = 932;

// Both convert in one call where the result fits the most the input can
// give: no code page makes more UTF-16 units than bytes, and a buffer of two
// bytes a unit (three for UTF-8) is measured again only when it is short.
bool MultiByteToWide(UINT codePage, std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty()) return true;
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return false;
    const int length = static_cast<int>(text.size());
    out.resize(text.size());
    const int converted = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), length);
    if (converted <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(converted));
    return true;
}

bool WideToMultiByte(UINT codePage, std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    if (text.size() > static_cast<std::size_t>(INT_MAX / 3)) return false;
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int room = length * (codePage == CP_UTF8 ? 3 : 2);
    out.resize(static_cast<std::size_t>(room));
    int converted = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), room, nullptr,
                                        &usedDefault);
    if (converted == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<std::size_t>(room > 0 ? room : 0));
        converted = room > 0 ? WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(),
                                                   room, nullptr, &usedDefault)
                             : 0;
    }
    if (converted <= 0 || usedDefault) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(converted));
    return true;
}

// Code page 932 holds the ASCII characters as they are, one byte each: most
// names and paths need no conversion at all.
template <typename From>
bool IsAscii(From text) {
    for (const auto c : text)
        if (static_cast<unsigned>(c) >= 0x80) return false;
    return true;
}

}  // namespace

bool ToWide(std::string_view text, std::wstring& out) {
    if (IsAscii(text)) {
        out.assign(text.begin(), text.end());
        return true;
    }
    // Code page 932 has no way to write a NUL inside a text, but a caller may
    // hand one over: keep it as U+0000 rather than fail.
    if (!MultiByteToWide(kCodePage932, text, out)) return false;
    // A round trip proves the bytes were code page 932 exactly; some platforms
    // map unassigned double-byte codes to private-use characters silently.
    std::string back;
    if (!WideToMultiByte(kCodePage932, out, back) || back != text) {
        out.clear();
        return false;
    }
    return true;
}

bool ToNarrow(std::wstring_view text, std::string& out) {
    if (IsAscii(text)) {
        out.assign(text.begin(), text.end());
        return true;
    }
    // Without best fit, a character that would not come back as itself is
    // written as the default one, which fails the conversion.
    return WideToMultiByte(kCodePage932, text, out);
}

bool NarrowLength(std::wstring_view text, std::size_t& length) {
    length = text.size();
    if (IsAscii(text)) return true;
    if (text.size() > static_cast<std::size_t>(INT_MAX / 2)) return false;
    // Without best fit, a character that does not come back as itself counts
    // as the default one.
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, &usedDefault);
    length = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
    return bytes > 0 && !usedDefault;
}

std::wstring WideOrEmpty(std::string_view text) {
    std::wstring out;
    ToWide(text, out);
    return out;
}

std::string ShownNarrow(std::wstring_view text) {
    std::string out;
    if (!ToNarrow(text, out)) {
        const int size = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
        const int length =
            WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, "?", nullptr);
        out.assign(static_cast<std::size_t>(std::max(length, 0)), '\0');
        if (length > 0)
            WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), length, "?", nullptr);
    }
    // A control character would break the line it is shown on; no second
    // byte of code page 932 is one.
    std::replace_if(out.begin(), out.end(), [](char c) { return c > 0 && c < 0x20; }, '?');
    return out;
}

std::string NarrowOrEmpty(std::wstring_view text) {
    std::string out;
    ToNarrow(text, out);
    return out;
}

bool ToProfileText(std::string_view bytes, std::wstring& out) {
    std::string back;
    if (!MultiByteToWide(CP_ACP, bytes, out) || !WideToMultiByte(CP_ACP, out, back) || back != bytes) {
        out.clear();
        return false;
    }
    return true;
}

bool FromProfileText(std::wstring_view text, std::string& out) {
    std::wstring back;
    if (!WideToMultiByte(CP_ACP, text, out) || !MultiByteToWide(CP_ACP, out, back) || back != text) {
        out.clear();
        return false;
    }
    return true;
}

bool FromUtf8(std::string_view bytes, std::wstring& out) { return MultiByteToWide(CP_UTF8, bytes, out); }

std::wstring DisplayText(std::string_view text) {
    std::wstring out;
    if (IsAscii(text)) return std::wstring(text.begin(), text.end());
    // Where the strict conversion succeeds, the lenient one gives the same
    // text: one call, no round trip.
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return out;
    const int length = static_cast<int>(text.size());
    out.resize(text.size());  // never more units than bytes
    const int converted = MultiByteToWideChar(kCodePage932, 0, text.data(), length, out.data(), length);
    out.resize(static_cast<std::size_t>(converted > 0 ? converted : 0));
    return out;
}
