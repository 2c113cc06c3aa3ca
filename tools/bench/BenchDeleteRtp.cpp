// Times DeleteRtp on an RTP-shaped tree of 20,000 files in 2,001 folders
// (Japanese and ASCII names mixed) against the least a remover that stays
// safe can do on an identical tree: open each entry relative to its folder's
// handle, check that the handle reaches that very name below the folder,
// mark it deleted, close it. A third identical tree is removed as the page
// removes it, under its progress window (owned by a window of this process,
// so the run needs a display), to show what the progress costs. The three
// take turns in every order in one process, Rounds times each, and the
// medians and their ratios are printed.
// Run it with: xvfb-run -a cmake --build BUILD --target bench-delete-rtp (tools/bench/pinned
// puts the run and its Wine server on one CPU, the trees on a memory drive).
//
// It registers the tree as an RTP of kind 0 in the registry's 32-bit view
// under a value of its own, which the removal deletes, beside an official
// RTP of 20 folders and two small RTPs that every removal checks it shares
// no folder with; the question is timed with those registered and without.
#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include <optional>

#include "app/ProgressWindow.h"
#include "fsutil/WinText.h"
#include "pages/RemovalMessages.h"
#include "rtp/DeleteRtp.h"

namespace {

constexpr int Rounds = 9;
constexpr int TopFolders = 40;
constexpr int SubFolders = 49;    // per top folder: 40 + 40 * 49 = 2,000 folders below the root
constexpr int FilesPerFolder = 10;  // 20,000 files
constexpr wchar_t KeyPath[] = L"Software\\Enterbrain\\RGSS\\RTP";
constexpr char ValueName[] = "KelmoraBench";
constexpr char ShownValueName[] = "KelmoraBenchShown";

std::wstring Wide(const std::string& text) { return WideOrEmpty(text); }

std::string Numbered(const char* format, int n) {
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

bool MakeFiles(const std::wstring& folder, int& files) {
    for (int k = 0; k < FilesPerFolder; ++k) {
        const std::string name = Numbered(k % 2 ? "file%02d.png" : "データ能%02d.dat", k);
        HANDLE file = CreateFileW((folder + L"\\" + Wide(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        WriteFile(file, "RTP bench data\r\n", 16, &written, nullptr);
        CloseHandle(file);
        ++files;
    }
    return true;
}

bool MakeTree(const std::wstring& root, int& folders, int& files) {
    folders = 1;
    files = 0;
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    for (int i = 0; i < TopFolders; ++i) {
        const std::wstring top = root + L"\\" + Wide(Numbered(i % 2 ? "Graphics%02d" : "画像表%02d", i));
        if (!CreateDirectoryW(top.c_str(), nullptr) || !MakeFiles(top, files)) return false;
        ++folders;
        for (int j = 0; j < SubFolders; ++j) {
            const std::wstring sub = top + L"\\" + Wide(Numbered(j % 3 ? "Sub%02d" : "ソース%02d", j));
            if (!CreateDirectoryW(sub.c_str(), nullptr) || !MakeFiles(sub, files)) return false;
            ++folders;
        }
    }
    return true;
}

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

constexpr wchar_t VxKeyPath[] = L"Software\\Enterbrain\\RGSS2\\RTP";

// Whether the benchmark made each RTP key itself, and so removes it at the end.
bool madeKey = false, madeVxKey = false;

bool Register(const std::string& folder, const char* name = ValueName, const wchar_t* keyPath = KeyPath) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    if (disposition == REG_CREATED_NEW_KEY) (keyPath == KeyPath ? madeKey : madeVxKey) = true;
    const std::wstring data = Wide(folder);
    const LONG status = RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void Unregister(const char* name, const wchar_t* keyPath = KeyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, Wide(name).c_str());
    RegCloseKey(key);
}

// The RTPs a developer's machine has besides the one removed: the official
// RTP's 20 folders (kind 0) and two small RTPs (one of each kind), every
// removal checks that it shares no folder with them.
struct OtherRtp { const char* name; const wchar_t* keyPath; std::vector<const char*> folders; };
const OtherRtp OtherRtps[] = {
    {"Standard", KeyPath, {"Audio", "Audio\\BGM", "Audio\\BGS", "Audio\\ME", "Audio\\SE", "Graphics",
                           "Graphics\\Animations", "Graphics\\Autotiles", "Graphics\\Battlebacks",
                           "Graphics\\Battlers", "Graphics\\Characters", "Graphics\\Fogs", "Graphics\\Gameovers",
                           "Graphics\\Icons", "Graphics\\Panoramas", "Graphics\\Pictures", "Graphics\\Tilesets",
                           "Graphics\\Titles", "Graphics\\Transitions", "Graphics\\Windowskins"}},
    {"追加素材", KeyPath, {"Graphics", "Graphics\\Characters", "Audio", "Audio\\BGM"}},
    {"VX素材", VxKeyPath, {"Graphics", "Graphics\\Faces", "Audio", "Audio\\SE"}},
};

bool MakeOtherRtps(const std::wstring& base) {
    for (const OtherRtp& other : OtherRtps) {
        const std::wstring root = base + L"-" + Wide(other.name);
        int files = 0;
        if (!CreateDirectoryW(root.c_str(), nullptr) || !MakeFiles(root, files)) return false;
        for (const char* folder : other.folders) {
            const std::wstring path = root + L"\\" + Wide(folder);
            if (!CreateDirectoryW(path.c_str(), nullptr) || !MakeFiles(path, files)) return false;
        }
    }
    return true;
}

// Registers the other RTPs, or takes their registrations away.
bool RegisterOthers(const std::wstring& base, bool registered) {
    for (const OtherRtp& other : OtherRtps) {
        if (!registered)
            Unregister(other.name, other.keyPath);
        else if (!Register(NarrowOrEmpty(base + L"-" + Wide(other.name)), other.name, other.keyPath))
            return false;
    }
    return true;
}

std::wstring FinalPath(HANDLE handle) {
    wchar_t path[1024];
    const DWORD length = GetFinalPathNameByHandleW(handle, path, 1024, FILE_NAME_NORMALIZED);
    return length > 0 && length < 1024 ? std::wstring(path, length) : std::wstring();
}

bool MarkDeleted(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// The safe floor: every entry opened relative to its folder's handle, without
// following a link, its final path checked to be that name in that folder,
// marked deleted and closed; folders after what they hold.
bool FloorRemove(HANDLE folder, const std::wstring& final) {
    bool ok = true;
    alignas(8) static thread_local char buffer[64 * 1024];
    std::vector<std::pair<std::wstring, bool>> entries;
    for (auto kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(folder, kind, buffer, sizeof buffer); kind = FileIdBothDirectoryInfo) {
        for (const char* at = buffer;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                entries.emplace_back(name, (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                               (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
            if (entry->NextEntryOffset == 0) break;
            at += entry->NextEntryOffset;
        }
    }
    for (const auto& [name, isFolder] : entries) {
        UNICODE_STRING relative{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                                static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<wchar_t*>(name.c_str())};
        OBJECT_ATTRIBUTES attributes{};
        InitializeObjectAttributes(&attributes, &relative, OBJ_CASE_INSENSITIVE, folder, nullptr);
        IO_STATUS_BLOCK status{};
        HANDLE handle = nullptr;
        if (NtCreateFile(&handle, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE | (isFolder ? FILE_LIST_DIRECTORY : 0),
                         &attributes, &status, nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         FILE_OPEN, FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT,
                         nullptr, 0) < 0) {
            ok = false;
            continue;
        }
        const std::wstring expected = final + L"\\" + name;
        const std::wstring reached = FinalPath(handle);
        if (reached.size() != expected.size() ||
            CompareStringOrdinal(reached.c_str(), -1, expected.c_str(), -1, TRUE) != CSTR_EQUAL) {
            ok = false;
        } else {
            if (isFolder && !FloorRemove(handle, expected)) ok = false;
            if (!MarkDeleted(handle)) ok = false;
        }
        CloseHandle(handle);
    }
    return ok;
}

double TimeFloor(const std::wstring& root, bool& ok) {
    const double start = Now();
    HANDLE handle = CreateFileW(root.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ok = handle != INVALID_HANDLE_VALUE && FloorRemove(handle, FinalPath(handle)) && MarkDeleted(handle);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    const double seconds = Now() - start;
    ok = ok && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
    return seconds;
}

// From Yes: the removal of what the question listed.
double TimeDeleteRtp(const std::wstring& root, const RtpRemoval& asked, bool& ok) {
    const double start = Now();
    ok = DeleteRtp(0, ValueName, &asked).Done();
    const double seconds = Now() - start;
    ok = ok && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
    return seconds;
}

// The same under the progress window, fed as the page feeds it.
double TimeDeleteRtpShown(HWND owner, const std::wstring& root, const RtpRemoval& asked, bool& ok) {
    const double start = Now();
    std::optional<ProgressWindow> progress(std::in_place, owner, "RTPの削除", "中止");
    RemovalHooks hooks;
    hooks.progress = [&](RemovalStep step, std::uint64_t done, std::uint64_t total) {
        return progress->UpdateWith([&] { return RemovalStepText(step, done, total); }, done, total);
    };
    ok = DeleteRtp(0, ShownValueName, &asked, hooks).Done();
    progress.reset();
    const double seconds = Now() - start;
    ok = ok && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
    return seconds;
}

// One bare walk of the tree, the least the removal question's count needs.
double TimeBareWalk(const std::wstring& root, int& entries) {
    const double start = Now();
    std::vector<std::wstring> pending{root};
    entries = 0;
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
            if (entry.cFileName[0] == L'.' && (entry.cFileName[1] == 0 || std::wcscmp(entry.cFileName, L"..") == 0)) continue;
            ++entries;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) pending.push_back(folder + L'\\' + entry.cFileName);
        }
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
    return Now() - start;
}

// What the removal question does before it shows: every check (the
// registration, what the folder is, the other RTPs), and what it holds listed
// and counted.
double TimeQuestion(RtpRemoval& removal, std::string& summary, const char* name = ValueName) {
    const double start = Now();
    const WalkStops stops{RemovalCountEntryLimit, GetTickCount64() + RemovalCountTimeLimitMs, {}};
    CheckRtpRemoval(0, name, removal, nullptr, stops);
    summary = SummarizeRtpRemoval(removal);
    return Now() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::wstring base;
    if (const char* dir = std::getenv("KELMORA_BENCH_DIR"); dir != nullptr && *dir != 0) {
        base = Wide(dir);
    } else {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        base = temp;
    }
    if (base.back() != L'\\') base += L'\\';
    base += L"kelmora-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring ours = base + L"-RTP表";
    const std::wstring floor = base + L"-floor";
    const std::wstring shown = base + L"-RTP表示";
    HWND owner = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    std::vector<double> shownTimes;
    int folders = 0;
    int files = 0;
    std::vector<double> deleteRtp, floorTimes, questions, questionsAlone, walks;
    if (!MakeOtherRtps(base)) {
        std::printf("cannot make the other RTPs\n");
        return 2;
    }
    bool allOk = true;
    std::printf("trees in %s\n", NarrowOrEmpty(base).c_str());
    // The three removals in turn in every order, so that none always runs on
    // a warmer cache.
    for (int round = 0; round < Rounds; ++round) {
        if (!MakeTree(ours, folders, files) || !MakeTree(floor, folders, files) || !MakeTree(shown, folders, files)) {
            std::printf("cannot make the trees\n");
            return 2;
        }
        // One of the two large trees registered at a time, beside the other RTPs.
        Unregister(ShownValueName);
        if (!Register(NarrowOrEmpty(ours))) {
            std::printf("cannot register the RTPs\n");
            return 2;
        }
        int entries = 0;
        std::string summary, alone;
        RtpRemoval asked, askedShown, askedAlone;
        // The question with the others registered and without them, in turns.
        for (int turn = 0; turn < 2; ++turn) {
            const bool withOthers = (round + turn) % 2 == 0;
            if (!RegisterOthers(base, withOthers)) {
                std::printf("cannot register the other RTPs\n");
                return 2;
            }
            if (withOthers)
                questions.push_back(TimeQuestion(asked, summary));
            else
                questionsAlone.push_back(TimeQuestion(askedAlone, alone));
        }
        RegisterOthers(base, true);
        walks.push_back(TimeBareWalk(floor, entries));
        std::printf("round %d: the removal question's count %.3f s%s (%.3f s with no other RTP registered), a bare walk "
                    "%.3f s (%d entries)\n", round + 1, questions.back(),
                    summary.find(",000") == std::string::npos ? " (FAILED)" : "", questionsAlone.back(), walks.back(),
                    entries);
        Unregister(ValueName);
        std::string shownSummary;
        if (!Register(NarrowOrEmpty(shown), ShownValueName)) return 2;
        TimeQuestion(askedShown, shownSummary, ShownValueName);
        bool ok[3] = {};
        double seconds[3] = {};
        for (int turn = 0; turn < 3; ++turn) {
            const int which = (round + turn) % 3;
            if (which == 0) {
                Unregister(ShownValueName);
                Register(NarrowOrEmpty(ours));
                seconds[0] = TimeDeleteRtp(ours, asked, ok[0]);
            }
            if (which == 1) seconds[1] = TimeFloor(floor, ok[1]);
            if (which == 2) {
                Unregister(ValueName);
                Register(NarrowOrEmpty(shown), ShownValueName);
                seconds[2] = TimeDeleteRtpShown(owner, shown, askedShown, ok[2]);
            }
        }
        std::printf("round %d: DeleteRtp %.3f s%s, safe floor %.3f s%s, DeleteRtp under its progress window %.3f s%s\n",
                    round + 1, seconds[0], ok[0] ? "" : " (FAILED)", seconds[1], ok[1] ? "" : " (FAILED)", seconds[2],
                    ok[2] ? "" : " (FAILED)");
        deleteRtp.push_back(seconds[0]);
        floorTimes.push_back(seconds[1]);
        shownTimes.push_back(seconds[2]);
        allOk = allOk && ok[0] && ok[1] && ok[2];
    }
    RegisterOthers(base, false);
    if (madeKey) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, KeyPath, KEY_WOW64_32KEY, 0);
    if (madeVxKey) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, VxKeyPath, KEY_WOW64_32KEY, 0);
    std::printf("tree: %d files in %d folders, the root included; names mixed Japanese and ASCII\n", files, folders);
    std::printf("median of %d: DeleteRtp %.3f s, safe floor %.3f s, ratio %.2f (goal <= 1.0)\n", Rounds,
                Median(deleteRtp), Median(floorTimes), Median(deleteRtp) / Median(floorTimes));
    std::printf("median of %d: DeleteRtp under its progress window %.3f s, without %.3f s, ratio %.3f (goal < 1.03)\n",
                Rounds, Median(shownTimes), Median(deleteRtp), Median(shownTimes) / Median(deleteRtp));
    std::printf("median of %d: the removal question's count %.3f s, a bare walk %.3f s, ratio %.2f (goal <= 1.1)\n",
                Rounds, Median(questions), Median(walks), Median(questions) / Median(walks));
    std::printf("median of %d: the removal question with the official RTP and two others registered %.3f s, with none "
                "%.3f s, ratio %.3f (goal <= 1.1)\n",
                Rounds, Median(questions), Median(questionsAlone), Median(questions) / Median(questionsAlone));
    return allOk ? 0 : 1;
}
