// Times 保存 of a 15 MB Tavisk.ini: the file work of the page's save as it is
// now (the values checked, the file compared with what was read, then written
// into a checked copy that takes the file's place) against the save before
// it (the same checks, then the six values written into the file itself and
// the file read again to compare with later). The two take turns in one
// process, Rounds times each, on one file of 15 MB ([Tavisk] with its six
// keys, then a [Pad] section of 15 MB, then [Last]) whose Title changes
// every round, and the medians and their ratio are printed.
// Run it with: cmake --build BUILD --target bench-save (tools/bench/pinned
// puts the run and its Wine server on one CPU, the file on a memory drive).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fsutil/WinText.h"
#include "settings/IniFile.h"

namespace {

constexpr int Rounds = 7;
constexpr char Section[] = "Tavisk";
constexpr const char* Keys[] = {"RTPType", "RTPName", "Title", "Copyright", "Version", "Bitmap"};

double Now() {
    LARGE_INTEGER count{}, frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::string> Values(int round) {
    return {"RPGXP", "Test", round % 2 ? "Title A" : "Title B", "Copyright(c) 2009,", "Ver0.01", ""};
}

// The checks both saves make first: the file, each value, the file's bytes.
bool Checks(const IniFile& file, const std::vector<std::string>& values, IniFile::Content& before) {
    if (file.CheckFile() != IniFile::WriteCheck::Ok) return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (file.Check(Section, Keys[i], values[i]) != IniFile::WriteCheck::Ok) return false;
    before = file.Snapshot();
    return true;
}

// The save before the checked copy: each value written into the file, then
// the file read again.
bool SaveInPlace(const IniFile& file, int round) {
    const std::vector<std::string> values = Values(round);
    IniFile::Content before;
    if (!Checks(file, values, before)) return false;
    bool saved = true;
    for (std::size_t i = 0; i < values.size(); ++i) saved = file.Write(Section, Keys[i], values[i]) && saved;
    return saved && file.Snapshot().exists;
}

// The save now: the values into a checked copy that replaces the file.
bool SaveThroughCopy(const IniFile& file, int round) {
    const std::vector<std::string> values = Values(round);
    IniFile::Content before, now;
    if (!Checks(file, values, before)) return false;
    std::vector<IniFile::Value> changes;
    for (std::size_t i = 0; i < values.size(); ++i) changes.push_back({Keys[i], values[i]});
    std::size_t refused = 0;
    return file.Replace(Section, changes, &before, now, refused) == IniFile::WriteCheck::Ok;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KELMORA_BENCH_DIR", folder, MAX_PATH) == 0) GetTempPathW(MAX_PATH, folder);
    std::string path = NarrowOrEmpty(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += "bench-save-Tavisk.ini";
    // 15 MB: lines of 80 bytes in [Pad].
    std::string bytes = "[Tavisk]\r\nRTPType=RPGXP\r\nRTPName=Test\r\nTitle=Title B\r\nCopyright=Copyright(c) 2009,\r\n"
                        "Version=Ver0.01\r\nBitmap=\r\n[Pad]\r\n";
    char line[96];
    for (int i = 0; bytes.size() < 15u * 1024 * 1024; ++i) {
        std::snprintf(line, sizeof line, "p%07d=%068d\r\n", i, i);
        bytes += line;
    }
    bytes += "[Last]\r\nimportant=yes\r\n";
    const std::wstring wide = WideOrEmpty(path);
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (handle == INVALID_HANDLE_VALUE ||
        !WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size()) {
        std::printf("cannot make %s\n", path.c_str());
        return 1;
    }
    CloseHandle(handle);
    IniFile file;
    file.SetPath(path.c_str(), true);
    std::vector<double> inPlace, throughCopy;
    bool ok = true;
    for (int round = 0; round < Rounds * 2 && ok; ++round) {
        const bool copyFirst = round % 2 == 1;  // both orders
        for (int turn = 0; turn < 2 && ok; ++turn) {
            const bool copy = (turn == 0) == copyFirst;
            const double start = Now();
            ok = copy ? SaveThroughCopy(file, round * 2 + turn) : SaveInPlace(file, round * 2 + turn);
            (copy ? throughCopy : inPlace).push_back(Now() - start);
        }
    }
    IniFile::Content last = file.Snapshot();
    DeleteFileW(wide.c_str());
    if (!ok) {
        std::printf("a save failed\n");
        return 1;
    }
    const bool kept = last.bytes.size() == bytes.size() && last.bytes.ends_with("[Last]\r\nimportant=yes\r\n");
    std::printf("save of a %zu-byte Tavisk.ini, %d rounds each, medians:\n", bytes.size(), Rounds * 2);
    std::printf("  written in place (before)  %.3f s\n", Median(inPlace));
    std::printf("  through a checked copy     %.3f s\n", Median(throughCopy));
    std::printf("  ratio                      %.2f (goal: at most 2)\n", Median(throughCopy) / Median(inPlace));
    std::printf("  file whole afterwards      %s\n", kept ? "yes" : "NO");
    return kept ? 0 : 1;
}
