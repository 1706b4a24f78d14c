// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encode_run.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include "test_support.h"
#include "video/encode_records.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::RecordingSink;
using test::TempDir;

constexpr auto kEndWait = 20s;

struct Outcome {
    bool ok = false;
    std::string reason;
    std::chrono::steady_clock::time_point at;
};

// Waits for the run's final message.
Outcome WaitForEnd(RecordingSink& sink) {
    const auto deadline = std::chrono::steady_clock::now() + kEndWait;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& message : sink.messages()) {
            if (message.id == MessageId::EncodeSucceeded) return {true, {}, message.at};
            if (message.id == MessageId::EncodeFailed) {
                return {false, std::any_cast<EncodeFailure>(message.payload).reason, message.at};
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    ADD_FAILURE() << "no final message";
    return {};
}

class FakeEncoderTest : public ::testing::Test {
  protected:
    Outcome RunFake(const std::string& mode) {
        auto run = EncodeRun::Start(
            {7,
             {"/bin/bash", test::FixturePath("fake-encoder.sh").string(), mode, output.string()},
             output},
            sink);
        EXPECT_TRUE(run.ok());
        if (!run.ok()) return {};
        Outcome outcome = WaitForEnd(sink);
        EXPECT_EQ(sink.Count(MessageId::EncodeSucceeded) + sink.Count(MessageId::EncodeFailed), 1u);
        return outcome;
    }

    TempDir dir;
    fs::path output = dir / "out put.mp4";
    RecordingSink sink;
};

TEST_F(FakeEncoderTest, SuccessKeepsTheOutputAndCarriesTheProgress) {
    const Outcome outcome = RunFake("success");
    EXPECT_TRUE(outcome.ok) << outcome.reason;
    EXPECT_TRUE(fs::exists(output));
    const auto messages = sink.messages();
    const auto done = std::any_cast<EncodeDone>(messages.back().payload);
    EXPECT_EQ(done.taskId, 7);
    EXPECT_EQ(done.outputPath, output.string());
    EXPECT_EQ(done.progress->durationMs.load(), 10000);
    EXPECT_EQ(done.progress->timeMs.load(), 10000);
    // Progress comes before the result.
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.front().id, MessageId::EncodeProgress);
}

TEST_F(FakeEncoderTest, TheFinishingStepNamesTheResultOrFailsTheTask) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        RecordingSink caseSink;
        const fs::path final = dir / "final.mp4";
        EncodeRequest request{
            3,
            {"/bin/bash", test::FixturePath("fake-encoder.sh").string(), "success",
             output.string()},
            output,
            std::chrono::seconds(120),
            [&]() -> Result<FinishedOutput> {
                if (fails) return Error{"cannot create the output file " + final.string()};
                fs::rename(output, final);
                return FinishedOutput{final, fs::file_size(final), true};
            }};
        auto run = EncodeRun::Start(std::move(request), caseSink);
        ASSERT_TRUE(run.ok());
        const Outcome outcome = WaitForEnd(caseSink);
        EXPECT_EQ(outcome.ok, !fails);
        if (fails) {
            EXPECT_NE(outcome.reason.find("final.mp4"), std::string::npos) << outcome.reason;
            EXPECT_FALSE(fs::exists(output));  // nothing half-finished stays
        } else {
            const auto done = std::any_cast<EncodeDone>(caseSink.messages().back().payload);
            EXPECT_EQ(done.outputPath, final.string());
            EXPECT_TRUE(done.keptOriginal);
        }
    }
}

TEST_F(FakeEncoderTest, MarkersSplitAcrossWritesAreFound) {
    const Outcome outcome = RunFake("split");
    EXPECT_TRUE(outcome.ok) << outcome.reason;
}

TEST_F(FakeEncoderTest, EveryBrokenEndIsAFailureAndLeavesNoOutput) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"no-duration", "without finishing the output"},
        {"no-marker", "without finishing the output"},
        {"conversion-failed", "width not divisible by 2"},
        {"dies", "killed by signal 9"},
        {"write-error", "No space left on device"},
        {"success-then-status", "exited with status 3"},
        {"empty-output", "output file is empty"},
    };
    for (const auto& [mode, reason] : cases) {
        SCOPED_TRACE(mode);
        RecordingSink caseSink;
        auto run = EncodeRun::Start(
            {1,
             {"/bin/bash", test::FixturePath("fake-encoder.sh").string(), mode, output.string()},
             output},
            caseSink);
        ASSERT_TRUE(run.ok());
        const Outcome outcome = WaitForEnd(caseSink);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.reason.find(reason), std::string::npos) << outcome.reason;
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(FakeEncoderTest, FloodIsReadWithoutPauseAndProgressIsLimited) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = RunFake("flood");
    EXPECT_TRUE(outcome.ok) << outcome.reason;
    const auto seconds = std::chrono::duration<double>(outcome.at - start).count();
    // About one progress message a second, plus the last one before the result.
    EXPECT_LE(static_cast<double>(sink.Count(MessageId::EncodeProgress)), seconds + 2.0);
}

TEST_F(FakeEncoderTest, ChildKeepingThePipeOpenDoesNotHoldTheResult) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = RunFake("keeps-pipe");
    EXPECT_TRUE(outcome.ok) << outcome.reason;
    EXPECT_LT(outcome.at - start, 5s);
}

TEST_F(FakeEncoderTest, StopEndsTheEncodeAsFailedAndRemovesTheOutput) {
    auto run = EncodeRun::Start(
        {3,
         {"/bin/bash", test::FixturePath("fake-encoder.sh").string(), "hang", output.string()},
         output},
        sink);
    ASSERT_TRUE(run.ok());
    ASSERT_TRUE(sink.WaitFor(MessageId::EncodeProgress, 5s));
    EXPECT_TRUE(fs::exists(output));
    run.value()->Stop();
    const Outcome outcome = WaitForEnd(sink);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, "the encode was stopped");
    EXPECT_FALSE(fs::exists(output));
}

TEST(EncodeRun, MissingEncoderIsAClearErrorNotAHang) {
    RecordingSink sink;
    auto run = EncodeRun::Start({1, {"/nonexistent/ffmpeg", "-i", "x"}, {}}, sink);
    ASSERT_FALSE(run.ok());
    EXPECT_NE(run.error().message.find("/nonexistent/ffmpeg"), std::string::npos);
    EXPECT_NE(run.error().message.find("No such file"), std::string::npos);
    EXPECT_TRUE(sink.messages().empty());
}

class RealEncoderTest : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingSink sink;

    std::vector<std::string> Command(const fs::path& input, const fs::path& output) {
        return {"ffmpeg", "-y",      "-i",  input.string(), "-vcodec",
                "h264",   "-acodec", "aac", "-preset",      "ultrafast",
                "-crf",   "28",      "-ab", "128000",       "-ar",
                "44100",  "-ac",     "2",   output.string()};
    }
};

TEST_F(RealEncoderTest, WholeEncodePostsProgressThenSuccess) {
    // A name with blanks, quotes, a leading dash and non-ASCII letters, given as
    // an absolute path so that ffmpeg never reads it as an option.
    const fs::path input = test::MakeClip(dir / "-in 'clip' \"视频\".mp4", 2.0);
    const fs::path output = dir / "-out 'clip' \"视频\".mkv";
    auto run = EncodeRun::Start({11, Command(input, output), output}, sink);
    ASSERT_TRUE(run.ok()) << run.error().message;
    const Outcome outcome = WaitForEnd(sink);
    ASSERT_TRUE(outcome.ok) << outcome.reason;
    EXPECT_GT(fs::file_size(output), 0u);
    EXPECT_GE(sink.Count(MessageId::EncodeProgress), 1u);
    const auto done = std::any_cast<EncodeDone>(sink.messages().back().payload);
    EXPECT_EQ(done.progress->durationMs.load(), 2000);
    EXPECT_EQ(ProgressPercent(done.progress->durationMs, done.progress->timeMs), 100);
}

TEST_F(RealEncoderTest, MissingOrBrokenInputFailsWithFfmpegsReason) {
    const fs::path output = dir / "out.mp4";
    auto missing = EncodeRun::Start({1, Command(dir / "none.mp4", output), output}, sink);
    ASSERT_TRUE(missing.ok());
    Outcome outcome = WaitForEnd(sink);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("No such file or directory"), std::string::npos)
        << outcome.reason;

    RecordingSink textSink;
    test::WriteFile(dir / "notes.mp4", "this is not a video\n");
    auto text = EncodeRun::Start({2, Command(dir / "notes.mp4", output), output}, textSink);
    ASSERT_TRUE(text.ok());
    outcome = WaitForEnd(textSink);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(RealEncoderTest, FullDiskIsAFailure) {
    const fs::path input = test::MakeClip(dir / "in.mp4", 2.0);
    const fs::path small = dir / "small";
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=24k") != 0) {
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs";
    }
    const fs::path output = small / "out.mp4";
    // Fill most of the small disk first so that the encoder runs out mid-way.
    test::WriteFile(small / "filler", std::string(16 * 1024, 'x'));
    auto run = EncodeRun::Start({5, Command(input, output), output}, sink);
    ASSERT_TRUE(run.ok());
    const Outcome outcome = WaitForEnd(sink);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(fs::exists(output));
    ::umount(small.c_str());
}

}  // namespace
}  // namespace brisklo
