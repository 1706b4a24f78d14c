// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/media_probe.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <memory>
#include <mutex>
#include <string_view>

#include "core/log.h"

namespace brisklo {
namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

Input OpenInput(const std::filesystem::path& path) {
    static std::once_flag quiet;
    // The probe's own warnings about odd files are noise on the console.
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    Input input(context);
    if (avformat_find_stream_info(context, nullptr) < 0) return nullptr;
    return input;
}

const AVStream* FirstMediaStream(const AVFormatContext& context) {
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVMediaType type = context.streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) return context.streams[i];
    }
    return nullptr;
}

// The readers of single pictures: "image2" goes by the file name, "png_pipe",
// "tiff_pipe", "webp_pipe", ... by the content; "tty" shows a text file as a
// picture.
bool IsPictureReader(const AVInputFormat* format) {
    if (format == nullptr || format->name == nullptr) return false;
    const std::string_view name = format->name;
    return name == "image2" || name == "tty" || name.ends_with("_pipe");
}

double DurationOf(const AVFormatContext* input) {
    const AVStream* stream = FirstMediaStream(*input);
    if (!stream) {
        LogLine("not found a video stream.\n");
        return -1;
    }
    double seconds = av_q2d(stream->time_base) * static_cast<double>(stream->duration);
    if (seconds < 0) {
        seconds = input->duration > 0 ? static_cast<double>(input->duration / AV_TIME_BASE) : 0;
    }
    return seconds;
}

}  // namespace

double GetMediaDuration(const std::filesystem::path& path) {
    const Input input = OpenInput(path);
    if (!input) return 0;
    return DurationOf(input.get());
}

std::optional<MediaFacts> ProbeMediaFacts(const std::filesystem::path& path) {
    const Input input = OpenInput(path);
    if (!input) return std::nullopt;
    MediaFacts facts;
    facts.durationSeconds = DurationOf(input.get());
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream& stream = *input->streams[i];
        const AVCodecParameters& codec = *stream.codecpar;
        if (codec.codec_type == AVMEDIA_TYPE_AUDIO) facts.hasAudio = true;
        if (codec.codec_type != AVMEDIA_TYPE_VIDEO || facts.frame) continue;
        if (codec.width > 0 && codec.height > 0) facts.frame = PixelSize{codec.width, codec.height};
        if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0) {
            facts.framesPerSecond = av_q2d(stream.avg_frame_rate);
        }
    }
    return facts;
}

bool HasMediaStream(const std::filesystem::path& path) {
    const Input input = OpenInput(path);
    return input && !IsPictureReader(input->iformat) && FirstMediaStream(*input);
}

std::optional<PixelSize> VideoFrameSize(const std::filesystem::path& path) {
    const Input input = OpenInput(path);
    if (!input) return std::nullopt;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters& codec = *input->streams[i]->codecpar;
        if (codec.codec_type != AVMEDIA_TYPE_VIDEO) continue;
        if (codec.width <= 0 || codec.height <= 0) return std::nullopt;
        return PixelSize{codec.width, codec.height};
    }
    return std::nullopt;
}

}  // namespace brisklo
