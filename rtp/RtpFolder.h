#pragma once
// What a registered RTP folder names: the folder a removal deletes, as
// Windows resolves the registered text, or why it names nothing removable.
#include <string>

enum class RtpFolderProblem {
    None,
    Empty,        // nothing registered
    NotAbsolute,  // no drive letter with a separator, nor a share
    Root,         // a drive alone, or the root of a drive or share
    BadCharacter, // '*', '?', '"', '<', '>', '|', a ':' after the drive, or a control character
    BadName,      // a name ending in a blank or a dot, which Windows would drop
    Device,       // "\\.\": a device, not a folder
    LongForm,     // "\\?\" before anything but a full path of a drive or a share, written as Windows would
};

// Resolves the text as Windows does: resolved gets the full path ("." and
// ".." resolved, '/' as '\', trailing separators dropped; the text is
// converted whole, so the second byte 0x5C of a double-byte character is
// never taken for one). A full path written with "\\?\" or "\\?\UNC\" in
// front is that path, when it is written as Windows would resolve it anyway
// (after that prefix Windows resolves nothing: "..", '/', a trailing dot
// would name something else). resolved is empty unless the result is None.
// Nothing on disk is looked at.
RtpFolderProblem ResolveRtpFolder(const char* registered, std::string& resolved);

// What a registered folder is, as the RTP list shows it, found cheaply: a
// drive that may be slow to answer (a share, a removable or optical drive)
// is not touched and gives Unknown, as does a text no removal could take.
enum class RtpFolderState { Fine, Missing, NoAnswer, File, Link, Unknown };
RtpFolderState LookAtRtpFolder(const std::string& registered);
