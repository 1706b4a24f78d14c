// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/media_probe.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace brisklo {
namespace {
using test::TempDir;

TEST(MediaProbe, DurationOfGeneratedClips) {
    TempDir dir;
    EXPECT_NEAR(GetMediaDuration(test::MakeClip(dir / "two.mp4", 2.0)), 2.0, 0.05);
    EXPECT_NEAR(GetMediaDuration(test::MakeClip(dir / "one 'ü'.mkv", 1.0, false)), 1.0, 0.05);
    EXPECT_TRUE(HasMediaStream(dir / "two.mp4"));
}

TEST(MediaProbe, AudioOnlyCounts) {
    TempDir dir;
    const auto path = dir / "tone.m4a";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=duration=1.5",
                                "-c:a", "aac", path.string()}),
              0);
    EXPECT_NEAR(GetMediaDuration(path), 1.5, 0.05);
}

TEST(MediaProbe, NonMediaNeverThrows) {
    TempDir dir;
    test::WriteFile(dir / "notes.mp4", "plain text, not a video\n");
    const double text = GetMediaDuration(dir / "notes.mp4");
    EXPECT_TRUE(text == 0 || text == -1) << text;
    EXPECT_FALSE(HasMediaStream(dir / "notes.mp4"));
    EXPECT_EQ(GetMediaDuration(dir / "missing.mp4"), 0);
    test::WriteFile(dir / "empty.mov", "");
    EXPECT_EQ(GetMediaDuration(dir / "empty.mov"), 0);
}

}  // namespace
}  // namespace brisklo
