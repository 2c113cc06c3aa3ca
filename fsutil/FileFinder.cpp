#include "fsutil/FileFinder.h"

#include "fsutil/PathRules.h"
#include "fsutil/WinText.h"

namespace {

constexpr std::size_t BatchBytes = 64 * 1024;

}  // namespace

void FileFinder::Close() {
    directory.Close();
    entry = nullptr;
}

bool FileFinder::FindFirst(const std::wstring& path) {
    Close();
    directory = UniqueHandle(CreateFileW(LongPathForm(path).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!directory) return false;
    buffer.resize(BatchBytes / sizeof(std::uint64_t));
    return ReadBatch(FileIdBothDirectoryRestartInfo);
}

bool FileFinder::ReadBatch(FILE_INFO_BY_HANDLE_CLASS kind) {
    if (!GetFileInformationByHandleEx(directory.Get(), kind, buffer.data(),
                                      static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)))) {
        Close();
        return false;
    }
    entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());
    return true;
}

bool FileFinder::FindNext() {
    if (entry == nullptr) return false;
    if (entry->NextEntryOffset != 0) {
        entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const char*>(entry) +
                                                                entry->NextEntryOffset);
        return true;
    }
    return ReadBatch(FileIdBothDirectoryInfo);
}

bool FileFinder::NameLength(std::size_t& length) const {
    return IsReachableName(Name()) && NarrowLength(Name(), length);
}
