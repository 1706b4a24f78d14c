// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/pixel_size.h"
#include "core/video_task.h"

namespace brisklo {

class SettingsSource;

// The three compression levels both media offer.
enum class CompressionLevel { General = 0, Deep = 1, Limit = 2 };

enum class VideoContainer { Mp4 = 0, Flv = 1, Mov = 2, Mkv = 3 };

enum class ImageOutput { KeepFormat = 0, Jpeg = 1 };

// A size a video must fit under, instead of the level's quality: a number of bytes,
// or a share of the source's size.
struct VideoTarget {
    enum class Kind { Bytes, Percent };
    Kind kind = Kind::Bytes;
    std::int64_t bytes = 0;    // Kind::Bytes
    std::int32_t percent = 0;  // Kind::Percent, 1..99
    bool operator==(const VideoTarget&) const = default;
};

// The size choices the window and the parameter dialog offer, in MB (1,048,576 bytes).
inline constexpr std::int32_t kVideoTargetPresetsMb[] = {8, 10, 25, 50, 100};
inline constexpr std::int64_t kMegabyte = 1024 * 1024;
inline constexpr std::int64_t kKilobyte = 1024;

// What a photo keeps of its metadata. Its colours are always kept: a photo with
// another colour profile than sRGB is converted to sRGB before the profile goes.
struct PhotoInfo {
    bool keepExif = false;      // date taken, camera, lens; orientation reset to upright
    bool keepLocation = false;  // the GPS position too (only with keepExif)
    bool operator==(const PhotoInfo&) const = default;
};

// Everything one video encode is made of, whoever chose it: the settings, a
// task's own parameters or the command line.
struct VideoOptions {
    CompressionLevel level = CompressionLevel::General;
    VideoContainer container = VideoContainer::Mp4;
    PixelSize size;
    std::int32_t channels = 2;
    std::int32_t sampleRate = 44100;
    std::int32_t bitrate = 128000;
    // The custom quality (0-51) when the user set one; it overrides the level.
    std::optional<std::int32_t> customQuality;
    bool balanced = false;  // the "fast" preset instead of "ultrafast"
    // The slower, smaller preset of EncoderPreset; wins over balanced.
    bool qualityFirst = false;
    // Fit under this size (two passes at a computed bit rate); wins over the quality.
    std::optional<VideoTarget> target;
    bool operator==(const VideoOptions&) const = default;
};

// Everything one image job is made of.
struct ImageOptions {
    CompressionLevel level = CompressionLevel::General;
    ImageOutput output = ImageOutput::KeepFormat;
    std::int32_t scaleStep = 0;  // 1..5 shrinks by that many tenths; 0 keeps the size
    // The box to fit into when the custom size is on (a 0 field counts as empty).
    std::optional<PixelSize> customSize;
    // Which GIF frames to drop (0..4) when dropping is on.
    std::optional<std::int32_t> gifDropIndex;
    // Each output at most this many bytes: JPEG by a lower quality, PNG and BMP by
    // fewer colours; a picture that cannot get under it fails.
    std::optional<std::int64_t> targetBytes;
    PhotoInfo photo;
    bool operator==(const ImageOptions&) const = default;
};

// 0, 1, 2: the level's row in a table of values by level.
constexpr std::size_t LevelIndex(CompressionLevel level) { return static_cast<std::size_t>(level); }

// The stored options; a value outside its range reads as its default.
VideoOptions VideoOptionsFromSettings(const SettingsSource& settings);
// customWidth and customHeight: what the size fields hold (0 for empty).
ImageOptions ImageOptionsFromSettings(const SettingsSource& settings, std::int32_t customWidth,
                                      std::int32_t customHeight);

// A task's own parameters laid over the options of the moment: they choose the
// level, container, frame size and audio; the custom quality and the preset stay.
VideoOptions WithTaskParameters(VideoOptions options, const TaskParam& param);

// The encoder's quality number: the custom quality, else 28, 34 or 38 by level.
std::int32_t EncoderQuality(const VideoOptions& options);
// The x264 preset: "slow" for quality first, "fast" balanced, else "ultrafast".
const char* EncoderPreset(const VideoOptions& options);
// The target's size in bytes for a source of sourceSize bytes.
std::int64_t TargetBytes(const VideoTarget& target, std::int64_t sourceSize);
// The target the size choice's row stands for: rows 0-4 the presets, 5 the custom
// size in MB, 6 the share of the source in percent.
VideoTarget TargetFromChoice(std::int32_t row, std::int32_t customMb, std::int32_t percent);
// "mp4", "flv", "mov", "mkv".
const char* ContainerExtension(VideoContainer container);

// Answers "which options now?" for the worker of one medium, on the worker's
// thread, when a task starts. The desktop program answers from the option
// controls, the command line from its flags. Implementations must not wait for a
// thread that may be stopping the worker.
class VideoOptionsProvider {
  public:
    virtual ~VideoOptionsProvider() = default;
    virtual VideoOptions CurrentVideoOptions() = 0;
};

class ImageOptionsProvider {
  public:
    virtual ~ImageOptionsProvider() = default;
    virtual ImageOptions CurrentImageOptions() = 0;
};

}  // namespace brisklo
