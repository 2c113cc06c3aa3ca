#include "app/TabHost.h"

#include <commctrl.h>

#include <string>

#include "app/DialogFont.h"
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

void TabHost::AddTabs(HWND tabControl, const TabPageSpec* table) {
    Attach(tabControl);
    pages.clear();
    if (control == nullptr) return;
    for (const TabPageSpec* row = table; row->title[0] != 0; ++row) InsertItem(row->title, -1);
}

void TabHost::CreatePages(HINSTANCE instance, const TabPageSpec* table, int initialIndex) {
    if (control == nullptr) return;
    // The pages are the strip's siblings, not its children: the dialog manager
    // never stops on a window that holds controls, so pages inside the strip
    // would keep Tab from ever reaching the strip itself. The strip does not
    // paint over the page that lies on it.
    HWND dialog = GetParent(control);
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP | WS_CLIPSIBLINGS);
    for (const TabPageSpec* row = table; row->title[0] != 0; ++row) {
        HWND page = CreateDialogIndirectParamW(instance, DialogTemplate(instance, row->templateId), dialog, row->dialogProc, 0);
        // Tab and Shift+Tab walk into the page's controls and out again.
        if (page != nullptr)
            SetWindowLongPtrW(page, GWL_EXSTYLE, GetWindowLongPtrW(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        pages.push_back(page);
    }
    PlacePages();
    if (initialIndex < 0 || initialIndex >= GetItemCount()) initialIndex = 0;
    SetCurSel(initialIndex);
    ShowPage(initialIndex);
}

RECT TabHost::GetDisplayRect() const {
    RECT area{};
    GetClientRect(control, &area);
    SendMessageW(control, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(control, GetParent(control), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void TabHost::PlacePages() const {
    // The headers grow with the system's scaling: each page takes the strip's
    // display area, whatever the DPI, so it never covers the headers or the
    // strip's border.
    const RECT area = GetDisplayRect();
    for (HWND page : pages) {
        RECT before{};
        GetClientRect(page, &before);
        SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // The page's controls keep their layout, centred in the width it gained.
        const int shift = (area.right - area.left - before.right) / 2;
        if (shift <= 0) continue;
        for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
            SetWindowPos(child, nullptr, rect.left + shift, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

int TabHost::MissingWidth() const {
    const int count = GetItemCount();
    RECT last{}, client{};
    if (count <= 0 || !SendMessageW(control, TCM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last)))
        return 0;
    GetClientRect(control, &client);
    // The strip scrolls as soon as its tabs, and the overhang of a selected tab
    // on either side, pass its width.
    constexpr int SelectedTabOverhang = 2;
    const int missing = last.right + 2 * SelectedTabOverhang - client.right;
    return missing > 0 ? missing : 0;
}

void TabHost::Widen(int pixels) const {
    if (control == nullptr || pixels <= 0) return;
    RECT rect{};
    GetWindowRect(control, &rect);
    SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left + pixels, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlacePages();
}

bool TabHost::SwitchByKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
    if (control == nullptr || (message.hwnd != control && !IsChild(GetParent(control), message.hwnd))) return false;
    const int count = GetItemCount();
    if (count <= 0) return true;
    const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
    const int current = GetCurSel();
    const int next = ((current < 0 ? 0 : current) + step) % count;
    // Focus left on the page that is hidden now would leave the keyboard
    // nowhere: it goes to the strip, as a click on a tab puts it.
    HWND focus = GetFocus();
    HWND hidden = GetPage(current);
    if (hidden != nullptr && (focus == hidden || IsChild(hidden, focus))) SetFocus(control);
    ShowPage(next);
    return true;
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
