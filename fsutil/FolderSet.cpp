#include "fsutil/FolderSet.h"

#include <winternl.h>

namespace {

// FILE_INTERNAL_INFORMATION: the index alone, as NTFS and Wine give it.
struct InternalInformation {
    LARGE_INTEGER indexNumber;
};
constexpr auto FileInternalInformationClass = static_cast<FILE_INFORMATION_CLASS>(6);

}  // namespace

bool FileIndexOf(HANDLE handle, std::uint64_t& index) {
    InternalInformation information{};
    IO_STATUS_BLOCK status{};
    if (NtQueryInformationFile(handle, &status, &information, sizeof information, FileInternalInformationClass) < 0)
        return false;
    index = static_cast<std::uint64_t>(information.indexNumber.QuadPart);
    return true;
}

bool FolderSet::Add(HANDLE folder, int tag) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder, &information)) return false;
    Add(information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow, tag);
    return true;
}

void FolderSet::Add(DWORD volume, std::uint64_t index, int tag) {
    folders.insert({volume, index, tag});
    indexes.insert(index);
}

int FolderSet::TagOf(DWORD volume, std::uint64_t index) const {
    const auto found = folders.find({volume, index, 0});
    return found == folders.end() ? NotHeld : found->tag;
}

int FolderSet::TagOf(HANDLE folder) const {
    std::uint64_t index = 0;
    if (!FileIndexOf(folder, index)) return Unknown;
    if (!MayHold(index)) return NotHeld;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder, &information)) return Unknown;
    return TagOf(information.dwVolumeSerialNumber, index);
}
