#pragma once
// An ini file, read and written by path; no file is held open. The program's
// text is code page 932 whatever the system's ANSI code page, and reaches the
// file exactly or not at all:
// - a file without a byte order mark holds code page 932 bytes, passed
//   through the ANSI code page to the platform's profile functions; where
//   that code page cannot carry the whole file back unchanged, reads and
//   writes fail (the platform would rewrite every line through it);
// - a file starting with a UTF-16 byte order mark holds real UTF-16;
// - a file starting with a UTF-8 byte order mark is read by this class itself
//   and never written (platforms treat such files differently).
// The encoding is found afresh before every read and write. Keys are never
// deleted: an empty value is written as an empty text.
#include <cstdint>
#include <string>

class IniFile {
public:
    // A name that is absolute, or whose second and third characters are ':'
    // and '\', is kept; any other name is placed in the executable's folder.
    // When that folder is unknown (its name cannot be held in code page 932),
    // the path stays empty: the file is then neither read nor written.
    void SetPath(const char* name, bool absolute);
    const std::string& GetPath() const { return path; }

    // The value, or defaultValue when the file, section or key is missing.
    // False, with out empty, when there is no path or the stored text cannot
    // be carried back exactly: the file cannot be read, or the value holds
    // characters code page 932 cannot hold, or is longer than 32766 units.
    bool Read(const char* section, const char* key, std::string& out, const char* defaultValue) const;
    // The same, the empty text on failure.
    std::string Read(const char* section, const char* key, const char* defaultValue) const;
    // The same into out, cut to outSize - 1 bytes at a character boundary;
    // returns the bytes stored. A failed read stores the empty text and
    // returns 0, as an empty value does: use the forms above to tell them apart.
    int Read(const char* section, const char* key, char* out, int outSize, const char* defaultValue) const;

    // False, leaving the file as it was, without a path, when a text holds a
    // line break or is not code page 932, when the file's encoding cannot
    // carry it exactly (see above), or when the platform refuses the write.
    bool Write(const char* section, const char* key, const std::string& value) const;
    void WriteInt(const char* section, const char* key, std::int32_t value) const;
    void WriteByte(const char* section, const char* key, std::uint8_t value) const;

private:
    std::string path;
};
