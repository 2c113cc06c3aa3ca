#include "ScratchDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "fsutil/WinText.h"

namespace {

std::filesystem::path Wide(const std::string& text) {
    std::wstring wide;
    if (!ToWide(text, wide)) throw std::runtime_error("not code page 932: " + text);
    return wide;
}

void DeleteKey(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace

// A name no earlier run left behind: Wine reuses process ids.
ScratchDir::ScratchDir() {
    static int counter = 0;
    std::filesystem::path folder;
    do {
        folder = std::filesystem::temp_directory_path() /
                 (L"kelmora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    } while (std::filesystem::exists(folder));
    std::filesystem::create_directories(folder);
    path = NarrowOrEmpty(folder.wstring());
}

// Read-only files and folders left by a test are made writable first.
ScratchDir::~ScratchDir() {
    std::error_code walk, ignored;
    for (std::filesystem::recursive_directory_iterator it(Wide(path), walk), end; !walk && it != end; it.increment(walk))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(Wide(path), ignored);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(Wide(path), std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(Wide(path), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeDirectory(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE; }

std::string CurrentDirectory() { return NarrowOrEmpty(std::filesystem::current_path().wstring()); }

ScratchKey::ScratchKey(const std::string& path) : subPath(path) {
    DeleteKey(L"Software\\" + Wide(subPath).wstring());
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\" + Wide(subPath).wstring()).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch key " + subPath);
}

ScratchKey::~ScratchKey() {
    RegCloseKey(key);
    DeleteKey(L"Software\\" + Wide(subPath).wstring());
}

bool ScratchKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ScratchKey::SetString(const std::string& name, const std::string& data, DWORD type) {
    const std::wstring wide = Wide(data).wstring();
    return SetRaw(Wide(name).wstring(), type, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

bool ScratchKey::DeleteValue(const std::string& name) {
    return RegDeleteValueW(key, Wide(name).c_str()) == ERROR_SUCCESS;
}

bool ScratchKey::HasValue(const std::string& name) const {
    return RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
