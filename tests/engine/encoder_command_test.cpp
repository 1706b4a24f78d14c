// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encoder_command.h"

#include <gtest/gtest.h>

#include "core/config_store.h"
#include "test_support.h"
#include "video/encoder_locator.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

class EncoderCommandTest : public ::testing::Test {
  protected:
    TempDir dir;
    ConfigStore config{dir / "configure.ini"};
    fs::path out = dir / "out";
    VideoTask task{"clip.avi", "", "/videos/clip.avi", 100, {}};

    void SetUp() override { fs::create_directory(out); }
};

TEST_F(EncoderCommandTest, TaskParametersWithSizeGiveTheSecondTemplate) {
    const TaskParam param{.taskId = 1,
                          .compressType = 2,
                          .videoType = 3,
                          .resolutionIndex = 1,
                          .width = 1920,
                          .height = 1080,
                          .channelIndex = 1,
                          .channel = 1,
                          .sampleRateIndex = 7,
                          .sampleRate = 22050,
                          .bitrateIndex = 3,
                          .bitrate = 64000};
    VideoOptions window = VideoOptionsFromSettings(config);
    window.balanced = true;
    auto command =
        BuildEncoderCommand(task, WithTaskParameters(window, param), out, "/opt/brisklo/ffmpeg");
    ASSERT_TRUE(command.ok()) << command.error().message;
    // The encoder writes a hidden file in the output folder, told the container.
    const fs::path expectedOutput = command.value().output->path();
    EXPECT_EQ(expectedOutput.parent_path(), out);
    EXPECT_TRUE(IsPendingOutputName(expectedOutput.filename().string()));
    // It is named to the encoder through the descriptor that holds it.
    const std::string held = command.value().output->DescriptorPath();
    EXPECT_TRUE(held.starts_with("/dev/fd/")) << held;
    EXPECT_EQ(command.value().baseName, "clip");
    EXPECT_EQ(command.value().extension, "mkv");
    EXPECT_EQ(command.value().argv, (std::vector<std::string>{"/opt/brisklo/ffmpeg",
                                                              "-y",
                                                              "-i",
                                                              "/videos/clip.avi",
                                                              "-s",
                                                              "1920*1080",
                                                              "-vcodec",
                                                              "h264",
                                                              "-acodec",
                                                              "aac",
                                                              "-preset",
                                                              "fast",
                                                              "-crf",
                                                              "38",
                                                              "-ab",
                                                              "64000",
                                                              "-ar",
                                                              "22050",
                                                              "-ac",
                                                              "1",
                                                              "-map_metadata",
                                                              "0",
                                                              "-f",
                                                              "matroska",
                                                              held}));
    EXPECT_EQ(command.value().displayText,
              "\"/opt/brisklo/ffmpeg\" -y -i \"/videos/clip.avi\" -s \"1920*1080\" -vcodec h264 "
              "-acodec aac -preset fast -crf 38 -ab 64000 -ar 22050 -ac 1 -map_metadata 0 -f "
              "matroska \"" +
                  held + "\"");
}

TEST_F(EncoderCommandTest, EmptySettingsGiveTheFirstTemplateWithDefaults) {
    auto command =
        BuildEncoderCommand(task, VideoOptionsFromSettings(config), out, "/usr/bin/ffmpeg");
    ASSERT_TRUE(command.ok());
    EXPECT_EQ(command.value().displayText,
              "\"/usr/bin/ffmpeg\" -y -i \"/videos/clip.avi\" -vcodec h264 -acodec aac -preset "
              "ultrafast -crf 28 -ab 128000 -ar 44100 -ac 2 -map_metadata 0 -f mp4 \"" +
                  command.value().output->DescriptorPath() + "\"");
}

TEST_F(EncoderCommandTest, SettingsAreReadAtTaskStart) {
    ASSERT_TRUE(config.Set(Setting::CompressType, 1));
    ASSERT_TRUE(config.Set(Setting::VideoType, 2));
    ASSERT_TRUE(config.Set(Setting::VideoRatioWidth, 0));
    ASSERT_TRUE(config.Set(Setting::VideoRatioHeight, 720));
    ASSERT_TRUE(config.Set(Setting::AudioBitrate, 96000));
    auto options = VideoOptionsFromSettings(config);
    EXPECT_EQ(EncoderQuality(options), 34);
    EXPECT_STREQ(ContainerExtension(options.container), "mov");
    EXPECT_TRUE(options.size.KeepsSource());  // a width of 0 keeps the source size
    EXPECT_EQ(options.bitrate, 96000);

    // Values outside their range read as the defaults.
    ASSERT_TRUE(config.Set(Setting::CompressType, 7));
    ASSERT_TRUE(config.Set(Setting::VideoType, 9));
    ASSERT_TRUE(config.Set(Setting::AudioChannel, std::string_view("abc")));
    options = VideoOptionsFromSettings(config);
    EXPECT_EQ(EncoderQuality(options), 28);
    EXPECT_STREQ(ContainerExtension(options.container), "mp4");
    EXPECT_EQ(options.channels, 2);
    const TaskParam odd{.taskId = 1, .compressType = 7, .videoType = -1};
    EXPECT_EQ(WithTaskParameters(options, odd).container, VideoContainer::Mp4);
    EXPECT_EQ(EncoderQuality(WithTaskParameters(options, odd)), 28);
}

TEST_F(EncoderCommandTest, CustomSliderOverridesEvenTheTasksOwnLevel) {
    const TaskParam param{.taskId = 1, .compressType = 2};
    VideoOptions window;
    window.customQuality = 23;
    auto command = BuildEncoderCommand(task, WithTaskParameters(window, param), out, "ffmpeg");
    ASSERT_TRUE(command.ok());
    EXPECT_NE(command.value().displayText.find("-preset ultrafast -crf 23 "), std::string::npos);
}

TEST_F(EncoderCommandTest, OutputNamesAndNumbering) {
    EXPECT_EQ(OutputBaseName("a.b.mov"), "a.b");
    EXPECT_EQ(OutputBaseName("clip"), "clip");
    EXPECT_EQ(OutputBaseName(".hidden"), ".hidden");
    EXPECT_EQ(OutputBaseName("-x 'y' \"ü\".mp4"), "-x 'y' \"ü\"");

    // Nothing is taken under a final name before the encode has finished, and
    // each command gets a hidden file of its own, removed when it is dropped.
    const VideoOptions settings;
    auto first = BuildEncoderCommand(task, settings, out, "ffmpeg");
    auto second = BuildEncoderCommand(task, settings, out, "ffmpeg");
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_NE(first.value().output->path(), second.value().output->path());
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
    first = Error{"dropped"};
    second = Error{"dropped"};
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(EncoderCommandTest, RelativeAndOptionLikeNamesBecomeAbsolute) {
    const VideoOptions settings;
    VideoTask odd{"-i.mp4", "", "-i.mp4", 1, {}};
    auto command = BuildEncoderCommand(odd, settings, out, "ffmpeg");
    ASSERT_TRUE(command.ok());
    EXPECT_EQ(command.value().argv[3], (fs::current_path() / "-i.mp4").string());
    VideoTask protocol{"concat:a|b.mp4", "", "concat:a|b.mp4", 1, {}};
    command = BuildEncoderCommand(protocol, settings, out, "ffmpeg");
    ASSERT_TRUE(command.ok());
    EXPECT_TRUE(command.value().argv[3].starts_with('/'));
}

TEST_F(EncoderCommandTest, UncreatableOutputFolderIsAClearError) {
    test::WriteFile(dir / "blocker", "x");
    const VideoOptions settings;
    auto command = BuildEncoderCommand(task, settings, dir / "blocker" / "sub", "ffmpeg");
    ASSERT_FALSE(command.ok());
    EXPECT_NE(command.error().message.find("blocker/sub"), std::string::npos);
}

TEST(EncoderLocator, PrefersTheExecutablesFolderThenPath) {
    TempDir dir;
    ScopedEnv path("PATH", "relative/bin:" + dir.path().string());
    EXPECT_EQ(FindEncoder(), fs::path("ffmpeg"));  // nowhere: the bare name
    test::WriteFile(dir / "ffmpeg", "#!/bin/sh\n");
    EXPECT_EQ(FindEncoder(), fs::path("ffmpeg"));  // not executable
    fs::permissions(dir / "ffmpeg", fs::perms::owner_all);
    EXPECT_EQ(FindEncoder(), dir / "ffmpeg");
}

}  // namespace
}  // namespace brisklo
