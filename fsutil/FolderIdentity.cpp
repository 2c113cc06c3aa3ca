#include "fsutil/FolderIdentity.h"

#include "fsutil/PathRules.h"

namespace {

bool IsThere(FolderIdentity::Kind kind) {
    return kind == FolderIdentity::Kind::Folder || kind == FolderIdentity::Kind::Link ||
           kind == FolderIdentity::Kind::File;
}

}  // namespace

bool FolderIdentity::operator==(const FolderIdentity& other) const {
    if (kind != other.kind) return false;
    return !IsThere(kind) || (SameObject(*this, other) && SamePathText(finalPath, other.finalPath));
}

bool SameObject(const FolderIdentity& a, const FolderIdentity& b) {
    return IsThere(a.kind) && IsThere(b.kind) && a.volume == b.volume && a.fileIndex == b.fileIndex;
}

UniqueHandle OpenEntry(const std::wstring& path, DWORD access, LastName last) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (last == LastName::Itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return UniqueHandle(CreateFileW(LongPathForm(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    flags, nullptr));
}

std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return WithoutLongPrefix(path);
        }
        path.assign(length, L'\0');
    }
    return {};
}

namespace {

bool IsNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_PATHNAME || error == ERROR_DIRECTORY || error == ERROR_INVALID_DRIVE ||
           error == ERROR_NOT_READY || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME;
}

// Whether the root of path's drive or share answers (Wine also says "not
// found" below a drive letter that is not there).
bool RootAnswers(const std::wstring& path) {
    std::wstring full;
    if (!FullPathOf(path, full)) {
        // "\\?\C:\x" and the like: the root after the prefix.
        const std::wstring plain = WithoutLongPrefix(path);
        if (plain.size() == path.size() || !FullPathOf(plain, full)) return false;
    }
    std::wstring root = full.substr(0, RootLength(full));
    if (!IsPathSeparator(root.back())) root += L'\\';
    return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

FolderIdentity IdentifyFolder(const std::wstring& path) {
    const UniqueHandle handle = OpenEntry(path, FILE_READ_ATTRIBUTES);
    if (handle) return IdentityOf(handle.Get(), path);
    FolderIdentity identity;
    const DWORD error = GetLastError();
    if (!IsNotFound(error) || GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        identity.kind = FolderIdentity::Kind::Unopenable;
    else
        identity.kind = RootAnswers(path) ? FolderIdentity::Kind::Missing : FolderIdentity::Kind::NoAnswer;
    return identity;
}

FolderIdentity IdentityOf(HANDLE handle, const std::wstring& path) {
    FolderIdentity identity;
    identity.kind = FolderIdentity::Kind::Unopenable;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return identity;
    identity.finalPath = FinalPathOf(handle);
    if (identity.finalPath.empty()) return identity;
    identity.volume = information.dwVolumeSerialNumber;
    identity.fileIndex = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    identity.attributes = information.dwFileAttributes;
    // Wine opens a Unix symbolic link as what it points at; its listing still
    // marks it as a reparse point.
    const DWORD listed = GetFileAttributesW(LongPathForm(path).c_str());
    const bool link = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
                      (listed != INVALID_FILE_ATTRIBUTES && (listed & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        identity.kind = FolderIdentity::Kind::File;
    else if (link)
        identity.kind = FolderIdentity::Kind::Link;
    else
        identity.kind = FolderIdentity::Kind::Folder;
    return identity;
}
