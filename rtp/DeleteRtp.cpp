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
    if (!IsSeparator(root.back())) root += L'\\';
    return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
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
    if (FolderIsGone(folder)) return true;

    // Everything is listed before anything is deleted.
    StringList files;
    StringList directories;
    CollectFiles(folder, files, "*.*", -1);
    CollectDirectories(folder, directories, "*.*", -1);
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
