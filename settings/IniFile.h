#pragma once
// An ini file, read and written by path; no file is held open. The program's
// text is code page 932 whatever the system's ANSI code page, and reaches the
// file exactly or not at all:
// - a file without a byte order mark holds code page 932 bytes, passed
//   through the ANSI code page to the platform's profile functions; where
//   that code page cannot carry the whole file back unchanged, reads and
//   writes fail (the platform would rewrite every line through it);
// - a file starting with a UTF-16 byte order mark holds real UTF-16, when
//   its length is even and it holds no U+0000;
// - a file starting with a UTF-8 byte order mark is read by this class itself
//   and never written (platforms treat such files differently).
// - anything else (a NUL byte without a UTF-16 byte order mark: UTF-16
//   without its mark, or no text at all; UTF-16 big-endian; a UTF-16 byte
//   order mark before an odd length or a U+0000; bytes without a mark that the
//   ANSI code page cannot carry; a file that cannot be read or is larger than
//   16 MB) is no settings file: it is neither read nor written, and so never
//   damaged.
// A path of MAX_PATH characters or more is never read or written either: the
// platform's profile functions cannot take it. The encoding is found afresh
// before every read and write. Keys are never deleted: an empty value is
// written as an empty text. A value that begins or ends with a blank, a tab
// or a quote is stored inside one more pair of double quotes, which the
// platform's reader (and the installer's) takes off again.
#include <cstddef>
#include <span>
#include <string>

class IniFile {
public:
    // A name that is absolute, whose second and third characters are ':' and
    // '\' (or '/'), or that starts with "\\" (a share), is kept; any other
    // name is placed in the executable's folder, except "C:name", which names
    // a file in that drive's current folder as Windows resolves it (the
    // executable's folder on its own drive; the path stays empty when it
    // cannot be resolved).
    // When that folder is unknown (its name cannot be held in code page 932),
    // the path stays empty: the file is then neither read nor written.
    void SetPath(const char* name, bool absolute);
    const std::string& GetPath() const { return path; }

    // Found with the value; Missing, with out empty, when the file, section or
    // key is missing; Failed, with out empty, as Read fails.
    enum class Lookup { Found, Missing, Failed };
    Lookup Find(const char* section, const char* key, std::string& out) const;
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

    // Whether Write would store the value, without writing: BadValue when the
    // value (or section or key) cannot be stored exactly; otherwise why the
    // file cannot be written at all (a read-only file, a UTF-8 file, no
    // settings file or no usable path, a missing folder, a file held open by
    // another program, one larger than 16 MB). The platform may still refuse
    // the write. Replace also gives DiskFull, NotWritten (the copy did not
    // read back as written), Changed (the file is no longer as expected) and
    // FolderDenied (no new file can be made in its folder).
    enum class WriteCheck {
        Ok, BadValue, ReadOnly, Utf8, NotSettings, NoFolder, InUse, TooLarge, DiskFull, NotWritten, Changed,
        FolderDenied };
    WriteCheck Check(const char* section, const char* key, const std::string& value) const;
    // The same for the file alone.
    WriteCheck CheckFile() const { return Check("", "", ""); }

    // Whether the file is missing or one this class reads and writes: false
    // for files that are not text, cannot be read now, or have no usable path.
    bool IsSettingsFile() const;

    // The file as it lies on disk, to tell whether another program has
    // changed it since, and to put it back. read is false for a file that
    // exists but cannot be read now (held open, too large, no usable path).
    struct Content {
        bool exists = false;
        bool read = false;
        std::string bytes;
        bool operator==(const Content&) const = default;
    };
    Content Snapshot() const;
    // The file read once: its content as Snapshot gives it, whether it is a
    // settings file (as IsSettingsFile says), and the value of each of keys
    // in section, into found, each as Find gives it.
    struct Found {
        Lookup lookup = Lookup::Failed;
        std::string value;
    };
    Content FindAll(const char* section, std::span<const char* const> keys, std::span<Found> found,
                    bool& settingsFile) const;

    // Saves values into section without ever leaving the file half written:
    // the file as it is now is copied into a new file in its folder, the
    // values are written there with Write's writer, the copy is flushed and
    // read back (each value as written, every other section and key as in the
    // file), and only then, while the file's bytes still equal expected, it
    // takes the file's place in one step. A missing file is made the same
    // way. On any failure the copy is deleted and the file is left byte for
    // byte. Ok, with now the file's new content; Changed, with now the file
    // as it is, when it differs from expected (null: no comparison with an
    // earlier reading, only with the first look of this call); BadValue, with
    // refused the index of the value; otherwise why nothing was written.
    struct Value {
        const char* key;
        std::string value;
    };
    WriteCheck Replace(const char* section, std::span<const Value> values, const Content* expected, Content& now,
                       std::size_t& refused) const;
    // The length of value as it is stored, with the quotes Write adds.
    static std::size_t StoredSize(const std::string& value);

private:
    // Checks as Check does and fills path, section, key and value in UTF-16.
    WriteCheck Prepare(const char* section, const char* key, const std::string& value, std::wstring (&wide)[4]) const;

    std::string path;
};
