#include "fsutil/MbcsText.h"

#include <cstring>

namespace {

bool IsSeparator(unsigned char byte) { return byte == '\\' || byte == '/'; }

bool IsValidTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

const char* NextChar(const char* p) {
    const auto first = static_cast<unsigned char>(p[0]);
    if (first == 0) return p;
    if (IsLeadByte(first) && p[1] != 0) return p + 2;
    return p + 1;
}



int ByteKindAt(const char* text, long long index) {
    if (index < 0) return SingleByte;
    int previous = SingleByte;
    for (long long i = 0; text[i] != 0; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int kind;
        if (previous == LeadByte)
            kind = IsValidTrailByte(byte) ? TrailByte : SingleByte;
        else
            kind = IsLeadByte(byte) ? LeadByte : SingleByte;
        if (i == index) return kind;
        previous = kind;
    }
    return SingleByte;
}

const char* GetFileNamePart(const char* path) {
    const char* result = path;
    for (const char* p = path; *p != 0; p = NextChar(p)) {
        if (IsSeparator(static_cast<unsigned char>(*p))) result = p + 1;
    }
    return result;
}

std::string GetDirectoryPart(const char* path) {
    const char* name = GetFileNamePart(path);
    if (*name != 0) return name == path ? std::string() : std::string(path, static_cast<std::size_t>(name - path - 1));
    // A separator at the end is dropped, unless it is the second byte of a character.
    std::string out = path;
    if (!out.empty() && IsSeparator(static_cast<unsigned char>(out.back())) &&
        ByteKindAt(out.c_str(), static_cast<long long>(out.size() - 1)) == SingleByte)
        out.pop_back();
    return out;
}

std::size_t CharacterPrefix(const char* text, std::size_t limit) {
    const char* p = text;
    while (*p != 0) {
        const char* next = NextChar(p);
        if (static_cast<std::size_t>(next - text) > limit) break;
        p = next;
    }
    return static_cast<std::size_t>(p - text);
}

bool EqualsIgnoreAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (FoldAscii(static_cast<unsigned char>(*a)) != FoldAscii(static_cast<unsigned char>(*b))) return false;
        if (*a == 0) return true;
    }
}

bool StartsWithIgnoreAsciiCase(const char* text, const char* prefix) {
    for (; *prefix != 0; ++text, ++prefix) {
        if (FoldAscii(static_cast<unsigned char>(*text)) != FoldAscii(static_cast<unsigned char>(*prefix))) return false;
    }
    return true;
}
