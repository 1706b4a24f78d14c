// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/video_task_model.h"

#include <gtest/gtest.h>

#include <future>

namespace brisklo {
namespace {
using namespace std::chrono_literals;

VideoTask Clip(const std::string& name) { return {name, "", "/videos/" + name, 1000, {}}; }

TEST(VideoTaskModel, IdsComeFromTheCounterSharedWithImages) {
    TaskIdCounter ids;
    VideoTaskModel model(ids);
    EXPECT_EQ(model.Add(Clip("a.mp4")), 0);
    EXPECT_EQ(ids.Next(), 1);  // an image takes the next id
    EXPECT_EQ(model.Add(Clip("b.mp4")), 2);
    EXPECT_TRUE(model.Delete(0));
    EXPECT_EQ(model.Add(Clip("c.mp4")), 3);  // never reused
    EXPECT_FALSE(model.Find(0));
    EXPECT_EQ(model.Find(3)->fileName, "c.mp4");
}

TEST(VideoTaskModel, ParametersKeepOneNewestRecordPerTask) {
    TaskIdCounter ids;
    VideoTaskModel model(ids);
    TaskParam first{.taskId = 4, .compressType = 1};
    TaskParam other{.taskId = 5, .compressType = 2};
    TaskParam second{.taskId = 4, .compressType = 2, .videoType = 3};
    model.SetParameters(first);
    model.SetParameters(other);
    model.SetParameters(second);
    EXPECT_EQ(model.ParameterCount(), 2u);
    EXPECT_EQ(model.FindParameters(4), second);
    model.ClearParameters(4);
    model.ClearParameters(4);  // nothing left to clear: no change
    EXPECT_FALSE(model.FindParameters(4));
    EXPECT_EQ(model.ParameterCount(), 1u);
    EXPECT_TRUE(model.Delete(5));
    EXPECT_EQ(model.ParameterCount(), 0u);
}

TEST(VideoTaskModel, QueueRunsOneAtATimeInOrder) {
    TaskIdCounter ids;
    VideoTaskModel model(ids);
    const auto a = model.Add(Clip("a.mp4"));
    const auto b = model.Add(Clip("b.mp4"));
    const auto c = model.Add(Clip("c.mp4"));
    const std::int32_t all[] = {a, b, c};
    EXPECT_EQ(model.EnqueueAll(all), 3u);
    EXPECT_EQ(model.EnqueueAll(all), 0u);  // pressed twice: one entry each
    EXPECT_EQ(model.queue().WaitingIds(), (std::vector<std::int32_t>{a, b, c}));
    EXPECT_EQ(model.Enqueue(b), QueueStatus::AlreadyWaiting);
    EXPECT_EQ(model.Enqueue(12345), QueueStatus::UnknownTask);

    auto taken = model.TakeNext();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->first, a);
    EXPECT_EQ(taken->second.fullPath, "/videos/a.mp4");
    EXPECT_EQ(model.queue().RunningIds(), std::vector<std::int32_t>{a});
    EXPECT_EQ(model.queue().WaitingIds().size(), 2u);
    EXPECT_FALSE(model.Delete(a));  // refused while it runs...
    EXPECT_FALSE(model.Delete(c));  // ...or waits
    EXPECT_TRUE(model.Find(c).has_value());

    // The worker waits while a task runs.
    auto next = std::async(std::launch::async, [&] { return model.TakeNext(); });
    EXPECT_EQ(next.wait_for(100ms), std::future_status::timeout);
    model.Finish(a);
    ASSERT_EQ(next.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(next.get()->first, b);

    // A running task is never queued again; once finished it goes to the tail.
    EXPECT_EQ(model.Enqueue(b), QueueStatus::Running);
    model.Finish(b);
    EXPECT_EQ(model.Enqueue(b), QueueStatus::Queued);
    EXPECT_EQ(model.queue().WaitingIds(), (std::vector<std::int32_t>{c, b}));
}

TEST(TaskQueue, RunsAsManyAsItHasSlotsAndShutdownWakesTheTakers) {
    TaskQueue queue(3, kImageQueueNames);
    const std::int32_t ids[] = {1, 2, 3, 4};
    EXPECT_EQ(queue.EnqueueAll(ids), 4u);
    for (const std::int32_t id : {1, 2, 3}) EXPECT_EQ(queue.TakeNext(), id);
    auto fourth = std::async(std::launch::async, [&] { return queue.TakeNext(); });
    EXPECT_EQ(fourth.wait_for(100ms), std::future_status::timeout);
    EXPECT_FALSE(queue.Finish(12345));  // not running: the lists stay as they are
    EXPECT_EQ(queue.RunningIds().size(), 3u);
    EXPECT_TRUE(queue.Finish(2));
    ASSERT_EQ(fourth.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(fourth.get(), 4);
    EXPECT_EQ(queue.RunningIds(), (std::vector<std::int32_t>{1, 3, 4}));

    auto waiting = std::async(std::launch::async, [&] { return queue.TakeNext(); });
    queue.Shutdown();
    ASSERT_EQ(waiting.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
}

TEST(VideoTaskModel, LogLines) {
    TaskIdCounter ids;
    VideoTaskModel model(ids);
    const auto id = model.Add(Clip("a.mp4"));
    ASSERT_EQ(model.Enqueue(id), QueueStatus::Queued);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(model.TakeNext());
    model.Finish(id);
    model.Finish(id);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "idleTaskList task_id: 0\n"
              "busyTaskList task_id: 0\n"
              "队列数据,size: 0,0\n"
              "队列数据,size: 0,0\n");
}

}  // namespace
}  // namespace brisklo
