// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/media_detect.h"

#include <system_error>

#include "image/source_file.h"
#include "video/media_probe.h"

namespace brisklo {
namespace fs = std::filesystem;

Result<MediaKind> DetectMediaKind(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status)) return Error{path.string() + ": no such file or folder"};
    if (!fs::is_regular_file(status)) return Error{path.string() + ": not a regular file"};
    const auto format = SniffImageFile(path);
    if (!format) return Error{path.string() + ": " + format.error().message};
    if (format.value()) return MediaKind::Image;
    if (HasMediaStream(path)) return MediaKind::Video;
    return Error{path.string() +
                 ": not a video or image (neither a JPEG, PNG, BMP or GIF picture nor a file "
                 "with a video or audio stream)"};
}

MediaKind KindOfListedFile(const fs::path& path, MediaKind byExtension) {
    const auto format = SniffImageFile(path);
    return format && format.value() ? MediaKind::Image : byExtension;
}

}  // namespace brisklo
