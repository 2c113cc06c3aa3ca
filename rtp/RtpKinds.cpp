#include "rtp/RtpKinds.h"

#include "fsutil/MbcsText.h"

const std::array<RtpKind, RtpKindCount> RtpKinds = {{
    {HKEY_LOCAL_MACHINE, "Enterbrain\\RGSS\\RTP", "Standard", "RPGXP"},
    {HKEY_LOCAL_MACHINE, "Enterbrain\\RGSS2\\RTP", "RPGVX", "RPGVX"},
}};

bool IsOfficialRtp(int kindIndex, const char* name) {
    return EqualsIgnoreAsciiCase(name, RtpKinds[static_cast<std::size_t>(kindIndex)].officialName);
}
