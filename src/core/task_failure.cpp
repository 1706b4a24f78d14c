// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/task_failure.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace brisklo {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The system's words for an error number, as this process prints them (they may be
// translated once the program has set its locale), and the C locale's English.
bool MentionsErrno(std::string_view reason, int number, std::string_view english) {
    if (reason.find(std::strerror(number)) != std::string_view::npos) return true;
    return Lower(reason).find(english) != std::string::npos;
}

bool MentionsAny(const std::string& lower, std::initializer_list<std::string_view> phrases) {
    return std::any_of(phrases.begin(), phrases.end(), [&lower](std::string_view phrase) {
        return lower.find(phrase) != std::string::npos;
    });
}

}  // namespace

FailureCode ClassifyFailure(FailureCode code, const std::filesystem::path& source,
                            std::string_view reason) {
    // A stop is the user's doing, and the target size a rule of the user's, whatever
    // the text around them says.
    if (code == FailureCode::Stopped || code == FailureCode::TargetUnreachable) return code;
    std::error_code error;
    if (!source.empty() && !std::filesystem::exists(source, error) && !error) {
        return FailureCode::SourceMissing;
    }
    if (MentionsErrno(reason, ENOSPC, "no space left on device")) return FailureCode::NoSpace;
    if (MentionsErrno(reason, EDQUOT, "disk quota exceeded")) return FailureCode::NoSpace;
    if (MentionsErrno(reason, EACCES, "permission denied") ||
        MentionsErrno(reason, EPERM, "operation not permitted") ||
        MentionsErrno(reason, EROFS, "read-only file system")) {
        return FailureCode::NoPermission;
    }
    if (code == FailureCode::EncoderMissing || code == FailureCode::EncoderStalled ||
        code == FailureCode::TimeLimit) {
        return code;
    }
    // The file's own name says nothing about the failure ("corrupt-copy.mp4").
    std::string lower = Lower(reason);
    for (const std::string& name : {Lower(source.string()), Lower(source.filename().string())}) {
        if (name.empty()) continue;
        for (auto at = lower.find(name); at != std::string::npos; at = lower.find(name, at)) {
            lower.erase(at, name.size());
        }
    }
    if (MentionsAny(lower, {"more than can be processed", "the file is larger than",
                            "width or height exceeds limit", "resource limit exceeded",
                            "cache resources exhausted", "memory allocation failed"})) {
        return FailureCode::TooLarge;
    }
    if (MentionsAny(lower, {"is not a jpeg, png, bmp or gif image", "not a regular file",
                            "no decode delegate", "improper image header", "unknown format",
                            "no video or audio stream", "does not contain any stream",
                            "no such decoder"})) {
        return FailureCode::Unsupported;
    }
    if (MentionsAny(lower,
                    {"invalid data found when processing input", "moov atom not found",
                     "cannot decode the image", "damaged", "corrupt", "premature end", "truncated",
                     "unexpected end of file", "insufficient image data", "end of data"})) {
        return FailureCode::Damaged;
    }
    return code;
}

}  // namespace brisklo
