#include "rtp/DeleteRtp.h"

#include <winternl.h>

#include <algorithm>
#include <string>

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
    wchar_t buffer[MAX_PATH];
    DWORD length = GetFinalPathNameByHandleW(handle, buffer, MAX_PATH, FILE_NAME_NORMALIZED);
    if (length == 0) return {};
    if (length < MAX_PATH) return std::wstring(buffer, length);
    std::wstring path(length, L'\0');
    length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD ForDeletion = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

// Opens a file or folder by its path, or a link itself where the platform allows.
HANDLE OpenEntry(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, ShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Opens the entry named name in the folder that folder is open on, or a link
// itself where the platform allows: no path text is parsed again.
HANDLE OpenEntryIn(HANDLE folder, const std::wstring& name, DWORD access) {
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    UNICODE_STRING relative{bytes, bytes, const_cast<wchar_t*>(name.c_str())};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &relative, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE entry = nullptr;
    if (name.size() > 0x7FFF || NtCreateFile(&entry, access, &attributes, &status, nullptr, 0, ShareAll, FILE_OPEN,
                                              FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT |
                                                  FILE_SYNCHRONOUS_IO_NONALERT,
                                              nullptr, 0) < 0)
        return INVALID_HANDLE_VALUE;
    return entry;
}

// Deletes what a handle opened with DELETE access reaches, once it is closed.
bool DeleteByHandle(HANDLE entry) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
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

// What every deletion is checked against: where the platform itself resolves
// the registered folder. Each entry listed below it must reach exactly that
// final path followed by the names the walk found down to it: where the
// platform follows a link anyway (Wine shows a Unix symbolic link as the file
// it points at), a link anywhere on the way, or a name that parses as another
// path, reaches something else. So whatever a path text might reach, nothing
// outside the folder is ever deleted.
class Boundary {
public:
    explicit Boundary(const std::wstring& resolved) : folder(resolved) {
        if (HANDLE handle = OpenEntry(folder, FILE_READ_ATTRIBUTES); handle != INVALID_HANDLE_VALUE) {
            final = FinalPath(handle);
            CloseHandle(handle);
        }
        // The folder itself must also be that name in its parent as the
        // platform resolves the parent: a registered folder that is a link
        // resolves elsewhere.
        const std::size_t name = folder.find_last_of(L'\\');
        if (final.empty() || name == std::wstring::npos) return;
        std::wstring parent = folder.substr(0, name);
        if (parent.size() < RootLength(folder)) parent = folder.substr(0, RootLength(folder));
        if (HANDLE handle = OpenEntry(parent, FILE_READ_ATTRIBUTES); handle != INVALID_HANDLE_VALUE) {
            asNamed = FinalPath(handle);
            CloseHandle(handle);
        }
        if (asNamed.empty()) return;
        if (asNamed.back() != L'\\') asNamed += L'\\';
        asNamed.append(folder, name + 1);
    }

    // Opens a folder of the walk (the registered folder itself for null) by its path.
    HANDLE OpenFolder(const FoundEntry* entry, DWORD access) const {
        const std::wstring& path = entry == nullptr ? folder : entry->path;
        HANDLE handle = final.empty() ? INVALID_HANDLE_VALUE : OpenEntry(path, access);
        return Checked(handle, std::wstring_view(path).substr(folder.size()), {});
    }

    // Opens a folder of the walk to open its files in. Unchecked: each file is
    // checked against its whole path, so a folder that reaches elsewhere only
    // leaves its files over.
    HANDLE OpenFilesFolder(const FoundEntry* entry) const {
        return final.empty() ? INVALID_HANDLE_VALUE
                             : OpenEntry(entry == nullptr ? folder : entry->path, FILE_TRAVERSE | SYNCHRONIZE);
    }

    // Opens a file of the walk in its folder, open on parent as OpenFilesFolder gave it.
    HANDLE OpenFile(HANDLE parent, const FoundEntry* parentEntry, const FoundEntry& file) const {
        const std::wstring_view relative =
            parentEntry == nullptr ? std::wstring_view() : std::wstring_view(parentEntry->path).substr(folder.size());
        return Checked(OpenEntryIn(parent, file.name, ForDeletion), relative, file.name);
    }

private:
    // The handle, when it reaches final + relative ('\' + name), or the
    // registered folder itself for an empty relative and name; else it is
    // closed.
    HANDLE Checked(HANDLE entry, std::wstring_view relative, std::wstring_view name) const {
        if (entry == INVALID_HANDLE_VALUE) return entry;
        const std::wstring reached = FinalPath(entry);
        const std::wstring_view rest = std::wstring_view(reached).substr(std::min(reached.size(), final.size()));
        const bool inside = SamePathText(std::wstring_view(reached).substr(0, final.size()), final) &&
                            SamePathText(rest.substr(0, relative.size()), relative) &&
                            (name.empty() ? rest.size() == relative.size()
                                          : rest.size() == relative.size() + 1 + name.size() &&
                                                rest[relative.size()] == L'\\' &&
                                                SamePathText(rest.substr(relative.size() + 1), name));
        const bool expected = relative.empty() && name.empty() ? SamePathText(reached, asNamed) : true;
        if (inside && expected) return entry;
        CloseHandle(entry);
        return INVALID_HANDLE_VALUE;
    }

    std::wstring folder;   // as resolved from the registration
    std::wstring final;    // its final path; empty when it cannot be opened
    std::wstring asNamed;  // its parent's final path and its own name
};

// Deletes an entry that passed the checks, and closes it. RTPs copied from CD
// media are read-only: the attribute is cleared only on an entry that passed
// the checks, through the handle that passed them.
bool DeleteChecked(HANDLE entry) {
    if (entry == INVALID_HANDLE_VALUE) return false;
    const bool deleted = DeleteByHandle(entry) || (ClearReadOnly(entry) && DeleteByHandle(entry));
    CloseHandle(entry);
    return deleted;
}

// Deletes every file of the walk, each in its folder as the walk found it.
// False when one is left.
bool DeleteFiles(const FoundTree& tree, const Boundary& boundary) {
    bool deleted = true;
    int current = -2;  // the folder open now: none yet
    HANDLE folder = INVALID_HANDLE_VALUE;
    for (const FoundEntry& file : tree.files) {
        const FoundEntry* parent = file.folder < 0 ? nullptr : &tree.folders[static_cast<std::size_t>(file.folder)];
        if (file.folder != current) {
            if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
            folder = boundary.OpenFilesFolder(parent);
            current = file.folder;
        }
        if (folder == INVALID_HANDLE_VALUE || !DeleteChecked(boundary.OpenFile(folder, parent, file))) deleted = false;
    }
    if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
    return deleted;
}

// Under Wine a read-only folder is a Unix folder without write permission,
// whose entries cannot be deleted: such folders are made writable first.
void MakeFolderWritable(const FoundEntry* folder, DWORD attributes, const Boundary& boundary) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
    HANDLE handle = boundary.OpenFolder(folder, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE);
    if (handle == INVALID_HANDLE_VALUE) return;
    ClearReadOnly(handle);
    CloseHandle(handle);
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
        if (!SamePathText(WideOrEmpty(confirmedFolder), wideFolder))
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
    if (RtpFolderIsGone(folder)) return true;

    // Everything is listed, in one walk, before anything is deleted. A
    // registered folder that is itself a link is not walked into.
    FoundTree tree;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        WalkTree(folder.c_str(), tree, -1);
    const Boundary boundary(wideFolder);
    MakeFolderWritable(nullptr, attributes, boundary);
    for (const FoundEntry& directory : tree.folders) MakeFolderWritable(&directory, directory.attributes, boundary);

    if (!DeleteFiles(tree, boundary)) {
        Warn(owner, FilesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }
    // The folders from the deepest up, the folder itself last.
    bool failed = false;
    for (auto directory = tree.folders.rbegin(); directory != tree.folders.rend(); ++directory)
        if (!DeleteChecked(boundary.OpenFolder(&*directory, ForDeletion))) failed = true;
    if (!DeleteChecked(boundary.OpenFolder(nullptr, ForDeletion))) failed = true;
    if (failed) {
        Warn(owner, DirectoriesLeftOver);
        OpenFolder(owner, folder);
        return false;
    }
    return true;
}
