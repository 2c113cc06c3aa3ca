#pragma once
// An ini file, read and written by path through the platform's profile
// functions; no file is held open. The file's bytes are code page 932
// whatever the system's ANSI code page. Keys are never deleted: an empty value
// is written as an empty text.
#include <cstdint>
#include <string>

class IniFile {
public:
    // A name that is absolute, or whose second and third characters are ':'
    // and '\', is kept; any other name is placed in the executable's folder.
    void SetPath(const char* name, bool absolute);
    const std::string& GetPath() const { return path; }

    // Copies the value, or defaultValue when the file, section or key is
    // missing, into out (cut to outSize - 1 bytes at a character boundary).
    // Returns the bytes stored. Without a path: the empty text and 0.
    int Read(const char* section, const char* key, char* out, int outSize, const char* defaultValue) const;
    std::string Read(const char* section, const char* key, const char* defaultValue) const;

    // False without a path, or when the platform refuses the write.
    bool Write(const char* section, const char* key, const std::string& value) const;
    void WriteInt(const char* section, const char* key, std::int32_t value) const;
    void WriteByte(const char* section, const char* key, std::uint8_t value) const;

private:
    std::string path;
};
