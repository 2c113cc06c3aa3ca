#include "rtp/DeleteRtp.h"

#include <cstring>
#include <string>
#include <utility>

#include "app/ShellFolder.h"
#include "app/Warning.h"
#include "fsutil/FileTree.h"
#include "fsutil/FullPath.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
#include "rtp/RtpFolder.h"
#include "rtp/RtpKinds.h"

namespace {

constexpr char OfficialRefused[] = "公式RTP[%s] を削除することはできません";
constexpr char KeyOpenFailed[] = "レジストリキーのオープンに失敗しました";
constexpr char ValueReadFailed[] =
    "レジストリキーのサブキーの取得に失敗しました\nRTP[%s] はインストールされていないようです";
constexpr char ValueDeleteFailed[] = "レジストリキーのサブキーの削除に失敗しました";
constexpr char FilesLeftOver[] =
    "削除できなかったファイルがあります\nレジストリキーの削除は済んでいるのでファイルは手動で削除してください";
constexpr char DirectoriesLeftOver[] =
    "削除できなかったディレクトリがあります\nレジストリキーの削除は済んでいるのでディレクトリは手動で削除してください";
constexpr char FolderEmpty[] = "登録されているフォルダが空なので RTP[%s] は削除できません";
constexpr char FolderNotAbsolute[] = "登録されているフォルダが絶対パスではないので RTP[%s] は削除できません";
constexpr char FolderIsRoot[] =
    "登録されているフォルダがドライブまたは共有フォルダのルートなので RTP[%s] は削除できません";
constexpr char FolderBadCharacter[] =
    "登録されているフォルダにフォルダ名に使えない文字 (* ? \" < > | :) が含まれているので RTP[%s] は削除できません";
constexpr char FolderBadName[] =
    "登録されているフォルダの名前が空白かピリオドで終わっているので RTP[%s] は削除できません";
constexpr char FolderIsFile[] = "登録されているフォルダがファイルなので RTP[%s] は削除できません";
constexpr char FolderChanged[] =
    "RTP[%s] の登録されているフォルダが確認の後で変わったので削除しませんでした\n今のフォルダ: %s";
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

// Another registered RTP, of either kind (the official ones included), whose
// folder is the same as folder, lies inside it or holds it: removing folder
// would delete that RTP's files too, or the RTP's own files would go with it.
bool FindOverlap(int kindIndex, const char* name, const std::wstring& folder, std::string& otherName,
                 std::string& otherFolder) {
    for (int kind = 0; kind < RtpKindCount; ++kind) {
        const RtpKind& row = RtpKinds[static_cast<std::size_t>(kind)];
        RegistryKey key;
        StringMap rtps;
        if (!key.Open(row.rtpKeyPath, row.rootKey) || !key.ReadStringValues(rtps)) continue;
        for (const auto& [otherRtp, registered] : rtps) {
            if (kind == kindIndex && EqualsIgnoreAsciiCase(otherRtp.c_str(), name)) continue;
            std::string resolved;
            if (ResolveRtpFolder(registered.c_str(), resolved) != RtpFolderProblem::None) continue;
            if (PathsOverlap(folder, WideOrEmpty(resolved))) {
                otherName = otherRtp;
                otherFolder = resolved;
                return true;
            }
        }
    }
    return false;
}

void OpenFolder(HWND owner, const std::string& folder) {
    if (owner != nullptr) ShowFolder(folder);
}

// The platform's own name for what a handle reaches ("\\?\C:\dir\file"),
// or empty.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    return {};
}

// Opens a file or folder, or a link itself where the platform allows.
HANDLE OpenEntry(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Deletes what a handle opened with DELETE access reaches, once it is closed.
bool DeleteByHandle(HANDLE entry) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

std::wstring FinalPathOf(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, wide)) return {};
    HANDLE handle = OpenEntry(wide, FILE_READ_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::wstring final = FinalPath(handle);
    CloseHandle(handle);
    return final;
}

bool SamePath(const std::wstring& a, std::size_t length, const std::wstring& b) {
    return length == b.size() && CompareStringOrdinal(a.c_str(), static_cast<int>(length), b.c_str(),
                                                       static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// What every deletion is checked against: the registered folder's final path,
// and the final path of the folder holding the last entry checked.
struct Boundary {
    std::string folder;
    std::wstring folderFinal;  // empty when the folder cannot be opened
    std::string parent;        // with its trailing separator
    std::wstring parentFinal;
};

// Opens a collected entry for deletion, without following a link. The handle
// is given only when its final path is that very entry in its folder (where
// the platform follows a link anyway, as Wine does with Unix symbolic links,
// it reaches another path), and lies strictly inside the registered folder, or
// is the folder itself: whatever a path text might reach, nothing outside the
// folder is ever deleted.
HANDLE OpenInside(const std::string& path, Boundary& boundary) {
    const char* name = GetFileNamePart(path.c_str());
    const std::string parent(path.c_str(), name);
    std::wstring wide;
    std::wstring wideName;
    if (boundary.folderFinal.empty() || parent.empty() || !ToWide(path, wide) || !ToWide(name, wideName))
        return INVALID_HANDLE_VALUE;
    if (boundary.parent != parent) boundary = {boundary.folder, boundary.folderFinal, parent, FinalPathOf(parent)};
    if (boundary.parentFinal.empty()) return INVALID_HANDLE_VALUE;
    std::wstring expected = boundary.parentFinal;
    if (expected.back() != L'\\') expected += L'\\';
    expected += wideName;

    HANDLE entry = OpenEntry(wide, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (entry == INVALID_HANDLE_VALUE) return entry;
    const std::wstring reached = FinalPath(entry);
    const std::wstring& folder = boundary.folderFinal;
    const bool inside = path == boundary.folder ? SamePath(reached, reached.size(), folder)
                                                : reached.size() > folder.size() + 1 && reached[folder.size()] == L'\\' &&
                                                      SamePath(reached, folder.size(), folder);
    if (inside && SamePath(reached, reached.size(), expected)) return entry;
    CloseHandle(entry);
    return INVALID_HANDLE_VALUE;
}

// Clears the read-only attribute through the handle; false when it was not set.
bool ClearReadOnly(HANDLE entry) {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0)
        return false;
    // Times of zero are left as they are; attributes of zero would be too.
    const DWORD attributes = basic.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    basic = {};
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Deletes one collected file or folder that lies inside the registered folder.
// RTPs copied from CD media are read-only: the attribute is cleared only on an
// entry that passed the checks, through the handle that passed them.
bool DeleteInside(const std::string& path, Boundary& boundary) {
    HANDLE entry = OpenInside(path, boundary);
    if (entry == INVALID_HANDLE_VALUE) return false;
    const bool deleted = DeleteByHandle(entry) || (ClearReadOnly(entry) && DeleteByHandle(entry));
    CloseHandle(entry);
    return deleted;
}

// Under Wine a read-only folder is a Unix folder without write permission,
// whose entries cannot be deleted: such folders are made writable first.
void MakeFolderWritable(const std::string& path, Boundary& boundary) {
    const DWORD attributes = GetFileAttributesW(WideOrEmpty(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
    HANDLE folder = OpenInside(path, boundary);
    if (folder == INVALID_HANDLE_VALUE) return;
    ClearReadOnly(folder);
    CloseHandle(folder);
}

// A registered folder deleted by hand leaves nothing to remove. Only a folder
// that is truly absent counts: Wine also says "not found" below a drive letter
// that is not there, so the drive or share must answer.
bool FolderIsGone(const char* folder) {
    const std::wstring wide = WideOrEmpty(folder);
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
    std::wstring root = wide.substr(0, RootLength(wide));
    if (root.empty()) return false;
    if (!IsPathSeparator(root.back())) root += L'\\';
    return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Warn(HWND owner, const char* text) { return owner == nullptr ? false : ShowWarning(owner, text); }

template <class... Texts>
bool WarnF(HWND owner, const char* format, const Texts*... texts) {
    return owner == nullptr ? false : ShowWarningF(owner, format, texts...);
}

}  // namespace

bool DeleteRtp(int kindIndex, const char* name, HWND owner, const char* confirmedFolder) {
    if (IsOfficialRtp(kindIndex, name)) return WarnF(owner, OfficialRefused, name);

    const RtpKind& kind = RtpKinds[static_cast<std::size_t>(kindIndex)];
    RegistryKey key;
    if (!key.Open(kind.rtpKeyPath, kind.rootKey)) return Warn(owner, KeyOpenFailed);

    char registered[FolderSize] = {};
    if (!key.QueryString(name, registered, FolderSize)) return WarnF(owner, ValueReadFailed, name);

    // From here on only the folder as Windows resolves the text is used: the
    // one the user was shown.
    std::string folder;
    if (const RtpFolderProblem problem = ResolveRtpFolder(registered, folder); problem != RtpFolderProblem::None)
        return WarnF(owner, ProblemText(problem), name);
    const std::wstring wideFolder = WideOrEmpty(folder);
    if (confirmedFolder != nullptr) {
        const std::wstring confirmed = WideOrEmpty(confirmedFolder);
        if (confirmed.size() != wideFolder.size() || !PathsOverlap(confirmed, wideFolder))  // the same, in any case
            return WarnF(owner, FolderChanged, name, folder.c_str());
    }
    std::string otherName, otherFolder;
    if (FindOverlap(kindIndex, name, wideFolder, otherName, otherFolder))
        return WarnF(owner, FolderOverlaps, otherName.c_str(), otherFolder.c_str(), name);
    const DWORD attributes = GetFileAttributesW(wideFolder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return WarnF(owner, FolderIsFile, name);

    if (!key.DeleteValue(name)) return Warn(owner, ValueDeleteFailed);
    key.Close();
    if (FolderIsGone(folder.c_str())) return true;

    // Everything is listed before anything is deleted.
    StringList files;
    StringList directories;
    CollectFiles(folder.c_str(), files, "*.*", -1);
    CollectDirectories(folder.c_str(), directories, "*.*", -1);
    Boundary boundary{folder, FinalPathOf(folder), {}, {}};
    // The folder itself is removed last, after everything inside it.
    directories.insert(directories.begin(), folder);
    for (const std::string& directory : directories) MakeFolderWritable(directory, boundary);

    bool failed = false;
    for (const std::string& file : files)
        if (!DeleteInside(file, boundary)) failed = true;
    if (failed) {
        Warn(owner, FilesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }
    while (!directories.empty()) {
        if (!DeleteInside(directories.back(), boundary)) failed = true;
        directories.pop_back();
    }
    if (failed) {
        Warn(owner, DirectoriesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }
    return true;
}
