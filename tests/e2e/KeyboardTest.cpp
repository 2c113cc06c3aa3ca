// The window as a keyboard user and a user with a scaled display meet it:
// real key presses into the shipped Kelmora.exe, and its pages at every DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

// At 100%, 125%, 150% and 200%, set where Windows' scaling setting keeps it,
// every page and every control of it lies in the tab strip's display area,
// the last tab shows without scrolling, and no label, button or list header
// (the RPGXP list empty, the RPGVX one with a short name) is cut. Rows keep
// 2 dialog units clear of the tab's frame, of their neighbours and of the
// group box's lines; the path box shows the file's name; a very long RTP
// name leaves the Path column in view.
TEST(WindowScaling, EveryPageFitsTheTabControlAtEveryDpi) {
    ScratchKey key("Enterbrain\\RGSS2\\RTP");
    ASSERT_TRUE(key.SetString("A", "C:\\A") && key.SetString(std::string(220, 'N'), "C:\\N"));
    HKEY desktop = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop, nullptr);
    LONG width = 0;
    for (DWORD dpi : {96u, 120u, 144u, 192u}) {
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        ScratchDir dir;
        AppDriver app;
        ASSERT_TRUE(MakeDirectory(dir / "テスト 用") && app.Start(dir / "テスト 用"));
        const HWND vxList = GetDlgItem(app.Pages()[2], 1001), path = GetDlgItem(app.PageWith(1010), 1003);
        EXPECT_TRUE(Eventually([&] { return SendMessageW(vxList, LVM_GETITEMCOUNT, 0, 0) == 2; }));
        RECT client{}, area = app.DisplayArea();
        GetClientRect(app.dialog, &client);
        EXPECT_GT(client.right, width) << dpi << " DPI: the scaling did not reach the program";
        width = client.right;
        std::vector<HWND> parts = app.Pages();
        EXPECT_EQ(parts.size(), 3u);
        for (HWND page : app.Pages())
            for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) parts.push_back(child);
        RECT strip{}, last{};
        GetClientRect(app.Tab(), &strip);
        app.SendRemote(app.Tab(), TCM_GETITEMRECT, 2, &last, sizeof last);
        const HWND arrows = FindWindowExW(app.Tab(), nullptr, UPDOWN_CLASSW, nullptr);
        EXPECT_TRUE(last.right > 0 && last.right <= strip.right && !(arrows && IsWindowVisible(arrows)))
            << dpi << " DPI: the last tab ends at " << last.right << " in a strip of " << strip.right << ", arrows " << arrows;
        // Texts measured in the dialog's font, made as the dialog manager makes it.
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, CreateFontW(-MulDiv(9, int(dpi), 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, L"ＭＳ Ｐゴシック"));
        auto extent = [&](const std::string& text) { SIZE size{}; const std::wstring wide = DisplayText(text); GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size); return size.cx; };
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);  // 2 dialog units in pixels, as the dialog manager maps them
        const LONG unitsX = MulDiv(2, (extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2, 4);
        const LONG unitsY = MulDiv(2, metrics.tmHeight, 8);
        RECT group{}, framed{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN}, box{}, browse{}, list{};
        GetWindowRect(path, &box), GetWindowRect(GetDlgItem(GetParent(path), 1002), &browse);
        for (HWND part : parts) {
            RECT rect{}, inside{};
            GetWindowRect(part, &rect);
            if ((GetWindowLongW(part, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) GetWindowRect(part, &group);
            else if (GetParent(part) == GetParent(path) && PtInRect(&group, {rect.left, rect.top})) UnionRect(&framed, &framed, &rect);
            EXPECT_GE(rect.top - area.top, GetParent(part) == app.dialog ? 0 : unitsY) << dpi << " DPI: control " << GetDlgCtrlID(part) << " on the tab's frame";
            EXPECT_TRUE(rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom)
                << dpi << " DPI, control " << GetDlgCtrlID(part) << ": " << rect.left << "," << rect.top << "-" << rect.right
                << "," << rect.bottom << " against " << area.left << "," << area.top << "-" << area.right << "," << area.bottom;
            wchar_t name[32] = {};
            GetClassNameW(part, name, 32);
            GetClientRect(part, &inside);
            const bool button = lstrcmpiW(name, L"Button") == 0;  // push buttons and group boxes keep a margin
            if (button || lstrcmpiW(name, L"Static") == 0) {
                EXPECT_LE(extent(WindowText(part)) + (button ? 8 : 0), inside.right) << dpi << " DPI: [" << WindowText(part) << "] in " << inside.right << " px";
            }
            for (int column = 0; lstrcmpiW(name, WC_LISTVIEWW) == 0 && column < 2; ++column) {
                EXPECT_GE(SendMessageW(part, LVM_GETCOLUMNWIDTH, column, 0), extent(column == 0 ? "Name" : "Path") + 12) << dpi << " DPI: column " << column;
            }
        }
        EXPECT_TRUE(std::min(framed.left - group.left, group.right - framed.right) >= unitsX && browse.left - box.right >= unitsX &&
                    std::min(framed.top - group.top, group.bottom - framed.bottom) >= unitsY)
            << dpi << " DPI: inside the group " << framed.left - group.left << "," << framed.top - group.top << "," << group.right - framed.right << ","
            << group.bottom - framed.bottom << ", path box to 参照 " << browse.left - box.right << "; 2 units " << unitsX << "," << unitsY;
        // Scrolled to the end, so that the file's name shows whole.
        const std::wstring shown = DisplayText(WindowText(path));
        const LRESULT first = SendMessageW(path, EM_GETFIRSTVISIBLELINE, 0, 0), end = SendMessageW(path, EM_POSFROMCHAR, shown.size() - 1, 0);
        GetClientRect(path, &list);
        EXPECT_TRUE(first > 0 && first <= long(shown.rfind(L'\\')) + 1 && short(LOWORD(end)) < list.right)
            << dpi << " DPI: from character " << first << ", the last at x " << short(LOWORD(end)) << " in " << list.right << ": " << WindowText(path);
        GetClientRect(vxList, &list);
        EXPECT_LE(SendMessageW(vxList, LVM_GETCOLUMNWIDTH, 0, 0) + extent("Path") + 12, list.right) << dpi << " DPI: the long name hides Path";
        DeleteObject(SelectObject(dc, old));
        ReleaseDC(nullptr, dc);
        ASSERT_TRUE(app.Close());
    }
    RegDeleteValueW(desktop, L"LogPixels");
    RegCloseKey(desktop);
}

struct WindowKeyboard : testing::Test {
    // Types key, waits for the focus to move, and says which control of the
    // shown page (or the strip) has it.
    HWND Press(UINT key, std::initializer_list<UINT> modifiers = {}) {
        const HWND before = FocusOf(app.dialog);
        TypeKey(app.dialog, key, modifiers);
        Eventually([&] { return FocusOf(app.dialog) != before; }, 2000);
        HWND focus = FocusOf(app.dialog);
        while (focus != nullptr && focus != app.Tab() && GetParent(focus) != app.ShownPage()) focus = GetParent(focus);
        return focus;
    }
    // Shows tab index, then tabs round to the strip.
    bool ShowTab(int index) {
        if (!app.ShowTab(index)) return false;
        for (int i = 0; i < 20 && FocusOf(app.dialog) != app.Tab(); ++i) Press(VK_TAB);
        return FocusOf(app.dialog) == app.Tab();
    }
    ScratchDir dir;
    AppDriver app;
};

// Tab walks the strip and the shown page's controls, Ctrl+Tab switches pages, and Enter presses the focused button; Esc and
// Enter never close the window.
TEST_F(WindowKeyboard, EverythingCanBeReachedAndPressedFromTheKeyboard) {
    ScratchKey key("Enterbrain\\RGSS\\RTP");
    ASSERT_TRUE(MakeDirectory(dir / "rtp") && key.SetString("KeyboardRtp", dir / "rtp") && key.SetString("Gone", dir / "gone") && key.SetString("Standard", dir / "rtp"));
    ASSERT_TRUE(app.Start(dir.Path()));
    EXPECT_TRUE(Eventually([&] { return FocusOf(app.dialog) == app.Tab(); }, 3000))
        << "the keyboard starts on the strip, not on a button Enter would press";
    // From the strip, one round of Tab passes every enabled control of the
    // shown page once and comes back.
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(ShowTab(index)) << index;
        std::vector<HWND> expected, forward;
        for (HWND control = GetWindow(app.ShownPage(), GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
            if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control)) expected.push_back(control);
        // In the order on screen: row by row, left to right.
        auto place = [](HWND control) { RECT rect{}; GetWindowRect(control, &rect); return std::pair(rect.top, rect.left); };
        std::sort(expected.begin(), expected.end(), [&](HWND a, HWND b) { return place(a) < place(b); });
        expected.push_back(app.Tab());
        for (int i = 0; i < 20 && (forward.empty() || forward.back() != app.Tab()); ++i) forward.push_back(Press(VK_TAB));
        EXPECT_EQ(forward, expected) << "tab " << index;
    }
    // Enter in an edit box of the installer page saves.
    ASSERT_TRUE(ShowTab(0));
    for (int i = 0; i < 10 && Press(VK_TAB) != GetDlgItem(app.ShownPage(), 1004); ++i) {}
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0), "お知らせ: 設定を保存しました") << "Enter in an edit box saves";
    // On the RPGXP page, F5 on the strip shows an RTP registered since the start.
    ASSERT_TRUE(ShowTab(1));
    const HWND list = GetDlgItem(app.ShownPage(), 1001), remove = GetDlgItem(app.ShownPage(), 1003);
    ASSERT_TRUE(key.SetString("Later", dir / "rtp"));
    TypeKey(app.dialog, VK_F5);
    EXPECT_TRUE(Eventually([&] { return app.Rows(list).size() == 4; })) << "F5 on the strip";
    // Tab shows where the keyboard is in the list, Space selects that row,
    // Enter opens it (the folder is missing) and Delete asks.
    EXPECT_EQ(Press(VK_TAB), list);
    TypeKey(app.dialog, VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(remove) != FALSE; })) << "no row selected from the keyboard";
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + dir / "gone" +
                                 "\n「RTPを削除する」で登録だけを削除できます")
        << "Enter on a row";
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.Answer(0).rfind("確認: 本当に RTP[Gone] ", 0), 0u) << "Delete on a row asks, and Enter answers No";
    // Enter on the focused remove button asks too.
    Press(VK_TAB);
    EXPECT_EQ(Press(VK_TAB), remove);
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0).rfind("確認: ", 0), 0u) << "Enter on the remove button asks";
    // Ctrl+Tab takes the keyboard off the page it hides: Enter then presses nothing there.
    TypeKey(app.dialog, VK_TAB, {VK_CONTROL});
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Enter on the RPGVX tab pressed the hidden page's button";
    ASSERT_TRUE(ShowTab(1));
    for (int i = 0; i < 10 && FocusOf(app.dialog) != remove; ++i) Press(VK_TAB);
    EXPECT_TRUE(key.HasValue("Gone") && key.HasValue("KeyboardRtp") && PathExists(dir / "rtp"));
    // F5 on a button reads the list again and takes the keyboard to it.
    ASSERT_TRUE(key.SetString("Later2", dir / "rtp") && TypeKey(app.dialog, VK_F5));
    EXPECT_TRUE(Eventually([&] { return app.Rows(list).size() == 5; })) << "F5 on a button";
    EXPECT_EQ(FocusOf(app.dialog), list) << "the disabled button kept the focus";
    // Delete on the official RTP, the last row, does nothing.
    TypeKey(app.dialog, VK_END);
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Delete on Standard";
    // Typing a name's first letter selects its row.
    TypeKey(app.dialog, 'K');
    EXPECT_TRUE(Eventually([&] { return SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) == 1; })) << "K did not select KeyboardRtp";
    // Esc and Enter on the strip open nothing and close nothing.
    ASSERT_TRUE(ShowTab(1));
    TypeKey(app.dialog, VK_ESCAPE);
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_FALSE(app.WaitExit(1000)) << "the window closed on Esc or Enter";
    EXPECT_EQ(app.WaitBox(500), nullptr) << "a box opened on Esc or Enter";
    ASSERT_TRUE(app.Close());
}

}  // namespace
