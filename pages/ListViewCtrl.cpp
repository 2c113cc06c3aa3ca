#include "pages/ListViewCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

namespace {

constexpr int HeaderCapacity = 256;

}  // namespace

// Widths of texts in pixels, in a window's fonts, on one device context.
class ListViewCtrl::TextMeter {
public:
    explicit TextMeter(HWND window)
        : window(window), own(FontOf(window)), dc(GetDC(window)), original(SelectObject(dc, own)), selected(own) {}
    TextMeter(const TextMeter&) = delete;
    TextMeter& operator=(const TextMeter&) = delete;
    ~TextMeter() {
        SelectObject(dc, original);
        ReleaseDC(window, dc);
    }

    static HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

    // In the window's own font, or in font.
    int Width(std::wstring_view text, HFONT font = nullptr) {
        if (font == nullptr) font = own;
        if (font != selected) SelectObject(dc, selected = font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    }

    // In the window's own font, from the widths of its characters, each
    // measured once: close to Width, and thousands of times cheaper for many
    // texts of the same characters.
    int Estimate(std::wstring_view text) {
        if (characters.empty()) characters.assign(0x10000, -1);
        int width = 0;
        for (const wchar_t c : text) {
            int& known = characters[static_cast<std::size_t>(c)];
            if (known < 0) known = Width(std::wstring_view(&c, 1));
            width += known;
        }
        return width;
    }

private:
    HWND window;
    HFONT own;
    HDC dc;
    HGDIOBJ original;
    HFONT selected;
    std::vector<int> characters;  // by UTF-16 unit; -1 until measured
};

void ListViewCtrl::Attach(HWND newControl) {
    if (newControl == nullptr) return;
    if (control != nullptr) {
        DeleteAllItems();
        ClearColumns();
    }
    control = newControl;
    columnCount = 0;
    cells.clear();
    itemData.clear();
    shown.clear();
    SetExtendedStyle(LVS_EX_INFOTIP, true);
}

bool ListViewCtrl::InRange(int row, int column) const {
    return row >= 0 && row < GetItemCount() && column >= 0 && column < columnCount;
}

const std::wstring& ListViewCtrl::Cell(std::size_t row, int column, bool drawn) const {
    static const std::wstring empty;
    if (column < 0 || static_cast<std::size_t>(column) >= stride) return empty;
    std::wstring& cell = cells[row * stride + static_cast<std::size_t>(column)];
    if (column != lazyColumn) return cell;
    // While the columns are sized, the widest text the column can hold.
    if (!shown.empty()) return lazyWidest;
    if (!lazyKnown[row] && (!drawn || WithinLazyBudget())) {
        const ULONGLONG started = GetTickCount64();
        cell = DisplayText(lazyText(static_cast<int>(row)));
        lazyKnown[row] = true;
        lazyLastAsked = GetTickCount64();
        lazySpent += lazyLastAsked - started;
    }
    return cell;
}

namespace {

void CALLBACK RepaintLater(HWND list, UINT, UINT_PTR timer, DWORD) {
    KillTimer(list, timer);
    InvalidateRect(list, nullptr, FALSE);
}

}  // namespace

bool ListViewCtrl::WithinLazyBudget() const {
    // Asks that come close together are one screen's: they share the budget.
    const ULONGLONG now = GetTickCount64();
    if (now - lazyLastAsked > LazyBudgetMs) lazySpent = 0;
    lazyLastAsked = now;
    if (lazySpent <= LazyBudgetMs) return true;
    // The rest is found on a later paint, once this one is done.
    SetTimer(control, reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(LazyBudgetMs * 2), RepaintLater);
    return false;
}

void ListViewCtrl::SetLazyColumn(int column, std::function<std::string(int row)> text, const char* widest) {
    lazyColumn = column;
    lazyText = std::move(text);
    lazyWidest = DisplayText(widest);
}

std::string ListViewCtrl::GetItemText(int row, int column) const {
    if (!InRange(row, column)) return {};
    const std::string text = NarrowOrEmpty(Cell(static_cast<std::size_t>(row), column));
    return text.c_str();  // up to the first NUL, as the control would show it
}

void ListViewCtrl::GetColumnText(int column, char* buffer, int capacity) const {
    if (capacity <= 0) return;
    std::wstring text(static_cast<std::size_t>(capacity), L'\0');
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.pszText = text.data();
    header.cchTextMax = capacity;
    SendMessageW(control, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    text.resize(std::wcslen(text.c_str()));
    const std::string narrow = NarrowOrEmpty(text);
    const std::size_t length = CharacterPrefix(narrow.c_str(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, narrow.c_str(), length);
    buffer[length] = 0;
}

int ListViewCtrl::GetSelectionRange(int* first, int* last) const {
    int found = -1;
    int end = -1;
    for (int start = -1;;) {
        const int next = static_cast<int>(
            SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0)));
        if (next < 0) break;
        if (found == -1) found = next;
        end = start = next;
    }
    if (found == -1) return 0;
    if (first != nullptr) *first = found;
    if (last != nullptr) *last = end;
    return end - found + 1;
}

int ListViewCtrl::GetFirstSelected() const {
    int first = -1;
    return GetSelectionRange(&first, nullptr) > 0 ? first : -1;
}

int ListViewCtrl::GetFocusedRow() const {
    return static_cast<int>(SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

void ListViewCtrl::SelectRow(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(control, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(control, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ListViewCtrl::GetTopRow() const { return static_cast<int>(SendMessageW(control, LVM_GETTOPINDEX, 0, 0)); }

void ListViewCtrl::ScrollToTop(int row) {
    RECT first{LVIR_BOUNDS, 0, 0, 0};
    const int top = GetTopRow();
    if (row == top || !SendMessageW(control, LVM_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&first)))
        return;
    SendMessageW(control, LVM_SCROLL, 0, (row - top) * (first.bottom - first.top));
}

void ListViewCtrl::SetFocusedRow(int row) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_FOCUSED;
    SendMessageW(control, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewCtrl::AddColumn(const char* text, int format, int width) {
    std::wstring wide = DisplayText(text);
    LVCOLUMNW header{};
    header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    header.fmt = format;
    header.cx = width;
    header.pszText = wide.data();
    header.iSubItem = columnCount;
    SendMessageW(control, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnCount), reinterpret_cast<LPARAM>(&header));
    ++columnCount;
}

void ListViewCtrl::ShowRows(std::size_t count) {
    SendMessageW(control, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
}

std::size_t ListViewCtrl::WidestRow(int column, TextMeter& meter, int& width) const {
    // Estimated first; the widest few by estimate are measured whole. Rows
    // of one width (names that differ only in their digits) are measured
    // no more than Candidates times: any of them is as wide as the others.
    constexpr std::size_t Candidates = 16;
    std::vector<std::pair<int, std::size_t>> estimates(RowCount());  // width, row; widest first
    for (std::size_t row = 0; row < RowCount(); ++row) estimates[row] = {-meter.Estimate(Cell(row, column)), row};
    const std::size_t measured = std::min(Candidates, estimates.size());
    std::partial_sort(estimates.begin(), estimates.begin() + static_cast<std::ptrdiff_t>(measured), estimates.end());
    std::size_t widest = 0;
    width = -1;
    for (std::size_t i = 0; i < measured; ++i)
        if (const int whole = meter.Width(Cell(estimates[i].second, column)); whole > width) {
            width = whole;
            widest = estimates[i].second;
        }
    return widest;
}

void ListViewCtrl::SetRows(const std::vector<std::string_view>& texts, int width) {
    DeleteAllItems();
    if (columnCount <= 0) return;
    const auto columns = static_cast<std::size_t>(columnCount);
    stride = columns;
    cells.resize(texts.size() / columns * columns);
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = DisplayText(texts[i]);
    itemData.resize(cells.size() / columns);
    for (std::size_t row = 0; row < itemData.size(); ++row) itemData[row] = static_cast<int>(row);
    lazyKnown.assign(itemData.size(), false);
    if (width >= LVSCW_AUTOSIZE_USEHEADER || itemData.empty()) {
        ShowRows(RowCount());
        SetColumnWidth(-1, width);
        return;
    }
    // The control sizes its columns from the widest rows alone, shown to it
    // by themselves, then shows every row.
    TextMeter meter(control);
    std::vector<int> widest(columns, 0);
    for (int column = 0; column < columnCount; ++column) {
        if (column == lazyColumn)
            widest[static_cast<std::size_t>(column)] = meter.Width(lazyWidest);
        else
            shown.push_back(WidestRow(column, meter, widest[static_cast<std::size_t>(column)]));
    }
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    ShowRows(shown.size());
    for (int column = 0; column < columnCount; ++column)
        ApplyAutoWidth(column, widest[static_cast<std::size_t>(column)] > AutoThreshold(column, meter), meter);
    shown.clear();
    ShowRows(RowCount());
    FitColumnsInView();
}

void ListViewCtrl::FitColumnsInView() {
    // One long name would otherwise push every other column out of view.
    // Room is kept for a vertical scroll bar, which many rows bring.
    RECT client{};
    GetClientRect(control, &client);
    int room = client.right - ((GetWindowLongW(control, GWL_STYLE) & WS_VSCROLL) ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    std::vector<std::pair<int, int>> widths;  // width, column; narrowest first
    for (int column = 0; column < columnCount; ++column)
        widths.emplace_back(static_cast<int>(SendMessageW(control, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)), column);
    std::sort(widths.begin(), widths.end());
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int share = std::max(room, 0) / static_cast<int>(widths.size() - i);
        if (widths[i].first > share)
            SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(widths[i].second), MAKELPARAM(share, 0));
        room -= std::min(widths[i].first, share);
    }
}

void ListViewCtrl::DeleteAllItems() {
    // Also drops the selection, which the control keeps by row number.
    SendMessageW(control, LVM_DELETEALLITEMS, 0, 0);
    cells.clear();
    stride = 0;
    itemData.clear();
}

void ListViewCtrl::ClearColumns() {
    DeleteAllItems();
    for (int i = 0; i < columnCount; ++i) SendMessageW(control, LVM_DELETECOLUMN, 0, 0);
    columnCount = 0;
}

int ListViewCtrl::AutoThreshold(int column, TextMeter& meter) const {
    char header[HeaderCapacity] = {};
    GetColumnText(column, header, HeaderCapacity);
    const int headerWidth = meter.Width(DisplayText(header));
    // The header's average character width, per code page 932 byte. An empty
    // header has none: then any cell wider than nothing is wider than it.
    const int length = static_cast<int>(std::strlen(header));
    const int average = length > 0 ? headerWidth / length : 0;
    return headerWidth + 2 * average;
}

void ListViewCtrl::ApplyAutoWidth(int column, bool fitCells, TextMeter& meter) {
    const int width = fitCells ? LVSCW_AUTOSIZE : LVSCW_AUTOSIZE_USEHEADER;
    SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    // Fitting the cells may leave the header's text cut: the header draws it
    // between two margins, in its own font.
    HWND header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
    wchar_t text[HeaderCapacity] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = HeaderCapacity;
    if (header == nullptr || !SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return;
    const int whole = meter.Width(text, TextMeter::FontOf(header)) +
                      2 * static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
    if (SendMessageW(control, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0) < whole)
        SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(whole, 0));
}

void ListViewCtrl::SetColumnWidth(int column, int width) {
    if (column < 0) {
        for (int i = 0; i < columnCount; ++i) SetColumnWidth(i, width);
        return;
    }
    if (width >= LVSCW_AUTOSIZE_USEHEADER) {
        SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
        return;
    }
    // The cells in order, each measured once, up to the first that decides.
    TextMeter meter(control);
    const int threshold = AutoThreshold(column, meter);
    int widest = 0;
    if (column == lazyColumn) widest = meter.Width(lazyWidest);
    for (std::size_t row = 0; row < RowCount() && widest <= threshold && column != lazyColumn; ++row)
        widest = std::max(widest, meter.Width(Cell(row, column)));
    ApplyAutoWidth(column, widest > threshold, meter);
}

void ListViewCtrl::SetExtendedStyle(DWORD bits, bool on) {
    const auto current = static_cast<DWORD>(SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(on ? current | bits : current & ~bits));
}

void ListViewCtrl::SetFullRowSelect(bool on) { SetExtendedStyle(LVS_EX_FULLROWSELECT, on); }

void ListViewCtrl::SetRedraw(bool on) {
    SendMessageW(control, WM_SETREDRAW, on, 0);
    if (on) InvalidateRect(control, nullptr, TRUE);
}

bool ListViewCtrl::Notify(NMHDR* header, LRESULT& result) const {
    if (header == nullptr || header->hwndFrom != control || control == nullptr) return false;
    if (header->code == static_cast<UINT>(LVN_GETDISPINFOW)) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        const std::size_t count = shown.empty() ? RowCount() : shown.size();
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= count) return true;
        const std::size_t row = shown.empty() ? static_cast<std::size_t>(item.iItem) : shown[static_cast<std::size_t>(item.iItem)];
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            const std::wstring& text = Cell(row, item.iSubItem, true);
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
            std::wmemcpy(item.pszText, text.data(), length);
            item.pszText[length] = 0;
        }
        if ((item.mask & LVIF_PARAM) != 0) item.lParam = itemData[row];
        result = 0;
        return true;
    }
    if (header->code == static_cast<UINT>(LVN_ODFINDITEMW)) {
        result = FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
        return true;
    }
    return false;
}

int ListViewCtrl::FindRow(const NMLVFINDITEMW& find) const {
    const LVFINDINFOW& what = find.lvfi;
    if ((what.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || what.psz == nullptr || itemData.empty()) return -1;
    const std::wstring_view typed(what.psz);
    const auto matches = [&](std::size_t row) {
        std::wstring_view name = Cell(row, 0);
        if ((what.flags & LVFI_PARTIAL) != 0) name = name.substr(0, typed.size());
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.data(), static_cast<int>(name.size()),
                              typed.data(), static_cast<int>(typed.size())) == CSTR_EQUAL;
    };
    const std::size_t start =
        find.iStart > 0 && static_cast<std::size_t>(find.iStart) < RowCount() ? static_cast<std::size_t>(find.iStart) : 0;
    for (std::size_t row = start; row < RowCount(); ++row)
        if (matches(row)) return static_cast<int>(row);
    for (std::size_t row = 0; (what.flags & LVFI_WRAP) != 0 && row < start; ++row)
        if (matches(row)) return static_cast<int>(row);
    return -1;
}
