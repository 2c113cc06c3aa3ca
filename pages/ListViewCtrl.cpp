#include "pages/ListViewCtrl.h"

#include <commctrl.h>

#include <cstring>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

namespace {

constexpr int ReadStep = 256;  // a cell is read into buffers this much larger each time
constexpr int HeaderCapacity = 256;

}  // namespace

void ListViewCtrl::Attach(HWND newControl) {
    if (newControl == nullptr) return;
    if (control != nullptr) {
        DeleteAllItems();
        ClearColumns();
    }
    control = newControl;
    columnCount = 0;
    itemCounter = 0;
    SetExtendedStyle(LVS_EX_INFOTIP, true);
}

int ListViewCtrl::GetItemCount() const { return static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0)); }

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
    return static_cast<int>(SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
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
}

void ListViewCtrl::ClearColumns() {
    DeleteAllItems();
    for (int i = 0; i < columnCount; ++i) SendMessageW(control, LVM_DELETECOLUMN, 0, 0);
    columnCount = 0;
    itemCounter = 0;
}

int ListViewCtrl::HeaderWidth(int column) const {
    char header[HeaderCapacity] = {};
    GetColumnText(column, header, HeaderCapacity);
    const std::wstring wideHeader = DisplayText(header);
    // The header keeps three edges' width free on each side of its text.
    return static_cast<int>(SendMessageW(control, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wideHeader.c_str()))) +
           6 * GetSystemMetrics(SM_CXEDGE);
}

int ListViewCtrl::AutoWidth(int column) const {
    char header[HeaderCapacity] = {};
    GetColumnText(column, header, HeaderCapacity);
    const std::wstring wideHeader = DisplayText(header);
    const int headerWidth = static_cast<int>(
        SendMessageW(control, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wideHeader.c_str())));
    // The header's average character width, per code page 932 byte. An empty
    // header has none: then any cell wider than nothing is wider than it.
    const int length = static_cast<int>(std::strlen(header));
    const int average = length > 0 ? headerWidth / length : 0;
    const int threshold = headerWidth + 2 * average;
    const int rows = GetItemCount();
    for (int row = 0; row < rows; ++row) {
        const std::wstring cell = ReadWide(row, column);
        const int width =
            static_cast<int>(SendMessageW(control, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(cell.c_str())));
        if (width > threshold) return LVSCW_AUTOSIZE;
    }
    return LVSCW_AUTOSIZE_USEHEADER;
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
    SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(AutoWidth(column), 0));
    // Sized to short cells, or to the header by a control that leaves out the
    // header's own margins, the column would cut its header text.
    const int least = HeaderWidth(column);
    if (SendMessageW(control, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0) < least)
        SendMessageW(control, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(least, 0));
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
