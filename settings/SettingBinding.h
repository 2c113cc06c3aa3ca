#pragma once
// One program variable bound to a section and key of an ini file.
#include <cstdint>
#include <string>

enum class BindingKind : std::int32_t {
    IntValue = 0,     // written as "%d"
    ByteValue = 1,    // written as 0 to 255
    TextBuffer = 2,   // a caller's NUL-terminated buffer, written up to its NUL
    OwnedString = 3,  // a caller's std::string
};

template <class Entry>
class ComparableEntry {
public:
    virtual bool IsSame(const Entry& other) const = 0;
    virtual bool IsLess(const Entry& other) const = 0;

protected:
    ~ComparableEntry() = default;
};

// The targets are not owned: a bound variable must outlive its SettingsFile.
struct SettingBinding final : ComparableEntry<SettingBinding> {
    std::int32_t* intTarget = nullptr;
    std::uint8_t* byteTarget = nullptr;
    char* textTarget = nullptr;
    std::string* stringTarget = nullptr;
    BindingKind kind = BindingKind::TextBuffer;
    std::string section;
    std::string key;
    // The value the variable was given when bound (as text, "%d" for
    // numbers). It is written back only when the program changed it from
    // this, or when the file does not hold the key by then: otherwise the file
    // keeps what it holds, byte for byte, also a value the program could not
    // read or one another instance stored meanwhile.
    std::string given;

    // Same section and key, byte for byte. Letter case counts, although the
    // platform's ini functions ignore it.
    bool IsSame(const SettingBinding& other) const override;
    // By section, then by key, each byte-wise with unsigned bytes, a prefix first.
    bool IsLess(const SettingBinding& other) const override;
};
