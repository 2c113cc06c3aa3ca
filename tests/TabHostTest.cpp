// TabHost against a real tab control in a hidden window, and the end-to-end
// driver's tab functions against the same control.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/TabHost.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

int InitCount = 0;

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) ++InitCount;
    return message == WM_INITDIALOG;
}

const TabPageSpec ThreePages[] = {
    {"インストーラ用iniファイル作成", 201, PageProc},
    {"RTP一覧(RPGXP)", 202, PageProc},
    {"RTP一覧(RPGVX)", 202, PageProc},
    {"", 0, nullptr},
};
const TabPageSpec NoRows[] = {{"", 0, nullptr}};
const TabPageSpec MissingTemplate[] = {
    {"first", 201, PageProc},
    {"missing", 299, PageProc},
    {"third", 202, PageProc},
    {"", 0, nullptr},
};

class TabHostTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 500, 400,
                                 nullptr, nullptr, nullptr, nullptr);
        tab = CreateWindowExW(0, WC_TABCONTROLW, L"Tab1", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 400, 300,
                              parent, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
        ASSERT_NE(tab, nullptr);
        InitCount = 0;
    }
    void TearDown() override { DestroyWindow(parent); }

    std::string Text(int index) const { return TabText(GetCurrentProcess(), tab, index); }
    bool Visible(HWND page) const { return (GetWindowLongW(page, GWL_STYLE) & WS_VISIBLE) != 0; }

    HWND parent = nullptr;
    HWND tab = nullptr;
    TabHost host;
};

TEST_F(TabHostTest, CreateMakesOneTabAndOnePagePerRowInTableOrder) {
    host.Create(tab, GetModuleHandleW(nullptr), ThreePages, 0);
    ASSERT_EQ(host.GetItemCount(), 3);
    EXPECT_EQ(Text(0), "インストーラ用iniファイル作成");
    EXPECT_EQ(Text(1), "RTP一覧(RPGXP)");
    EXPECT_EQ(Text(2), "RTP一覧(RPGVX)");
    EXPECT_EQ(InitCount, 3) << "each page initialises while it is created";
    EXPECT_EQ(host.GetCurSel(), 0);
    for (int i = 0; i < 3; ++i) {
        HWND page = host.GetPage(i);
        ASSERT_NE(page, nullptr) << i;
        EXPECT_EQ(GetParent(page), parent) << i;
        EXPECT_EQ(Visible(page), i == 0) << i;
        EXPECT_TRUE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << "Tab must reach the page's controls";
        // Laid exactly over the display area, below the headers.
        RECT rect{}, area{};
        GetWindowRect(page, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        GetClientRect(tab, &area);
        SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(tab, parent, reinterpret_cast<POINT*>(&area), 2);
        EXPECT_TRUE(EqualRect(&rect, &area)) << i << ": (" << rect.left << "," << rect.top << ")-(" << rect.right
                                             << "," << rect.bottom << ") against (" << area.left << "," << area.top
                                             << ")-(" << area.right << "," << area.bottom << ")";
    }
    EXPECT_TRUE(GetWindowLongW(tab, GWL_STYLE) & WS_TABSTOP) << "Tab must reach the strip";
    EXPECT_EQ(host.GetPage(3), nullptr);
    EXPECT_EQ(host.GetPage(-1), nullptr);
}

TEST_F(TabHostTest, AnInitialIndexOutsideTheTabsSelectsTheFirst) {
    for (int initial : {3, -5, 100}) {
        host.Create(tab, GetModuleHandleW(nullptr), ThreePages, initial);
        EXPECT_EQ(host.GetCurSel(), 0) << initial;
        EXPECT_TRUE(Visible(host.GetPage(0))) << initial;
        EXPECT_EQ(host.GetItemCount(), 3) << "a second Create replaces the tabs";
    }
    host.Create(tab, GetModuleHandleW(nullptr), ThreePages, 2);
    EXPECT_EQ(host.GetCurSel(), 2);
    EXPECT_TRUE(Visible(host.GetPage(2)));
    EXPECT_FALSE(Visible(host.GetPage(0)));
}

TEST_F(TabHostTest, ShowPageSwapsPagesWithoutRecreatingThem) {
    host.Create(tab, GetModuleHandleW(nullptr), ThreePages, 0);
    HWND first = host.GetPage(0);
    SetWindowTextW(GetDlgItem(first, 300), L"edited");
    host.ShowPage(2);
    EXPECT_EQ(host.GetCurSel(), 2);
    EXPECT_FALSE(Visible(host.GetPage(0)));
    EXPECT_FALSE(Visible(host.GetPage(1)));
    EXPECT_TRUE(Visible(host.GetPage(2)));
    host.ShowPage(0);
    EXPECT_EQ(host.GetPage(0), first);
    EXPECT_TRUE(Visible(first));
    wchar_t text[32] = {};
    GetWindowTextW(GetDlgItem(first, 300), text, 32);
    EXPECT_STREQ(text, L"edited") << "the page keeps its state";
    EXPECT_EQ(InitCount, 3);
}

TEST_F(TabHostTest, ShowPageOutsideThePagesChangesNothing) {
    host.Create(tab, GetModuleHandleW(nullptr), ThreePages, 1);
    for (int index : {3, 4, -2}) {
        host.ShowPage(index);
        EXPECT_EQ(host.GetCurSel(), 1) << index;
        EXPECT_TRUE(Visible(host.GetPage(1))) << index;
        EXPECT_FALSE(Visible(host.GetPage(0))) << index;
    }
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
    host.ShowPage(-1);  // no tab selected
    EXPECT_TRUE(Visible(host.GetPage(1)));
    SendMessageW(tab, TCM_SETCURSEL, 2, 0);
    host.ShowPage(-1);  // the selected tab's page
    EXPECT_TRUE(Visible(host.GetPage(2)));
    EXPECT_FALSE(Visible(host.GetPage(1)));
}

TEST_F(TabHostTest, ATableWithoutRowsLeavesTheControlEmpty) {
    host.InsertItem("old", -1);  // not attached yet: nothing happens
    TCITEMW stale{};
    stale.mask = TCIF_TEXT;
    stale.pszText = const_cast<wchar_t*>(L"stale");
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&stale));
    host.Create(tab, GetModuleHandleW(nullptr), NoRows, 0);
    EXPECT_EQ(host.GetItemCount(), 0);
    EXPECT_EQ(host.GetPage(0), nullptr);
    host.ShowPage(0);
    host.ShowPage(-1);
    EXPECT_EQ(host.GetCurSel(), -1);
}

TEST_F(TabHostTest, AttachRemovesExistingTabsAndIgnoresNull) {
    for (const wchar_t* text : {L"a", L"b"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text);
        SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_EQ(TabCount(tab), 2);
    host.Attach(tab);
    EXPECT_EQ(TabCount(tab), 0);
    host.Attach(nullptr);
    EXPECT_EQ(host.GetControl(), tab);
    host.InsertItem("x", -1);
    host.InsertItem("y", -7);
    host.InsertItem("w", 0);
    EXPECT_EQ(Text(0), "w");
    EXPECT_EQ(Text(1), "x");
    EXPECT_EQ(Text(2), "y");
    host.DeleteItem(1);
    EXPECT_EQ(Text(1), "y");
    host.DeleteItem(-1);
    EXPECT_EQ(host.GetItemCount(), 0);
}

TEST_F(TabHostTest, APageThatCannotBeCreatedKeepsItsTab) {
    host.Create(tab, GetModuleHandleW(nullptr), MissingTemplate, 0);
    EXPECT_EQ(host.GetItemCount(), 3);
    EXPECT_EQ(host.GetPage(1), nullptr);
    ASSERT_NE(host.GetPage(2), nullptr);
    host.ShowPage(1);
    EXPECT_EQ(host.GetCurSel(), 1);
    EXPECT_FALSE(Visible(host.GetPage(0)));
    EXPECT_FALSE(Visible(host.GetPage(2)));
    host.ShowPage(2);
    EXPECT_TRUE(Visible(host.GetPage(2)));
}

// The driver clicks a tab with the mouse, as a user would: the control
// selects it and tells its parent.
TEST_F(TabHostTest, TheDriverClicksATab) {
    host.Create(tab, GetModuleHandleW(nullptr), ThreePages, 0);
    ShowWindow(parent, SW_SHOW);
    ASSERT_TRUE(ClickTab(GetCurrentProcess(), tab, 2));
    const ULONGLONG deadline = GetTickCount64() + 5000;
    MSG message;
    while (TabSelection(tab) != 2 && GetTickCount64() < deadline) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    EXPECT_EQ(TabSelection(tab), 2);
    EXPECT_EQ(TabText(GetCurrentProcess(), tab, 7), "<no such tab>");
}

}  // namespace
