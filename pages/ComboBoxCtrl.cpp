#include "pages/ComboBoxCtrl.h"

#include <cstring>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

void ComboBoxCtrl::Attach(HWND window) {
    if (window != nullptr) combo = window;
}

int ComboBoxCtrl::GetCount() const { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

int ComboBoxCtrl::GetCurSel() const { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

bool ComboBoxCtrl::ReadItem(int index, std::string& text) const {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return false;
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    if (got < 0 || got > length) return false;
    wide.resize(static_cast<std::size_t>(got));
    return ToNarrow(wide, text);
}

int ComboBoxCtrl::GetItemText(int index, char* buffer, int size) const {
    if (buffer == nullptr || size <= 0) return CB_ERR;
    std::string text;
    if (!ReadItem(index, text)) {
        buffer[0] = 0;
        return CB_ERR;
    }
    const std::size_t kept = CharacterPrefix(text.c_str(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), kept);
    buffer[kept] = 0;
    return static_cast<int>(kept);
}

std::string ComboBoxCtrl::GetItemText(int index) const {
    std::string text;
    return ReadItem(index, text) ? text : std::string();
}

bool ComboBoxCtrl::GetSelectedText(char* buffer, int size) const {
    const int selected = GetCurSel();
    if (selected < 0) {
        if (buffer != nullptr && size > 0) buffer[0] = 0;
        return false;
    }
    GetItemText(selected, buffer, size);
    return true;
}

int ComboBoxCtrl::AddString(const char* text, int index) const {
    std::wstring wide;
    if (!ToWide(text, wide)) return CB_ERR;
    const LPARAM item = reinterpret_cast<LPARAM>(wide.c_str());
    if (index < 0) return static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, item));
    return static_cast<int>(SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index), item));
}

bool ComboBoxCtrl::SelectByText(const char* text, bool fallbackToFirst) const {
    // Each item is read whole, so a long item never matches a prefix of itself.
    std::string item;
    for (int i = 0; i < GetCount(); ++i) {
        if (ReadItem(i, item) && item == text) {
            SetCurSel(i, false);
            return true;
        }
    }
    if (fallbackToFirst) SetCurSel(0, false);
    return false;
}

int ComboBoxCtrl::SetCurSel(int index, bool fallbackToFirst) const {
    const int result = static_cast<int>(SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    if (result != CB_ERR || !fallbackToFirst) return result;
    const int count = GetCount();
    if (count <= 0) return count;
    return static_cast<int>(SendMessageW(combo, CB_SETCURSEL, 0, 0));
}
