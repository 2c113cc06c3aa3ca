#include "pages/RemovalSummary.h"

#include <cstdio>

#include "fsutil/PathRules.h"

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

std::string SummarizeRtpRemoval(const RtpRemoval& removal) {
    switch (removal.identity.kind) {
    case FolderIdentity::Kind::Missing: return "\nフォルダが見つかりません: 登録だけを削除します";
    case FolderIdentity::Kind::Link:
        return "\nフォルダはリンクです: リンクを削除できればリンクだけを削除し、できなければ残します。リンク先は削除しません";
    case FolderIdentity::Kind::Folder: break;
    default: return {};
    }
    const FoundTree& tree = removal.tree;
    const char* atLeast = tree.complete ? "" : " 以上";
    std::string lines = "\n" + FormatCount(tree.files.size()) + " ファイル" + atLeast + "、" +
                        FormatCount(tree.folders.size()) + " フォルダ" + atLeast + "、" + FormatByteSize(tree.bytes) +
                        atLeast;
    if (tree.leftOut > 0) lines += "、削除できない " + FormatCount(tree.leftOut) + " 項目は残ります";
    bool executables = false;
    for (const FoundEntry& file : tree.files) {
        const std::size_t size = file.name.size();
        if (executables || size < 4 || file.name[size - 4] != L'.') continue;  // most names are not even checked
        executables = EndsWithIgnoreCase(file.name, L".exe") || EndsWithIgnoreCase(file.name, L".dll");
    }
    if (executables) lines += "\n注意: 実行ファイル (.exe, .dll) が含まれています";
    if (tree.bytes > SummaryLargeBytes) lines += "\n注意: 10 GB を超えています";
    if (!tree.complete) lines += "\n注意: 途中までしか数えていないので、実行ファイルと 10 GB を超えるかは確かめられていません";
    return lines;
}
