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
#include "app/DialogFont.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

RECT WindowRect(HWND window) { RECT rect{}; GetWindowRect(window, &rect); return rect; }
RECT ClientRect(HWND window) { RECT rect{}; GetClientRect(window, &rect); return rect; }

// Texts measured in the dialog's font at a scaling, made as the dialog
// manager makes it, and 2 dialog units in pixels, as it maps them.
struct DialogFont {
    explicit DialogFont(DWORD dpi) : dpi(dpi), old(SelectObject(dc, CreateFontW(-MulDiv(9, int(dpi), 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, DialogFace().c_str()))) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        unitsX = MulDiv(2, (Extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2, 4), unitsY = MulDiv(2, metrics.tmHeight, 8);
    }
    ~DialogFont() { DeleteObject(SelectObject(dc, old)), ReleaseDC(nullptr, dc); }
    LONG Extent(const std::string& text) const { SIZE size{}; const std::wstring wide = DisplayText(text); GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size); return size.cx; }
    DWORD dpi;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old;
    LONG unitsX = 0, unitsY = 0;
};

// The first row of the screen within rect that holds a dark pixel: the top
// of the text shown there; -1 when there is none.
LONG InkTop(const RECT& rect) {
    HDC screen = GetDC(nullptr);
    LONG top = -1;
    for (LONG y = rect.top; y < rect.bottom && top < 0; ++y)
        for (LONG x = rect.left; x < rect.right && top < 0; ++x)
            if (const COLORREF c = GetPixel(screen, x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 192) top = y;
    ReleaseDC(nullptr, screen);
    return top;
}

// At 100%, 125%, 150% and 200%, set where Windows' scaling setting keeps it,
// every page and every control of it lies in the tab strip's display area,
// the last tab shows without scrolling, and no label, button or list header
// (the RPGXP list empty, the RPGVX one with a short name) is cut. Rows keep
// 2 dialog units clear of the tab's frame, of their neighbours and of the
// group box's lines; the path box shows the file's name; a very long RTP
// name leaves the Path column in view. The steps share one program per
// scaling, each started while the setting holds it: a program takes it as it starts.
struct WindowScaling : testing::Test {
    static constexpr DWORD Dpis[] = {96, 120, 144, 192};
    struct Shared { ScratchKey key{"Enterbrain\\RGSS2\\RTP"}; ScratchDir dir; AppDriver apps[std::size(Dpis)]; };
    static void SetUpTestSuite() {
        shared = std::make_unique<Shared>();
        ChooseDialogFace(GetModuleHandleW(nullptr), L"");  // the texts are measured in the program's face
        for (const std::string& name : {std::string("A"), std::string(220, 'N')}) ASSERT_TRUE(shared->key.SetString(name, "C:\\" + name.substr(0, 1)));
        HKEY desktop = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop, nullptr);
        for (std::size_t i = 0; i < std::size(Dpis); ++i) {
            RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Dpis[i]), sizeof Dpis[i]);
            const std::string folder = shared->dir / ("テスト 用" + std::to_string(Dpis[i]));
            EXPECT_TRUE(MakeDirectory(folder)) << folder;
            EXPECT_TRUE(shared->apps[i].Start(folder)) << Dpis[i] << " DPI";
            EXPECT_TRUE(Eventually([&] { return SendMessageW(VxList(shared->apps[i]), LVM_GETITEMCOUNT, 0, 0) == 2; })) << Dpis[i] << " DPI";
        }
        RegDeleteValueW(desktop, L"LogPixels");
        RegCloseKey(desktop);
    }
    static void TearDownTestSuite() { shared.reset(); }
    // Runs check on the program at each scaling; its failures name the scaling.
    template <typename Check>
    static void EachDpi(Check check) {
        for (std::size_t i = 0; i < std::size(Dpis); ++i) {
            SCOPED_TRACE(std::to_string(Dpis[i]) + " DPI");
            check(shared->apps[i], DialogFont(Dpis[i]));
        }
    }
    static HWND VxList(const AppDriver& app) { return GetDlgItem(app.Pages().at(2), RtpListId); }
    static HWND PathBox(const AppDriver& app) { return GetDlgItem(app.PageWith(RtpTypeComboId), InstallerIniPathEditId); }
    // The controls of window, after those already in list.
    static std::vector<HWND> Controls(HWND window, std::vector<HWND> list = {}) {
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) list.push_back(child);
        return list;
    }
    static std::vector<HWND> Parts(const AppDriver& app) {  // the pages, then their controls
        std::vector<HWND> parts = app.Pages();
        for (HWND page : app.Pages()) parts = Controls(page, std::move(parts));
        return parts;
    }
    static inline std::unique_ptr<Shared> shared;
};

TEST_F(WindowScaling, TheProgramTakesEachScalingAndItsLastTabShowsWithoutScrolling) {
    LONG width = 0;
    EachDpi([&](const AppDriver& app, const DialogFont&) {
        EXPECT_GT(ClientRect(app.dialog).right, width) << "the scaling did not reach the program";
        width = ClientRect(app.dialog).right;
        EXPECT_EQ(app.Pages().size(), 3u);
        RECT last{};
        app.SendRemote(app.Tab(), TCM_GETITEMRECT, 2, &last, sizeof last);
        EXPECT_GT(last.right, 0);
        EXPECT_LE(last.right, ClientRect(app.Tab()).right) << "the last tab ends past the strip";
        EXPECT_FALSE(IsWindowVisible(FindWindowExW(app.Tab(), nullptr, UPDOWN_CLASSW, nullptr))) << "the strip shows scroll arrows";
    });
}

TEST_F(WindowScaling, EveryControlLiesInTheDisplayAreaOffTheFrame) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        const RECT area = app.DisplayArea();
        for (HWND part : Parts(app)) {
            const RECT rect = WindowRect(part);
            EXPECT_GE(rect.top - area.top, GetParent(part) == app.dialog ? 0 : font.unitsY) << "control " << GetDlgCtrlID(part) << " on the tab's frame";
            EXPECT_GE(rect.left, area.left) << "control " << GetDlgCtrlID(part);
            EXPECT_LE(rect.right, area.right) << "control " << GetDlgCtrlID(part);
            EXPECT_LE(rect.bottom, area.bottom) << "control " << GetDlgCtrlID(part);
        }
    });
}

// Labels, buttons, list headers, the Path column beside a very long RTP name, the path box's file name.
TEST_F(WindowScaling, NoTextIsCut) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        for (HWND part : Parts(app)) {
            wchar_t name[32] = {};
            GetClassNameW(part, name, 32);
            const bool button = lstrcmpiW(name, L"Button") == 0;  // push buttons and group boxes keep a margin
            if (button || lstrcmpiW(name, L"Static") == 0) {
                EXPECT_LE(font.Extent(WindowText(part)) + (button ? 8 : 0), ClientRect(part).right) << "[" << WindowText(part) << "]";
            }
            for (int column = 0; lstrcmpiW(name, WC_LISTVIEWW) == 0 && column < 2; ++column)
                EXPECT_GE(SendMessageW(part, LVM_GETCOLUMNWIDTH, column, 0), font.Extent(column == 0 ? "Name" : "Path") + 12) << "column " << column;
        }
        EXPECT_LE(SendMessageW(VxList(app), LVM_GETCOLUMNWIDTH, 0, 0) + font.Extent("Path") + 12, ClientRect(VxList(app)).right) << "the long name hides Path";
        // The path box scrolled to the end, so that the file's name shows whole.
        const HWND path = PathBox(app);
        const std::wstring shown = DisplayText(WindowText(path));
        const LRESULT first = SendMessageW(path, EM_GETFIRSTVISIBLELINE, 0, 0), end = SendMessageW(path, EM_POSFROMCHAR, shown.size() - 1, 0);
        EXPECT_GT(first, 0) << "not scrolled: " << WindowText(path);
        EXPECT_LE(first, long(shown.rfind(L'\\')) + 1) << "the name's start is hidden: " << WindowText(path);
        EXPECT_LT(short(LOWORD(end)), ClientRect(path).right) << "the name's end is hidden: " << WindowText(path);
    });
}

TEST_F(WindowScaling, RowsKeepClearOfTheGroupBoxAndOfEachOther) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        const HWND page = app.PageWith(RtpTypeComboId);
        RECT group{}, framed{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        for (HWND control : Controls(page))  // the group box comes before the controls it frames
            if (const RECT rect = WindowRect(control); (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) group = rect;
            else if (PtInRect(&group, {rect.left, rect.top})) UnionRect(&framed, &framed, &rect);
        EXPECT_GE(framed.left - group.left, font.unitsX) << "the group's left line";
        EXPECT_GE(group.right - framed.right, font.unitsX) << "the group's right line";
        EXPECT_GE(framed.top - group.top, font.unitsY) << "the group's title";
        EXPECT_GE(group.bottom - framed.bottom, font.unitsY) << "the group's bottom line";
        EXPECT_GE(WindowRect(GetDlgItem(page, InstallerIniBrowseId)).left - WindowRect(PathBox(app)).right, font.unitsX) << "path box to 参照";
    });
}

// Each label's text stands on the line of the text in its box (the box shows
// the label's own text for it; the drop-down list "RPGXP"): within 1 pixel,
// 2 at 200%.
TEST_F(WindowScaling, LabelsStandOnTheLineOfTheTextBesideThem) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        std::vector<std::pair<HWND, std::string>> labels;  // and their boxes' texts before
        for (HWND label : Controls(app.PageWith(RtpTypeComboId))) {
            wchar_t name[16] = {};
            GetClassNameW(label, name, 16);
            if (lstrcmpiW(name, L"Static") != 0) continue;
            const HWND box = GetWindow(label, GW_HWNDNEXT);
            labels.emplace_back(label, WindowText(box));
            if (GetDlgCtrlID(box) != RtpTypeComboId) SetControlText(box, WindowText(label));
        }
        // In front of the other scalings' windows, and painted.
        SetWindowPos(app.dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(300);
        for (const auto& [label, before] : labels) {
            const HWND box = GetWindow(label, GW_HWNDNEXT);
            RECT inside = ClientRect(box);
            MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&inside), 2);
            InflateRect(&inside, -1, -1);
            if (GetDlgCtrlID(box) == RtpTypeComboId) inside.right -= GetSystemMetrics(SM_CXVSCROLL);  // not the arrow
            EXPECT_GE(InkTop(WindowRect(label)), 0) << WindowText(label);
            EXPECT_NEAR(InkTop(WindowRect(label)), InkTop(inside), font.dpi >= 192 ? 2 : 1) << WindowText(label);
            if (GetDlgCtrlID(box) != RtpTypeComboId) SetControlText(box, before);
        }
        SetWindowPos(app.dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
}

// The space under the last row of controls, on each of the three tabs.
TEST_F(WindowScaling, EveryTabLeavesTheSameMarginUnderItsLastRow) {
    EachDpi([](const AppDriver& app, const DialogFont& font) {
        std::vector<LONG> margins;
        for (HWND page : app.Pages()) {
            LONG lowest = 0;
            for (HWND control : Controls(page)) lowest = std::max(lowest, WindowRect(control).bottom);
            margins.push_back(app.DisplayArea().bottom - lowest);
        }
        const auto [least, most] = std::minmax_element(margins.begin(), margins.end());
        EXPECT_LE(*most - *least, font.unitsY) << "installer " << margins[0] << " px, RPGXP " << margins[1] << " px, RPGVX " << margins[2] << " px";
    });
}

// The shipped Kelmora.exe from the keyboard: one program for the steps, with
// an RTP, one whose folder is gone and the official one registered.
struct WindowKeyboard : testing::Test {
    struct Shared { ScratchDir dir; ScratchKey key{"Enterbrain\\RGSS\\RTP"}; AppDriver app; };
    static void SetUpTestSuite() {
        shared = std::make_unique<Shared>();
        ASSERT_TRUE(MakeDirectory(shared->dir / "rtp"));
        for (const std::string name : {"KeyboardRtp", "Gone", "Standard"})
            ASSERT_TRUE(shared->key.SetString(name, shared->dir / (name == "Gone" ? "gone" : "rtp"))) << name;
        ASSERT_TRUE(shared->app.Start(shared->dir.Path()));
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
    bool TabTo(HWND control) { for (int i = 0; i < 20 && FocusOf(app.dialog) != control; ++i) Press(VK_TAB); return FocusOf(app.dialog) == control; }
    // Shows tab index, then tabs round to the strip.
    bool ShowTab(int index) { return app.ShowTab(index) && TabTo(app.Tab()); }
    // The keyboard on the RPGXP list, or (a row selected) on its remove button.
    void OnList(bool removeButton = false) {
        ASSERT_TRUE(ShowTab(1));
        ASSERT_TRUE(TabTo(List()));
        if (!removeButton) return;
        if (!IsWindowEnabled(Remove())) TypeKey(app.dialog, VK_SPACE);
        ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(Remove()) != FALSE; })) << "no row selected from the keyboard";
        ASSERT_TRUE(TabTo(Remove()));
    }
    HWND List() const { return GetDlgItem(app.ShownPage(), RtpListId); }  // with the RPGXP tab shown
    HWND Remove() const { return GetDlgItem(app.ShownPage(), RtpRemoveButtonId); }
    bool Listed(const std::string& name) const { const auto rows = app.Rows(List()); return std::count(rows.begin(), rows.end(), name + " | " + dir / "rtp") == 1; }

    static inline std::unique_ptr<Shared> shared;
    ScratchDir& dir = shared->dir;
    ScratchKey& key = shared->key;
    AppDriver& app = shared->app;
};

// The keyboard starts on the strip, not on a button Enter would press. From
// there, one round of Tab passes every enabled control of the shown page once,
// in the order on screen (row by row, left to right), and comes back.
TEST_F(WindowKeyboard, StartsOnTheStripAndTabPassesEveryControlInTheOrderOnScreen) {
    EXPECT_TRUE(Eventually([&] { return FocusOf(app.dialog) == app.Tab(); }, 3000));
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(ShowTab(index)) << index;
        std::vector<HWND> expected, forward;
        for (HWND control : WindowScaling::Controls(app.ShownPage()))
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
// opens it (the folder is missing) and Delete asks; Enter answers No.
TEST_F(WindowKeyboard, OnTheListSpaceSelectsEnterOpensAndDeleteAsks) {
    ASSERT_TRUE(ShowTab(1));
    EXPECT_EQ(Press(VK_TAB), List());
    TypeKey(app.dialog, VK_SPACE);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(Remove()) != FALSE; })) << "no row selected from the keyboard";
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0), "お知らせ: RTPフォルダが見つかりません\nフォルダ: " + dir / "gone" +
                                 "\n「RTPを削除する」で登録だけを削除できます")
        << "Enter on a row";
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.Answer(0).rfind("確認: 本当に RTP[Gone] ", 0), 0u) << "Delete on a row";
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Enter on the question said Yes: the removal's notice";
    EXPECT_TRUE(key.HasValue("Gone")) << "Enter on the question said Yes";
}

// Enter on the focused remove button asks; Ctrl+Tab takes the keyboard off
// the page it hides: Enter then presses nothing there.
TEST_F(WindowKeyboard, EnterOnTheFocusedRemoveButtonAsksButNotOnceCtrlTabHidItsPage) {
    ASSERT_NO_FATAL_FAILURE(OnList(true));
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.Answer(0).rfind("確認: ", 0), 0u);
    TypeKey(app.dialog, VK_TAB, {VK_CONTROL});
    TypeKey(app.dialog, VK_RETURN);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Enter on the RPGVX tab pressed the hidden page's button";
    EXPECT_TRUE(key.HasValue("KeyboardRtp"));
    EXPECT_TRUE(PathExists(dir / "rtp"));
}

// F5 on a button reads the list again and takes the keyboard to the list,
// where no button shows the default frame.
TEST_F(WindowKeyboard, F5OnAButtonReadsTheListAgainAndTakesTheKeyboardToIt) {
    ASSERT_NO_FATAL_FAILURE(OnList(true));
    ASSERT_TRUE(key.SetString("Later2", dir / "rtp"));
    TypeKey(app.dialog, VK_F5);
    EXPECT_TRUE(Eventually([&] { return Listed("Later2"); }));
    EXPECT_EQ(FocusOf(app.dialog), List()) << "the button kept the focus";
    EXPECT_NE(GetWindowLongW(Remove(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "the default frame stayed on it";
}

TEST_F(WindowKeyboard, DeleteOnTheOfficialRtpDoesNothingAndANamesFirstLetterSelectsItsRow) {
    ASSERT_NO_FATAL_FAILURE(OnList());
    TypeKey(app.dialog, VK_END);  // Standard, the last row
    TypeKey(app.dialog, VK_DELETE);
    EXPECT_EQ(app.WaitBox(1000), nullptr) << "Delete on Standard";
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
