// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/magick_errors.h"

namespace brisklo {
namespace {
constexpr std::string_view kUnknown = "unknown image library error";
}

std::string CleanMagickMessage(std::string_view text) {
    // Magick++ puts the client name in front: "<name>: <reason>".
    if (const char* client = MagickCore::GetClientName(); client && *client) {
        const std::string prefix = std::string(client) + ": ";
        if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
    }
    for (std::string_view tail : {std::string_view("`"), std::string_view(" @ ")}) {
        if (const auto at = text.find(tail); at != std::string_view::npos)
            text = text.substr(0, at);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.remove_suffix(1);
    return std::string(text);
}

std::string DescribeException(const std::exception& error) {
    const std::string text = CleanMagickMessage(error.what());
    return text.empty() ? std::string(kUnknown) : text;
}

std::string DescribeMagickException(const MagickCore::ExceptionInfo& exception) {
    std::string text = CleanMagickMessage(exception.reason ? exception.reason : "");
    if (exception.description && *exception.description) {
        const std::string detail = CleanMagickMessage(exception.description);
        if (!detail.empty() && detail != text) text += " (" + detail + ")";
    }
    return text.empty() ? std::string(kUnknown) : text;
}

}  // namespace brisklo
