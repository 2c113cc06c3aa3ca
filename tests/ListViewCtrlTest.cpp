// ListViewCtrl's column widths against a real list view in a hidden window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "fsutil/WinText.h"
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
    // A new list view with these columns.
    void NewList(std::vector<const char*> headers) {
        HWND control = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 400, 300, parent,
                                       nullptr, nullptr, nullptr);
        ListProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, LONG_PTR(RecordWidths)));
        list.Attach(control);
        for (const char* header : headers) list.AddColumn(header, LVCFMT_LEFT, 50);
        WidthsSet.clear();
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr, nullptr, nullptr);
    ListViewCtrl list;
};

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
        NewList({row.header, "Path"});  // column 1: "Path", no cells
        if (!row.cell.empty()) list.InsertItem(row.cell.c_str(), -1);
        list.SetColumnWidth(-1, row.width);
        // The automatic choice may be widened after it, to show the header's text whole.
        std::vector<int> choices;
        for (int width : WidthsSet) if (width < 0 || row.width >= 0) choices.push_back(width);
        EXPECT_EQ(choices, row.sent) << row.header << " / " << row.cell << " / " << row.width;
        HWND header = ListView_GetHeader(list.GetControl());
        HDC dc = GetDC(header);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
        SIZE text{};
        const std::wstring headerText = DisplayText(row.header);
        GetTextExtentPoint32W(dc, headerText.c_str(), static_cast<int>(headerText.size()), &text);
        ReleaseDC(header, dc);
        if (row.width < -2) {
            EXPECT_GE(ListView_GetColumnWidth(list.GetControl(), 0), text.cx + 2 * Header_GetBitmapMargin(header)) << row.header;
        }
    }
    NewList({});
    list.SetColumnWidth(-1, ListViewCtrl::AutoFitWidth);
    EXPECT_TRUE(WidthsSet.empty()) << "no columns";
}

}  // namespace
