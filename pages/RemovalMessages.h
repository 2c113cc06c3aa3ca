#pragma once
// What the RTP list page says of a removal: the question, with what will be
// deleted so that a registration pointing somewhere it should not (a drive's
// program folder, a user's documents) stands out before the user says Yes;
// the progress; and how the removal ended.
#include <cstdint>
#include <string>

#include "rtp/DeleteRtp.h"
#include "rtp/RemovalOutcome.h"
#include "rtp/RtpRemoval.h"

// More than this, or any program file, adds a warning line.
constexpr std::uint64_t SummaryLargeBytes = 10ull * 1024 * 1024 * 1024;

// The lines for a removal that passed its checks, each starting with a line
// break: what its walk found ("ファイル 1,234 個、フォルダ 56 個、120 MB", and how
// many entries no path can name, which will be left) and warnings; or that
// the folder is missing and only the registration will go, or is a link
// whose contents stay.
std::string SummarizeRtpRemoval(const RtpRemoval& removal);

// "1,234"
std::string FormatCount(std::uint64_t count);
// As Windows shows sizes: "512 バイト", "1.17 KB", "12.3 MB", "120 MB".
std::string FormatByteSize(std::uint64_t bytes);

// "本当に RTP[name] を削除してもよろしいですか？", the folder, and the summary.
std::string RemovalQuestion(const RtpRemoval& removal);

// What the progress window says of a removal's step.
std::string RemovalStepText(RemovalStep step, std::uint64_t done, std::uint64_t total);

// The warning for how the removal of RTP name ended; empty when it removed
// everything.
std::string RemovalWarning(const char* name, const RemovalOutcome& outcome);

// What a removal that went as asked says: "RTPの削除に成功しました", or,
// for the registration alone, that no file was touched.
std::string RemovalDoneMessage(const char* name, const RemovalOutcome& outcome);

// The warning for a removal that may carry on (RemovalOutcome::MayCarryOn),
// with the folder, asking whether to: No opens the folder.
std::string CarryOnQuestion(const char* name, const RtpRemoval& removal, const RemovalOutcome& outcome);

// The question for a folder whose drive or share does not answer: the
// registration alone, or nothing.
std::string RegistrationOnlyQuestion(const RtpRemoval& removal);
