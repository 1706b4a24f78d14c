// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_support.h"
#include "video/encode_records.h"
#include "video/encode_run.h"
#include "video/stall_watch.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::RecordingSink;
using test::TempDir;

TEST(StallWatch, OnlyAdvancingPositionOrGrowingOutputCountsAsLife) {
    const auto t0 = StallWatch::Clock::now();
    StallWatch watch(10s, t0);
    watch.NotePosition(5000, t0 + 5s);
    watch.NotePosition(5000, t0 + 9s);  // the same position again is no progress
    watch.NoteOutputSize(0, t0 + 9s);   // nor is an empty output
    EXPECT_FALSE(watch.Stalled(t0 + 14s));
    EXPECT_TRUE(watch.Stalled(t0 + 15s));
    watch.NoteOutputSize(100, t0 + 15s);
    EXPECT_FALSE(watch.Stalled(t0 + 24s));
    watch.NotePosition(4000, t0 + 24s);  // going back is no progress either
    EXPECT_TRUE(watch.Stalled(t0 + 25s));

    StallWatch off(0s, t0);
    EXPECT_FALSE(off.Stalled(t0 + 1000h));
}

TEST(ShortReadWarning, OnlyAClearShortfallOfAKnownDurationWarns) {
    EXPECT_EQ(ShortReadWarning(6000, 1700), "only 1.7 s of 6.0 s could be read");
    EXPECT_EQ(ShortReadWarning(6000, 5400), "");  // 90 %: the usual frame rounding
    EXPECT_EQ(ShortReadWarning(6000, 5399), "only 5.4 s of 6.0 s could be read");
    EXPECT_EQ(ShortReadWarning(400, 100), "");  // under half a second short
    EXPECT_EQ(ShortReadWarning(0, 0), "");      // duration unknown
    EXPECT_EQ(ShortReadWarning(-1, 100), "");
}

struct End {
    bool ok = false;
    std::string reason;
    std::string warning;
    std::chrono::steady_clock::time_point at;
};

End WaitForEnd(RecordingSink& sink, std::chrono::seconds limit = 60s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& message : sink.messages()) {
            if (message.id == MessageId::EncodeSucceeded) {
                return {true, {}, std::any_cast<EncodeDone>(message.payload).warning, message.at};
            }
            if (message.id == MessageId::EncodeFailed) {
                return {
                    false, std::any_cast<EncodeFailure>(message.payload).reason, {}, message.at};
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    ADD_FAILURE() << "no final message";
    return {};
}

std::vector<std::string> Fake(const std::string& mode, const fs::path& output) {
    return {"/bin/bash", test::FixturePath("fake-encoder.sh").string(), mode, output.string()};
}

TEST(EncodeStall, SilentEncoderEndsAfterTheStallTimeButASlowOneFinishes) {
    TempDir dir;
    const fs::path output = dir / "out.mp4";
    RecordingSink sink;
    const auto start = std::chrono::steady_clock::now();
    auto run = EncodeRun::Start({1, Fake("hang", output), output, 1s}, sink);
    ASSERT_TRUE(run.ok());
    const End end = WaitForEnd(sink);
    EXPECT_FALSE(end.ok);
    EXPECT_EQ(end.reason, "the encoder stopped responding for 1 s");
    // One second of silence, a second to notice, two to stop it: never the 60 s it sleeps.
    EXPECT_LT(end.at - start, 15s);
    EXPECT_FALSE(fs::exists(output));

    // Progress every 0.4 s keeps a 1 s watchdog quiet for the whole 3 s encode.
    RecordingSink slowSink;
    auto slow = EncodeRun::Start({2, Fake("slow", output), output, 1s}, slowSink);
    ASSERT_TRUE(slow.ok());
    const End slowEnd = WaitForEnd(slowSink);
    EXPECT_TRUE(slowEnd.ok) << slowEnd.reason;
}

TEST(EncodeWarning, SourceCutShortSucceedsWithAWarningAndAWholeOneWithout) {
    TempDir dir;
    const fs::path whole = test::MakeClip(dir / "whole.mp4", 6.0);
    // A file with its index in front, cut to a third: the header still says 6 s.
    const fs::path fast = dir / "fast.mp4";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-y", "-i", whole.string(), "-c", "copy",
                                "-movflags", "+faststart", fast.string()}),
              0);
    const fs::path cut = dir / "cut.mp4";
    test::WriteFile(cut, test::ReadFile(fast).substr(0, fs::file_size(fast) / 3));

    for (const auto& [input, warned] : {std::pair{whole, false}, std::pair{cut, true}}) {
        SCOPED_TRACE(input.filename().string());
        RecordingSink sink;
        const fs::path output = dir / ("out-" + input.filename().string());
        auto run = EncodeRun::Start({3,
                                     {"ffmpeg", "-y", "-i", input.string(), "-vcodec", "h264",
                                      "-preset", "ultrafast", "-acodec", "aac", output.string()},
                                     output},
                                    sink);
        ASSERT_TRUE(run.ok());
        const End end = WaitForEnd(sink);
        ASSERT_TRUE(end.ok) << end.reason;
        if (warned) {
            EXPECT_TRUE(end.warning.starts_with("only ")) << end.warning;
            EXPECT_TRUE(end.warning.ends_with(" of 6.0 s could be read")) << end.warning;
        } else {
            EXPECT_EQ(end.warning, "");
        }
    }
}

}  // namespace
}  // namespace brisklo
