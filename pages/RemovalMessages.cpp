#include "pages/RemovalMessages.h"

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
    const char* atLeast = tree.complete ? "" : "以上";
    std::string lines = "\nファイル " + FormatCount(tree.files.size()) + " 個" + atLeast + "、フォルダ " +
                        FormatCount(tree.folders.size()) + " 個" + atLeast + "、" + FormatByteSize(tree.bytes) + atLeast;
    if (tree.leftOut > 0) lines += "、削除できない " + FormatCount(tree.leftOut) + " 項目は残ります";
    bool executables = false;
    for (const FoundEntry& file : tree.files) {
        const std::size_t size = file.name.size();
        if (executables || size < 4 || file.name[size - 4] != L'.') continue;  // most names are not even checked
        executables = EndsWithIgnoreCase(file.name, L".exe") || EndsWithIgnoreCase(file.name, L".dll");
    }
    if (executables) lines += "\n注意: 実行ファイル (.exe, .dll) が含まれています";
    if (tree.bytes > SummaryLargeBytes) lines += "\n注意: 10 GB を超えています";
    if (!tree.complete) lines += "\n注意: 途中までしか数えていないため、実行ファイルが含まれるか、10 GB を超えるかは確認できていません";
    return lines;
}

std::string RemovalQuestion(const RtpRemoval& removal) {
    // The whole name, however long; then what will be deleted.
    return "本当に RTP[" + removal.name + "] を削除してもよろしいですか？\nフォルダ: " + removal.folder +
           SummarizeRtpRemoval(removal) + "\nごみ箱には移さずに削除します。元に戻せません。";
}

std::string RemovalStepText(RemovalStep step, std::uint64_t done, std::uint64_t total) {
    switch (step) {
    case RemovalStep::Listing: return "数えています… " + FormatCount(done) + " ファイル";
    case RemovalStep::Files: return "削除しています… " + FormatCount(done) + " / " + FormatCount(total) + " ファイル";
    case RemovalStep::Folders: return "削除しています… " + FormatCount(done) + " / " + FormatCount(total) + " フォルダ";
    }
    return {};
}

namespace {

// Each reason's words; %1 is the RTP's name, %2 and %3 the other RTP and its
// folder, %4 the outcome's path.
const char* WordsFor(RemovalReason reason) {
    switch (reason) {
    case RemovalReason::None: return "";
    case RemovalReason::Official: return "公式RTP[%1] を削除することはできません";
    case RemovalReason::KeyUnopenable: return "レジストリキーのオープンに失敗しました";
    case RemovalReason::NotInstalled:
        return "レジストリキーのサブキーの取得に失敗しました\nRTP[%1] はインストールされていないようです";
    case RemovalReason::FolderEmpty: return "登録されているフォルダが空なので RTP[%1] は削除できません";
    case RemovalReason::FolderNotAbsolute: return "登録されているフォルダが絶対パスではないので RTP[%1] は削除できません";
    case RemovalReason::FolderIsRoot:
        return "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%1] は削除できません";
    case RemovalReason::FolderBadCharacter:
        return "登録されているフォルダにフォルダ名に使えない文字 (* ? \" < > | :) が含まれているので RTP[%1] は削除できません";
    case RemovalReason::FolderBadName:
        return "登録されているフォルダの名前が空白かピリオドで終わっているので RTP[%1] は削除できません";
    case RemovalReason::FolderIsDevice:
        return "登録されているフォルダがデバイスのパス (\\\\.\\) なので RTP[%1] は削除できません";
    case RemovalReason::FolderLongForm:
        return "登録されているフォルダが \\\\?\\ で始まり、その後がドライブか共有フォルダからのそのまま使えるパスではないので "
               "RTP[%1] は削除できません";
    case RemovalReason::FolderIsFile: return "登録されているフォルダがファイルなので RTP[%1] は削除できません";
    case RemovalReason::FolderUnopenable: return "登録されているフォルダを開けないので RTP[%1] は削除できません";
    case RemovalReason::FolderNoAnswer: return "登録されているフォルダのドライブが応答しないので RTP[%1] は削除できません";
    case RemovalReason::Overlaps:
        return "RTP[%2] のフォルダ %3 と重なっているので RTP[%1] は削除できません\n"
               "先に RTP[%2] を削除するか、どちらかの登録を直してください";
    case RemovalReason::OtherUnchecked:
        return "RTP[%2] のフォルダ %3 と重なっていないかを確かめきれないので RTP[%1] は削除できません";
    case RemovalReason::InnerUnopenable:
        return "登録されているフォルダの中のフォルダ %4 を開けないので、ほかのRTPと重なっていないかを確かめられません\n"
               "RTP[%1] は削除できません";
    case RemovalReason::CountStopped: return "RTP[%1] の削除を中止しました。何も削除していません";
    case RemovalReason::FolderChanged:
        return "RTP[%1] の登録されているフォルダが確認の後で変わったので削除しませんでした\n今のフォルダ: %4";
    case RemovalReason::FolderAnswers: return "";  // the usual question follows
    case RemovalReason::ValueUndeletable: return "レジストリキーのサブキーの削除に失敗しました";
    case RemovalReason::FilesLeft:
        return "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください";
    case RemovalReason::FoldersLeft:
        return "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
    case RemovalReason::DeletionStopped: return "RTP[%1] の削除を中止しました。登録は削除済みです。\nフォルダ: %4";
    }
    return "";
}

}  // namespace

namespace {

const char* WordsFor(LeftReason reason) {
    switch (reason) {
    case LeftReason::InUse: return "使用中";
    case LeftReason::Denied: return "アクセスが拒否されました";
    case LeftReason::Unnamable: return "Windows で扱えない名前";
    case LeftReason::Link: return "リンク";
    case LeftReason::FolderStayed: return "消えなかったフォルダ";
    }
    return "";
}

}  // namespace

std::string RemovalWarning(const char* name, const RemovalOutcome& outcome) {
    // Filled in one pass: a name may itself hold "%2".
    const std::string fills[] = {name, outcome.other, outcome.otherFolder, outcome.path};
    std::string text;
    for (const char* p = WordsFor(outcome.reason); *p != 0; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '4') text += fills[*++p - '1'];
        else text += *p;
    }
    // What stayed, and why, when something could not be deleted.
    if (outcome.left.empty() || outcome.reason == RemovalReason::DeletionStopped) return text;
    text += "\n残った項目:";
    for (const LeftEntry& entry : outcome.left) text += "\n" + entry.path + " (" + WordsFor(entry.reason) + ")";
    if (outcome.leftCount > outcome.left.size()) text += "\nほか " + FormatCount(outcome.leftCount - outcome.left.size()) + " 項目";
    return text;
}

std::string RemovalDoneMessage(const char* name, const RemovalOutcome& outcome) {
    if (outcome.registrationOnly) return "RTP[" + std::string(name) + "] の登録を削除しました。ファイルには触れていません";
    return "RTPの削除に成功しました";
}

std::string RegistrationOnlyQuestion(const RtpRemoval& removal) {
    return "ドライブが応答しないので、RTP[" + removal.name +
           "] のファイルは削除できません。登録だけを削除しますか？ (ファイルには触れません)\nフォルダ: " + removal.folder;
}

std::string CarryOnQuestion(const char* name, const RtpRemoval& removal, const RemovalOutcome& outcome) {
    RemovalOutcome shown = outcome;
    shown.path = removal.folder;
    return RemovalWarning(name, shown) + "\n残りを続けて削除しますか？ (いいえ: フォルダを開きます)";
}
