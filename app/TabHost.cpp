#include "app/TabHost.h"

#include <commctrl.h>

#include <string>

#include "fsutil/WinText.h"

int TabHost::GetItemCount() const { return static_cast<int>(SendMessageW(control, TCM_GETITEMCOUNT, 0, 0)); }

int TabHost::GetCurSel() const { return static_cast<int>(SendMessageW(control, TCM_GETCURSEL, 0, 0)); }

HWND TabHost::GetPage(int index) const {
    return (index >= 0 && static_cast<std::size_t>(index) < pages.size()) ? pages[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

void TabHost::SetCurSel(int index) const { SendMessageW(control, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }

void TabHost::InsertItem(const char* text, int index) const {
    if (index < 0) {
        index = GetItemCount();
        if (index < 0) index = 0;
    }
    std::wstring wide = DisplayText(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    SendMessageW(control, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TabHost::DeleteItem(int index) const {
    if (index < 0)
        SendMessageW(control, TCM_DELETEALLITEMS, 0, 0);
    else
        SendMessageW(control, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void TabHost::Attach(HWND tabControl) {
    if (tabControl == nullptr) return;
    control = tabControl;
    DeleteItem(-1);
}

void TabHost::Create(HWND tabControl, HINSTANCE instance, const TabPageSpec* table, int initialIndex) {
    Attach(tabControl);
    pages.clear();
    for (const TabPageSpec* row = table; row->title[0] != 0; ++row) {
        InsertItem(row->title, -1);
        HWND page = CreateDialogParamW(instance, MAKEINTRESOURCEW(row->templateId), control, row->dialogProc, 0);
        SetWindowPos(page, nullptr, 5, 25, 0, 0, SWP_NOSIZE);
        pages.push_back(page);
    }
    if (initialIndex < 0 || initialIndex >= GetItemCount()) initialIndex = 0;
    SetCurSel(initialIndex);
    ShowPage(initialIndex);
}

void TabHost::ShowPage(int index) {
    if (index == -1) index = GetCurSel();
    if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) return;
    const int count = GetItemCount();
    for (int k = 0; k < count && static_cast<std::size_t>(k) < pages.size(); ++k)
        ShowWindow(pages[static_cast<std::size_t>(k)], k == index ? SW_SHOW : SW_HIDE);
    SetWindowPos(pages[static_cast<std::size_t>(index)], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetCurSel(index);
}
