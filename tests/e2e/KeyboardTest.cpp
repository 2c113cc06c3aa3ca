// The window as a keyboard user and a user with a scaled display meet it:
// real key presses into the shipped Kelmora.exe, and its pages at every DPI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"

namespace {

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// At 100%, 125%, 150% and 200%, set as Windows' scaling setting stores it,
// every page lies in the tab strip's display area with all its controls.
TEST(WindowScaling, EveryPageFitsTheTabControlAtEveryDpi) {
    HKEY desktop = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop, nullptr);
    LONG previousWidth = 0;
    for (DWORD dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        ScratchDir dir;
        AppDriver app;
        ASSERT_TRUE(app.Start(dir.Path())) << DescribeWindows();
        RECT client{};
        GetClientRect(app.dialog, &client);
        EXPECT_GT(client.right, previousWidth) << "the scaling did not reach the program";
        previousWidth = client.right;
        const RECT area = app.DisplayArea();
        EXPECT_EQ(app.Pages().size(), 3u);
        for (HWND page : app.Pages()) {
            std::vector<HWND> parts{page};
            for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
                parts.push_back(child);
            for (HWND part : parts) {
                RECT rect{};
                GetWindowRect(part, &rect);
                EXPECT_TRUE(rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom)
                    << "control " << GetDlgCtrlID(part) << " " << Describe(rect) << " area " << Describe(area);
            }
        }
        ASSERT_TRUE(app.Close()) << DescribeWindows();
    }
    RegDeleteValueW(desktop, L"LogPixels");
    RegCloseKey(desktop);
}

struct WindowKeyboard : testing::Test {
    // Presses key until the focus moves, then returns where it went.
    HWND Press(UINT key, std::initializer_list<UINT> modifiers = {}) {
        const HWND before = FocusOf(app.dialog);
        TypeKey(app.dialog, key, modifiers);
        Eventually([&] { return FocusOf(app.dialog) != before; }, 2000);
        return FocusOf(app.dialog);
    }
    // The control of the shown page, or the strip, that holds focus.
    HWND Stop(HWND focus) const {
        while (focus != nullptr && focus != app.Tab() && GetParent(focus) != app.ShownPage()) focus = GetParent(focus);
        return focus;
    }
    // Shows tab index with Ctrl+Tab, one key at a time, and puts the focus on
    // the strip as a click on the shown tab does.
    bool ShowTab(int index) {
        for (int i = 0; i < 3 && app.TabSelection() != index; ++i) {
            const int before = app.TabSelection();
            TypeKey(app.dialog, VK_TAB, {VK_CONTROL});
            Eventually([&] { return app.TabSelection() != before; });
        }
        app.ClickTab(index);
        return app.TabSelection() == index && Eventually([&] { return FocusOf(app.dialog) == app.Tab(); });
    }
    ScratchDir dir;
    AppDriver app;
};

// Tab walks the strip and the shown page's controls, Shift+Tab walks back,
// Ctrl+Tab switches pages, and Enter presses the focused button; Esc and
// Enter never close the window.
TEST_F(WindowKeyboard, EverythingCanBeReachedAndPressedFromTheKeyboard) {
    ScratchKey key("Enterbrain\\RGSS\\RTP");
    ASSERT_TRUE(MakeDirectory(dir / "rtp") && key.SetString("KeyboardRtp", dir / "rtp"));
    ASSERT_TRUE(app.Start(dir.Path())) << DescribeWindows();
    // Ctrl+Tab and Ctrl+Shift+Tab round both ends, from inside a page too.
    const struct { bool shift; int expected; } switches[] = {{false, 1}, {false, 2}, {false, 0}, {true, 2}, {true, 1}, {true, 0}};
    for (const auto& step : switches) {
        TypeKey(app.dialog, VK_TAB, step.shift ? std::initializer_list<UINT>{VK_CONTROL, VK_SHIFT} : std::initializer_list<UINT>{VK_CONTROL});
        EXPECT_TRUE(Eventually([&] { return app.TabSelection() == step.expected; })) << step.shift << " to " << step.expected;
        int shown = 0;
        for (HWND page : app.Pages()) shown += IsWindowVisible(page) ? 1 : 0;
        EXPECT_EQ(shown, 1);
        TypeKey(app.dialog, VK_TAB);  // the next switch starts from inside the page
    }
    // One round of Tab from the strip passes every enabled control of the
    // shown page once and comes back; Shift+Tab takes it backwards.
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE("tab " + std::to_string(index));
        ASSERT_TRUE(ShowTab(index));
        std::vector<HWND> expected;
        for (HWND control = GetWindow(app.ShownPage(), GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
            if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control)) expected.push_back(control);
        std::vector<HWND> forward, backward;
        for (int i = 0; i < 20 && (forward.empty() || forward.back() != app.Tab()); ++i) forward.push_back(Stop(Press(VK_TAB)));
        for (int i = 0; i < 20 && (backward.empty() || backward.back() != app.Tab()); ++i)
            backward.push_back(Stop(Press(VK_TAB, {VK_SHIFT})));
        std::vector<HWND> reversed(expected.rbegin(), expected.rend());
        expected.push_back(app.Tab());
        reversed.push_back(app.Tab());
        EXPECT_EQ(forward, expected);
        EXPECT_EQ(backward, reversed);
    }
    // Enter in an edit box of the installer page saves.
    ASSERT_TRUE(ShowTab(0));
    HWND nameEdit = GetDlgItem(app.ShownPage(), 1004);
    for (int i = 0; i < 10 && FocusOf(app.dialog) != nameEdit; ++i) Press(VK_TAB);
    TypeKey(app.dialog, VK_RETURN);
    HWND saved = app.WaitBox();
    ASSERT_NE(saved, nullptr) << "Enter in an edit box did not save";
    EXPECT_EQ(ReadBox(saved).text, "設定を保存しました");
    EXPECT_TRUE(AnswerBox(saved, 0));
    // On the RPGXP page: Tab, an arrow key and Space select the RTP; Enter on
    // the focused remove button asks first, and Enter there answers No.
    ASSERT_TRUE(ShowTab(1));
    HWND list = GetDlgItem(app.ShownPage(), 1001), remove = GetDlgItem(app.ShownPage(), 1003);
    EXPECT_EQ(Press(VK_TAB), list);
    TypeKey(app.dialog, VK_DOWN);
    TypeKey(app.dialog, VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(remove) != FALSE; })) << "no row selected from the keyboard";
    Press(VK_TAB);
    EXPECT_EQ(Press(VK_TAB), remove);
    TypeKey(app.dialog, VK_RETURN);
    HWND question = app.WaitBox();
    ASSERT_NE(question, nullptr) << "Enter on the remove button did nothing";
    EXPECT_EQ(ReadBox(question).caption, "確認");
    EXPECT_TRUE(AnswerBox(question, 0));
    EXPECT_TRUE(key.HasValue("KeyboardRtp") && PathExists(dir / "rtp"));
    // Esc and Enter on the strip open nothing and close nothing.
    ASSERT_TRUE(ShowTab(1));
    TypeKey(app.dialog, VK_ESCAPE);
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_FALSE(app.WaitExit(1000)) << "the window closed on Esc or Enter";
    EXPECT_EQ(app.WaitBox(500), nullptr) << "a box opened on Esc or Enter";
    ASSERT_TRUE(app.Close()) << DescribeWindows();
}

}  // namespace
