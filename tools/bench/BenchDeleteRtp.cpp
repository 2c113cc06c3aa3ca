// Times DeleteRtp on an RTP-shaped tree of 20,000 files in 2,000 folders
// (Japanese and ASCII names mixed) against "cmd /c rd /s /q" on an identical
// tree, in the same run under the same platform, and prints both and their
// ratio. Run it with: cmake --build BUILD --target bench-delete-rtp
//
// It registers the tree as an RTP of kind 0 in the registry's 32-bit view
// under a value of its own, which the removal deletes.
#include <windows.h>

#include <cstdio>
#include <string>

#include "fsutil/WinText.h"
#include "rtp/DeleteRtp.h"

namespace {

constexpr int TopFolders = 40;
constexpr int SubFolders = 49;    // per top folder: 40 + 40 * 49 = 2,000 folders
constexpr int FilesPerFolder = 10;  // 20,000 files
constexpr wchar_t KeyPath[] = L"Software\\Enterbrain\\RGSS\\RTP";
constexpr char ValueName[] = "KelmoraBench";

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    ToWide(text, wide);
    return wide;
}

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
    folders = files = 0;
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

// Whether the benchmark made the RTP key itself, and so removes it at the end.
bool madeKey = false;

bool Register(const std::string& folder) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    if (disposition == REG_CREATED_NEW_KEY) madeKey = true;
    const std::wstring data = Wide(folder);
    const LONG status = RegSetValueExW(key, Wide(ValueName).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

double TimeDeleteRtp(const std::wstring& root, bool& ok) {
    const double start = Now();
    ok = DeleteRtp(0, ValueName, nullptr);
    const double seconds = Now() - start;
    ok = ok && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
    return seconds;
}

double TimeRd(const std::wstring& root, bool& ok) {
    std::wstring command = L"cmd /c rd /s /q \"" + root + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process) != FALSE;
    if (ok) {
        ok = WaitForSingleObject(process.hProcess, 600000) == WAIT_OBJECT_0;
        if (!ok) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    const double seconds = Now() - start;
    ok = ok && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
    return seconds;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + L"kelmora-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring ours = base + L"-RTP表";
    const std::wstring theirs = base + L"-rd";
    int folders = 0;
    int files = 0;
    double deleteRtpSeconds = 0;
    double rdSeconds = 0;
    bool allOk = true;
    // Two rounds, in both orders, so neither side always runs on a warmer cache.
    for (int round = 0; round < 2; ++round) {
        if (!MakeTree(ours, folders, files) || !MakeTree(theirs, folders, files)) {
            std::printf("cannot make the trees\n");
            return 2;
        }
        if (!Register(NarrowOrEmpty(ours))) {
            std::printf("cannot register the RTP\n");
            return 2;
        }
        bool okOurs = false;
        bool okTheirs = false;
        double ourSeconds = 0;
        double theirSeconds = 0;
        if (round == 0) {
            ourSeconds = TimeDeleteRtp(ours, okOurs);
            theirSeconds = TimeRd(theirs, okTheirs);
        } else {
            theirSeconds = TimeRd(theirs, okTheirs);
            ourSeconds = TimeDeleteRtp(ours, okOurs);
        }
        std::printf("round %d: DeleteRtp %.3f s%s, rd /s /q %.3f s%s\n", round + 1, ourSeconds,
                    okOurs ? "" : " (FAILED)", theirSeconds, okTheirs ? "" : " (FAILED)");
        deleteRtpSeconds += ourSeconds;
        rdSeconds += theirSeconds;
        allOk = allOk && okOurs && okTheirs;
    }
    if (madeKey) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, KeyPath, KEY_WOW64_32KEY, 0);
    std::printf("tree: %d files in %d folders (plus the root), names mixed Japanese and ASCII\n", files, folders);
    std::printf("DeleteRtp total %.3f s, rd /s /q total %.3f s, ratio %.2f (goal <= 1.00)\n", deleteRtpSeconds,
                rdSeconds, deleteRtpSeconds / rdSeconds);
    return allOk ? 0 : 1;
}
