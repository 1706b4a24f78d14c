// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

#include "core/pixel_size.h"

namespace brisklo {

// Duration in seconds of the first video or audio stream of a media file (the
// container's duration when the stream has none). 0 when the file cannot be
// opened, -1 when it has no video or audio stream.
double GetMediaDuration(const std::filesystem::path& path);

// True when the file holds a video or audio stream the media libraries can read.
// A still picture (TIFF, WebP, a JPEG the image side refused, ...) read by one of
// the libraries' image readers is no video, whatever its name says.
bool HasMediaStream(const std::filesystem::path& path);

// The frame size of the first video stream; none when there is none or the file
// cannot be read.
std::optional<PixelSize> VideoFrameSize(const std::filesystem::path& path);

// What a size-bound encode needs to know of its source.
struct MediaFacts {
    double durationSeconds = 0;  // as GetMediaDuration gives it
    std::optional<PixelSize> frame;
    double framesPerSecond = 0;  // 0 when unknown
    bool hasAudio = false;
};
// None when the file cannot be read.
std::optional<MediaFacts> ProbeMediaFacts(const std::filesystem::path& path);

}  // namespace brisklo
