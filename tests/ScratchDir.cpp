#include "ScratchDir.h"

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "fsutil/WinText.h"

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    if (!ToWide(text, wide)) throw std::runtime_error("not code page 932: " + text);
    return wide;
}

std::wstring KeyPath(const std::string& subPath) { return L"Software\\" + Wide(subPath); }

void DeleteKey(const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

}  // namespace

ScratchDir::ScratchDir() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    const std::wstring folder = std::wstring(temp) + L"kelmora-test-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++counter);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path = NarrowOrEmpty(folder);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Wide(path), ignored);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeDirectory(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE; }

std::string CurrentDirectory() {
    wchar_t buffer[32768] = {};
    const DWORD length = GetCurrentDirectoryW(32768, buffer);
    return NarrowOrEmpty(std::wstring_view(buffer, length));
}

ScratchKey::ScratchKey(const std::string& path, REGSAM keyView) : subPath(path), view(keyView) {
    DeleteKey(KeyPath(subPath), view);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(subPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch key " + subPath);
}

ScratchKey::~ScratchKey() {
    RegCloseKey(key);
    DeleteKey(KeyPath(subPath), view);
}

bool ScratchKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ScratchKey::SetWide(const std::wstring& name, const std::wstring& data, DWORD type) {
    return SetRaw(name, type, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool ScratchKey::SetString(const std::string& name, const std::string& data, DWORD type) {
    return SetWide(Wide(name), Wide(data), type);
}

bool ScratchKey::SetDword(const std::string& name, DWORD value) {
    return SetRaw(Wide(name), REG_DWORD, &value, sizeof value);
}

bool ScratchKey::HasValue(const std::string& name) const {
    return RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
