#pragma once
// What the removal question says about the folder to be deleted, so that a
// registration pointing somewhere it should not (a drive's program folder,
// a user's documents) stands out before the user says Yes.
#include <cstdint>
#include <string>

#include "rtp/RtpRemoval.h"

// More than this, or any program file, adds a warning line.
constexpr std::uint64_t SummaryLargeBytes = 10ull * 1024 * 1024 * 1024;

// The lines for a removal that passed its checks, each starting with a line
// break: what its walk found ("1,234 ファイル、56 フォルダ、120 MB", and how
// many entries no path can name, which will be left) and warnings; or that
// the folder is missing and only the registration will go, or is a link
// whose contents stay.
std::string SummarizeRtpRemoval(const RtpRemoval& removal);

// "1,234"
std::string FormatCount(std::uint64_t count);
// As Windows shows sizes: "512 バイト", "1.17 KB", "12.3 MB", "120 MB".
std::string FormatByteSize(std::uint64_t bytes);
