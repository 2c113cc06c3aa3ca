#pragma once
// Turns a tab control into a page switcher: one tab and one modeless child
// dialog per row of a page table, exactly one page shown at a time.
#include <windows.h>

#include <vector>

// One row of a page table. A row whose title is the empty text ends the table.
struct TabPageSpec {
    const char* title;
    int templateId;
    DLGPROC dialogProc;
};

class TabHost {
public:
    TabHost() = default;
    TabHost(const TabHost&) = delete;
    TabHost& operator=(const TabHost&) = delete;

    // Attributes
    int GetItemCount() const;
    int GetCurSel() const;  // -1 for none
    HWND GetPage(int index) const;  // null outside the pages

    // Operations on the tab control, one message each; results not used.
    void SetCurSel(int index) const;  // no TCN_SELCHANGE is sent
    void InsertItem(const char* text, int index) const;  // a negative index appends
    void DeleteItem(int index) const;  // a negative index deletes every tab

    // Takes the control and removes every tab it had; a null handle changes nothing.
    void Attach(HWND tabControl);

    // Two steps, so that a caller can size the control to its tabs before
    // any page is laid over it. AddTabs takes the control and adds a tab for
    // each row; CreatePages then creates a page for each row, and selects
    // and shows the initial page (row 0 when the index is outside the tabs).
    // A page is a sibling of the tab control in its dialog, laid over the
    // control's display area, and reached by Tab like the strip itself. Pages
    // made before are not destroyed. A page that cannot be created leaves its
    // tab showing nothing.
    void AddTabs(HWND tabControl, const TabPageSpec* table);
    void CreatePages(HINSTANCE instance, const TabPageSpec* table, int initialIndex);

    // The control's display area, below its headers, in its parent's client
    // coordinates.
    RECT GetDisplayRect() const;
    // How many pixels the control lacks to show every tab on its one row
    // without scroll arrows; 0 when they all fit.
    int MissingWidth() const;
    // Makes the control pixels wider and lays the pages over its display
    // area again, their controls centred in the width they gain.
    void Widen(int pixels) const;

    // Shows page index (-1: the selected tab's), hides the others, and
    // selects its tab. An index outside the pages changes nothing.
    void ShowPage(int index);

    // Ctrl+Tab and Ctrl+Shift+Tab pressed in the control's dialog show the
    // next and the previous page. True when the key was one of them.
    bool SwitchByKey(const MSG& message);

private:
    void PlacePages() const;

    HWND control = nullptr;
    std::vector<HWND> pages;  // the windows belong to the tab control
};
