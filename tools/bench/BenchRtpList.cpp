// Times the RPGXP list with 5,000 registered RTPs: from starting Kelmora.exe
// (KELMORA_EXE) to its list holding every row, and RefreshRtpList alone on a
// page made from the program's own template, each against a bare loop that
// puts the same rows into a list view of the same template and sizes its
// columns, in the same run. Run it with: cmake --build BUILD --target bench-rtp-list
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
constexpr int Rounds = 3;
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

INT_PTR CALLBACK BarePage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The bare loop: the rows, already wide, straight into the control, which
// neither lays out nor paints until they are all in (as the page does).
double TimeBareLoop(HWND list, const std::vector<std::pair<std::wstring, std::wstring>>& rtps) {
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

// Start to a shown main dialog whose RPGXP list holds rows rows; -1 on failure.
double TimeStart(const std::string& folder, int rows) {
    AppDriver app;
    const double start = Now();
    if (!app.Start(folder)) return -1;
    for (const ULONGLONG deadline = GetTickCount64() + 60000; GetTickCount64() < deadline; Sleep(1)) {
        for (HWND page : app.Pages()) {
            if (ListRowCount(GetDlgItem(page, RtpListId)) == rows) {
                const double seconds = Now() - start;
                app.Close();
                return seconds;
            }
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) RtpCount = std::atoi(argv[1]);
    setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const auto rtps = MakeRtps();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kelmora-bench-list-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    // What starting the program costs by itself.
    double empty = 0;
    for (int round = 0; round < Rounds; ++round) empty += TimeStart(NarrowOrEmpty(folder), 0) / Rounds;
    if (!Register(rtps, true)) {
        std::printf("cannot register the RTPs\n");
        return 2;
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                  nullptr, nullptr);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::printf("registered %d RTPs\n", RtpCount);
    HWND page = CreateDialogParamW(instance, MAKEINTRESOURCEW(RtpListPageTemplate), parent, RtpListPageProcXp, 0);
    HWND bare = CreateDialogParamW(instance, MAKEINTRESOURCEW(RtpListPageTemplate), parent, BarePage, 0);
    HWND bareList = GetDlgItem(bare, RtpListId);
    for (const wchar_t* header : {L"Name", L"Path"}) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(header);
        SendMessageW(bareList, LVM_INSERTCOLUMNW, 2, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(bareList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT);
    ShowWindow(parent, SW_SHOW);
    ShowWindow(page, SW_SHOW);
    ShowWindow(bare, SW_SHOW);

    double refresh = 0, bareLoop = 0, startUp = 0;
    bool ok = ListRowCount(RtpListControls[0]) == RtpCount;
    for (int round = 0; round < Rounds; ++round) {
        // Both orders, so neither side always runs on a warmer cache.
        const double b1 = round % 2 ? TimeBareLoop(bareList, rtps) : 0;
        const double r = TimeRefresh();
        const double b2 = round % 2 ? 0 : TimeBareLoop(bareList, rtps);
        const double s = TimeStart(NarrowOrEmpty(folder), RtpCount);
        std::printf("round %d: start to %d rows %.3f s, RefreshRtpList %.3f s, bare loop %.3f s\n", round + 1,
                    RtpCount, s, r, b1 + b2);
        ok = ok && s > 0 && ListRowCount(RtpListControls[0]) == RtpCount && ListRowCount(bareList) == RtpCount;
        refresh += r;
        bareLoop += b1 + b2;
        startUp += s;
    }
    std::printf("mean of %d rounds: start to %d rows %.3f s, RefreshRtpList %.3f s, bare loop %.3f s\n", Rounds,
                RtpCount, startUp / Rounds, refresh / Rounds, bareLoop / Rounds);
    std::printf("start with no RTPs %.3f s; start to list less that %.3f s\n", empty, startUp / Rounds - empty);
    std::printf("ratio to the bare loop: RefreshRtpList %.2f, start to list %.2f, less the empty start %.2f "
                "(goal <= 2.00)\n",
                refresh / bareLoop, startUp / bareLoop, (startUp / Rounds - empty) / (bareLoop / Rounds));
    DestroyWindow(parent);
    Register(rtps, false);
    DeleteFileW((folder + L"\\Kelmora.exe").c_str());
    DeleteFileW((folder + L"\\Kelmora.ini").c_str());
    RemoveDirectoryW(folder.c_str());
    return ok ? 0 : 1;
}
