// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace brisklo::cli {
namespace {

TEST(CliOptions, ValuesAndShortForms) {
    auto parsed = ParseCliOptions({"-r",
                                   "-o",
                                   "/out",
                                   "--level=deep",
                                   "--format",
                                   "mkv",
                                   "--size",
                                   "1280x720",
                                   "--crf",
                                   "23",
                                   "--balanced",
                                   "--channels",
                                   "1",
                                   "--sample-rate",
                                   "22050",
                                   "--audio-bitrate",
                                   "64000",
                                   "--jpeg",
                                   "--scale",
                                   "5",
                                   "--image-size",
                                   "640x480",
                                   "--gif-drop",
                                   "4",
                                   "--json",
                                   "-q",
                                   "a.mp4",
                                   "--",
                                   "-odd.mp4"});
    ASSERT_TRUE(parsed.ok()) << parsed.error().message;
    const CliOptions& o = parsed.value();
    EXPECT_TRUE(o.recursive);
    EXPECT_EQ(o.outputDir, "/out");
    EXPECT_EQ(o.level, CompressionLevel::Deep);
    EXPECT_EQ(o.format, VideoContainer::Mkv);
    EXPECT_EQ(o.size->width, 1280);
    EXPECT_EQ(o.size->height, 720);
    EXPECT_EQ(o.crf, 23);
    EXPECT_TRUE(o.balanced);
    EXPECT_EQ(o.channels, 1);
    EXPECT_EQ(o.sampleRate, 22050);
    EXPECT_EQ(o.audioBitrate, 64000);
    EXPECT_TRUE(o.jpeg);
    EXPECT_EQ(o.scale, 5);
    EXPECT_EQ(o.imageSize->width, 640);
    EXPECT_EQ(o.gifDrop, 4);
    EXPECT_TRUE(o.json);
    EXPECT_TRUE(o.quiet);

    // The flags win over the stored options; what they leave alone stays.
    VideoOptions stored;
    stored.bitrate = 320000;
    const VideoOptions video = VideoOptionsFor(o, stored);
    EXPECT_EQ(video.level, CompressionLevel::Deep);
    EXPECT_EQ(video.container, VideoContainer::Mkv);
    EXPECT_EQ(video.size, (PixelSize{1280, 720}));
    EXPECT_EQ(video.customQuality, 23);
    EXPECT_TRUE(video.balanced);
    EXPECT_EQ(video.channels, 1);
    EXPECT_EQ(video.bitrate, 64000);
    const ImageOptions image = ImageOptionsFor(o, ImageOptions{});
    EXPECT_EQ(image.output, ImageOutput::Jpeg);
    EXPECT_EQ(image.scaleStep, 5);
    EXPECT_EQ(image.customSize->width, 640);
    EXPECT_EQ(image.gifDropIndex, 4);
    const CliOptions bare = ParseCliOptions({"a.mp4"}).value();
    EXPECT_EQ(VideoOptionsFor(bare, stored), stored);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"a.mp4", "-odd.mp4"}));
}

TEST(CliOptions, BadValuesNameTheOptionAndWhatIsAllowed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--level", "max", "a"}, "--level (allowed: general, deep, limit)"},
        {{"--format", "avi", "a"}, "--format (allowed: mp4, flv, mov, mkv)"},
        {{"--sample-rate", "44000", "a"}, "--sample-rate (allowed: 96000, 88200, 64000"},
        {{"--audio-bitrate", "1", "a"}, "(allowed: 320000, 128000, 96000, 64000)"},
        {{"--channels", "6", "a"}, "--channels (allowed: 2, 1)"},
        {{"--crf", "52", "a"}, "--crf (allowed: 0 to 51)"},
        {{"--scale", "-1", "a"}, "--scale (allowed: 0 to 5)"},
        {{"--gif-drop", "x", "a"}, "--gif-drop (allowed: 0 to 4)"},
        {{"--size", "1280*720", "a"}, "--size (allowed: WIDTHxHEIGHT"},
        {{"--crf"}, "option --crf needs a value"},
        {{"--bogus", "a"}, "unknown option --bogus"},
        {{"--json=1", "a"}, "option --json takes no value"},
        {{}, "no files or folders given"},
    };
    for (const auto& [args, message] : cases) {
        auto parsed = ParseCliOptions(args);
        ASSERT_FALSE(parsed.ok()) << message;
        EXPECT_NE(parsed.error().message.find(message), std::string::npos)
            << parsed.error().message;
    }
    EXPECT_TRUE(ParseCliOptions({"--help"}).ok());
    EXPECT_TRUE(ParseCliOptions({"--size", "0x0", "a"}).ok());
}

TEST(CliOptions, SizesToFitUnderAndWhatAPhotoKeeps) {
    const CliOptions parsed =
        ParseCliOptions({"--target-size", "2.5M", "--image-max-size=200K", "--min-saving", "5",
                         "--quality-first", "--keep-photo-info", "a.mp4"})
            .value();
    const VideoOptions video = VideoOptionsFor(parsed, VideoOptions{});
    ASSERT_TRUE(video.target);
    EXPECT_EQ(video.target->kind, VideoTarget::Kind::Bytes);
    EXPECT_EQ(video.target->bytes, 2621440);
    EXPECT_STREQ(EncoderPreset(video), "slow");
    const ImageOptions image = ImageOptionsFor(parsed, ImageOptions{});
    EXPECT_EQ(image.targetBytes, 200 * 1024);
    EXPECT_EQ(image.photo, (PhotoInfo{true, false}));
    EXPECT_EQ(parsed.minSaving, 5);

    const CliOptions share = ParseCliOptions({"--target-percent", "50", "a.mp4"}).value();
    const auto target = VideoOptionsFor(share, VideoOptions{}).target;
    ASSERT_TRUE(target);
    EXPECT_EQ(TargetBytes(*target, 1000), 500);

    EXPECT_EQ(ParseByteSize("8M"), 8 * 1024 * 1024);
    EXPECT_EQ(ParseByteSize("1536"), 1536);
    EXPECT_EQ(ParseByteSize("0.5k"), std::nullopt);  // under a kilobyte
    EXPECT_EQ(ParseByteSize("M"), std::nullopt);
    EXPECT_EQ(ParseByteSize("8MB"), std::nullopt);

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--target-size", "big", "a"}, "invalid value 'big' for --target-size"},
        {{"--target-percent", "100", "a"}, "--target-percent (allowed: 1 to 99)"},
        {{"--min-saving", "-1", "a"}, "--min-saving (allowed: 0 to 99)"},
        {{"--target-size", "8M", "--target-percent", "50", "a"}, "cannot be given together"},
    };
    for (const auto& [args, message] : cases) {
        auto bad = ParseCliOptions(args);
        ASSERT_FALSE(bad.ok()) << message;
        EXPECT_NE(bad.error().message.find(message), std::string::npos) << bad.error().message;
    }
}

}  // namespace
}  // namespace brisklo::cli
