// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <span>

#include "core/option_tables.h"

namespace brisklo::cli {
namespace {

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int64_t> ParseByteSize(std::string_view text) {
    std::int64_t unit = 1;
    if (!text.empty()) {
        switch (text.back()) {
            case 'K':
            case 'k':
                unit = kKilobyte;
                break;
            case 'M':
            case 'm':
                unit = kMegabyte;
                break;
            case 'G':
            case 'g':
                unit = kMegabyte * 1024;
                break;
            default:
                break;
        }
        if (unit != 1) text.remove_suffix(1);
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    // At least a kilobyte; at most a terabyte, which no target comes near.
    const double bytes = number * static_cast<double>(unit);
    if (!(bytes >= static_cast<double>(kKilobyte)) || bytes > 1e12) return std::nullopt;
    return static_cast<std::int64_t>(bytes);
}

namespace {

std::optional<PixelSize> ParseSize(std::string_view text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos) return std::nullopt;
    const auto width = ParseInt(text.substr(0, x));
    const auto height = ParseInt(text.substr(x + 1));
    if (!width || !height || *width < 0 || *height < 0) return std::nullopt;
    return PixelSize{*width, *height};
}

std::string Join(std::span<const int> values) {
    std::string text;
    for (int v : values) text += (text.empty() ? "" : ", ") + std::to_string(v);
    return text;
}

Error BadValue(const std::string& option, const std::string& value, const std::string& allowed) {
    return Error{"invalid value '" + value + "' for " + option + " (allowed: " + allowed + ")"};
}

}  // namespace

Result<CliOptions> ParseCliOptions(const std::vector<std::string>& args) {
    CliOptions options;
    static const std::array<std::string, 3> kLevels = {"general", "deep", "limit"};
    static const std::array<std::string, 4> kFormats = {"mp4", "flv", "mov", "mkv"};

    auto pickWord = [](std::span<const std::string> words, const std::string& option,
                       const std::string& value) -> Result<int> {
        const auto it = std::find(words.begin(), words.end(), value);
        if (it != words.end()) return static_cast<int>(it - words.begin());
        std::string allowed;
        for (const auto& word : words) allowed += (allowed.empty() ? "" : ", ") + word;
        return BadValue(option, value, allowed);
    };
    auto pickNumber = [](std::span<const int> allowed, const std::string& option,
                         const std::string& value) -> Result<int> {
        const auto number = ParseInt(value);
        if (number && std::find(allowed.begin(), allowed.end(), *number) != allowed.end()) {
            return *number;
        }
        return BadValue(option, value, Join(allowed));
    };
    auto pickRange = [](int low, int high, const std::string& option,
                        const std::string& value) -> Result<int> {
        const auto number = ParseInt(value);
        if (number && *number >= low && *number <= high) return *number;
        return BadValue(option, value, std::to_string(low) + " to " + std::to_string(high));
    };
    auto pickSize = [](const std::string& option, const std::string& value) -> Result<PixelSize> {
        if (auto size = ParseSize(value)) return *size;
        return BadValue(option, value, "WIDTHxHEIGHT, e.g. 1280x720, or 0x0");
    };

    const std::map<std::string, std::string> shortNames = {{"-o", "--output"},
                                                           {"-r", "--recursive"},
                                                           {"-q", "--quiet"},
                                                           {"-h", "--help"},
                                                           {"-v", "--verbose"}};
    const std::array<std::string, 17> withValue = {
        "--output",         "--level",       "--format",        "--size",        "--crf",
        "--channels",       "--sample-rate", "--audio-bitrate", "--image-level", "--scale",
        "--image-size",     "--gif-drop",    "--stall-timeout", "--target-size", "--target-percent",
        "--image-max-size", "--min-saving"};

    bool onlyPaths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyPaths || arg == "-" || arg.empty() || arg[0] != '-') {
            options.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        std::string value;
        bool hasInlineValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        if (const auto it = shortNames.find(arg); it != shortNames.end()) arg = it->second;
        const bool needsValue =
            std::find(withValue.begin(), withValue.end(), arg) != withValue.end();
        if (needsValue && !hasInlineValue) {
            if (i + 1 >= args.size()) return Error{"option " + arg + " needs a value"};
            value = args[++i];
        } else if (!needsValue && hasInlineValue) {
            return Error{"option " + arg + " takes no value"};
        }

        if (arg == "--output") {
            if (value.empty()) return Error{"option --output needs a folder"};
            options.outputDir = value;
        } else if (arg == "--level" || arg == "--image-level") {
            auto level = pickWord(kLevels, arg, value);
            if (!level) return level.error();
            (arg == "--level" ? options.level : options.imageLevel) =
                static_cast<CompressionLevel>(level.value());
        } else if (arg == "--format") {
            auto format = pickWord(kFormats, arg, value);
            if (!format) return format.error();
            options.format = static_cast<VideoContainer>(format.value());
        } else if (arg == "--size" || arg == "--image-size") {
            auto size = pickSize(arg, value);
            if (!size) return size.error();
            (arg == "--size" ? options.size : options.imageSize) = size.value();
        } else if (arg == "--crf") {
            auto crf = pickRange(0, 51, arg, value);
            if (!crf) return crf.error();
            options.crf = crf.value();
        } else if (arg == "--channels") {
            auto channels = pickNumber(kAudioChannels, arg, value);
            if (!channels) return channels.error();
            options.channels = channels.value();
        } else if (arg == "--sample-rate") {
            auto rate = pickNumber(kSampleRates, arg, value);
            if (!rate) return rate.error();
            options.sampleRate = rate.value();
        } else if (arg == "--audio-bitrate") {
            auto bitrate = pickNumber(kAudioBitrates, arg, value);
            if (!bitrate) return bitrate.error();
            options.audioBitrate = bitrate.value();
        } else if (arg == "--scale") {
            auto scale = pickRange(0, 5, arg, value);
            if (!scale) return scale.error();
            options.scale = scale.value();
        } else if (arg == "--gif-drop") {
            auto drop = pickRange(0, 4, arg, value);
            if (!drop) return drop.error();
            options.gifDrop = drop.value();
        } else if (arg == "--stall-timeout") {
            auto seconds = pickRange(0, 86400, arg, value);
            if (!seconds) return seconds.error();
            options.stallTimeout = seconds.value();
        } else if (arg == "--target-size" || arg == "--image-max-size") {
            const auto bytes = ParseByteSize(value);
            if (!bytes) return BadValue(arg, value, "a size of at least 1K, e.g. 8M, 2.5M or 200K");
            (arg == "--target-size" ? options.targetSize : options.imageMaxSize) = *bytes;
        } else if (arg == "--target-percent") {
            auto percent = pickRange(1, 99, arg, value);
            if (!percent) return percent.error();
            options.targetPercent = percent.value();
        } else if (arg == "--min-saving") {
            auto percent = pickRange(0, 99, arg, value);
            if (!percent) return percent.error();
            options.minSaving = percent.value();
        } else if (arg == "--quality-first") {
            options.qualityFirst = true;
        } else if (arg == "--keep-photo-info") {
            options.keepPhotoInfo = true;
        } else if (arg == "--keep-location") {
            options.keepLocation = true;
        } else if (arg == "--recursive") {
            options.recursive = true;
        } else if (arg == "--balanced") {
            options.balanced = true;
        } else if (arg == "--allow-larger") {
            options.allowLarger = true;
        } else if (arg == "--jpeg") {
            options.jpeg = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            return Error{"unknown option " + args[i] + " (see --help)"};
        }
    }
    if (options.targetSize && options.targetPercent) {
        return Error{"--target-size and --target-percent cannot be given together"};
    }
    if (options.paths.empty() && !options.help && !options.version) {
        return Error{"no files or folders given (see --help)"};
    }
    return options;
}

VideoOptions VideoOptionsFor(const CliOptions& o, VideoOptions options) {
    if (o.level) options.level = *o.level;
    if (o.format) options.container = *o.format;
    if (o.size) options.size = *o.size;
    if (o.channels) options.channels = *o.channels;
    if (o.sampleRate) options.sampleRate = *o.sampleRate;
    if (o.audioBitrate) options.bitrate = *o.audioBitrate;
    if (o.crf) options.customQuality = *o.crf;
    options.balanced = o.balanced;
    options.qualityFirst = o.qualityFirst;
    if (o.targetSize) options.target = VideoTarget{VideoTarget::Kind::Bytes, *o.targetSize, 0};
    if (o.targetPercent)
        options.target = VideoTarget{VideoTarget::Kind::Percent, 0, *o.targetPercent};
    return options;
}

ImageOptions ImageOptionsFor(const CliOptions& o, ImageOptions options) {
    if (o.imageLevel) options.level = *o.imageLevel;
    if (o.jpeg) options.output = ImageOutput::Jpeg;
    if (o.scale) options.scaleStep = *o.scale;
    if (o.imageSize) options.customSize = *o.imageSize;
    if (o.gifDrop) options.gifDropIndex = *o.gifDrop;
    if (o.imageMaxSize) options.targetBytes = *o.imageMaxSize;
    if (o.keepPhotoInfo) options.photo.keepExif = true;
    if (o.keepLocation) options.photo = {true, true};
    return options;
}

std::string UsageText() {
    return R"(Usage: brisklo-cli [OPTIONS] PATH...

Compresses videos (to H.264/AAC, one at a time) and images (JPEG, PNG, BMP,
GIF, three at a time). PATH may be a file or a folder; a folder adds its videos
and images. A file is an image when its content is a JPEG, PNG, BMP or GIF
picture, whatever its name; else a video when it holds a video or audio stream;
else it is refused. Outputs never overwrite a file: a taken name gets a number,
as in clip(2).mp4. When a recompression (same format, same size) is not smaller
than its source, the source is copied instead ("kept"), unless --allow-larger is
given; a conversion to another container, image format or size is delivered even
when larger ("grew"). Options default to the desktop program's settings and are
not saved.

  -o, --output DIR         write outputs into DIR
  -r, --recursive          also add files in sub-folders of a folder, their
                           outputs in the same sub-folders of the output folder
      --level LEVEL        video compression: general, deep or limit
      --format FORMAT      video container: mp4, flv, mov or mkv
      --size WxH           video frame size, e.g. 1280x720; 0x0 keeps the source size
      --crf N              custom video quality 0-51 (lower is better), overrides --level
      --balanced           balanced encoder preset (slower, smaller)
      --quality-first      quality-first encoder preset (slowest, smallest at the
                           same quality)
      --target-size SIZE   fit each video under SIZE (e.g. 8M, 2.5M, 500K): two
                           passes at a bit rate worked out from its duration;
                           a video that cannot fit fails, naming the smallest
                           size that would work
      --target-percent N   fit each video under N % (1-99) of its own size
      --channels N         audio channels: 1 or 2
      --sample-rate HZ     audio sample rate: 96000, 88200, 64000, 48000, 44100, 32000,
                           24000, 22050, 16000, 12000, 11025, 8000 or 7350
      --audio-bitrate BPS  audio bit rate: 320000, 128000, 96000 or 64000
      --image-level LEVEL  image compression: general, deep or limit
      --jpeg               convert images to JPEG
      --scale N            image scale step 0-5 (0 keeps the size)
      --image-size WxH     custom image size
      --gif-drop N         drop GIF frames: 0-4
      --image-max-size SIZE
                           make each image at most SIZE (e.g. 200K): JPEG by a
                           lower quality, PNG and BMP by fewer colours; an image
                           that cannot get under it fails
      --keep-photo-info    keep a photo's EXIF (date taken, camera, lens), turned
                           upright; its GPS position is removed
      --keep-location      keep the photo's EXIF with its GPS position
      --min-saving N       keep the source instead when the output saves less than
                           N % of it (0-99; default: the setting min-saving-percent)
      --stall-timeout SECONDS
                           end an encode whose encoder shows no progress for this
                           long (default: the setting encoder-stall-seconds, 120;
                           0 waits for ever)
      --allow-larger       keep recompressed outputs that are not smaller than
                           their source (by default the source is copied instead)
      --json               print one JSON object with every result on standard output
  -q, --quiet              no progress line
  -v, --verbose            also print the engine's diagnostic lines
  -h, --help               show this help
      --version            show the version

Result lines (done, kept, grew, failed, stopped) and the summary go to standard
output, progress and diagnostics to standard error; with --json standard output
holds only the JSON document.

Exit status: 0 when every task succeeded, 1 when any failed, 2 for a usage
error, 130 when interrupted (unfinished outputs are removed).
)";
}

}  // namespace brisklo::cli
