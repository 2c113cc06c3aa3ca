#include "settings/IniFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <vector>

#include "fsutil/MbcsText.h"
#include "fsutil/PathRules.h"
#include "fsutil/UniqueHandle.h"
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
    bool inUse = false;     // another program holds it open, and lets no one read it
    bool tooLarge = false;  // more than MaxFileBytes
    DWORD attributes = 0;
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
    const UniqueHandle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) file.encoding = Encoding::Missing;
        if (error == ERROR_PATH_NOT_FOUND) file.encoding = Encoding::NoFolder;
        file.inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        return file;
    }
    // The attributes and the size alone: the whole file information also asks
    // the volume for its serial number, which costs more than the read itself.
    FILE_BASIC_INFO basic{};
    LARGE_INTEGER size{};
    bool read = GetFileInformationByHandleEx(handle.Get(), FileBasicInfo, &basic, sizeof basic) != FALSE &&
                GetFileSizeEx(handle.Get(), &size) != FALSE && size.QuadPart <= MaxFileBytes;
    file.readOnly = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    file.attributes = basic.FileAttributes;
    file.tooLarge = size.QuadPart > MaxFileBytes;
    if (read) {
        file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD done = 0;
        read = ReadFile(handle.Get(), file.bytes.data(), static_cast<DWORD>(file.bytes.size()), &done, nullptr) != FALSE &&
               done == file.bytes.size();
    }
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
            inSection = close != std::wstring_view::npos && SamePathText(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (!inSection || equals == std::wstring_view::npos || !SamePathText(Trim(line.substr(0, equals)), key))
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

// Why a file that is no settings file cannot be read or written.
IniFile::WriteCheck OtherReason(const FileContent& file) {
    if (file.inUse) return IniFile::WriteCheck::InUse;
    if (file.tooLarge) return IniFile::WriteCheck::TooLarge;
    return IniFile::WriteCheck::NotSettings;
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
    // "C:name" names a file in that drive's current folder, as Windows
    // resolves it (the executable's folder on its own drive): never a file
    // whose name holds the colon.
    const bool driveRelative = *second == ':' && IsDriveLetter(static_cast<unsigned char>(name[0]));
    if (driveRelative) {
        path.clear();
        std::wstring wide, full(MAX_PATH, L'\0');
        if (GetExeDirectory()[0] == 0 || !ToWide(name, wide)) return;
        const DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH, full.data(), nullptr);
        if (length == 0 || length >= MAX_PATH) return;
        full.resize(length);
        if (!ToNarrow(full, path)) path.clear();
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

namespace {

// Checks as IniFile::Check does, against loaded (the file loaded now when
// null), and fills section, key and value in UTF-16 as the writer takes them.
IniFile::WriteCheck CheckFor(const FileContent* loaded, const std::wstring& widePath, const char* section,
                             const char* key, const std::string& value, std::wstring& wideSection,
                             std::wstring& wideKey, std::wstring& wideValue) {
    using WriteCheck = IniFile::WriteCheck;
    // A line break would end the line early and start lines of its own.
    const std::string stored = Stored(value);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || !ToWide(section, wideSection) ||
        !ToWide(key, wideKey) || !ToWide(stored, wideValue))
        return WriteCheck::BadValue;
    const FileContent fresh = loaded == nullptr ? LoadFile(widePath) : FileContent{};
    const FileContent& file = loaded == nullptr ? fresh : *loaded;
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
    return OtherReason(file);
}

}  // namespace

IniFile::WriteCheck IniFile::Prepare(const char* section, const char* key, const std::string& value,
                                     std::wstring (&wide)[4]) const {
    std::wstring& widePath = wide[0];
    if (path.empty() || !ToWide(path, widePath)) return WriteCheck::NotSettings;
    return CheckFor(nullptr, widePath, section, key, value, wide[1], wide[2], wide[3]);
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

std::size_t IniFile::StoredSize(const std::string& value) { return Stored(value).size(); }

namespace {

using WriteCheck = IniFile::WriteCheck;

IniFile::Content ContentOf(const FileContent& file) {
    IniFile::Content content;
    content.exists = file.encoding != Encoding::Missing && file.encoding != Encoding::NoFolder;
    content.read = file.read;
    content.bytes = file.bytes;
    return content;
}

// What a failed call of the platform means for the user.
WriteCheck FromError(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return WriteCheck::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return WriteCheck::InUse;
    case ERROR_PATH_NOT_FOUND: return WriteCheck::NoFolder;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return WriteCheck::ReadOnly;
    default: return WriteCheck::NotWritten;
    }
}

// Writes bytes whole into the existing file at path and flushes them to the
// disk; the platform's error, or 0. A write that stores less than it was
// given and says nothing more is a full volume (Wine reports one so).
DWORD WriteWhole(const std::wstring& path, std::string_view bytes) {
    const UniqueHandle handle(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return GetLastError();
    while (!bytes.empty()) {
        DWORD done = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(handle.Get(), bytes.data(), chunk, &done, nullptr)) return GetLastError();
        if (done == 0) return ERROR_DISK_FULL;
        bytes.remove_prefix(done);
    }
    return FlushFileBuffers(handle.Get()) ? 0 : GetLastError();
}

// What the platform's writer left in the file, flushed to the disk.
DWORD FlushToDisk(const std::wstring& path) {
    const UniqueHandle handle(
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return GetLastError();
    return FlushFileBuffers(handle.Get()) ? 0 : GetLastError();
}

// Every section of the file as the platform's reader gives it, in order: its
// name, a NUL, and its lines, each ended by a NUL; in section, the lines of
// keys left out. units bounds the text of any one section. False when the
// file cannot be read whole.
bool ReadSections(const std::wstring& path, std::size_t units, const std::wstring& section,
                  const std::vector<std::wstring>& keys, std::vector<std::wstring>& out) {
    out.clear();
    std::vector<wchar_t> buffer(units + 64, L'\0');
    const auto size = static_cast<DWORD>(buffer.size());
    DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), size, path.c_str());
    if (length + 2 >= size) return false;
    std::vector<std::wstring> names;
    for (const wchar_t* name = buffer.data(); *name != 0; name += std::wcslen(name) + 1) names.emplace_back(name);
    for (const std::wstring& name : names) {
        length = GetPrivateProfileSectionW(name.c_str(), buffer.data(), size, path.c_str());
        if (length + 2 >= size) return false;
        std::wstring entry = name + L'\0';
        const bool filtered = SamePathText(name, section);
        for (std::wstring_view lines(buffer.data(), length); !lines.empty();) {
            const std::wstring_view line = lines.substr(0, lines.find(L'\0'));
            lines.remove_prefix(std::min(lines.size(), line.size() + 1));
            const std::wstring_view key = Trim(line.substr(0, line.find(L'=')));
            if (filtered && std::any_of(keys.begin(), keys.end(), [&](const std::wstring& k) { return SamePathText(k, key); }))
                continue;
            entry += line;
            entry += L'\0';
        }
        out.push_back(std::move(entry));
    }
    return true;
}

}  // namespace

IniFile::WriteCheck IniFile::Replace(const char* section, std::span<const Value> values, const Content* expected,
                                     Content& now, std::size_t& refused) const {
    refused = values.size();
    now = Content{};
    std::wstring widePath;
    if (path.empty() || !ToWide(path, widePath)) return WriteCheck::NotSettings;
    const FileContent file = LoadFile(widePath);
    now = ContentOf(file);
    if (expected != nullptr && now != *expected) return WriteCheck::Changed;
    // Every value as the writer takes it, checked against the file as it is.
    struct Wide {
        std::wstring section, key, value;
    };
    std::vector<Wide> wide(std::max<std::size_t>(values.size(), 1));
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool none = values.empty();  // the file alone
        const WriteCheck check = CheckFor(&file, widePath, section, none ? "" : values[i].key,
                                          none ? std::string() : values[i].value, wide[i].section, wide[i].key,
                                          wide[i].value);
        if (check == WriteCheck::BadValue) refused = i;
        if (check != WriteCheck::Ok) return check;
    }
    const std::size_t cut = widePath.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return WriteCheck::NotSettings;
    // The copy, in the same folder (so that it takes the file's place in one
    // step), starts as the file is now.
    const std::wstring folder = widePath.substr(0, cut + 1);
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), L"kel", 0, name) == 0) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED ? WriteCheck::FolderDenied : FromError(error);
    }
    const std::wstring copy = name;
    // A write the platform reports as failed, or that did not read back, on
    // a volume with next to no space left: the volume is full.
    const auto fail = [&](WriteCheck why) {
        ULARGE_INTEGER free{};
        if (why == WriteCheck::NotWritten && GetDiskFreeSpaceExW(folder.c_str(), &free, nullptr, nullptr) &&
            free.QuadPart < std::max<ULONGLONG>(file.bytes.size(), 65536))
            why = WriteCheck::DiskFull;
        DeleteFileW(copy.c_str());
        return why;
    };
    if (const DWORD error = WriteWhole(copy, file.bytes); error != 0) return fail(FromError(error));
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!WritePrivateProfileStringW(wide[i].section.c_str(), wide[i].key.c_str(), wide[i].value.c_str(), copy.c_str()))
            return fail(WriteCheck::NotWritten);
    if (const DWORD error = FlushToDisk(copy); error != 0) return fail(FromError(error));
    // The writer's word is not taken (on a full volume it cuts the file short
    // and says it wrote): the copy must read back as meant.
    const FileContent written = LoadFile(copy);
    const Encoding encoding = file.encoding == Encoding::Missing ? Encoding::Ansi : file.encoding;
    bool same = written.read && written.encoding == encoding;
    std::vector<std::wstring> keys;
    for (std::size_t i = 0; i < values.size() && same; ++i) {
        std::string back;
        same = FindIn(written, copy, section, values[i].key, back) == Lookup::Found && back == values[i].value;
        keys.push_back(wide[i].key);
    }
    std::vector<std::wstring> before, after;
    if (file.encoding == Encoding::Missing) before.push_back(wide[0].section + L'\0');
    same = same && ReadSections(copy, written.bytes.size(), wide[0].section, keys, after) &&
           (file.encoding == Encoding::Missing ||
            ReadSections(widePath, file.bytes.size(), wide[0].section, keys, before)) &&
           before == after;
    // The fresh look, after everything else: the file still as expected.
    const Content current = ContentOf(LoadFile(widePath));
    if (current != now) {
        now = current;
        return fail(WriteCheck::Changed);
    }
    if (!same) return fail(WriteCheck::NotWritten);
    // The copy takes the file's place in one step, with its attributes.
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (now.exists && (file.attributes & kept) != 0) SetFileAttributesW(copy.c_str(), file.attributes & kept);
    const DWORD flags = (now.exists ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH;
    if (!MoveFileExW(copy.c_str(), widePath.c_str(), flags)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            now = ContentOf(LoadFile(widePath));
            return fail(WriteCheck::Changed);
        }
        if (error == ERROR_ACCESS_DENIED && !LoadFile(widePath).readOnly) return fail(WriteCheck::InUse);
        return fail(FromError(error));
    }
    now = ContentOf(written);
    return WriteCheck::Ok;
}
