// ListViewCtrl against a real list view in a hidden window; the messages it
// sends are counted on their way to the control.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "fsutil/WinText.h"
#include "pages/ListViewCtrl.h"

namespace {

std::map<UINT, int> Sent;        // message -> how often the wrapper sent it
std::vector<int> WidthsSet;      // LVM_SETCOLUMNWIDTH's widths, in order
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
        parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr,
                                 nullptr, nullptr);
        MakeList();
        list.Attach(control);
        list.AddColumn("Name", LVCFMT_LEFT, 50);
        list.AddColumn("Path", LVCFMT_LEFT, 50);
        Sent.clear();
        WidthsSet.clear();
    }
    void TearDown() override { DestroyWindow(parent); }
    void MakeList() {
        control = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 400, 300,
                                  parent, nullptr, nullptr, nullptr);
        ListProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Counting)));
    }
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) list.InsertItem(("row" + std::to_string(i)).c_str(), -1);
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
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST_F(ListViewCtrlTest, CellTextsOfAnyLengthComeBackWhole) {
    struct Case {
        std::string text;
        int reads;  // probes with growing buffers, plus one final read of a non-empty text
    } const cases[] = {
        {"", 1},
        {"表示ソ", 2},
        {Repeat("a", 254), 2},
        {Repeat("b", 255), 3},  // fills the first probe: it may have been cut
        {Repeat("表", 300), 3},  // 300 characters, 600 bytes
        {Repeat("c", 511), 4},
    };
    AddRows(1);
    for (const Case& c : cases) {
        list.SetItemText(0, 1, c.text.c_str());
        Sent.clear();
        EXPECT_EQ(list.GetItemText(0, 1), c.text) << c.text.size() << " bytes";
        EXPECT_EQ(Sent[LVM_GETITEMTEXTW], c.reads) << c.text.size() << " bytes";
    }
}

TEST_F(ListViewCtrlTest, RowsAndColumnsOutOfRangeAreNeverSent) {
    AddRows(3);
    const int cells[][2] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {3, 2}};
    for (const auto& cell : cells) {
        Sent.clear();
        list.SetItemText(cell[0], cell[1], "x");
        EXPECT_EQ(list.GetItemText(cell[0], cell[1]), "") << cell[0] << ", " << cell[1];
        EXPECT_EQ(Sent[LVM_SETITEMTEXTW] + Sent[LVM_GETITEMTEXTW], 0) << cell[0] << ", " << cell[1];
    }
}

TEST_F(ListViewCtrlTest, SetLastRowTextSetsTheLastRowOnly) {
    list.SetLastRowText(1, "none");
    EXPECT_EQ(Sent[LVM_SETITEMTEXTW], 0) << "an empty list";
    AddRows(3);
    list.SetLastRowText(1, "最後");
    EXPECT_EQ(list.GetItemText(2, 1), "最後");
    EXPECT_EQ(list.GetItemText(1, 1), "");
}

TEST_F(ListViewCtrlTest, ItemDataCountsInsertsSinceTheRowsWereDeleted) {
    AddRows(2);
    EXPECT_EQ(list.InsertItem("front", 0), 0);
    EXPECT_EQ(list.GetItemText(0, 0), "front");
    EXPECT_EQ(ItemData(0), 2);
    EXPECT_EQ(ItemData(2), 1);
    list.DeleteAllItems();
    EXPECT_EQ(list.InsertItem("again", -1), 0);
    EXPECT_EQ(ItemData(0), 0);
}

TEST_F(ListViewCtrlTest, ColumnWidths) {
    struct Case {
        const char* header;  // of column 0; column 1 is "Path" with no cells
        std::string cell;    // of column 0, row 0; no row when empty
        int width;
        std::vector<int> sent;
    } const cases[] = {
        {"Name", "", ListViewCtrl::AutoFitWidth, {-2, -2}},  // no rows
        {"Name", "Name", ListViewCtrl::AutoFitWidth, {-2, -2}},
        {"Name", Repeat("W", 40), ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -3, {-1, -2}},
        // The average is per code page 932 byte: 名前 is 4 bytes, so the
        // header and half of it fit, and twice the header does not.
        {"名前", "名前名前", ListViewCtrl::AutoFitWidth, {-1, -2}},
        {"Name", Repeat("W", 40), -1, {-1, -1}},
        {"Name", "", -2, {-2, -2}},
        {"Name", "", 70, {70, 70}},
    };
    for (const Case& c : cases) {
        list.ClearColumns();
        list.AddColumn(c.header, LVCFMT_LEFT, 50);
        list.AddColumn("Path", LVCFMT_LEFT, 50);
        if (!c.cell.empty()) list.InsertItem(c.cell.c_str(), -1);
        WidthsSet.clear();
        list.SetColumnWidth(-1, c.width);
        EXPECT_EQ(WidthsSet, c.sent) << c.header << " / " << c.cell << " / " << c.width;
    }
    list.ClearColumns();
    WidthsSet.clear();
    list.SetColumnWidth(-1, ListViewCtrl::AutoFitWidth);
    EXPECT_TRUE(WidthsSet.empty()) << "no columns";
}

TEST_F(ListViewCtrlTest, FirstSelected) {
    AddRows(6);
    int first = -7;
    EXPECT_EQ(list.GetFirstSelected(), -1);
    EXPECT_EQ(list.GetSelectionRange(&first, nullptr), 0);
    EXPECT_EQ(first, -7) << "left alone";
    ListView_SetItemState(control, 4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetFirstSelected(), 4);
    int last = -7;
    EXPECT_EQ(list.GetSelectionRange(&first, &last), 1);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 4);
}

TEST_F(ListViewCtrlTest, AttachingAnotherControlEmptiesTheFirst) {
    AddRows(2);
    HWND first = control;
    list.SetFullRowSelect(true);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(first), static_cast<DWORD>(LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT));
    list.Attach(nullptr);
    EXPECT_EQ(list.GetControl(), first);
    MakeList();
    list.Attach(control);
    EXPECT_EQ(ListView_GetItemCount(first), 0);
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(first)), 0);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(control), static_cast<DWORD>(LVS_EX_INFOTIP));
    list.AddColumn("Name", LVCFMT_LEFT, 50);
    EXPECT_EQ(list.InsertItem("one", -1), 0);
    EXPECT_EQ(ItemData(0), 0) << "counting starts again";
    list.SetFullRowSelect(false);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(control), static_cast<DWORD>(LVS_EX_INFOTIP));
}

}  // namespace
