#pragma once
// The two kinds of runtime package and where their runtimes register them.
#include <windows.h>

#include <array>

struct RtpKind {
    HKEY rootKey;              // the root of the kind's key
    const char* rtpKeyPath;    // below the root's "Software\" key
    const char* officialName;  // the kind's own RTP, never removed
    const char* label;         // shown to the user
};

constexpr int RtpKindCount = 2;

// Row 0 is RPGXP, row 1 RPGVX; the row index is how the program names a kind.
extern const std::array<RtpKind, RtpKindCount> RtpKinds;

// True when name is the kind's official RTP, ignoring ASCII letter case only.
// kindIndex is 0 or 1.
bool IsOfficialRtp(int kindIndex, const char* name);
