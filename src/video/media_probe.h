// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace brisklo {

// Duration in seconds of the first video or audio stream of a media file (the
// container's duration when the stream has none). 0 when the file cannot be
// opened, -1 when it has no video or audio stream.
double GetMediaDuration(const std::filesystem::path& path);

// True when the file holds a video or audio stream the media libraries can read.
bool HasMediaStream(const std::filesystem::path& path);

}  // namespace brisklo
