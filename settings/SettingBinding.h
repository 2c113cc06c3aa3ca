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
    // False when the stored value could not be read into the variable: writing
    // the variable back would replace a value the program cannot hold. A text
    // variable is written all the same once the program has changed it from
    // the default it was given instead (the user chose a new value).
    bool writeBack = true;
    std::string given;

    // Same section and key, byte for byte. Letter case counts, although the
    // platform's ini functions ignore it.
    bool IsSame(const SettingBinding& other) const override;
    // By section, then by key, each byte-wise with unsigned bytes, a prefix first.
    bool IsLess(const SettingBinding& other) const override;
};
