// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encoder_command.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

std::string MuxerOf(std::string_view extension) {
    return extension == "mkv" ? "matroska" : std::string(extension);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string OutputBaseName(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::string(fileName);
    return std::string(fileName.substr(0, dot));
}

Result<EncoderCommand> BuildEncoderCommand(const VideoTask& task, const VideoOptions& options,
                                           const fs::path& outputFolder, const fs::path& encoder,
                                           const std::optional<TwoPassSettings>& twoPass) {
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
    command.extension = ContainerExtension(options.container);
    // The encoder writes into the file we hold, not into whatever its hidden name
    // stands for when the encoder opens it (the folder may be shared).
    const std::string outputPath = command.output->DescriptorPath();
    const std::string muxer = MuxerOf(command.extension);
    const std::string quality = std::to_string(EncoderQuality(options));
    const std::string bitrate = std::to_string(options.bitrate);
    const std::string sampleRate = std::to_string(options.sampleRate);
    const std::string channel = std::to_string(options.channels);
    const std::string preset = EncoderPreset(options);
    // "1280*720", or none to keep the source size.
    const std::string sizeText =
        options.size.KeepsSource()
            ? std::string()
            : std::to_string(options.size.width) + "*" + std::to_string(options.size.height);

    if (twoPass) {
        const std::string rate = std::to_string(twoPass->videoBitrate);
        const std::string log = fs::absolute(twoPass->passLog, error).string();
        std::vector<std::string> head = {encoder.string(), "-y", "-i", input.string()};
        if (!sizeText.empty()) head.insert(head.end(), {"-s", sizeText});
        command.firstPass = head;
        command.firstPass.insert(command.firstPass.end(),
                                 {"-vcodec", "h264", "-preset", preset, "-b:v", rate, "-pass", "1",
                                  "-passlogfile", log, "-an", "-f", "null", "/dev/null"});
        command.argv = head;
        command.argv.insert(
            command.argv.end(),
            {"-vcodec", "h264",  "-acodec",       "aac", "-preset", preset,  "-b:v",    rate,
             "-pass",   "2",     "-passlogfile",  log,   "-ab",     bitrate, "-ar",     sampleRate,
             "-ac",     channel, "-map_metadata", "0",   "-f",      muxer,   outputPath});
        command.displayText = Quoted(encoder.string()) + " -y -i " + Quoted(input.string());
        if (!sizeText.empty()) command.displayText += " -s " + Quoted(sizeText);
        command.displayText += " -vcodec h264 -acodec aac -preset " + preset + " -b:v " + rate +
                               " -pass 1/2 -passlogfile " + Quoted(log) + " -ab " + bitrate +
                               " -ar " + sampleRate + " -ac " + channel + " -map_metadata 0 -f " +
                               muxer + " " + Quoted(outputPath);
        return command;
    }

    // The source's global metadata is copied whole: without -map_metadata, ffmpeg
    // copies it but drops creation_time, the date a phone clip was recorded.
    command.argv = {encoder.string(), "-y", "-i", input.string()};
    if (!sizeText.empty()) command.argv.insert(command.argv.end(), {"-s", sizeText});
    command.argv.insert(
        command.argv.end(),
        {"-vcodec", "h264", "-acodec", "aac", "-preset", preset, "-crf", quality, "-ab", bitrate,
         "-ar", sampleRate, "-ac", channel, "-map_metadata", "0", "-f", muxer, outputPath});

    command.displayText = Quoted(encoder.string()) + " -y -i " + Quoted(input.string());
    if (!sizeText.empty()) command.displayText += " -s " + Quoted(sizeText);
    command.displayText += " -vcodec h264 -acodec aac -preset " + preset + " -crf " + quality +
                           " -ab " + bitrate + " -ar " + sampleRate + " -ac " + channel +
                           " -map_metadata 0 -f " + muxer + " " + Quoted(outputPath);
    return command;
}

std::vector<std::string> WithVideoBitrate(std::vector<std::string> argv, std::int64_t bitrate) {
    for (std::size_t i = 0; i + 1 < argv.size(); ++i) {
        if (argv[i] == "-b:v") argv[i + 1] = std::to_string(bitrate);
    }
    return argv;
}

}  // namespace brisklo
