#include "rtp/RtpFolder.h"

#include <windows.h>

#include <cstring>

#include "fsutil/FolderIdentity.h"
#include "fsutil/PathRules.h"
#include "fsutil/WinText.h"

namespace {

// Looks at every name after the root: characters no Windows name holds, and
// names that end in a blank or a dot ("." and ".." themselves aside).
RtpFolderProblem CheckNames(std::wstring_view path, std::size_t root) {
    for (std::size_t start = root; start < path.size();) {
        std::size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view name = path.substr(start, end - start);
        for (wchar_t c : name)
            if (IsForbiddenInName(c)) return RtpFolderProblem::BadCharacter;
        if (!name.empty() && name != L"." && name != L".." && (name.back() == L' ' || name.back() == L'.'))
            return RtpFolderProblem::BadName;
        start = end + 1;
    }
    return RtpFolderProblem::None;
}

}  // namespace

RtpFolderProblem ResolveRtpFolder(const char* registered, std::string& resolved) {
    resolved.clear();
    if (registered[0] == 0) return RtpFolderProblem::Empty;
    std::wstring wide;
    if (!ToWide(registered, wide)) return RtpFolderProblem::NotAbsolute;
    if (wide.rfind(L"\\\\.\\", 0) == 0 || wide.rfind(L"//./", 0) == 0) return RtpFolderProblem::Device;
    if (wide.rfind(L"\\\\?\\", 0) == 0) {
        const std::wstring plain = WithoutLongPrefix(wide);
        std::wstring full;
        // Only what resolving would leave as it is, one trailing separator aside.
        if (RootLength(plain) == 0 || plain.find(L'/') != std::wstring::npos || !FullPathOf(plain, full) ||
            full != (plain.size() > RootLength(plain) && plain.back() == L'\\' ? plain.substr(0, plain.size() - 1) : plain))
            return RtpFolderProblem::LongForm;
        wide = plain;
    }
    if (IsBareDrive(wide)) return RtpFolderProblem::Root;
    const std::size_t root = RootLength(wide);
    if (root == 0) return RtpFolderProblem::NotAbsolute;
    // A share's name is checked as the names after it are.
    const std::size_t firstName = wide[0] == L'\\' || wide[0] == L'/' ? 2 : 3;
    if (const RtpFolderProblem names = CheckNames(wide, firstName); names != RtpFolderProblem::None) return names;
    std::wstring full;
    if (!FullPathOf(wide, full)) return RtpFolderProblem::NotAbsolute;
    // "C:\\", "C:\." and "C:\x\.." are roots too.
    if (full.size() <= RootLength(full)) return RtpFolderProblem::Root;
    if (!ToNarrow(full, resolved)) return RtpFolderProblem::NotAbsolute;
    return RtpFolderProblem::None;
}

RtpFolderState LookAtRtpFolder(const std::string& registered) {
    std::string folder;
    std::wstring wide;
    if (ResolveRtpFolder(registered.c_str(), folder) != RtpFolderProblem::None || !ToWide(folder, wide))
        return RtpFolderState::Unknown;
    if (RootLength(wide) != 3) return RtpFolderState::Unknown;  // a share
    // The drive's type is known without asking the drive.
    switch (GetDriveTypeW(wide.substr(0, 3).c_str())) {
    case DRIVE_NO_ROOT_DIR: return RtpFolderState::NoAnswer;
    case DRIVE_FIXED:
    case DRIVE_RAMDISK: break;
    default: return RtpFolderState::Unknown;
    }
    switch (IdentifyFolder(wide).kind) {
    case FolderIdentity::Kind::Missing: return RtpFolderState::Missing;
    case FolderIdentity::Kind::NoAnswer: return RtpFolderState::NoAnswer;
    case FolderIdentity::Kind::File: return RtpFolderState::File;
    case FolderIdentity::Kind::Link: return RtpFolderState::Link;
    case FolderIdentity::Kind::Folder: return RtpFolderState::Fine;
    case FolderIdentity::Kind::Unopenable: break;
    }
    return RtpFolderState::Unknown;
}
