#include "app/ChooseOpenFile.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/SystemFunction.h"
#include "fsutil/WinText.h"

namespace {

// A filter list: NUL-ended pieces, ended by an empty piece.
std::wstring FilterText(const char* filter) {
    std::wstring wide;
    if (filter == nullptr) return wide;
    for (const char* piece = filter; *piece != 0; piece += std::strlen(piece) + 1) {
        wide += DisplayText(piece);
        wide += L'\0';
    }
    wide += L'\0';
    return wide;
}

}  // namespace

bool ChooseOpenFile(HWND owner, char* file, std::uint32_t fileSize, const char* filter, const char* initialDirectory,
                    const char* title, std::uint32_t filterIndex) {
    if (file == nullptr || fileSize == 0) return false;
    // The dialog works in UTF-16: give it room for any path that can fit the
    // caller's buffer in code page 932.
    std::vector<wchar_t> wideFile(fileSize + 1, L'\0');
    std::wstring initialName;
    if (ToWide(std::string(file, strnlen(file, fileSize)), initialName) && initialName.size() < wideFile.size())
        std::memcpy(wideFile.data(), initialName.c_str(), initialName.size() * sizeof(wchar_t));
    const std::wstring filters = FilterText(filter);
    std::wstring directory, caption;
    const bool hasDirectory = initialDirectory != nullptr && *initialDirectory != 0 && ToWide(initialDirectory, directory);
    const bool hasTitle = title != nullptr && *title != 0;
    if (hasTitle) caption = DisplayText(title);

    OPENFILENAMEW record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the record without the fields added later
    record.hwndOwner = owner;
    record.lpstrFilter = filter != nullptr ? filters.c_str() : nullptr;
    record.nFilterIndex = filterIndex;
    record.lpstrFile = wideFile.data();
    record.nMaxFile = static_cast<DWORD>(wideFile.size());
    record.lpstrInitialDir = hasDirectory ? directory.c_str() : nullptr;
    record.lpstrTitle = hasTitle ? caption.c_str() : nullptr;
    record.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    static const auto getOpenFileName =
        SystemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (getOpenFileName == nullptr || !getOpenFileName(&record)) return false;

    std::string chosen;
    if (!ToNarrow(wideFile.data(), chosen) || chosen.size() + 1 > fileSize) return false;
    std::memcpy(file, chosen.c_str(), chosen.size() + 1);
    return true;
}
