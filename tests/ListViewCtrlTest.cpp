// ListViewCtrl against a real list view in a hidden window; the messages it
// sends are counted on their way to the control.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "pages/ListViewCtrl.h"

namespace {

std::map<UINT, int> Sent;  // message -> how often the wrapper sent it
std::vector<int> WidthsSet;  // LVM_SETCOLUMNWIDTH's widths, in order
WNDPROC ListProc = nullptr;

LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++Sent[message];
    if (message == LVM_SETCOLUMNWIDTH) WidthsSet.push_back(static_cast<short>(LOWORD(lParam)));
    return CallWindowProcW(ListProc, window, message, wParam, lParam);
}

class ListViewCtrlTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr, nullptr,
                                 nullptr);
        Attach({"Name", "Path"}, 0);
    }
    void TearDown() override { DestroyWindow(parent); }
    // A new control with these columns and rows ("row0", "row1"...).
    void Attach(std::vector<const char*> headers, int rows) {
        control = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 400, 300,
                                  parent, nullptr, nullptr, nullptr);
        ListProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, LONG_PTR(Counting)));
        list.Attach(control);
        for (const char* header : headers) list.AddColumn(header, LVCFMT_LEFT, 50);
        for (int i = 0; i < rows; ++i) list.InsertItem(("row" + std::to_string(i)).c_str(), -1);
        Sent.clear();
        WidthsSet.clear();
    }
    LPARAM ItemData(int row) const {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }

    HWND parent = nullptr;
    HWND control = nullptr;
    ListViewCtrl list;
};

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    while (times-- > 0) text += piece;
    return text;
}

TEST_F(ListViewCtrlTest, CellTextsOfAnyLengthComeBackWhole) {
    // Reads: probes into growing buffers, then one read of a non-empty text.
    const std::pair<std::string, int> cases[] = {
        {"", 1}, {"表示ソ", 2}, {Repeat("a", 254), 2}, {Repeat("b", 255), 3}, {Repeat("表", 300), 3}, {Repeat("c", 511), 4},
    };
    Attach({"Name", "Path"}, 1);
    for (const auto& [text, reads] : cases) {
        list.SetItemText(0, 1, text.c_str());
        Sent.clear();
        EXPECT_EQ(list.GetItemText(0, 1), text) << text.size() << " bytes";
        EXPECT_EQ(Sent[LVM_GETITEMTEXTW], reads) << text.size() << " bytes";
    }
}

TEST_F(ListViewCtrlTest, RowsAndColumnsOutOfRangeAreNeverSent) {
    list.SetLastRowText(1, "none");
    EXPECT_EQ(Sent[LVM_SETITEMTEXTW], 0) << "an empty list";
    Attach({"Name", "Path"}, 3);
    const std::pair<int, int> cells[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}};
    for (const auto& [row, column] : cells) {
        list.SetItemText(row, column, "x");
        EXPECT_EQ(list.GetItemText(row, column), "") << row << ", " << column;
        EXPECT_EQ(Sent[LVM_SETITEMTEXTW] + Sent[LVM_GETITEMTEXTW], 0) << row << ", " << column;
    }
    list.SetLastRowText(1, "最後");
    EXPECT_EQ(list.GetItemText(2, 1) + "/" + list.GetItemText(1, 1), "最後/");
}

TEST_F(ListViewCtrlTest, ColumnWidths) {
    struct Case {
        const char* header;  // of column 0; column 1 is "Path" with no cells
        std::string cell;    // of column 0, row 0; no row when empty
        int width;
        std::vector<int> sent;
    } const cases[] = {
        {"Name", "", ListViewCtrl::AutoFitWidth, {-2, -2}},
        {"Name", "Name", ListViewCtrl::AutoFitWidth, {-2, -2}},
        {"Name", Repeat("W", 40), ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -3, {-1, -2}},
        // The average is per code page 932 byte: 名前 is 4 bytes, so twice
        // the header is wider than the header and two averages.
        {"名前", "名前名前", ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -1, {-1, -1}},
        {"Name", "", -2, {-2, -2}},
        {"Name", "", 70, {70, 70}},
    };
    for (const Case& c : cases) {
        Attach({c.header, "Path"}, 0);
        if (!c.cell.empty()) list.InsertItem(c.cell.c_str(), -1);
        list.SetColumnWidth(-1, c.width);
        EXPECT_EQ(WidthsSet, c.sent) << c.header << " / " << c.cell << " / " << c.width;
    }
    Attach({}, 0);
    list.SetColumnWidth(-1, ListViewCtrl::AutoFitWidth);
    EXPECT_TRUE(WidthsSet.empty()) << "no columns";
}

TEST_F(ListViewCtrlTest, FirstSelected) {
    Attach({"Name"}, 6);
    int first = -7, last = -7;
    EXPECT_EQ(list.GetFirstSelected(), -1);
    EXPECT_EQ(list.GetSelectionRange(&first, nullptr), 0);
    EXPECT_EQ(first, -7) << "left alone";
    ListView_SetItemState(control, 4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetFirstSelected(), 4);
    EXPECT_EQ(list.GetSelectionRange(&first, &last), 1);
    EXPECT_EQ(std::pair(first, last), std::pair(4, 4));
}

// Item data counts the inserts since the control was attached or emptied.
TEST_F(ListViewCtrlTest, ItemDataAndAttachingAnotherControl) {
    Attach({"Name"}, 2);
    EXPECT_EQ(list.InsertItem("front", 0), 0);
    EXPECT_EQ(list.GetItemText(0, 0) + std::to_string(ItemData(0)), "front2");
    list.DeleteAllItems();
    list.InsertItem("again", -1);
    EXPECT_EQ(ItemData(0), 0);
    HWND first = control;
    list.SetFullRowSelect(true);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(first), DWORD{LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT});
    list.Attach(nullptr);
    EXPECT_EQ(list.GetControl(), first);
    Attach({"Name"}, 1);
    EXPECT_EQ(ListView_GetItemCount(first) + Header_GetItemCount(ListView_GetHeader(first)), 0);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(control), DWORD{LVS_EX_INFOTIP});
    EXPECT_EQ(ItemData(0), 0);
}

}  // namespace
