#include "rtp/DeleteRtp.h"

#include <shellapi.h>

#include <cstring>
#include <string>
#include <utility>

#include "app/Warning.h"
#include "fsutil/FileTree.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "rtp/RegistryKey.h"
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

constexpr std::uint32_t FolderSize = 512;

enum class FolderProblem { None, Empty, NotAbsolute, Root };

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Length of the root of a full path: "C:\" or "\\server\share"; 0 when the
// path has neither form.
std::size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) return 3;
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
    const std::size_t serverEnd = path.find_first_of(L"\\/", 2);
    if (serverEnd == 2 || serverEnd == std::wstring::npos) return 0;
    const std::wstring server = path.substr(2, serverEnd - 2);
    // "\\?\" and "\\.\" name devices and raw paths, not a share.
    if (server == L"?" || server == L".") return 0;
    std::size_t shareEnd = path.find_first_of(L"\\/", serverEnd + 1);
    if (shareEnd == serverEnd + 1) return 0;
    if (shareEnd == std::wstring::npos) shareEnd = path.size();
    return shareEnd;
}

// Everything at and below the folder is about to be deleted: only a folder
// that names one place, below the root of a drive or share, may be.
FolderProblem CheckFolder(const char* folder) {
    if (folder[0] == 0) return FolderProblem::Empty;
    std::wstring wide;
    if (!ToWide(folder, wide)) return FolderProblem::NotAbsolute;
    // "C:" alone is the current directory of drive C.
    if (wide.size() == 2 && IsDriveLetter(wide[0]) && wide[1] == L':') return FolderProblem::Root;
    if (RootLength(wide) == 0) return FolderProblem::NotAbsolute;
    // What the platform makes of it: "C:\\", "C:\." and "C:\x\.." are roots too.
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 2) return FolderProblem::NotAbsolute;
    const std::wstring fullPath(full, length);
    const std::size_t root = RootLength(fullPath);
    if (root == 0) return FolderProblem::NotAbsolute;
    if (fullPath.find_first_not_of(L"\\/", root) == std::wstring::npos) return FolderProblem::Root;
    return FolderProblem::None;
}

void OpenFolder(HWND owner, const char* folder) {
    if (owner == nullptr) return;
    ShellExecuteW(GetDesktopWindow(), nullptr, DisplayText(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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

// Deletes one collected file. The file is opened without following a link,
// and deleted through that handle only when the handle is the entry itself
// in its folder: where the platform follows a link to a file elsewhere
// anyway (Wine follows Unix symbolic links, and would delete the file they
// point to), the handle reaches another path, and the link is left and
// reported instead. folderCache keeps the last folder's final path.
bool DeleteOneFile(const std::string& path, std::pair<std::string, std::wstring>& folderCache) {
    std::wstring wide;
    if (!ToWide(path, wide)) return false;
    const char* name = GetFileNamePart(path.c_str());
    const std::string folder(path.c_str(), name);  // with its trailing separator
    if (folder.empty()) return false;
    if (folderCache.first != folder) {
        folderCache = {folder, {}};
        std::wstring wideFolder;
        if (ToWide(folder, wideFolder)) {
            HANDLE handle = OpenEntry(wideFolder, FILE_READ_ATTRIBUTES);
            if (handle != INVALID_HANDLE_VALUE) {
                folderCache.second = FinalPath(handle);
                CloseHandle(handle);
            }
        }
    }
    if (folderCache.second.empty()) return false;
    std::wstring wideName;
    if (!ToWide(name, wideName)) return false;
    std::wstring expected = folderCache.second;
    if (expected.back() != L'\\') expected += L'\\';
    expected += wideName;

    HANDLE file = OpenEntry(wide, DELETE | FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool deleted = false;
    const std::wstring reached = FinalPath(file);
    if (!reached.empty() && CompareStringOrdinal(reached.c_str(), -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL)
        deleted = DeleteByHandle(file);
    CloseHandle(file);
    return deleted;
}

// A link is removed itself, never what it points at. The link is opened
// without being followed; only when the platform confirms that the handle is
// the link is it deleted through that handle. Where the platform follows the
// link anyway (Wine opens and deletes the target of a Unix symbolic link),
// the link stays and counts as left over.
bool RemoveLinkItself(const std::wstring& path) {
    HANDLE link = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES);
    if (link == INVALID_HANDLE_VALUE) return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    const bool removed = GetFileInformationByHandleEx(link, FileAttributeTagInfo, &tag, sizeof tag) &&
                         (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && DeleteByHandle(link);
    CloseHandle(link);
    return removed;
}

bool RemoveOneDirectory(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, wide)) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return RemoveLinkItself(wide);
    return RemoveDirectoryW(wide.c_str()) != FALSE;
}

bool Warn(HWND owner, const char* text) { return owner == nullptr ? false : ShowWarning(owner, text); }

bool WarnF(HWND owner, const char* format, const char* name) {
    return owner == nullptr ? false : ShowWarningF(owner, format, name);
}

}  // namespace

bool DeleteRtp(int kindIndex, const char* name, HWND owner) {
    if (IsOfficialRtp(kindIndex, name)) return WarnF(owner, OfficialRefused, name);

    const RtpKind& kind = RtpKinds[static_cast<std::size_t>(kindIndex)];
    RegistryKey key;
    if (!key.Open(kind.rtpKeyPath, kind.rootKey)) return Warn(owner, KeyOpenFailed);

    char folder[FolderSize] = {};
    if (!key.QueryString(name, folder, FolderSize)) return WarnF(owner, ValueReadFailed, name);

    // One trailing separator goes; the second byte of a double-byte character
    // (0x5C in ソ or 表) is part of the name and stays.
    const std::size_t length = std::strlen(folder);
    if (length >= 2 && folder[length - 1] == '\\' && ByteKindAt(folder, static_cast<long long>(length - 1)) == SingleByte)
        CutTail(folder, 1);

    switch (CheckFolder(folder)) {
    case FolderProblem::Empty: return WarnF(owner, FolderEmpty, name);
    case FolderProblem::NotAbsolute: return WarnF(owner, FolderNotAbsolute, name);
    case FolderProblem::Root: return WarnF(owner, FolderIsRoot, name);
    case FolderProblem::None: break;
    }

    if (!key.DeleteValue(name)) return Warn(owner, ValueDeleteFailed);
    key.Close();

    // Everything is listed before anything is deleted.
    StringList files;
    StringList directories;
    CollectFiles(folder, files, "*.*", -1);
    CollectDirectories(folder, directories, "*.*", -1);

    bool failed = false;
    std::pair<std::string, std::wstring> folderCache;
    for (const std::string& file : files)
        if (!DeleteOneFile(file, folderCache)) failed = true;
    if (failed) {
        Warn(owner, FilesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }

    // The folder itself is removed last, after everything inside it.
    directories.insert(directories.begin(), folder);
    while (!directories.empty()) {
        if (!RemoveOneDirectory(directories.back())) failed = true;
        directories.pop_back();
    }
    if (failed) {
        Warn(owner, DirectoriesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }
    return true;
}
