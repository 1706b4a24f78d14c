// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_session.h"

#include <gtest/gtest.h>

#include "batch/message_queue.h"
#include "core/config_store.h"
#include "core/media_options.h"
#include "core/message_table.h"
#include "image/image_job.h"
#include "test_support.h"
#include "video/encode_records.h"
#include "video/encoder_locator.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// What a front end's list saw, last state first.
class LastStateView : public VideoView {
  public:
    void ShowRunning(std::int32_t id) override { Set(id, "running"); }
    void ShowProgress(std::int32_t, std::optional<int>, float) override {}
    void ShowFinished(std::int32_t id, const TaskOutcome&) override { Set(id, "finished"); }
    void ShowFailed(std::int32_t id, const TaskFailure& failure) override {
        Set(id, "failed: " + failure.reason);
    }
    void ShowState(std::int32_t id, TaskState state) override {
        Set(id, std::string(StateName(state)));
    }

    std::string Last(std::int32_t id) const {
        std::lock_guard lock(m_mutex);
        const auto at = m_last.find(id);
        return at == m_last.end() ? "" : at->second;
    }

  private:
    void Set(std::int32_t id, std::string state) {
        std::lock_guard lock(m_mutex);
        m_last[id] = std::move(state);
    }
    mutable std::mutex m_mutex;
    std::map<std::int32_t, std::string> m_last;
};

class FixedOptions : public VideoOptionsProvider, public ImageOptionsProvider {
  public:
    VideoOptions CurrentVideoOptions() override { return {}; }
    ImageOptions CurrentImageOptions() override { return {}; }
};

class BatchSessionTest : public ::testing::Test {
  protected:
    BatchSessionTest() {
        fs::create_directories(dir / "in");
        EXPECT_TRUE(config.Set(Setting::OutputDir, (dir / "out").string()));
        // The states are the subject here, not whether compressing paid.
        EXPECT_TRUE(config.Set(Setting::KeepOriginalIfLarger, 0));
    }

    // Hands the workers' messages to the session, as a window's event loop does,
    // until the condition holds; false on time-out.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = 60s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            if (auto message = queue.Take(20ms)) session.Dispatch(message->first, message->second);
        }
        return true;
    }
    TaskState StateOf(std::int32_t id) const { return session.Status(id).state; }

    test::TempDir dir;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", (dir / "data").string()};
    ConfigStore config{dir / "configure.ini"};
    FixedOptions options;
    MessageQueue queue;
    LastStateView videoView;
    LastStateView imageView;
    BatchSession session{{options, options, config, queue, videoView, imageView, FindEncoder()}};
};

// A clip long enough that an encode is still running when the test acts on it:
// 30 s of 640 x 360, quick to make as MPEG-2, a couple of seconds to encode.
fs::path MakeLongClip(const fs::path& path) {
    std::string output;
    const int status = test::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc2=size=640x360:rate=30:duration=30", "-c:v",
                                         "mpeg2video", "-q:v", "4", path.string()},
                                        &output);
    if (status != 0) throw std::runtime_error("ffmpeg failed: " + output);
    return path;
}

TEST_F(BatchSessionTest, PauseCancelResumeAndStopAllEndEveryTaskInItsOwnState) {
    const fs::path clip = MakeLongClip(dir / "in" / "clip.mpg");
    std::vector<std::int32_t> videos;
    for (int i = 0; i < 4; ++i) {
        const fs::path copy = dir / "in" / ("v" + std::to_string(i) + ".mpg");
        fs::copy_file(clip, copy);
        videos.push_back(session.Add(MediaKind::Video, copy).value());
    }
    std::vector<std::int32_t> images;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 2 ? ".jpg" : ".png");
        images.push_back(
            session.Add(MediaKind::Image, test::MakePicture(dir / "in" / name, "320x240")).value());
    }
    const auto missing = session.Add(MediaKind::Video, dir / "in" / "gone.mp4");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("gone.mp4"), std::string::npos);
    ASSERT_TRUE(session.Start());
    EXPECT_TRUE(session.Idle());
    EXPECT_EQ(StateOf(videos[0]), TaskState::Idle);

    std::vector<std::int32_t> all = videos;
    all.insert(all.end(), images.begin(), images.end());
    EXPECT_EQ(session.EnqueueAll(all), 10u);
    EXPECT_EQ(session.Enqueue(videos[1]), QueueStatus::AlreadyWaiting);
    EXPECT_EQ(session.Totals().total, 10);
    // No slot is freed before its result is dispatched, so one encode and three
    // image jobs take their tasks and no more.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (session.videos().queue().RunningIds().size() != 1 ||
           session.images().queue().RunningIds().size() != 3) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(5ms);
    }
    session.Pause();
    EXPECT_TRUE(session.Paused());
    EXPECT_EQ(session.Remove(videos[0]), RemoveStatus::Running);

    // Paused: what runs finishes, nothing new starts.
    ASSERT_TRUE(PumpUntil([&] {
        return HasEnded(StateOf(videos[0])) && HasEnded(StateOf(images[0])) &&
               HasEnded(StateOf(images[1])) && HasEnded(StateOf(images[2]));
    }));
    EXPECT_FALSE(PumpUntil(
        [&] {
            return !session.videos().queue().RunningIds().empty() ||
                   !session.images().queue().RunningIds().empty();
        },
        1s))
        << "a task started while the batch was paused";
    EXPECT_EQ(StateOf(videos[0]), TaskState::Done) << videoView.Last(videos[0]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StateOf(images[i]), TaskState::Done);
    EXPECT_EQ(StateOf(videos[1]), TaskState::Waiting);
    EXPECT_EQ(session.Status(videos[3]).queuePlace, 3u);
    EXPECT_EQ(StateOf(images[3]), TaskState::Waiting);

    // Two waiting tasks cancelled: the others move up.
    EXPECT_TRUE(session.CancelWaiting(videos[2]));
    EXPECT_TRUE(session.StopOrCancel(images[4]));
    EXPECT_FALSE(session.CancelWaiting(videos[0]));
    EXPECT_EQ(StateOf(videos[2]), TaskState::Cancelled);
    EXPECT_EQ(videoView.Last(videos[2]), "cancelled");
    EXPECT_EQ(session.Status(videos[3]).queuePlace, 2u);
    EXPECT_EQ(session.Status(images[5]).queuePlace, 2u);

    session.Resume();
    ASSERT_TRUE(PumpUntil([&] {
        return StateOf(videos[1]) == TaskState::Running && HasEnded(StateOf(images[3])) &&
               HasEnded(StateOf(images[5]));
    }));
    session.StopAll();
    EXPECT_EQ(StateOf(videos[3]), TaskState::Cancelled);
    ASSERT_TRUE(PumpUntil([&] { return session.Idle(); }));
    EXPECT_EQ(StateOf(videos[1]), TaskState::Stopped) << videoView.Last(videos[1]);
    EXPECT_EQ(videoView.Last(videos[1]), "stopped");
    EXPECT_EQ(StateOf(images[3]), TaskState::Done);
    EXPECT_EQ(StateOf(images[5]), TaskState::Done);

    const BatchTotals totals = session.Totals();
    EXPECT_EQ(totals.total, 10);
    EXPECT_EQ(totals.finished, 10);
    EXPECT_EQ(totals.succeeded, 6);
    EXPECT_EQ(totals.failed, 0);
    EXPECT_EQ(totals.stopped, 1);
    EXPECT_EQ(totals.cancelled, 3);
    EXPECT_EQ(totals.timeLeft, 0s);
    std::int64_t in = 0;
    std::int64_t out = 0;
    std::set<fs::path> outputs;
    for (const std::int32_t id : all) {
        const TaskStatus status = session.Status(id);
        if (!status.outcome) continue;
        in += status.outcome->sourceSize;
        out += status.outcome->outputSize;
        outputs.insert(status.outcome->outputPath);
    }
    EXPECT_EQ(totals.bytesIn, in);
    EXPECT_EQ(totals.bytesOut, out);
    // The ended batch is told once.
    const auto ended = session.TakeEndedBatch();
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->succeeded, 6);
    EXPECT_FALSE(session.TakeEndedBatch());

    // The folder holds the six outputs and nothing of the stopped encode.
    std::set<fs::path> present;
    for (const auto& entry : fs::directory_iterator(dir / "out")) present.insert(entry.path());
    EXPECT_EQ(present, outputs);
    EXPECT_EQ(outputs.size(), 6u);

    // Ended tasks can go; a new batch starts from nothing.
    EXPECT_EQ(session.Remove(videos[2]), RemoveStatus::Removed);
    EXPECT_FALSE(session.KindOf(videos[2]));
    EXPECT_EQ(session.Enqueue(images[4]), QueueStatus::Queued);
    EXPECT_EQ(session.Totals().total, 1);
    ASSERT_TRUE(PumpUntil([&] { return session.Idle(); }));
    EXPECT_EQ(StateOf(images[4]), TaskState::Done);
}

TEST(BatchTimeLeft, ComesFromTheRunningEncodeAndTheMeanTimesSoFar) {
    // Nothing left: nothing to wait for.
    EXPECT_EQ(EstimateTimeLeft({}), 0s);
    TimeLeftInput videos;
    videos.videoRunning = true;
    videos.videosWaiting = 2;
    // The running encode without a pace yet: no estimate.
    EXPECT_FALSE(EstimateTimeLeft(videos));
    videos.runningVideoLeft = 10;
    videos.runningVideoTotal = 30;
    // Before any video ended, each waiting one is taken to last as long as this one.
    EXPECT_EQ(EstimateTimeLeft(videos), 70s);
    videos.videosFinished = 1;
    videos.meanVideoSeconds = 20;
    EXPECT_EQ(EstimateTimeLeft(videos), 50s);

    TimeLeftInput images;
    images.imagesLeft = 7;
    EXPECT_FALSE(EstimateTimeLeft(images));  // no image ended yet
    images.imagesFinished = 3;
    images.meanImageSeconds = 1.5;
    EXPECT_EQ(EstimateTimeLeft(images), 4s);  // 7 x 1.5 s over three slots, rounded up
    // Both lists run at once: the longer one decides.
    images.runningVideoLeft = 9;
    images.videoRunning = true;
    EXPECT_EQ(EstimateTimeLeft(images), 9s);
}

TEST(MessageTable, HandsEachMessageItsOwnPayloadTypeAndDropsAnyOther) {
    MessageTable table;
    std::vector<std::int32_t> stopped;
    int quits = 0;
    table.On<MessageId::StopVideo>([&](std::int32_t id) { stopped.push_back(id); })
        .On<MessageId::MenuQuit>([&] { ++quits; });
    EXPECT_TRUE(table.Dispatch(MessageId::StopVideo, std::int32_t{7}));
    // A payload of the wrong type never reaches the handler, and never throws.
    EXPECT_TRUE(table.Dispatch(MessageId::StopVideo, std::string("7")));
    EXPECT_TRUE(table.Dispatch(MessageId::MenuQuit, {}));
    EXPECT_FALSE(table.Dispatch(MessageId::MenuHelp, {}));
    EXPECT_EQ(stopped, std::vector<std::int32_t>{7});
    EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace brisklo
