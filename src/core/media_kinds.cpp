// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media_kinds.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace brisklo {
namespace {

template <std::size_t N>
bool Listed(const std::array<std::string_view, N>& list, std::string_view extension) {
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return std::find(list.begin(), list.end(), lower) != list.end();
}

}  // namespace

MediaKind KindByExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return MediaKind::Unknown;
    const std::string_view extension = fileName.substr(dot + 1);
    if (extension.empty()) return MediaKind::Unknown;
    if (Listed(kVideoExtensions, extension)) return MediaKind::Video;
    if (Listed(kImageExtensions, extension)) return MediaKind::Image;
    return MediaKind::Unknown;
}

}  // namespace brisklo
