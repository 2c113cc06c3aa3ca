// The window as a keyboard user and a user with a scaled display meet it:
// real key presses into the shipped Kelmora.exe, and its pages at every DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DialogWatcher.h"
#include "ScratchDir.h"
#include "e2e/Driver.h"

namespace {

constexpr int TabControlId = 1000;

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// The logical DPI of the test prefix, as Windows' scaling setting stores it;
// put back when the test ends.
class PrefixDpi {
public:
    PrefixDpi() { RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr); }
    ~PrefixDpi() {
        RegDeleteValueW(key, L"LogPixels");
        RegCloseKey(key);
    }
    void Set(DWORD dpi) const {
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }

private:
    HKEY key = nullptr;
};

// At 100%, 125%, 150% and 200% every page lies in the tab control's display
// area, below the headers and inside the border, with all its controls.
TEST(WindowScaling, EveryPageFitsTheTabControlAtEveryDpi) {
    PrefixDpi prefixDpi;
    LONG previousWidth = 0;
    for (DWORD dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        prefixDpi.Set(dpi);
        ScratchDir dir;
        AppDriver app;
        ASSERT_TRUE(app.Start(dir.Path()));
        HWND dialog = app.WaitMainDialog();
        ASSERT_NE(dialog, nullptr) << AppDriver::DescribeWindows();
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_GT(client.right, previousWidth) << "the scaling did not reach the program";
        previousWidth = client.right;
        HWND tab = GetDlgItem(dialog, TabControlId);
        const RECT area = TabDisplayArea(app.Process(), tab);
        const std::vector<HWND> pages = Pages(dialog);
        EXPECT_EQ(static_cast<int>(pages.size()), TabCount(tab));
        for (std::size_t i = 0; i < pages.size(); ++i) {
            RECT page{};
            GetWindowRect(pages[i], &page);
            EXPECT_TRUE(Inside(page, area)) << "page " << i << " " << Describe(page) << " area " << Describe(area);
            for (HWND control = GetWindow(pages[i], GW_CHILD); control != nullptr;
                 control = GetWindow(control, GW_HWNDNEXT)) {
                RECT rect{};
                GetWindowRect(control, &rect);
                EXPECT_TRUE(Inside(rect, area)) << "page " << i << " control " << GetDlgCtrlID(control) << " "
                                                << Describe(rect) << " area " << Describe(area);
            }
        }
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
    }
}

// Tab walks the tab strip and the shown page's controls, Shift+Tab walks
// back, Ctrl+Tab switches pages, and Enter presses the focused button; Esc
// and Enter never close the window.
TEST(WindowKeyboard, EverythingCanBeReachedAndPressedFromTheKeyboard) {
    ScratchDir dir;
    ScratchKey key("Enterbrain\\RGSS\\RTP");
    const std::string rtpFolder = dir / "rtp";
    ASSERT_TRUE(MakeDirectory(rtpFolder));
    ASSERT_TRUE(key.SetString("KeyboardRtp", rtpFolder));
    AppDriver app;
    ASSERT_TRUE(app.Start(dir.Path()));
    HWND dialog = app.WaitMainDialog();
    ASSERT_NE(dialog, nullptr) << AppDriver::DescribeWindows();
    HWND tab = GetDlgItem(dialog, TabControlId);
    ASSERT_EQ(TabCount(tab), 3);

    // One round of Tab from the strip comes back to it through every enabled
    // control of the shown page; Shift+Tab takes the same round backwards.
    auto round = [&](std::initializer_list<UINT> modifiers) {
        std::vector<HWND> visited;
        SetForegroundWindow(dialog);
        for (int i = 0; i < 20; ++i) {
            HWND before = FocusOf(dialog);
            EXPECT_TRUE(TypeKey(dialog, VK_TAB, modifiers));
            Eventually([&] { return FocusOf(dialog) != before; }, 2000);
            visited.push_back(FocusOf(dialog));
            if (visited.back() == tab) break;
        }
        return visited;
    };
    auto focusStrip = [&] {
        // A click on a tab puts the focus on the strip, as it does for a user.
        ClickTab(app.Process(), tab, TabSelection(tab));
        return Eventually([&] { return FocusOf(dialog) == tab; });
    };
    // Ctrl+Tab and Ctrl+Shift+Tab switch tabs, round the ends too, from
    // inside a page as well as from the strip.
    const struct {
        std::initializer_list<UINT> modifiers;
        int expected;
    } switches[] = {{{VK_CONTROL}, 1}, {{VK_CONTROL}, 2}, {{VK_CONTROL}, 0}, {{VK_CONTROL, VK_SHIFT}, 2},
                    {{VK_CONTROL, VK_SHIFT}, 1}, {{VK_CONTROL, VK_SHIFT}, 0}};
    for (const auto& step : switches) {
        const int before = TabSelection(tab);
        TypeKey(dialog, VK_TAB, step.modifiers);
        EXPECT_TRUE(Eventually([&] { return TabSelection(tab) == step.expected; }))
            << "from tab " << before << " with " << step.modifiers.size() << " modifiers: " << TabSelection(tab);
        int shown = 0;
        for (HWND page : Pages(dialog)) shown += IsWindowVisible(page) ? 1 : 0;
        EXPECT_EQ(shown, 1);
        // The next switch starts from inside the page.
        TypeKey(dialog, VK_TAB);
    }
    // The strip scrolls when its tabs are wider than it: Ctrl+Tab reaches
    // every tab, where a click may not.
    auto showTab = [&](int index) {
        // One key at a time: keys typed ahead would pass the tab wanted.
        for (int i = 0; i < 3 && TabSelection(tab) != index; ++i) {
            const int before = TabSelection(tab);
            TypeKey(dialog, VK_TAB, {VK_CONTROL});
            Eventually([&] { return TabSelection(tab) != before; });
        }
        return TabSelection(tab) == index;
    };

    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        ASSERT_TRUE(showTab(page));
        ASSERT_TRUE(focusStrip()) << "focus " << FocusOf(dialog);
        const std::vector<HWND> forward = round({});
        ASSERT_FALSE(forward.empty());
        EXPECT_EQ(forward.back(), tab) << "Tab never came back to the strip";
        HWND shown = ShownPage(dialog);
        std::vector<HWND> controls;
        for (HWND control = GetWindow(shown, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
            if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control)) controls.push_back(control);
        ASSERT_EQ(forward.size(), controls.size() + 1) << "every enabled control of the page once, then the strip";
        for (std::size_t i = 0; i < controls.size(); ++i)
            EXPECT_TRUE(forward[i] == controls[i] || IsChild(controls[i], forward[i])) << "stop " << i;
        ASSERT_TRUE(focusStrip());
        const std::vector<HWND> backward = round({VK_SHIFT});
        ASSERT_EQ(backward.size(), forward.size());
        for (std::size_t i = 0; i + 1 < backward.size(); ++i)
            EXPECT_EQ(backward[i], forward[forward.size() - 2 - i]) << "stop " << i;
    }

    // Enter in an edit box of the installer page presses its default button.
    ASSERT_TRUE(showTab(0));
    ASSERT_TRUE(focusStrip());
    HWND nameEdit = GetDlgItem(ShownPage(dialog), 1004);
    for (int i = 0; i < 10 && FocusOf(dialog) != nameEdit; ++i) {
        HWND before = FocusOf(dialog);
        TypeKey(dialog, VK_TAB);
        Eventually([&] { return FocusOf(dialog) != before; }, 2000);
    }
    ASSERT_EQ(FocusOf(dialog), nameEdit);
    TypeKey(dialog, VK_RETURN);
    HWND saved = app.WaitOtherDialog();
    ASSERT_NE(saved, nullptr) << "Enter in an edit box did not save";
    EXPECT_EQ(ReadBox(saved).text, "設定を保存しました");
    TypeKey(saved, VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(saved); }));

    // On the RPGXP page no list row is selected: Tab, then the arrow key
    // selects the RTP, and Enter on the focused remove button asks first.
    ASSERT_TRUE(showTab(1));
    ASSERT_TRUE(focusStrip());
    HWND list = GetDlgItem(ShownPage(dialog), 1001);
    HWND remove = GetDlgItem(ShownPage(dialog), 1003);
    ASSERT_EQ(ListRowCount(list), 1);
    TypeKey(dialog, VK_TAB);
    ASSERT_TRUE(Eventually([&] { return FocusOf(dialog) == list; })) << FocusOf(dialog);
    TypeKey(dialog, VK_DOWN);
    TypeKey(dialog, VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(remove) != FALSE; }))
        << "no row selected from the keyboard; focus " << FocusOf(dialog) << " list " << list;
    TypeKey(dialog, VK_TAB);
    ASSERT_TRUE(Eventually([&] { return FocusOf(dialog) != list; }));
    TypeKey(dialog, VK_TAB);
    ASSERT_TRUE(Eventually([&] { return FocusOf(dialog) == remove; })) << FocusOf(dialog);
    TypeKey(dialog, VK_RETURN);
    HWND question = app.WaitOtherDialog();
    ASSERT_NE(question, nullptr) << "Enter on the remove button did nothing";
    EXPECT_EQ(ReadBox(question).caption, "確認");
    TypeKey(question, VK_RETURN);  // No is the default
    EXPECT_TRUE(Eventually([&] { return !IsWindow(question); }));
    EXPECT_TRUE(key.HasValue("KeyboardRtp"));
    EXPECT_TRUE(PathExists(rtpFolder));

    // Esc and Enter on the strip leave the window open.
    ASSERT_TRUE(focusStrip());
    TypeKey(dialog, VK_ESCAPE);
    TypeKey(dialog, VK_RETURN);
    EXPECT_FALSE(app.WaitExit(1000)) << "the window closed on Esc or Enter";
    EXPECT_EQ(app.WaitOtherDialog(500), nullptr) << "a box opened on Esc or Enter";

    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitExit()) << AppDriver::DescribeWindows();
}

}  // namespace
