#pragma once
// What the removal question says about the folder to be deleted, so that a
// registration pointing somewhere it should not (a drive's program folder,
// a user's documents) stands out before the user says Yes.
#include <cstdint>
#include <string>

// Past these the walk stops and the counts say "以上" (at least).
constexpr std::uint64_t SummaryEntryLimit = 100000;
constexpr unsigned SummaryTimeLimitMs = 10000;
// More than this, or any program file, adds a warning line.
constexpr std::uint64_t SummaryLargeBytes = 10ull * 1024 * 1024 * 1024;

// The lines for a resolved RTP folder, each starting with a line break:
// "1,234 ファイル、56 フォルダ、120 MB" and warnings, or that the folder is
// missing and only the registration will go. Empty for a folder that is
// neither (a file, an unreachable drive: the removal says why).
std::string SummarizeRtpFolder(const std::string& folder);

// "1,234"
std::string FormatCount(std::uint64_t count);
// As Windows shows sizes: "512 バイト", "1.17 KB", "12.3 MB", "120 MB".
std::string FormatByteSize(std::uint64_t bytes);
