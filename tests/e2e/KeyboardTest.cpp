// The window as a keyboard user and a user with a scaled display meet it:
// real key presses into the shipped Kelmora.exe, and its pages at every DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ScratchDir.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

// Texts measured in the dialog's font at a scaling, made as the dialog
// manager makes it, and 2 dialog units in pixels, as it maps them.
struct DialogFont {
    explicit DialogFont(DWORD dpi)
        : old(SelectObject(dc, CreateFontW(-MulDiv(9, int(dpi), 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, L"ＭＳ Ｐゴシック"))) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        unitsX = MulDiv(2, (Extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2, 4);
        unitsY = MulDiv(2, metrics.tmHeight, 8);
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;
    ~DialogFont() {
        DeleteObject(SelectObject(dc, old));
        ReleaseDC(nullptr, dc);
    }
    LONG Extent(const std::string& text) const {
        SIZE size{};
        const std::wstring wide = DisplayText(text);
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        return size.cx;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old;
    LONG unitsX = 0, unitsY = 0;
};

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// At 100%, 125%, 150% and 200%, set where Windows' scaling setting keeps it,
// every page and every control of it lies in the tab strip's display area,
// the last tab shows without scrolling, and no label, button or list header
// (the RPGXP list empty, the RPGVX one with a short name) is cut. Rows keep
// 2 dialog units clear of the tab's frame, of their neighbours and of the
// group box's lines; the path box shows the file's name; a very long RTP
// name leaves the Path column in view. The steps share one program per
// scaling, each started while the setting holds its scaling: a program takes
// it when it starts.
struct WindowScaling : testing::Test {
    static constexpr DWORD Dpis[] = {96, 120, 144, 192};
    struct Shared {
        ScratchKey key{"Enterbrain\\RGSS2\\RTP"};
        ScratchDir dir;
        AppDriver apps[std::size(Dpis)];
    };
    static void SetUpTestSuite() {
        shared = std::make_unique<Shared>();
        ASSERT_TRUE(shared->key.SetString("A", "C:\\A"));
        ASSERT_TRUE(shared->key.SetString(std::string(220, 'N'), "C:\\N"));
        HKEY desktop = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop, nullptr);
        for (std::size_t i = 0; i < std::size(Dpis); ++i) {
            RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Dpis[i]), sizeof Dpis[i]);
            const std::string folder = shared->dir / ("テスト 用" + std::to_string(Dpis[i]));
            EXPECT_TRUE(MakeDirectory(folder)) << folder;
            EXPECT_TRUE(shared->apps[i].Start(folder)) << Dpis[i] << " DPI";
            EXPECT_TRUE(Eventually([&] { return SendMessageW(VxList(shared->apps[i]), LVM_GETITEMCOUNT, 0, 0) == 2; }))
                << Dpis[i] << " DPI: the RPGVX list";
        }
        RegDeleteValueW(desktop, L"LogPixels");
        RegCloseKey(desktop);
    }
    static void TearDownTestSuite() {
        for (AppDriver& app : shared->apps) EXPECT_TRUE(app.Close());
        shared.reset();
    }
    // Runs check on the program at each scaling; its failures name the scaling.
    template <typename Check>
    static void EachDpi(Check check) {
        for (std::size_t i = 0; i < std::size(Dpis); ++i) {
            SCOPED_TRACE(std::to_string(Dpis[i]) + " DPI");
            const DialogFont font(Dpis[i]);
            check(shared->apps[i], font);
        }
    }
    static HWND VxList(const AppDriver& app) { return GetDlgItem(app.Pages().at(2), RtpListId); }
    static HWND PathBox(const AppDriver& app) { return GetDlgItem(app.PageWith(RtpTypeComboId), InstallerIniPathEditId); }
    // The pages, then every control of each.
    static std::vector<HWND> Parts(const AppDriver& app) {
        std::vector<HWND> parts = app.Pages();
        for (HWND page : app.Pages())
            for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) parts.push_back(child);
        return parts;
    }
    static inline std::unique_ptr<Shared> shared;
};

TEST_F(WindowScaling, TheProgramTakesEachScalingAndShowsItsThreePages) {
    LONG width = 0;
    EachDpi([&](const AppDriver& app, const DialogFont&) {
        RECT client{};
        GetClientRect(app.dialog, &client);
        EXPECT_GT(client.right, width) << "the scaling did not reach the program";
        width = client.right;
        EXPECT_EQ(app.Pages().size(), 3u);
    });
}

TEST_F(WindowScaling, TheLastTabShowsWithoutScrolling) {
    EachDpi([](const AppDriver& app, const DialogFont&) {
        RECT strip{}, last{};
        GetClientRect(app.Tab(), &strip);
        app.SendRemote(app.Tab(), TCM_GETITEMRECT, 2, &last, sizeof last);
        EXPECT_GT(last.right, 0);
        EXPECT_LE(last.right, strip.right) << "the last tab ends past the strip";
        EXPECT_FALSE(IsWindowVisible(FindWindowExW(app.Tab(), nullptr, UPDOWN_CLASSW, nullptr))) << "the strip shows scroll arrows";
    });
}

TEST_F(WindowScaling, EveryControlLiesInTheDisplayAreaOffTheFrame) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        const RECT area = app.DisplayArea();
        for (HWND part : Parts(app)) {
            const RECT rect = WindowRect(part);
            const int id = GetDlgCtrlID(part);
            EXPECT_GE(rect.top - area.top, GetParent(part) == app.dialog ? 0 : font.unitsY) << "control " << id << " on the tab's frame";
            EXPECT_GE(rect.left, area.left) << "control " << id;
            EXPECT_LE(rect.right, area.right) << "control " << id;
            EXPECT_LE(rect.bottom, area.bottom) << "control " << id;
        }
    });
}

TEST_F(WindowScaling, NoLabelButtonOrListHeaderIsCut) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        for (HWND part : Parts(app)) {
            wchar_t name[32] = {};
            GetClassNameW(part, name, 32);
            RECT inside{};
            GetClientRect(part, &inside);
            const bool button = lstrcmpiW(name, L"Button") == 0;  // push buttons and group boxes keep a margin
            if (button || lstrcmpiW(name, L"Static") == 0) {
                EXPECT_LE(font.Extent(WindowText(part)) + (button ? 8 : 0), inside.right) << "[" << WindowText(part) << "] in " << inside.right << " px";
            }
            for (int column = 0; lstrcmpiW(name, WC_LISTVIEWW) == 0 && column < 2; ++column)
                EXPECT_GE(SendMessageW(part, LVM_GETCOLUMNWIDTH, column, 0), font.Extent(column == 0 ? "Name" : "Path") + 12) << "column " << column;
        }
    });
}

TEST_F(WindowScaling, RowsKeepClearOfTheGroupBoxAndOfEachOther) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        const HWND page = app.PageWith(RtpTypeComboId);
        RECT group{}, framed{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) group = WindowRect(child);
        for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT rect = WindowRect(child);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX && PtInRect(&group, {rect.left, rect.top}))
                UnionRect(&framed, &framed, &rect);
        }
        EXPECT_GE(framed.left - group.left, font.unitsX) << "inside the group's left line";
        EXPECT_GE(group.right - framed.right, font.unitsX) << "inside the group's right line";
        EXPECT_GE(framed.top - group.top, font.unitsY) << "below the group's title";
        EXPECT_GE(group.bottom - framed.bottom, font.unitsY) << "above the group's bottom line";
        EXPECT_GE(WindowRect(GetDlgItem(page, InstallerIniBrowseId)).left - WindowRect(PathBox(app)).right, font.unitsX) << "path box to 参照";
    });
}

// Scrolled to the end, so that the file's name shows whole.
TEST_F(WindowScaling, ThePathBoxShowsTheFilesName) {
    EachDpi([](const AppDriver& app, const DialogFont&) {
        const HWND path = PathBox(app);
        const std::wstring shown = DisplayText(WindowText(path));
        const LRESULT first = SendMessageW(path, EM_GETFIRSTVISIBLELINE, 0, 0), end = SendMessageW(path, EM_POSFROMCHAR, shown.size() - 1, 0);
        RECT inside{};
        GetClientRect(path, &inside);
        EXPECT_GT(first, 0) << "not scrolled: " << WindowText(path);
        EXPECT_LE(first, long(shown.rfind(L'\\')) + 1) << "the name starts before the first character shown: " << WindowText(path);
        EXPECT_LT(short(LOWORD(end)), inside.right) << "the last character is past the box: " << WindowText(path);
    });
}

TEST_F(WindowScaling, ALongNameLeavesThePathColumnInView) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        RECT inside{};
        GetClientRect(VxList(app), &inside);
        EXPECT_LE(SendMessageW(VxList(app), LVM_GETCOLUMNWIDTH, 0, 0) + font.Extent("Path") + 12, inside.right);
    });
}

// The shipped Kelmora.exe from the keyboard, one program for the steps, with
// an RTP, one whose folder is gone and the official one registered.
struct WindowKeyboard : testing::Test {
    struct Shared {
        ScratchDir dir;
        ScratchKey key{"Enterbrain\\RGSS\\RTP"};
        AppDriver app;
    };
    static void SetUpTestSuite() {
        shared = std::make_unique<Shared>();
        Shared& s = *shared;
        ASSERT_TRUE(MakeDirectory(s.dir / "rtp"));
        for (const char* name : {"KeyboardRtp", "Standard"}) ASSERT_TRUE(s.key.SetString(name, s.dir / "rtp")) << name;
        ASSERT_TRUE(s.key.SetString("Gone", s.dir / "gone"));
        ASSERT_TRUE(s.app.Start(s.dir.Path()));
    }
    static void TearDownTestSuite() { shared.reset(); }

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
        return TabTo(app.Tab());
    }
    bool TabTo(HWND control) {
        for (int i = 0; i < 20 && FocusOf(app.dialog) != control; ++i) Press(VK_TAB);
        return FocusOf(app.dialog) == control;
    }
    // The RPGXP page shown, a row selected from the keyboard, and the keyboard on the remove button.
    void OnRemoveButton() {
        ASSERT_TRUE(ShowTab(1));
        ASSERT_TRUE(TabTo(List()));
        if (!IsWindowEnabled(Remove())) TypeKey(app.dialog, VK_SPACE);
        ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(Remove()) != FALSE; })) << "no row selected from the keyboard";
        ASSERT_TRUE(TabTo(Remove()));
    }
    HWND List() const { return GetDlgItem(app.ShownPage(), RtpListId); }  // with the RPGXP tab shown
    HWND Remove() const { return GetDlgItem(app.ShownPage(), RtpRemoveButtonId); }
    bool Listed(const std::string& name) const {
        const std::vector<std::string> rows = app.Rows(List());
        return std::find(rows.begin(), rows.end(), name + " | " + dir / "rtp") != rows.end();
    }

    static inline std::unique_ptr<Shared> shared;
    ScratchDir& dir = shared->dir;
    ScratchKey& key = shared->key;
    AppDriver& app = shared->app;
};

TEST_F(WindowKeyboard, StartsOnTheStripNotOnAButtonEnterWouldPress) {
    EXPECT_TRUE(Eventually([&] { return FocusOf(app.dialog) == app.Tab(); }, 3000));
}

// From the strip, one round of Tab passes every enabled control of the shown
// page once, in the order on screen (row by row, left to right), and comes back.
TEST_F(WindowKeyboard, TabPassesEveryControlOfThePageInTheOrderOnScreen) {
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(ShowTab(index)) << index;
        std::vector<HWND> expected, forward;
        for (HWND control = GetWindow(app.ShownPage(), GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
            if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control)) expected.push_back(control);
        auto place = [](HWND control) { const RECT rect = WindowRect(control); return std::pair(rect.top, rect.left); };
        std::sort(expected.begin(), expected.end(), [&](HWND a, HWND b) { return place(a) < place(b); });
        expected.push_back(app.Tab());
        for (int i = 0; i < 20 && (forward.empty() || forward.back() != app.Tab()); ++i) forward.push_back(Press(VK_TAB));
        EXPECT_EQ(forward, expected) << "tab " << index;
    }
}

TEST_F(WindowKeyboard, EnterInAnInstallerEditBoxSaves) {
    ASSERT_TRUE(ShowTab(0));
    ASSERT_TRUE(TabTo(GetDlgItem(app.ShownPage(), RtpNameEditId)));
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0), "お知らせ: 設定を保存しました");
}

TEST_F(WindowKeyboard, F5OnTheStripShowsAnRtpRegisteredSinceTheStart) {
    ASSERT_TRUE(ShowTab(1));
    ASSERT_TRUE(key.SetString("Later", dir / "rtp"));
    TypeKey(app.dialog, VK_F5);
    EXPECT_TRUE(Eventually([&] { return Listed("Later"); }));
}

// Tab shows where the keyboard is in the list, Space selects that row, Enter
// opens it (the folder is missing) and Delete asks, and Enter answers No.
TEST_F(WindowKeyboard, OnTheListSpaceSelectsEnterOpensAndDeleteAsks) {
    ASSERT_TRUE(ShowTab(1));
    EXPECT_EQ(Press(VK_TAB), List());
    TypeKey(app.dialog, VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(Remove()) != FALSE; })) << "no row selected from the keyboard";
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + dir / "gone") << "Enter on a row";
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.Answer(0).rfind("確認: 本当に RTP[Gone] ", 0), 0u) << "Delete on a row";
    EXPECT_TRUE(key.HasValue("Gone")) << "Enter on the question said Yes";
}

TEST_F(WindowKeyboard, EnterOnTheFocusedRemoveButtonAsks) {
    ASSERT_NO_FATAL_FAILURE(OnRemoveButton());
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0).rfind("確認: ", 0), 0u);
}

// Ctrl+Tab takes the keyboard off the page it hides: Enter then presses nothing there.
TEST_F(WindowKeyboard, CtrlTabTakesTheKeyboardOffThePageItHides) {
    ASSERT_NO_FATAL_FAILURE(OnRemoveButton());
    TypeKey(app.dialog, VK_TAB, {VK_CONTROL});
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Enter on the RPGVX tab pressed the hidden page's button";
    EXPECT_TRUE(key.HasValue("Gone"));
    EXPECT_TRUE(key.HasValue("KeyboardRtp"));
    EXPECT_TRUE(PathExists(dir / "rtp"));
}

// F5 on a button reads the list again and takes the keyboard to it: the
// buttons are disabled once the list is read again.
TEST_F(WindowKeyboard, F5OnAButtonReadsTheListAgainAndTakesTheKeyboardToIt) {
    ASSERT_NO_FATAL_FAILURE(OnRemoveButton());
    ASSERT_TRUE(key.SetString("Later2", dir / "rtp"));
    TypeKey(app.dialog, VK_F5);
    EXPECT_TRUE(Eventually([&] { return Listed("Later2"); }));
    EXPECT_EQ(FocusOf(app.dialog), List()) << "the disabled button kept the focus";
}

TEST_F(WindowKeyboard, DeleteOnTheOfficialRtpDoesNothing) {
    ASSERT_TRUE(ShowTab(1));
    ASSERT_TRUE(TabTo(List()));
    TypeKey(app.dialog, VK_END);  // Standard, the last row
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.WaitBox(1000), nullptr);
}

TEST_F(WindowKeyboard, TypingANamesFirstLetterSelectsItsRow) {
    ASSERT_TRUE(ShowTab(1));
    ASSERT_TRUE(TabTo(List()));
    TypeKey(app.dialog, 'K');
    EXPECT_TRUE(Eventually([&] { return SendMessageW(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) == 1; })) << "K did not select KeyboardRtp";
}

TEST_F(WindowKeyboard, EscAndEnterOnTheStripOpenNothingAndCloseNothing) {
    ASSERT_TRUE(ShowTab(1));
    TypeKey(app.dialog, VK_ESCAPE);
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_FALSE(app.WaitExit(1000)) << "the window closed";
    EXPECT_EQ(app.WaitBox(500), nullptr) << "a box opened";
    ASSERT_TRUE(app.Close());
}

}  // namespace
