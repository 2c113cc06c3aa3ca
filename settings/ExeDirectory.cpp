#include "settings/ExeDirectory.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

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

}  // namespace

bool EnterExeDirectory() {
    if (ExeDirectory[0] == 0) {
        const std::string path = ModulePath();
        if (!path.empty()) GetDirectoryPart(ExeDirectory, path.c_str());
    }
    if (ExeDirectory[0] == 0) return false;
    std::string folder = ExeDirectory;
    // "C:" alone would name the drive's remembered current directory, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    std::wstring wide;
    return ToWide(folder, wide) && SetCurrentDirectoryW(wide.c_str()) != FALSE;
}

const char* GetExeDirectory() {
    EnterExeDirectory();
    return ExeDirectory;
}

std::string RelativeToExeDirectory(const std::string& path) {
    std::wstring folder, wide;
    std::string relative;
    if (!ToWide(std::string(GetExeDirectory()) + '\\', folder) || folder.size() < 2 || !ToWide(path, wide) ||
        wide.size() <= folder.size() || !SamePathText(std::wstring_view(wide).substr(0, folder.size()), folder) ||
        !ToNarrow(std::wstring_view(wide).substr(folder.size()), relative))
        return path;
    return relative;
}
