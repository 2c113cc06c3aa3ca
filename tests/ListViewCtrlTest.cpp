// ListViewCtrl against a real list view in a hidden window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "pages/ListViewCtrl.h"

namespace {

std::string Repeat(const std::string& piece, int times) { return times > 0 ? piece + Repeat(piece, times - 1) : ""; }

std::vector<int> WidthsSet;  // LVM_SETCOLUMNWIDTH's widths, in order
WNDPROC ListProc = nullptr;
LRESULT CALLBACK RecordWidths(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_SETCOLUMNWIDTH) WidthsSet.push_back(static_cast<short>(LOWORD(lParam)));
    return CallWindowProcW(ListProc, window, message, wParam, lParam);
}

struct ListViewCtrlTest : testing::Test {
    ListViewCtrlTest() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
    }
    ~ListViewCtrlTest() override { DestroyWindow(parent); }
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

TEST_F(ListViewCtrlTest, ListViewCellsOfAnyLengthAndOutOfRange) {
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

TEST_F(ListViewCtrlTest, ListViewColumnWidths) {
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

}  // namespace
