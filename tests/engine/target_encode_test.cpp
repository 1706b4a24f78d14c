// SPDX-License-Identifier: GPL-3.0-or-later
// The plan and the checks of a size-bound encode: the rate leaves room for sound
// and container, an output over the target gets one corrected try, and a second
// miss fails with a size that would work. The clip is probed for real.
#include "video/target_encode.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"
#include "video/target_size.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;

std::string RateIn(const std::vector<std::string>& argv) {
    const auto at = std::find(argv.begin(), argv.end(), "-b:v");
    return at == argv.end() || at + 1 == argv.end() ? "" : *(at + 1);
}

TEST(TargetSizeTest, RateLeavesRoomForSoundAndContainer) {
    TargetInputs inputs{2 * 1024 * 1024, 60, 128000, 44100, 25, {1280, 720}};
    // 2 MiB over 60 s is 280 kbit/s in all; sound takes 128 of it.
    auto plan = PlanTarget(inputs);
    ASSERT_FALSE(plan) << "a 720p picture needs 225 kbit/s, more than is left";
    EXPECT_NE(plan.error().message.find("smallest size that keeps the picture watchable is 2.8M"),
              std::string::npos)
        << plan.error().message;
    inputs.audioBitrate = 0;
    plan = PlanTarget(inputs);
    ASSERT_TRUE(plan) << plan.error().message;
    EXPECT_GT(plan.value().videoBitrate, FloorBitrate({1280, 720}));
    EXPECT_LT(plan.value().videoBitrate, 2 * 1024 * 1024 * 8 / 60);
    EXPECT_EQ(FloorBitrate({854, 480}), 100000);
    EXPECT_EQ(FloorBitrate({1280, 720}), 224824);
    EXPECT_EQ(SizeUpText(2 * 1024 * 1024), "2.0M");
    EXPECT_EQ(SizeUpText(2 * 1024 * 1024 + 1), "2.1M");
    EXPECT_EQ(SizeUpText(400 * 1024 + 1), "401KB");
    inputs.durationSeconds = 0;
    EXPECT_FALSE(PlanTarget(inputs));
}

// A 2 s clip to fit under 400 KB, its pass log in dir.
auto PlanFourHundredKilobytes(const test::TempDir& dir, std::int32_t taskId) {
    const fs::path clip = test::MakeClip(dir / "clip.mp4", 2.0);
    const VideoTask task{
        "clip.mp4", "", clip.string(), static_cast<std::int64_t>(fs::file_size(clip)), {}};
    VideoOptions options;
    options.target = VideoTarget{VideoTarget::Kind::Bytes, 400 * 1024, 0};
    return TargetEncode::Plan(task, options, dir.path(), taskId);
}

TEST(TargetSizeTest, OverTheTargetTriesOnceMoreLowerThenFails) {
    test::TempDir dir;
    auto planned = PlanFourHundredKilobytes(dir, 9);
    ASSERT_TRUE(planned) << planned.error().message;
    TargetEncode& target = *planned.value();
    const std::vector<std::string> argv = {"ffmpeg", "-b:v",
                                           std::to_string(target.Passes().videoBitrate), "out"};
    EXPECT_EQ(target.Passes().passLog, dir / "pass-9");

    const SizeVerdict again = target.Check(440 * 1024, argv);
    ASSERT_EQ(again.kind, SizeVerdict::Kind::Again);
    EXPECT_LT(std::stoll(RateIn(again.argv)), target.Passes().videoBitrate);
    const SizeVerdict still = target.Check(420 * 1024, again.argv);
    ASSERT_EQ(still.kind, SizeVerdict::Kind::Fail);
    EXPECT_NE(still.reason.find("clip.mp4 cannot be fitted into 400KB"), std::string::npos)
        << still.reason;
    EXPECT_NE(still.reason.find("the smallest size that would work is about 420KB"),
              std::string::npos)
        << still.reason;
}

TEST(TargetSizeTest, UnderTheTargetIsAccepted) {
    test::TempDir dir;
    auto planned = PlanFourHundredKilobytes(dir, 1);
    ASSERT_TRUE(planned);
    EXPECT_EQ(planned.value()->Check(400 * 1024, {}).kind, SizeVerdict::Kind::Accept);
}

}  // namespace
}  // namespace brisklo
