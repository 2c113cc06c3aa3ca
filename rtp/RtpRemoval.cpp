#include "rtp/RtpRemoval.h"

#include <algorithm>
#include <vector>

#include "app/Warning.h"
#include "fsutil/MbcsText.h"
#include "fsutil/PathRules.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpFolder.h"
#include "rtp/RtpKinds.h"

namespace {

constexpr char OfficialRefused[] = "公式RTP[%s] を削除することはできません";
constexpr char KeyOpenFailed[] = "レジストリキーのオープンに失敗しました";
constexpr char ValueReadFailed[] =
    "レジストリキーのサブキーの取得に失敗しました\nRTP[%s] はインストールされていないようです";
constexpr char FolderEmpty[] = "登録されているフォルダが空なので RTP[%s] は削除できません";
constexpr char FolderNotAbsolute[] = "登録されているフォルダが絶対パスではないので RTP[%s] は削除できません";
constexpr char FolderIsRoot[] =
    "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%s] は削除できません";
constexpr char FolderBadCharacter[] =
    "登録されているフォルダにフォルダ名に使えない文字 (* ? \" < > | :) が含まれているので RTP[%s] は削除できません";
constexpr char FolderBadName[] =
    "登録されているフォルダの名前が空白かピリオドで終わっているので RTP[%s] は削除できません";
constexpr char FolderIsFile[] = "登録されているフォルダがファイルなので RTP[%s] は削除できません";
constexpr char FolderUnopenable[] = "登録されているフォルダを開けないので RTP[%s] は削除できません";
constexpr char FolderNoAnswer[] = "登録されているフォルダのドライブが応答しないので RTP[%s] は削除できません";
constexpr char FolderOverlaps[] = "RTP[%s] のフォルダ %s と重なっているので RTP[%s] は削除できません";

constexpr std::uint32_t FolderSize = RegistryKey::EnumBufferSize;  // whatever the list shows can be removed

const char* ProblemText(RtpFolderProblem problem) {
    switch (problem) {
    case RtpFolderProblem::Empty: return FolderEmpty;
    case RtpFolderProblem::NotAbsolute: return FolderNotAbsolute;
    case RtpFolderProblem::Root: return FolderIsRoot;
    case RtpFolderProblem::BadCharacter: return FolderBadCharacter;
    case RtpFolderProblem::BadName: return FolderBadName;
    case RtpFolderProblem::None: break;
    }
    return nullptr;
}

template <class... Texts>
bool Refuse(HWND owner, const char* format, const Texts*... texts) {
    if (owner != nullptr) ShowWarningF(owner, format, texts...);
    return false;
}

// Where another registration's folder lies, as final paths: what its text
// reaches (through any link), and the place of its own last name (a link
// there would go with a removal of the folder holding it). Empty when it
// reaches nothing; false when it is there but cannot be opened to check.
bool PlacesOf(const std::wstring& text, std::vector<std::wstring>& places) {
    places.clear();
    const FolderIdentity named = IdentifyFolder(text);
    if (named.kind == FolderIdentity::Kind::Unopenable) return false;
    if (named.kind == FolderIdentity::Kind::Missing || named.kind == FolderIdentity::Kind::NoAnswer) return true;
    places.push_back(named.finalPath);
    if (named.kind == FolderIdentity::Kind::Link) {
        // Where Wine opens a link as what it points at, its own place is its
        // parent's final path and its name.
        std::wstring full;
        if (FullPathOf(WithoutLongPrefix(text), full) && full.size() > RootLength(full)) {
            const std::size_t last = full.find_last_of(L'\\');
            const FolderIdentity parent = IdentifyFolder(full.substr(0, std::max(last, RootLength(full))));
            if (parent.kind == FolderIdentity::Kind::Folder)
                places.push_back(parent.finalPath + (IsPathSeparator(parent.finalPath.back()) ? L"" : L"\\") +
                                 full.substr(last + 1));
        }
        const UniqueHandle target(CreateFileW(text.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!target) return false;
        places.push_back(FinalPathOf(target.Get()));
    }
    return true;
}

// Another registered RTP, of either kind, the official ones included, whose
// folder is this one, holds it or lies inside it, however either is
// written: removing this folder would delete that RTP's files too.
bool FindOverlap(int kindIndex, const char* name, const std::wstring& finalPath, std::string& otherName,
                 std::string& otherFolder) {
    const std::wstring ownName = WideOrEmpty(name);
    std::vector<RegistryKey::RegisteredText> registered;
    std::vector<std::wstring> places;
    for (int kind = 0; kind < RtpKindCount; ++kind) {
        const RtpKind& row = RtpKinds[static_cast<std::size_t>(kind)];
        RegistryKey key;
        if (!key.Open(row.rtpKeyPath, row.rootKey) || !key.ReadAllTexts(registered)) continue;
        for (const auto& other : registered) {
            if (kind == kindIndex && SamePathText(other.name, ownName)) continue;
            const bool checked = PlacesOf(other.text, places);
            bool overlaps = !checked;
            for (const std::wstring& place : places) overlaps = overlaps || PathsOverlap(place, finalPath);
            if (overlaps) {
                otherName = NarrowOrEmpty(other.name);
                otherFolder = NarrowOrEmpty(other.text);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool CheckRtpRemoval(int kindIndex, const char* name, HWND owner, RtpRemoval& removal, bool list,
                     const WalkStops& stops) {
    removal = RtpRemoval{};
    removal.name = name;
    if (IsOfficialRtp(kindIndex, name)) return Refuse(owner, OfficialRefused, name);

    const RtpKind& kind = RtpKinds[static_cast<std::size_t>(kindIndex)];
    RegistryKey key;
    if (!key.Open(kind.rtpKeyPath, kind.rootKey)) return Refuse(owner, KeyOpenFailed);
    char registered[FolderSize] = {};
    if (!key.QueryString(name, registered, FolderSize)) return Refuse(owner, ValueReadFailed, name);
    key.Close();

    if (const RtpFolderProblem problem = ResolveRtpFolder(registered, removal.folder); problem != RtpFolderProblem::None)
        return Refuse(owner, ProblemText(problem), name);
    removal.identity = IdentifyFolder(WideOrEmpty(removal.folder));
    switch (removal.identity.kind) {
    case FolderIdentity::Kind::File: return Refuse(owner, FolderIsFile, name);
    case FolderIdentity::Kind::Unopenable: return Refuse(owner, FolderUnopenable, name);
    case FolderIdentity::Kind::NoAnswer: return Refuse(owner, FolderNoAnswer, name);
    case FolderIdentity::Kind::Missing: return true;  // only the registration will go
    case FolderIdentity::Kind::Link:
    case FolderIdentity::Kind::Folder: break;
    }
    std::string otherName, otherFolder;
    if (FindOverlap(kindIndex, name, removal.identity.finalPath, otherName, otherFolder))
        return Refuse(owner, FolderOverlaps, otherName.c_str(), otherFolder.c_str(), name);
    if (list && removal.identity.kind == FolderIdentity::Kind::Folder) {
        WalkTree(removal.folder.c_str(), removal.tree, -1, 0, stops);
        removal.listed = true;
    }
    return true;
}
