#include "pages/ListViewCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

namespace {

constexpr int ReadStep = 256;  // a cell is read into buffers this much larger each time
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

private:
    HWND window;
    HFONT own;
    HDC dc;
    HGDIOBJ original;
    HFONT selected;
};

void ListViewCtrl::Attach(HWND newControl) {
    if (newControl == nullptr) return;
    if (control != nullptr) {
        DeleteAllItems();
        ClearColumns();
    }
    control = newControl;
    columnCount = 0;
    itemCounter = 0;
    rowCount = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
    SetExtendedStyle(LVS_EX_INFOTIP, true);
}

bool ListViewCtrl::InRange(int row, int column) const {
    return row >= 0 && row < GetItemCount() && column >= 0 && column < columnCount;
}

int ListViewCtrl::GetItemTextLength(int row, int column) const {
    if (!InRange(row, column)) return 0;
    LVITEMW item{};
    item.iSubItem = column;
    for (int capacity = ReadStep;; capacity += ReadStep) {
        std::wstring probe(static_cast<std::size_t>(capacity), L'\0');
        item.pszText = probe.data();
        item.cchTextMax = capacity;
        const int got = static_cast<int>(
            SendMessageW(control, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut: read again, larger.
        if (got < capacity - 1) return got;
    }
}

std::wstring ListViewCtrl::ReadWide(int row, int column) const {
    const int length = GetItemTextLength(row, column);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = length + 1;
    SendMessageW(control, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

void ListViewCtrl::ReadItemText(int row, int column, SharedTextBuffer& buffer) const {
    const std::string text = NarrowOrEmpty(ReadWide(row, column));
    char* array = new char[text.size() + 1]();
    std::memcpy(array, text.c_str(), text.size());
    buffer.Adopt(array, static_cast<int>(text.size() + 1));
}

std::string ListViewCtrl::GetItemText(int row, int column) const {
    SharedTextBuffer buffer;
    ReadItemText(row, column, buffer);
    return buffer.Data();
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

int ListViewCtrl::InsertItem(const char* text, int row) {
    if (row < 0) row = GetItemCount();
    std::wstring wide = DisplayText(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = wide.data();
    item.lParam = itemCounter++;
    const int inserted = static_cast<int>(SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted >= 0) ++rowCount;
    return inserted;
}

int ListViewCtrl::InsertRow(int row, int itemData, std::wstring* texts) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = texts[0].data();
    item.lParam = itemData;
    row = static_cast<int>(SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    ++rowCount;
    for (int column = 1; column < columnCount; ++column) {
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = texts[column].data();
        SendMessageW(control, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    }
    return row;
}

void ListViewCtrl::SetRows(const std::vector<std::string_view>& cells, int width) {
    DeleteAllItems();
    if (columnCount <= 0) return;
    const auto columns = static_cast<std::size_t>(columnCount);
    const std::size_t rows = cells.size() / columns;
    std::vector<std::wstring> texts(rows * columns);
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = DisplayText(cells[i]);
    const bool automatic = width < LVSCW_AUTOSIZE_USEHEADER;
    TextMeter meter(control);
    std::vector<int> widest(columns, 0);
    std::vector<std::size_t> widestRow(columns, 0);
    std::vector<std::size_t> first;  // the widest rows, in their order
    if (automatic && rows > 0) {
        for (std::size_t row = 0; row < rows; ++row)
            for (std::size_t column = 0; column < columns; ++column)
                if (const int cell = meter.Width(texts[row * columns + column]); cell > widest[column]) {
                    widest[column] = cell;
                    widestRow[column] = row;
                }
        first = widestRow;
        std::sort(first.begin(), first.end());
        first.erase(std::unique(first.begin(), first.end()), first.end());
    }
    int at = 0;
    for (const std::size_t row : first) InsertRow(at++, static_cast<int>(row), &texts[row * columns]);
    for (int column = 0; automatic && column < columnCount; ++column)
        ApplyAutoWidth(column, widest[static_cast<std::size_t>(column)] > AutoThreshold(column, meter), meter);
    // Each row goes where it stands: all before it are in by now.
    for (std::size_t row = 0, next = 0; row < rows; ++row) {
        if (next < first.size() && first[next] == row) {
            ++next;
            continue;
        }
        InsertRow(static_cast<int>(row), static_cast<int>(row), &texts[row * columns]);
    }
    itemCounter = static_cast<int>(rows);
    if (!automatic) SetColumnWidth(-1, width);
    if (automatic) FitColumnsInView();
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

void ListViewCtrl::SetItemText(int row, int column, const char* text) {
    if (!InRange(row, column)) return;
    std::wstring wide = DisplayText(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(control, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewCtrl::SetLastRowText(int column, const char* text) { SetItemText(GetItemCount() - 1, column, text); }

void ListViewCtrl::DeleteAllItems() {
    SendMessageW(control, LVM_DELETEALLITEMS, 0, 0);
    itemCounter = 0;
    rowCount = 0;
}

void ListViewCtrl::ClearColumns() {
    DeleteAllItems();
    for (int i = 0; i < columnCount; ++i) SendMessageW(control, LVM_DELETECOLUMN, 0, 0);
    columnCount = 0;
    itemCounter = 0;
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
    for (int row = 0; row < rowCount && widest <= threshold; ++row)
        widest = std::max(widest, meter.Width(ReadWide(row, column)));
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
