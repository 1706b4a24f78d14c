#include "video/encoder_command.h"

#include "core/settings_source.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

int QualityOf(std::int32_t compressType) {
    switch (compressType) {
        case 1:
            return 34;  // deep
        case 2:
            return 38;  // limit
        default:
            return 28;  // general, and anything unknown
    }
}

std::string ExtensionOf(std::int32_t videoType) {
    switch (videoType) {
        case 1:
            return "flv";
        case 2:
            return "mov";
        case 3:
            return "mkv";
        default:
            return "mp4";
    }
}

std::string MuxerOf(std::string_view extension) {
    return extension == "mkv" ? "matroska" : std::string(extension);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

EncodeSettings ResolveEncodeSettings(const std::optional<TaskParam>& param,
                                     const SettingsSource& config,
                                     const VideoOptionValues& options) {
    EncodeSettings s;
    if (param) {
        s.compressType = param->compressType;
        s.videoType = param->videoType;
        s.width = param->width;
        s.height = param->height;
        s.channel = param->channel;
        s.sampleRate = param->sampleRate;
        s.bitrate = param->bitrate;
    } else {
        s.compressType = config.Get(Setting::CompressType);
        s.videoType = config.Get(Setting::VideoType);
        s.width = config.Get(Setting::VideoRatioWidth);
        s.height = config.Get(Setting::VideoRatioHeight);
        s.channel = config.Get(Setting::AudioChannel);
        s.sampleRate = config.Get(Setting::AudioSampleRate);
        s.bitrate = config.Get(Setting::AudioBitrate);
    }
    if (s.width != 0 && s.height != 0) {
        s.sizeText = std::to_string(s.width) + "*" + std::to_string(s.height);
    }
    // The custom slider overrides the level, even a task's own.
    s.quality = options.customQuality ? options.qualitySlider : QualityOf(s.compressType);
    s.preset = options.balanced ? "fast" : "ultrafast";
    s.extension = ExtensionOf(s.videoType);
    s.muxer = MuxerOf(s.extension);
    return s;
}

std::string OutputBaseName(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::string(fileName);
    return std::string(fileName.substr(0, dot));
}

Result<EncoderCommand> BuildEncoderCommand(const VideoTask& task, const EncodeSettings& settings,
                                           const fs::path& outputFolder, const fs::path& encoder) {
    std::error_code error;
    const fs::path input = fs::absolute(task.fullPath, error);
    if (error) return Error{"cannot resolve the path of " + task.fullPath + ": " + error.message()};
    const fs::path folder = fs::absolute(outputFolder, error);
    if (error) return Error{"cannot resolve the output folder " + outputFolder.string()};

    auto output = PendingOutput::Create(folder);
    if (!output) return output.error();

    EncoderCommand command;
    command.output = std::make_shared<PendingOutput>(std::move(output).value());
    command.baseName = OutputBaseName(task.fileName);
    command.extension = settings.extension;
    const std::string outputPath = command.output->path().string();
    const std::string muxer = settings.muxer.empty() ? MuxerOf(settings.extension) : settings.muxer;
    const std::string quality = std::to_string(settings.quality);
    const std::string bitrate = std::to_string(settings.bitrate);
    const std::string sampleRate = std::to_string(settings.sampleRate);
    const std::string channel = std::to_string(settings.channel);

    command.argv = {encoder.string(), "-y", "-i", input.string()};
    if (!settings.sizeText.empty())
        command.argv.insert(command.argv.end(), {"-s", settings.sizeText});
    command.argv.insert(
        command.argv.end(),
        {"-vcodec", "h264", "-acodec", "aac", "-preset", settings.preset, "-crf", quality, "-ab",
         bitrate, "-ar", sampleRate, "-ac", channel, "-f", muxer, outputPath});

    command.displayText = Quoted(encoder.string()) + " -y -i " + Quoted(input.string());
    if (!settings.sizeText.empty()) command.displayText += " -s " + Quoted(settings.sizeText);
    command.displayText += " -vcodec h264 -acodec aac -preset " + settings.preset + " -crf " +
                           quality + " -ab " + bitrate + " -ar " + sampleRate + " -ac " + channel +
                           " -f " + muxer + " " + Quoted(outputPath);
    return command;
}

}  // namespace brisklo
