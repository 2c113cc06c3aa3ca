#pragma once
// One program text buffer bound to a section and key of an ini file.
#include <string>

// The buffer is not owned: a bound buffer must outlive its SettingsFile.
struct SettingBinding {
    char* textTarget = nullptr;  // NUL-terminated, written up to its NUL
    std::string section;
    std::string key;
    // The text the buffer was given when bound. It is written back only when
    // the program changed it from this, or when the file does not hold the
    // key by then: otherwise the file keeps what it holds, byte for byte,
    // also a value the program could not read or one another instance stored
    // meanwhile.
    std::string given;

    // By section, then by key, each byte-wise with unsigned bytes, a prefix
    // first. Letter case counts, although the platform's ini functions ignore it.
    bool IsLess(const SettingBinding& other) const;
};
