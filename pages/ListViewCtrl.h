#pragma once
// One report-style list view of a dialog: columns, rows of text with a
// running item-data number, the selection, extended styles and column
// widths. Texts are code page 932; the control is never owned, so a wrapper
// may live in static storage and outlive its control. Control answers are
// not checked except where a result says so.
#include <windows.h>

#include <string>

#include "pages/SharedTextBuffer.h"

class ListViewCtrl {
public:
    // The width that lets SetColumnWidth choose, per column, between fitting
    // the cells (LVSCW_AUTOSIZE) and fitting them with the header in view
    // (LVSCW_AUTOSIZE_USEHEADER). Any width below -2 does the same.
    static constexpr int AutoFitWidth = -100;

    constexpr ListViewCtrl() = default;
    ListViewCtrl(const ListViewCtrl&) = delete;
    ListViewCtrl& operator=(const ListViewCtrl&) = delete;

    // Takes control (a null handle changes nothing). A control attached
    // before loses all its rows and columns first. Switches LVS_EX_INFOTIP on.
    void Attach(HWND control);
    HWND GetControl() const { return control; }

    // Attributes
    int GetItemCount() const;
    // The whole cell text; "" for an empty cell or a row or column out of range.
    std::string GetItemText(int row, int column) const;
    // The header text, cut to capacity bytes at a character boundary.
    void GetColumnText(int column, char* buffer, int capacity) const;
    // The selected rows' span, last - first + 1, or 0 (outputs then untouched).
    int GetSelectionRange(int* first, int* last) const;
    int GetFirstSelected() const;  // -1 for none

    // Operations
    // Columns are numbered by this wrapper; a refused column still counts.
    void AddColumn(const char* text, int format, int width);
    // A negative row appends. Returns the new row's index or -1; the row's
    // item data is the running counter, used up even by a refused row.
    int InsertItem(const char* text, int row);
    // Rows and columns out of range are ignored.
    void SetItemText(int row, int column, const char* text);
    void SetLastRowText(int column, const char* text);
    void DeleteAllItems();
    void ClearColumns();
    // A negative column: every column. Widths of 0 or more, -1 and -2 go to
    // the control as they are; any other asks for the automatic choice, and
    // then the column is never narrower than its header text needs.
    void SetColumnWidth(int column, int width);
    void SetExtendedStyle(DWORD bits, bool on);
    void SetFullRowSelect(bool on);
    // Off while many rows change at once: the control then neither lays out
    // nor paints per row. On again repaints it whole.
    void SetRedraw(bool on);

    // The cell's length in UTF-16 units (the control's own count), found by
    // reading into growing buffers; 0 out of range.
    int GetItemTextLength(int row, int column) const;
    // Fills buffer with the whole cell text and its terminator.
    void ReadItemText(int row, int column, SharedTextBuffer& buffer) const;

private:
    bool InRange(int row, int column) const;
    std::wstring ReadWide(int row, int column) const;
    int AutoWidth(int column) const;  // LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER
    int HeaderWidth(int column) const;  // the header text and the header's margins, in pixels

    int columnCount = 0;
    HWND control = nullptr;
    int itemCounter = 0;
};
