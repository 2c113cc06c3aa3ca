#include "pages/RemovalSummary.h"

#include <windows.h>

#include <cstdio>

#include "fsutil/TreeCount.h"
#include "fsutil/WinText.h"
#include "rtp/RtpFolder.h"

std::string FormatCount(std::uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string FormatByteSize(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " バイト";
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    // Three significant digits, cut rather than rounded, as Explorer shows them.
    std::size_t unit = 0;
    std::uint64_t scale = 1024;
    while (unit + 1 < std::size(units) && bytes / scale >= 1000) {
        scale *= 1024;
        ++unit;
    }
    const std::uint64_t hundredths = bytes * 100 / scale;  // exact: bytes < 1000 * scale
    char text[32];
    if (hundredths < 1000)
        std::snprintf(text, sizeof text, "%llu.%02llu %s", hundredths / 100, hundredths % 100, units[unit]);
    else if (hundredths < 10000)
        std::snprintf(text, sizeof text, "%llu.%llu %s", hundredths / 100, hundredths / 10 % 10, units[unit]);
    else
        std::snprintf(text, sizeof text, "%llu %s", hundredths / 100, units[unit]);
    return text;
}

std::string SummarizeRtpFolder(const std::string& folder) {
    if (RtpFolderIsGone(folder)) return "\nフォルダが見つかりません: 登録だけを削除します";
    const DWORD attributes = GetFileAttributesW(WideOrEmpty(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return {};
    const TreeCount count = CountTree(folder.c_str(), SummaryEntryLimit, SummaryTimeLimitMs);
    const char* atLeast = count.complete ? "" : " 以上";
    std::string lines = "\n" + FormatCount(count.files) + " ファイル" + atLeast + "、" + FormatCount(count.folders) +
                        " フォルダ" + atLeast + "、" + FormatByteSize(count.bytes) + atLeast;
    if (count.executables) lines += "\n注意: 実行ファイル (.exe, .dll) が含まれています";
    if (count.bytes > SummaryLargeBytes) lines += "\n注意: 10 GB を超えています";
    return lines;
}
