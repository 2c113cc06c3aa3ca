// The control wrappers against real controls in a hidden window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/TabHost.h"
#include "pages/ComboBoxCtrl.h"
#include "pages/ListViewCtrl.h"

namespace {

std::string Repeat(const std::string& piece, int times) { return times > 0 ? piece + Repeat(piece, times - 1) : ""; }

std::vector<int> WidthsSet;  // LVM_SETCOLUMNWIDTH's widths, in order
WNDPROC ListProc = nullptr;
LRESULT CALLBACK RecordWidths(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_SETCOLUMNWIDTH) WidthsSet.push_back(static_cast<short>(LOWORD(lParam)));
    return CallWindowProcW(ListProc, window, message, wParam, lParam);
}

struct ControlsTest : testing::Test {
    ControlsTest() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
    }
    ~ControlsTest() override { DestroyWindow(parent); }
    HWND Child(const wchar_t* name, DWORD style) const {
        return CreateWindowExW(0, name, L"", WS_CHILD | style, 0, 0, 400, 300, parent, nullptr, nullptr, nullptr);
    }
    // A new list view with these columns and rows ("row0", "row1"...).
    HWND NewList(std::vector<const char*> headers, int rows) {
        HWND control = Child(WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL);
        ListProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, LONG_PTR(RecordWidths)));
        list.Attach(control);
        for (const char* header : headers) list.AddColumn(header, LVCFMT_LEFT, 50);
        for (int i = 0; i < rows; ++i) list.InsertItem(("row" + std::to_string(i)).c_str(), -1);
        WidthsSet.clear();
        return control;
    }
    LPARAM ItemData(HWND control, int row) const {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr, nullptr, nullptr);
    ListViewCtrl list;
};

TEST_F(ControlsTest, ListViewCellsOfAnyLengthAndOutOfRange) {
    NewList({"Name", "Path"}, 0);
    list.SetLastRowText(1, "none");  // an empty list: nothing to set
    HWND control = NewList({"Name", "Path"}, 3);
    for (const std::string& text : {std::string(), std::string("表示ソ"), Repeat("a", 255), Repeat("表", 300), Repeat("c", 511)}) {
        list.SetItemText(1, 1, text.c_str());
        EXPECT_EQ(list.GetItemText(1, 1), text) << text.size() << " bytes";
    }
    for (const auto& [row, column] : std::vector<std::pair<int, int>>{{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
        list.SetItemText(row, column, "x");
        EXPECT_EQ(list.GetItemText(row, column), "") << row << ", " << column;
    }
    list.SetLastRowText(1, "最後");
    EXPECT_EQ(list.GetItemText(2, 1) + "/" + list.GetItemText(0, 1) + "/" + list.GetItemText(0, 0), "最後//row0");
    // Item data counts the inserts since the control was attached or emptied.
    EXPECT_EQ(list.InsertItem("front", 0), 0);
    EXPECT_EQ(ItemData(control, 0), 3);
    list.DeleteAllItems();
    list.InsertItem("again", -1);
    EXPECT_EQ(ItemData(control, 0), 0);
    int first = -7, last = -7;
    EXPECT_EQ(list.GetFirstSelected(), -1);
    EXPECT_EQ(list.GetSelectionRange(&first, nullptr) * 100 + first, -7) << "none, and left alone";
    list.InsertItem("second", -1);
    ListView_SetItemState(control, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetFirstSelected(), 1);
    const int span = list.GetSelectionRange(&first, &last);
    EXPECT_EQ(std::to_string(span) + ":" + std::to_string(first) + "-" + std::to_string(last), "1:1-1");
    list.Attach(nullptr);
    EXPECT_EQ(list.GetControl(), control);
    HWND second = NewList({"Name"}, 1);
    EXPECT_EQ(ListView_GetItemCount(control) + Header_GetItemCount(ListView_GetHeader(control)), 0) << "the first emptied";
    EXPECT_EQ(ListView_GetExtendedListViewStyle(second), DWORD{LVS_EX_INFOTIP});
    EXPECT_EQ(ItemData(second, 0), 0);
}

TEST_F(ControlsTest, ListViewColumnWidths) {
    const struct { const char* header; std::string cell; int width; std::vector<int> sent; } rows[] = {
        {"Name", "", ListViewCtrl::AutoFitWidth, {-2, -2}},
        {"Name", "Name", ListViewCtrl::AutoFitWidth, {-2, -2}},
        {"Name", Repeat("W", 40), ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -3, {-1, -2}},
        // Per code page 932 byte: 名前 is 4 bytes, so twice it is wider than the header and two averages.
        {"名前", "名前名前", ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -1, {-1, -1}},
        {"Name", "", -2, {-2, -2}},
        {"Name", "", 70, {70, 70}},
    };
    for (const auto& row : rows) {
        NewList({row.header, "Path"}, 0);  // column 1: "Path", no cells
        if (!row.cell.empty()) list.InsertItem(row.cell.c_str(), -1);
        list.SetColumnWidth(-1, row.width);
        EXPECT_EQ(WidthsSet, row.sent) << row.header << " / " << row.cell << " / " << row.width;
    }
    NewList({}, 0);
    list.SetColumnWidth(-1, ListViewCtrl::AutoFitWidth);
    EXPECT_TRUE(WidthsSet.empty()) << "no columns";
}

// Rows with a text try SelectByText (1 when found), the others SetCurSel.
TEST_F(ControlsTest, ComboBoxSelectionFallsBackToTheFirstItemOnlyWhenAsked) {
    ComboBoxCtrl combo(Child(L"COMBOBOX", CBS_DROPDOWNLIST));
    using Items = std::vector<const char*>;
    const Items kinds = {"RPGXP", "RPGVX"};
    const struct { Items items; const char* text; int index; bool fallback; int result, selected; } rows[] = {
        {kinds, "RPGVX", 0, false, 1, 1}, {kinds, "rpgvx", 0, false, 0, -1}, {kinds, "rpgvx", 0, true, 0, 0},
        {kinds, "RPGV", 0, true, 0, 0},   {kinds, "RPGVXX", 0, false, 0, -1}, {{}, "RPGXP", 0, true, 0, -1},
        {{"表", "ソ"}, "ソ", 0, false, 1, 1}, {kinds, nullptr, 1, false, 1, 1}, {kinds, nullptr, 2, false, CB_ERR, -1},
        {kinds, nullptr, 7, true, 0, 0},  {{}, nullptr, 0, true, 0, -1},
    };
    for (const auto& row : rows) {
        SendMessageW(combo.GetWindow(), CB_RESETCONTENT, 0, 0);
        for (const char* item : row.items) combo.AddString(item, -1);
        const int result = row.text != nullptr ? combo.SelectByText(row.text, row.fallback) : combo.SetCurSel(row.index, row.fallback);
        EXPECT_EQ(std::to_string(result) + " " + std::to_string(combo.GetCurSel()), std::to_string(row.result) + " " + std::to_string(row.selected))
            << (row.text != nullptr ? row.text : std::to_string(row.index)) << " in " << row.items.size() << " items, fallback " << row.fallback;
    }
    combo.AddString("表ソ", 0);  // 0x5C second bytes, through the code page 932 boundary
    combo.SetCurSel(0, false);
    char buffer[4] = "xyz";
    EXPECT_TRUE(combo.GetSelectedText(buffer, sizeof buffer));
    EXPECT_EQ(combo.GetItemText(0) + "," + buffer, "表ソ,表") << "cut at a character boundary";
}

int InitCount = 0;
INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? ++InitCount : 0; }

// One host through a series of tables and page switches; the state after
// each step: selection / tab count / each page shown (V), hidden (h) or
// missing (x) / pages initialised so far.
TEST_F(ControlsTest, TabHostPagesFollowTheTableAndTheSelection) {
    const TabPageSpec three[] = {{"a", 201, PageProc}, {"b", 202, PageProc}, {"c", 202, PageProc}, {"", 0, nullptr}};
    const TabPageSpec missing[] = {{"a", 201, PageProc}, {"no template", 299, PageProc}, {"c", 202, PageProc}, {"", 0, nullptr}};
    const TabPageSpec none[] = {{"", 0, nullptr}};
    const struct { const TabPageSpec* table; int index; const char* state; } steps[] = {
        {three, 100, "0/3/Vhh/3"}, {nullptr, 2, "2/3/hhV/3"}, {nullptr, 5, "2/3/hhV/3"}, {nullptr, 0, "0/3/Vhh/3"},
        {three, -5, "0/3/Vhh/6"},  {three, 2, "2/3/hhV/9"},   {missing, 0, "0/3/Vxh/11"}, {nullptr, 1, "1/3/hxh/11"},
        {nullptr, 2, "2/3/hxV/11"}, {none, 0, "-1/0//11"},
    };
    TabHost host;
    HWND tab = Child(WC_TABCONTROLW, WS_VISIBLE);
    for (const auto& step : steps) {
        step.table != nullptr ? host.Create(tab, GetModuleHandleW(nullptr), step.table, step.index) : host.ShowPage(step.index);
        std::string state = std::to_string(host.GetCurSel()) + "/" + std::to_string(host.GetItemCount()) + "/";
        for (int i = 0; i < host.GetItemCount(); ++i)
            state += host.GetPage(i) == nullptr ? 'x' : (GetWindowLongW(host.GetPage(i), GWL_STYLE) & WS_VISIBLE) ? 'V' : 'h';
        EXPECT_EQ(state + "/" + std::to_string(InitCount), step.state) << (step.table ? "Create at " : "ShowPage ") << step.index;
    }
}

}  // namespace
