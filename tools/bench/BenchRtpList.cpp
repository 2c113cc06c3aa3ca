// Times the RPGXP list with 5,000 registered RTPs against the floors the
// platform sets, in the same run, Rounds times each in turn, and prints the
// medians side by side:
// - from starting Kelmora.exe (KELMORA_EXE) to its list holding every row,
//   against an empty start (no RTP registered), a bare read of the registry
//   values, and a bare fill: the same rows straight into a list view of the
//   same place, style and font that holds its rows itself, its columns sized
//   by the control;
// - RefreshRtpList alone on a page of the program's own template;
// - the empty start, to an idle window (painted, waiting for input), against
//   a program that shows the same dialog templates with nothing behind them
//   (bench_bare_dialog.exe, beside this one); also to the window shown.
// It also checks that the list's columns come out as wide as the bare
// fill's. Run it with: cmake --build BUILD --target bench-rtp-list (under
// tools/bench/pinned, which puts the run and its Wine server on one CPU).
//
// The RTPs are values of their own in the registry's 32-bit view, removed at
// the end (with the key, when the benchmark made it).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "e2e/Driver.h"
#include "fsutil/WinText.h"
#include "pages/RtpListPage.h"

namespace {

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int RtpCount = 5000;  // or the first argument
constexpr int Rounds = 21;
// The empty start differs from the bare dialogs by a few milliseconds in
// eighty, less than one start swings: its medians are taken over more rounds.
constexpr int StartRounds = 101;
constexpr wchar_t KeyPath[] = L"Software\\Enterbrain\\RGSS\\RTP";

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Name and folder of every RTP, in the order the list shows them.
std::vector<std::pair<std::wstring, std::wstring>> MakeRtps() {
    std::vector<std::pair<std::wstring, std::wstring>> rtps;
    for (int i = 0; i < RtpCount; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, i % 2 ? "BenchRTP%05d" : "素材ベンチ%05d", i);
        const std::string folder = std::string("C:\\Program Files (x86)\\Common Files\\Enterbrain\\RGSS\\") + name;
        rtps.emplace_back(DisplayText(name), DisplayText(folder));
    }
    std::sort(rtps.begin(), rtps.end(), [](const auto& a, const auto& b) {
        return NarrowOrEmpty(a.first) < NarrowOrEmpty(b.first);  // byte-wise, as the list shows them
    });
    return rtps;
}

bool madeKey = false;

bool Register(const std::vector<std::pair<std::wstring, std::wstring>>& rtps, bool add) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    if (disposition == REG_CREATED_NEW_KEY) madeKey = true;
    bool ok = true;
    for (const auto& [name, folder] : rtps)
        ok = ok && (add ? RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)))
                        : RegDeleteValueW(key, name.c_str())) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!add && madeKey) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, KeyPath, KEY_WOW64_32KEY, 0);
    return ok;
}

// The bare read: every value's name and data, as the platform gives them.
double TimeBareRead(int& values) {
    const double start = Now();
    HKEY key = nullptr;
    values = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        wchar_t name[521];
        BYTE data[521 * sizeof(wchar_t)];
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = 521;
            DWORD dataSize = sizeof data;
            DWORD type = 0;
            const LONG status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            ++values;
        }
        RegCloseKey(key);
    }
    return Now() - start;
}

INT_PTR CALLBACK BarePage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The bare fill: the rows, already wide, straight into the control, which
// neither lays out nor paints until they are all in (as the page does), and
// the control's own fit of both columns to their cells.
double TimeBareFill(HWND list, const std::vector<std::pair<std::wstring, std::wstring>>& rtps) {
    const double start = Now();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    LVITEMW item{};
    for (const auto& [name, folder] : rtps) {
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.iSubItem = 0;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(folder.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        ++item.lParam;
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return Now() - start;
}

double TimeRefresh() {
    const double start = Now();
    RefreshRtpList(0);
    return Now() - start;
}

// Start of exe to its main dialog shown and idle, and with rows above 0 to
// its RPGXP list holding rows rows; -1 on failure. shown, when given, is the
// time to the dialog shown. The process is started and watched
// here rather than by the driver, which looks every 25 ms and walks every
// window each time: on one CPU that walk would slow the start it times.
double TimeStart(const std::string& exe, int rows, double* shown = nullptr) {
    AppDriver app;
    const double start = Now();
    if (!app.Launch(exe)) return -1;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    for (HWND dialog = nullptr; app.dialog == nullptr; Sleep(1)) {
        // The main dialog has this caption, in either program.
        dialog = FindWindowW(L"#32770", L"Quorlen \u958b\u767a\u8005\u7528\u30a8\u30c7\u30a3\u30bf Ver1.10");
        DWORD owner = 0;
        if (dialog != nullptr && IsWindowVisible(dialog) && GetWindowThreadProcessId(dialog, &owner) &&
            owner == app.processId)
            app.dialog = dialog;
        if (GetTickCount64() > deadline || WaitForSingleObject(app.process, 0) == WAIT_OBJECT_0) return -1;
    }
    double seconds = Now() - start;
    if (shown != nullptr) *shown = seconds;
    // Idle: the program has painted what it shows and waits for input.
    if (rows == 0) {
        if (WaitForInputIdle(app.process, 60000) != 0) return -1;
        seconds = Now() - start;
    }
    if (rows > 0) {
        // Each count is asked of the program, which answers only between its
        // own steps.
        std::vector<HWND> lists;
        for (HWND page : app.Pages())
            if (HWND list = GetDlgItem(page, RtpListId); list != nullptr) lists.push_back(list);
        for (bool all = false; !all && GetTickCount64() < deadline; Sleep(1))
            for (HWND list : lists) all = all || ListRowCount(list) == rows;
        seconds = Now() - start;
    }
    const bool ok = app.Close() && (rows == 0 || seconds < 60);
    return ok ? seconds : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) RtpCount = std::atoi(argv[1]);
    setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const auto rtps = MakeRtps();
    std::wstring folder;
    if (const char* dir = std::getenv("KELMORA_BENCH_DIR"); dir != nullptr && *dir != 0) {
        folder = DisplayText(dir);
    } else {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = temp;
    }
    if (folder.back() != L'\\') folder += L'\\';
    folder += L"kelmora-bench-list-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string exe = NarrowOrEmpty(folder) + "\\Kelmora.exe";
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bare = self;
    bare = bare.substr(0, bare.find_last_of(L'\\') + 1) + L"bench_bare_dialog.exe";
    if (!CopyFileW(DisplayText(BuiltExePath()).c_str(), DisplayText(exe).c_str(), FALSE)) {
        std::printf("cannot copy %s\n", BuiltExePath().c_str());
        return 2;
    }
    bool ok = true;

    // What starting the program costs by itself, and the dialogs alone.
    std::vector<double> empty, dialogs, emptyShown, dialogsShown;
    for (int round = 0; round < StartRounds; ++round) {
        double shown = 0, bareShown = 0;
        const double b1 = round % 2 ? TimeStart(NarrowOrEmpty(bare), 0, &bareShown) : 0;
        empty.push_back(TimeStart(exe, 0, &shown));
        const double b2 = round % 2 ? 0 : TimeStart(NarrowOrEmpty(bare), 0, &bareShown);
        dialogs.push_back(b1 + b2);
        emptyShown.push_back(shown);
        dialogsShown.push_back(bareShown);
        ok = ok && empty.back() > 0 && dialogs.back() > 0;
    }
    std::printf("medians of %d: start with no RTPs to an idle window %.3f s, the same dialogs with nothing behind "
                "them %.3f s, ratio %.3f (goal <= 1.05)\n",
                StartRounds, Median(empty), Median(dialogs), Median(empty) / Median(dialogs));
    std::printf("  to the window shown: %.3f s and %.3f s, ratio %.3f\n", Median(emptyShown), Median(dialogsShown),
                Median(emptyShown) / Median(dialogsShown));

    if (!Register(rtps, true)) {
        std::printf("cannot register the RTPs\n");
        return 2;
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                  nullptr, nullptr);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::printf("registered %d RTPs\n", RtpCount);
    HWND page = CreateDialogParamW(instance, MAKEINTRESOURCEW(RtpListPageTemplate), parent, RtpListPageProcXp, 0);
    HWND barePage = CreateDialogParamW(instance, MAKEINTRESOURCEW(RtpListPageTemplate), parent, BarePage, 0);
    // The program's list is a virtual one; the bare fill's holds its rows
    // itself, in the same place, style and font.
    HWND virtualList = GetDlgItem(barePage, RtpListId);
    RECT place{};
    GetWindowRect(virtualList, &place);
    MapWindowPoints(nullptr, barePage, reinterpret_cast<POINT*>(&place), 2);
    HWND bareList = CreateWindowExW(
        static_cast<DWORD>(GetWindowLongPtrW(virtualList, GWL_EXSTYLE)), WC_LISTVIEWW, L"",
        static_cast<DWORD>(GetWindowLongPtrW(virtualList, GWL_STYLE)) & ~static_cast<DWORD>(LVS_OWNERDATA), place.left,
        place.top, place.right - place.left, place.bottom - place.top, barePage,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(RtpListId + 100)), instance, nullptr);
    SendMessageW(bareList, WM_SETFONT, SendMessageW(virtualList, WM_GETFONT, 0, 0), FALSE);
    DestroyWindow(virtualList);
    for (const wchar_t* header : {L"Name", L"Path"}) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(header);
        SendMessageW(bareList, LVM_INSERTCOLUMNW, 2, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(bareList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT);
    ShowWindow(parent, SW_SHOW);
    ShowWindow(page, SW_SHOW);
    ShowWindow(barePage, SW_SHOW);
    // The page builds its list once the window is drawn.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);

    std::vector<double> refresh, read, fill, startUp;
    ok = ok && ListRowCount(RtpListControls[0]) == RtpCount;
    for (int round = 0; round < Rounds; ++round) {
        // Both orders in turn, so neither side always runs on a warmer cache.
        int values = 0;
        double r = 0, b = 0, f = 0, s = 0;
        if (round % 2) {
            b = TimeBareRead(values);
            f = TimeBareFill(bareList, rtps);
            s = TimeStart(exe, RtpCount);
            r = TimeRefresh();
        } else {
            r = TimeRefresh();
            s = TimeStart(exe, RtpCount);
            f = TimeBareFill(bareList, rtps);
            b = TimeBareRead(values);
        }
        std::printf("round %d: start to %d rows %.3f s, RefreshRtpList %.3f s; bare read %.3f s, bare fill %.3f s\n",
                    round + 1, RtpCount, s, r, b, f);
        ok = ok && s > 0 && values >= RtpCount && ListRowCount(RtpListControls[0]) == RtpCount &&
             ListRowCount(bareList) == RtpCount;
        refresh.push_back(r);
        read.push_back(b);
        fill.push_back(f);
        startUp.push_back(s);
    }
    // The rows are counted as soon as they are there, before the paint: the
    // floor's start is the empty start to a shown window.
    const double floor = Median(emptyShown) + Median(read) + Median(fill);
    std::printf("medians of %d: start to %d rows %.3f s; empty start %.3f s + bare read %.3f s + bare fill %.3f s = "
                "%.3f s; ratio %.2f (goal <= 0.5)\n",
                Rounds, RtpCount, Median(startUp), Median(emptyShown), Median(read), Median(fill), floor,
                Median(startUp) / floor);
    std::printf("RefreshRtpList %.3f s, bare read + bare fill %.3f s, ratio %.2f\n", Median(refresh),
                Median(read) + Median(fill), Median(refresh) / (Median(read) + Median(fill)));
    // As wide as the bare fill's, except that together the columns never pass
    // the list's visible width, less a vertical scroll bar.
    RECT visible{};
    GetClientRect(RtpListControls[0], &visible);
    const auto width = [](HWND list, int column) { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); };
    const int name = width(RtpListControls[0], 0), path = width(RtpListControls[0], 1);
    const int bareName = width(bareList, 0), barePath = width(bareList, 1);
    const bool same = name == bareName && path == barePath;
    const bool fitted = name <= bareName && path <= barePath && name + path <= visible.right;
    std::printf("column widths: list %d, %d, bare fill %d, %d, visible %d%s\n", name, path, bareName, barePath,
                int(visible.right), same || fitted ? "" : " (WRONG)");
    ok = ok && (same || fitted);
    DestroyWindow(parent);
    Register(rtps, false);
    DeleteFileW(DisplayText(exe).c_str());
    DeleteFileW((folder + L"\\Kelmora.ini").c_str());
    DeleteFileW((folder + L"\\Tavisk.ini").c_str());
    RemoveDirectoryW(folder.c_str());
    return ok ? 0 : 1;
}
