#include "settings/ExeDirectory.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "fsutil/FolderIdentity.h"
#include "fsutil/PathRules.h"
#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"

char ExeDirectory[ExeDirectorySize] = {};

namespace {

// The module path in code page 932, or empty when it cannot be had or held.
std::string ModulePath() {
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return {};
    std::string path;
    if (!ToNarrow(std::wstring_view(buffer.data(), length), path) || path.size() >= ExeDirectorySize) return {};
    return path;
}

// A folder named by code page 932 text as the platform takes it ("C:" as
// the drive's root), or empty.
std::wstring WideFolder(const std::string& folder) {
    std::wstring wide;
    if (!ToWide(folder, wide)) return {};
    if (IsBareDrive(wide)) wide += L'\\';
    return wide;
}

}  // namespace

bool EnterExeDirectory() {
    if (ExeDirectory[0] == 0) {
        const std::string path = ModulePath();
        if (!path.empty()) std::strcpy(ExeDirectory, GetDirectoryPart(path.c_str()).c_str());
    }
    const std::wstring folder = WideFolder(ExeDirectory);
    return !folder.empty() && SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

const char* GetExeDirectory() {
    EnterExeDirectory();
    return ExeDirectory;
}

namespace {

// What a folder named by code page 932 text is.
FolderIdentity IdentifyNarrow(const std::string& folder) {
    const std::wstring wide = WideFolder(folder);
    if (!wide.empty()) return IdentifyFolder(wide);
    FolderIdentity none;
    none.kind = FolderIdentity::Kind::NoAnswer;
    return none;
}

}  // namespace

// Decided on identity, not on spelling: "Z:\...\drive_c\app\sub\x.ini" lies in
// "C:\app" when both reach the same folder. Each folder the file lies in,
// from its own up to the root, is compared with the executable's folder by
// volume and file index.
std::string RelativeToExeDirectory(const std::string& path) {
    const FolderIdentity exe = IdentifyNarrow(GetExeDirectory());
    if (exe.kind != FolderIdentity::Kind::Folder) return path;
    std::string inner = GetFileNamePart(path.c_str());
    for (std::string folder = GetDirectoryPart(path.c_str()); !folder.empty() && !inner.empty();) {
        const FolderIdentity here = IdentifyNarrow(folder);
        if (here.kind == FolderIdentity::Kind::Folder && SameObject(here, exe))
            return inner;
        const std::string parent = GetDirectoryPart(folder.c_str());
        if (parent.empty() || parent.size() >= folder.size()) break;
        inner = std::string(GetFileNamePart(folder.c_str())) + '\\' + inner;
        folder = parent;
    }
    return path;
}
