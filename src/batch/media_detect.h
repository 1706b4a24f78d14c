// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "core/media_kinds.h"
#include "core/result.h"

namespace brisklo {

// The list a file the user named, opened or dropped belongs to, decided by its
// content: a JPEG, PNG, BMP or GIF signature makes it an image whatever its name
// says ("photo.jpeg", "scan.JPE", a PNG named "x.jpg"); otherwise a video or audio
// stream makes it a video. Anything else is refused with a reason naming the file,
// so a picture never reaches the video encoder.
Result<MediaKind> DetectMediaKind(const std::filesystem::path& path);

// A folder's file, listed for its extension (byExtension), checked by its first
// bytes only: a picture goes to the images whatever its extension; everything
// else stays where its extension put it (the task says later what it really is).
MediaKind KindOfListedFile(const std::filesystem::path& path, MediaKind byExtension);

}  // namespace brisklo
