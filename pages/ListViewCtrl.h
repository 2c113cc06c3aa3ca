#pragma once
// One report-style list view of a dialog: columns, rows of text with their
// position as item data, the selection, extended styles and column
// widths. Texts are code page 932; the control is never owned, so a wrapper
// may live in static storage and outlive its control. Control answers are
// not checked except where a result says so.
//
// The control is a virtual one (LVS_OWNERDATA): the wrapper holds the rows,
// the control holds only their count and asks for the texts it draws, so
// thousands of rows go in at once. Its parent hands the control's questions
// to Notify.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ListViewCtrl {
public:
    // The width that lets SetColumnWidth choose, per column, between fitting
    // the cells (LVSCW_AUTOSIZE) and fitting them with the header in view
    // (LVSCW_AUTOSIZE_USEHEADER). Any width below -2 does the same.
    static constexpr int AutoFitWidth = -100;

    ListViewCtrl() = default;
    ListViewCtrl(const ListViewCtrl&) = delete;
    ListViewCtrl& operator=(const ListViewCtrl&) = delete;

    // Takes control (a null handle changes nothing). A control attached
    // before loses all its rows and columns first. Switches LVS_EX_INFOTIP on.
    void Attach(HWND control);

    // Attributes
    // The rows set through this wrapper since it was attached, and not
    // deleted since.
    int GetItemCount() const { return static_cast<int>(itemData.size()); }
    // The whole cell text; "" for an empty cell or a row or column out of range.
    std::string GetItemText(int row, int column) const;
    // The header text, cut to capacity bytes at a character boundary.
    void GetColumnText(int column, char* buffer, int capacity) const;
    // The selected rows' span, last - first + 1, or 0 (outputs then untouched).
    int GetSelectionRange(int* first, int* last) const;
    int GetFirstSelected() const;  // -1 for none
    int GetFocusedRow() const;     // -1 for none

    // Operations
    // Columns are numbered by this wrapper; a refused column still counts.
    void AddColumn(const char* text, int format, int width);
    // Replaces every row: texts holds the rows one after another, a text per
    // column, in the order they are to stand; a row's item data is its
    // position. Then sizes the columns as SetColumnWidth(-1, width) would.
    // Each text is converted once; the widest rows, found from the widths of
    // their characters, are shown to the control alone while it sizes the
    // columns to them. The automatic widths together stay within the visible
    // width: columns that fit an equal share keep their width, the wider ones
    // share the rest.
    void SetRows(const std::vector<std::string_view>& texts, int width);
    // Makes column one whose texts are asked of text(row) only once the
    // control shows the row, and kept until the rows are set again; its cells
    // in SetRows are placeholders. The texts the control draws for one
    // screen take at most LazyBudgetMs: the rest are asked for on a later
    // paint, and show empty meanwhile; GetItemText finds its cell at once. widest: the widest text it gives, which sizes the column.
    // Set before the rows.
    static constexpr ULONGLONG LazyBudgetMs = 50;
    void SetLazyColumn(int column, std::function<std::string(int row)> text, const char* widest);
    // Gives row the focus (the keyboard's place), leaving the selection as it is.
    void SetFocusedRow(int row);
    // Selects row alone and gives it the focus.
    void SelectRow(int row);
    // The first row in view, and scrolling so that row is first in view (or
    // as near as the list's end allows).
    int GetTopRow() const;
    void ScrollToTop(int row);
    void DeleteAllItems();
    void ClearColumns();
    // A negative column: every column. Widths of 0 or more, -1 and -2 go to
    // the control as they are; any other asks for the automatic choice, which
    // also keeps the header's text whole, in the header's own font.
    void SetColumnWidth(int column, int width);
    void SetExtendedStyle(DWORD bits, bool on);
    void SetFullRowSelect(bool on);
    // Off while many rows change at once: the control then neither lays out
    // nor paints per row. On again repaints it whole.
    void SetRedraw(bool on);

    // Answers what the control asks its parent of the rows: a cell's text
    // (LVN_GETDISPINFOW) and, as the user types, the next row whose name
    // starts with what was typed (LVN_ODFINDITEMW). False, leaving result,
    // for any other notification.
    bool Notify(NMHDR* header, LRESULT& result) const;

private:
    class TextMeter;

    bool InRange(int row, int column) const;
    // Whether the lazy column's texts asked for now fit this screen's budget.
    bool WithinLazyBudget() const;
    // A cell's text; a lazy one asked for the control to draw (drawn) is
    // found within the budget only, any other at once.
    const std::wstring& Cell(std::size_t row, int column, bool drawn = false) const;
    std::size_t RowCount() const { return itemData.size(); }
    // The control shows shown.size() rows, or every row while shown is empty.
    void ShowRows(std::size_t count);
    int FindRow(const NMLVFINDITEMW& find) const;
    // A cell wider than this (in pixels) makes the automatic choice fit the
    // cells; otherwise the header stays in view.
    int AutoThreshold(int column, TextMeter& meter) const;
    // Fits column to its cells, or to them with the header in view, never
    // narrower than the header's text.
    void ApplyAutoWidth(int column, bool fitCells, TextMeter& meter);
    // The row whose cell is widest in column, measured whole.
    std::size_t WidestRow(int column, TextMeter& meter, int& width) const;
    void FitColumnsInView();

    int columnCount = 0;
    HWND control = nullptr;
    // The rows' texts, stride cells a row (a missing one reads as empty), and
    // their item data. The lazy column's cells are filled as they are shown.
    mutable std::vector<std::wstring> cells;
    int lazyColumn = -1;
    std::function<std::string(int row)> lazyText;
    std::wstring lazyWidest;
    mutable std::vector<bool> lazyKnown;
    mutable ULONGLONG lazyLastAsked = 0, lazySpent = 0;
    std::size_t stride = 0;
    std::vector<int> itemData;
    // While the columns are sized: the rows the control is shown instead of
    // all of them, so that it measures only those.
    std::vector<std::size_t> shown;
};
