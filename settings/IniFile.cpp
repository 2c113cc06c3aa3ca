#include "settings/IniFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "fsutil/MbcsText.h"
#include "fsutil/WinText.h"
#include "settings/ExeDirectory.h"

namespace {

// The longest value read; one the platform had to cut is not read at all.
constexpr DWORD MaxValueUnits = 32767;
// An ini file is small: a larger one is not read, and so not written either.
constexpr LONGLONG MaxFileBytes = 16 * 1024 * 1024;

enum class Encoding {
    Missing,   // no such file: the platform makes it in the ANSI code page
    NoFolder,  // no such file, nor the folder it would be in
    Ansi,      // no byte order mark
    Utf16,     // UTF-16 little-endian, with its byte order mark
    Utf8,      // UTF-8 with its byte order mark
    Other,     // unreadable, too large, UTF-16 big-endian or without a mark, not text at all
};

struct FileContent {
    Encoding encoding = Encoding::Other;
    bool read = false;  // bytes holds the whole file
    bool readOnly = false;
    std::string bytes;
};

// UTF-16 with its byte order mark, whole units and no U+0000: the platform
// would stop at a U+0000 and write back only what came before it.
bool IsUtf16Text(std::string_view bytes) {
    if (!bytes.starts_with("\xFF\xFE") || bytes.size() % 2 != 0) return false;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == 0 && bytes[i + 1] == 0) return false;
    return true;
}

// The file as it lies on disk now; the handle is closed before returning.
// A path the profile functions cannot take (under Wine they cut it, and then
// read and write another file) is no settings file either.
FileContent LoadFile(const std::wstring& path) {
    FileContent file;
    if (path.size() >= MAX_PATH) return file;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) file.encoding = Encoding::Missing;
        if (error == ERROR_PATH_NOT_FOUND) file.encoding = Encoding::NoFolder;
        return file;
    }
    // The attributes and the size alone: the whole file information also asks
    // the volume for its serial number, which costs more than the read itself.
    FILE_BASIC_INFO basic{};
    LARGE_INTEGER size{};
    bool read = GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != FALSE &&
                GetFileSizeEx(handle, &size) != FALSE && size.QuadPart <= MaxFileBytes;
    file.readOnly = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read) {
        file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD done = 0;
        read = ReadFile(handle, file.bytes.data(), static_cast<DWORD>(file.bytes.size()), &done, nullptr) != FALSE &&
               done == file.bytes.size();
    }
    CloseHandle(handle);
    file.read = read;
    if (!read) return file;
    const std::string_view bytes = file.bytes;
    std::wstring unused;
    if (bytes.starts_with("\xFF\xFE")) {
        if (IsUtf16Text(bytes)) file.encoding = Encoding::Utf16;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        file.encoding = Encoding::Utf8;
    } else if (!bytes.starts_with("\xFE\xFF") && bytes.find('\0') == std::string_view::npos &&
               ToProfileText(bytes, unused)) {
        // A NUL byte: UTF-16 without its mark, or no text at all. The platform
        // reads and rewrites every line through the ANSI code page: the file
        // is text only where that code page carries all of it.
        file.encoding = Encoding::Ansi;
    }
    return file;
}

using Lookup = IniFile::Lookup;

// The platform's reading of a file it can carry exactly.
Lookup ProfileLookup(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                     std::wstring& value) {
    std::vector<wchar_t> buffer(MaxValueUnits + 1, L'\0');
    DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), MaxValueUnits + 1, path.c_str());
    if (length == 0) {
        // Empty or missing: only a missing key yields another default.
        length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"-", buffer.data(), MaxValueUnits + 1,
                                          path.c_str());
        if (length == 1 && buffer[0] == L'-') return Lookup::Missing;
        if (length != 0) return Lookup::Failed;  // changed in between
    }
    if (length >= MaxValueUnits) return Lookup::Failed;
    value.assign(buffer.data(), length);
    return Lookup::Found;
}

std::wstring_view Trim(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// A UTF-8 file read the way the platform reads ini files: the first key of
// that name in a section of that name, letter case ignored, the value without
// the blanks around it and without one pair of enclosing quotes.
Lookup Utf8Lookup(std::string_view bytes, const std::wstring& section, const std::wstring& key, std::wstring& value) {
    std::wstring text;
    if (!FromUtf8(bytes.substr(3), text)) return Lookup::Failed;
    bool inSection = false;
    std::wstring_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(L"\r\n");
        const std::wstring_view line = Trim(rest.substr(0, end));
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (line.starts_with(L'[')) {
            const std::size_t close = line.find(L']');
            inSection = close != std::wstring_view::npos && SameName(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (!inSection || equals == std::wstring_view::npos || !SameName(Trim(line.substr(0, equals)), key))
            continue;
        std::wstring_view found = Trim(line.substr(equals + 1));
        if (found.size() >= 2 && (found.front() == L'"' || found.front() == L'\'') && found.back() == found.front())
            found = found.substr(1, found.size() - 2);
        if (found.size() >= MaxValueUnits) return Lookup::Failed;
        value = found;
        return Lookup::Found;
    }
    return Lookup::Missing;
}

bool IsCodePage932(std::string_view text) {
    std::wstring unused;
    return ToWide(text, unused);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos; }

// The profile functions take the blanks off a value's ends and one pair of
// enclosing quotes: such a value is stored inside one more pair of quotes,
// so that it is read back as it was.
std::string Stored(const std::string& value) {
    constexpr std::string_view ends = " \t\"'";
    if (value.empty() || (ends.find(value.front()) == ends.npos && ends.find(value.back()) == ends.npos)) return value;
    return '"' + value + '"';
}

}  // namespace

void IniFile::SetPath(const char* name, bool absolute) {
    const char* second = NextChar(name);
    const char* third = NextChar(second);
    const bool driveForm = *second == ':' && (*third == '\\' || *third == '/');
    const bool share = name[0] == '\\' && name[1] == '\\';
    if (absolute || driveForm || share) {
        path = name;
        return;
    }
    // Without the folder, "\name" would name a file in the root of the
    // current drive: no file at all is better.
    path = GetExeDirectory();
    if (path.empty()) return;
    path += '\\';
    path += name;
}

namespace {

// A key's value in the file as it was loaded.
Lookup FindIn(const FileContent& file, const std::wstring& widePath, const char* section, const char* key,
              std::string& out) {
    out.clear();
    std::wstring wideSection, wideKey, value;
    Lookup lookup = Lookup::Failed;
    switch (file.encoding) {
    case Encoding::Missing:
    case Encoding::NoFolder:
        lookup = Lookup::Missing;
        break;
    case Encoding::Ansi:
        // The platform decodes the whole file through the ANSI code page, which
        // carries all of it (see LoadFile).
        if (ToProfileText(section, wideSection) && ToProfileText(key, wideKey))
            lookup = ProfileLookup(widePath, wideSection, wideKey, value);
        if (lookup == Lookup::Found && !(FromProfileText(value, out) && IsCodePage932(out))) lookup = Lookup::Failed;
        break;
    case Encoding::Utf16:
    case Encoding::Utf8:
        if (ToWide(section, wideSection) && ToWide(key, wideKey))
            lookup = file.encoding == Encoding::Utf16 ? ProfileLookup(widePath, wideSection, wideKey, value)
                                                      : Utf8Lookup(file.bytes, wideSection, wideKey, value);
        if (lookup == Lookup::Found && !ToNarrow(value, out)) lookup = Lookup::Failed;
        break;
    case Encoding::Other:
        break;
    }
    if (lookup != Lookup::Found) out.clear();
    return lookup;
}

}  // namespace

IniFile::Lookup IniFile::Find(const char* section, const char* key, std::string& out) const {
    out.clear();
    std::wstring widePath;
    if (path.empty() || !ToWide(path, widePath)) return Lookup::Failed;
    return FindIn(LoadFile(widePath), widePath, section, key, out);
}

IniFile::Content IniFile::FindAll(const char* section, std::span<const char* const> keys, std::span<Found> found,
                                  bool& settingsFile) const {
    Content content;
    std::wstring widePath;
    settingsFile = false;
    for (Found& each : found) each = Found{};
    if (path.empty() || !ToWide(path, widePath)) return content;  // no file at all
    FileContent file = LoadFile(widePath);
    for (std::size_t i = 0; i < keys.size() && i < found.size(); ++i)
        found[i].lookup = FindIn(file, widePath, section, keys[i], found[i].value);
    content.exists = file.encoding != Encoding::Missing && file.encoding != Encoding::NoFolder;
    content.read = file.read;
    settingsFile = file.encoding != Encoding::Other;
    content.bytes = std::move(file.bytes);
    return content;
}

bool IniFile::Read(const char* section, const char* key, std::string& out, const char* defaultValue) const {
    const Lookup lookup = Find(section, key, out);
    if (lookup == Lookup::Missing && defaultValue != nullptr) out = defaultValue;
    return lookup != Lookup::Failed;
}

std::string IniFile::Read(const char* section, const char* key, const char* defaultValue) const {
    std::string text;
    Read(section, key, text, defaultValue);
    return text;
}

int IniFile::Read(const char* section, const char* key, char* out, int outSize, const char* defaultValue) const {
    if (outSize <= 0) return 0;
    const std::string text = Read(section, key, defaultValue);
    const std::size_t kept = CharacterPrefix(text.c_str(), static_cast<std::size_t>(outSize) - 1);
    std::memcpy(out, text.data(), kept);
    out[kept] = 0;
    return static_cast<int>(kept);
}

IniFile::WriteCheck IniFile::Check(const char* section, const char* key, const std::string& value) const {
    std::wstring wide[4];
    return Prepare(section, key, value, wide);
}

IniFile::WriteCheck IniFile::Prepare(const char* section, const char* key, const std::string& value,
                                     std::wstring (&wide)[4]) const {
    std::wstring& widePath = wide[0];
    std::wstring& wideSection = wide[1];
    std::wstring& wideKey = wide[2];
    std::wstring& wideValue = wide[3];
    if (path.empty() || !ToWide(path, widePath)) return WriteCheck::NotSettings;
    // A line break would end the line early and start lines of its own.
    const std::string stored = Stored(value);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || !ToWide(section, wideSection) ||
        !ToWide(key, wideKey) || !ToWide(stored, wideValue))
        return WriteCheck::BadValue;
    const FileContent file = LoadFile(widePath);
    switch (file.encoding) {
    case Encoding::Missing:
    case Encoding::Ansi:
        if (file.readOnly) return WriteCheck::ReadOnly;
        // The platform rewrites every line through the ANSI code page.
        if (!ToProfileText(section, wideSection) || !ToProfileText(key, wideKey) || !ToProfileText(stored, wideValue))
            return WriteCheck::BadValue;
        return WriteCheck::Ok;
    case Encoding::Utf16:
        return file.readOnly ? WriteCheck::ReadOnly : WriteCheck::Ok;
    case Encoding::Utf8:
        return WriteCheck::Utf8;
    case Encoding::NoFolder:
        return WriteCheck::NoFolder;
    case Encoding::Other:
        break;
    }
    return WriteCheck::NotSettings;
}

bool IniFile::Write(const char* section, const char* key, const std::string& value) const {
    std::wstring wide[4];
    return Prepare(section, key, value, wide) == WriteCheck::Ok &&
           WritePrivateProfileStringW(wide[1].c_str(), wide[2].c_str(), wide[3].c_str(), wide[0].c_str()) != FALSE;
}

bool IniFile::IsSettingsFile() const {
    std::wstring widePath;
    return !path.empty() && ToWide(path, widePath) && LoadFile(widePath).encoding != Encoding::Other;
}

IniFile::Content IniFile::Snapshot() const {
    bool settingsFile = false;
    return FindAll("", {}, {}, settingsFile);
}

bool IniFile::Restore(const Content& before) const {
    std::wstring widePath;
    if (path.empty() || !ToWide(path, widePath)) return false;
    if (!before.exists) return DeleteFileW(widePath.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!before.read) return false;
    // The same file, rewritten in place: its attributes, rights and links stay.
    HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool restored = WriteFile(handle, before.bytes.data(), static_cast<DWORD>(before.bytes.size()), &done,
                                    nullptr) != FALSE &&
                          done == before.bytes.size() && SetEndOfFile(handle) != FALSE;
    CloseHandle(handle);
    return restored;
}

void IniFile::WriteInt(const char* section, const char* key, std::int32_t value) const {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    Write(section, key, text);
}

void IniFile::WriteByte(const char* section, const char* key, std::uint8_t value) const {
    WriteInt(section, key, static_cast<std::int32_t>(value));
}
