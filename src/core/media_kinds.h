// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace brisklo {

enum class MediaKind { Unknown, Video, Image };

// Extensions a folder add accepts, each in lower case; any spelling ("MP4", "Jpg")
// is accepted. A file named by the user is judged by its content instead (see
// batch/media_detect.h).
inline constexpr std::array<std::string_view, 24> kVideoExtensions = {
    "mp4",  "flv",  "wmv", "avi",  "mov", "mkv", "m4v", "f4v", "ts",  "mts", "rm",   "rmvb",
    "m3u8", "webm", "mpg", "mpeg", "asf", "dat", "3gp", "3g2", "vob", "ogv", "divx", "mxf"};
inline constexpr std::array<std::string_view, 7> kImageExtensions = {"bmp",  "jpg", "jpeg", "jpe",
                                                                     "jfif", "png", "gif"};

// The kind a file name's extension (the text after its last ".") stands for.
MediaKind KindByExtension(std::string_view fileName);

}  // namespace brisklo
