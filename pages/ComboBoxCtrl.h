#pragma once
// One drop-down list combo box of a dialog. The wrapper does not own the
// window. Item texts are code page 932; a text that code page 932 cannot hold
// is neither added nor read (CB_ERR). With no window attached every message
// goes to a null window and does nothing.
#include <windows.h>

#include <string>

class ComboBoxCtrl {
public:
    explicit ComboBoxCtrl(HWND window = nullptr) { Attach(window); }

    // A null window keeps the one attached before.
    void Attach(HWND window);
    HWND GetWindow() const { return combo; }

    // Attributes
    int GetCount() const;
    int GetCurSel() const;  // negative when nothing is selected
    // The item's text into buffer (size bytes, cut at a character boundary);
    // its length in bytes, or CB_ERR with an empty buffer.
    int GetItemText(int index, char* buffer, int size) const;
    std::string GetItemText(int index) const;  // empty for CB_ERR
    // False, with an empty buffer, when nothing is selected.
    bool GetSelectedText(char* buffer, int size) const;

    // Operations
    // A negative index appends (the list is not sorted); the new item's index or CB_ERR.
    int AddString(const char* text, int index) const;
    // Selects the first item whose text equals text exactly (case-sensitive).
    // Without one, the first item is selected when fallbackToFirst is set,
    // and the result stays false.
    bool SelectByText(const char* text, bool fallbackToFirst) const;
    // The selected index, or CB_ERR; past the end with fallbackToFirst the
    // first item is selected instead (0, also for an empty list).
    int SetCurSel(int index, bool fallbackToFirst) const;

private:
    bool ReadItem(int index, std::string& text) const;

    HWND combo = nullptr;
};
