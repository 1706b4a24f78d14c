// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_dispatcher.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "core/config_store.h"
#include "core/media_options.h"
#include "core/message_table.h"
#include "core/saving.h"
#include "core/task_view.h"
#include "image/image_completion.h"
#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

constexpr auto kTimeout = 20s;

// Records what the dispatcher and the completion show on the rows.
class RecordingRowView : public TaskView {
  public:
    enum class Kind { Running, Finished, Failed };
    struct Event {
        Kind kind;
        std::int32_t id;
        TaskOutcome finished;
        std::string reason;
    };

    void ShowRunning(std::int32_t id) override { Add({Kind::Running, id, {}, {}}); }
    void ShowFinished(std::int32_t id, const TaskOutcome& outcome) override {
        Add({Kind::Finished, id, outcome, {}});
    }
    void ShowFailed(std::int32_t id, const TaskFailure& failure) override {
        Add({Kind::Failed, id, {}, failure.reason});
    }
    // The dispatcher never queues, stops or cancels by itself.
    void ShowState(std::int32_t id, TaskState state) override {
        ADD_FAILURE() << id << " shown " << StateName(state);
    }

    std::vector<Event> events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<std::int32_t> Ids(Kind kind) const {
        std::vector<std::int32_t> ids;
        for (const Event& event : events()) {
            if (event.kind == kind) ids.push_back(event.id);
        }
        return ids;
    }
    std::optional<Event> Last(std::int32_t id) const {
        const auto all = events();
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            if (it->id == id) return *it;
        }
        return std::nullopt;
    }

  private:
    void Add(Event event) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }
    mutable std::mutex m_mutex;
    std::vector<Event> m_events;
};

// Stands in for the UI thread: hands every posted message to a handler on a
// thread of its own, in order.
class UiLoop : public MessageSink {
  public:
    UiLoop() : m_thread([this] { Loop(); }) {}
    ~UiLoop() override {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    void SetHandler(std::function<void(MessageId, const std::any&)> handler) {
        std::lock_guard lock(m_mutex);
        m_handler = std::move(handler);
    }
    void Post(MessageId id, std::any payload) override {
        {
            std::lock_guard lock(m_mutex);
            m_queue.emplace_back(id, std::move(payload));
        }
        m_wake.notify_all();
    }

  private:
    void Loop() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_done || !m_queue.empty(); });
            if (m_queue.empty()) return;
            auto [id, payload] = std::move(m_queue.front());
            m_queue.pop_front();
            // Handled under the loop's lock so SetHandler({}) waits for a running call.
            if (m_handler) m_handler(id, payload);
        }
    }
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::deque<std::pair<MessageId, std::any>> m_queue;
    std::function<void(MessageId, const std::any&)> m_handler;
    std::thread m_thread;
};

// The image options of the moment, changed by the tests.
class TestOptions : public ImageOptionsProvider {
  public:
    ImageOptions CurrentImageOptions() override {
        std::lock_guard lock(m_mutex);
        return m_options;
    }
    void Set(const ImageOptions& options) {
        std::lock_guard lock(m_mutex);
        m_options = options;
    }

  private:
    std::mutex m_mutex;
    ImageOptions m_options;
};

class ImageDispatcherTest : public ::testing::Test {
  protected:
    ImageDispatcherTest() {
        fs::create_directories(m_dir / "src");
        fs::create_directories(m_dir / "out");
        EXPECT_TRUE(m_config.Set(Setting::OutputDir, (m_dir / "out").string()));
        // These tests look at what the encoder made, even when it is larger than
        // its source; keeping the original instead is tested on its own.
        EXPECT_TRUE(m_config.Set(Setting::KeepOriginalIfLarger, 0));
    }

    // A dispatcher whose results the test hands over itself (RecordingSink).
    ImageDispatcher& Manual() { return Make(m_sink); }

    // A dispatcher whose results a UI loop handles as they come.
    ImageDispatcher& Automatic() {
        Make(m_loop);
        m_loop.SetHandler(
            [this](MessageId id, const std::any& payload) { m_messages.Dispatch(id, payload); });
        return *m_dispatcher;
    }

    ~ImageDispatcherTest() override {
        if (m_dispatcher) m_dispatcher->Stop();
        m_loop.SetHandler({});
        m_completion.reset();
        m_dispatcher.reset();
    }

    // Adds a small PNG as a task whose recorded size is the file's.
    std::int32_t AddImage(const std::string& name) {
        const fs::path path = test::MakeGradientImage(m_dir / "src" / name, 40, 30, "PNG");
        return m_tasks.Add({name, {}, path, static_cast<std::int64_t>(fs::file_size(path)), {}});
    }

    std::vector<ImageResult> Results() const {
        std::vector<ImageResult> results;
        for (const auto& message : m_sink.messages()) {
            if (message.id == MessageId::ImageDone) {
                results.push_back(std::any_cast<ImageResult>(message.payload));
            }
        }
        return results;
    }

    bool WaitForResults(std::size_t count) {
        return test::WaitUntil([&] { return m_sink.Count(MessageId::ImageDone) >= count; },
                               kTimeout);
    }

    std::vector<std::int32_t> Waiting() const { return m_tasks.queue().WaitingIds(); }
    std::vector<std::int32_t> Running() const { return m_tasks.queue().RunningIds(); }

    TempDir m_dir;
    // The program's temporary folder lives in the test's folder.
    test::ScopedEnv m_dataHome{"XDG_DATA_HOME", (m_dir / "data").string()};
    ConfigStore m_config{m_dir / "configure.ini"};
    TaskIdCounter m_ids;
    ImageTaskList m_tasks{m_ids};
    test::RecordingSink m_sink;
    UiLoop m_loop;
    RecordingRowView m_view;
    TestOptions m_options;
    std::unique_ptr<ImageDispatcher> m_dispatcher;
    std::unique_ptr<ImageCompletion> m_completion;
    MessageTable m_messages;

  private:
    ImageDispatcher& Make(MessageSink& sink) {
        m_dispatcher =
            std::make_unique<ImageDispatcher>(m_tasks, m_options, m_config, m_view, sink);
        m_completion = std::make_unique<ImageCompletion>(m_tasks, *m_dispatcher, m_view);
        m_messages.On<MessageId::ImageDone>(
            [this](const ImageResult& result) { m_completion->OnImageDone(result); });
        return *m_dispatcher;
    }
};

using Kind = RecordingRowView::Kind;

TEST_F(ImageDispatcherTest, ThreeRunAtOnceAndTheFourthWaitsForAHandledResult) {
    ImageDispatcher& dispatcher = Manual();
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 5; ++i) ids.push_back(AddImage("p" + std::to_string(i) + ".png"));
    EXPECT_EQ(m_tasks.EnqueueAll(ids), ids.size());
    ASSERT_TRUE(dispatcher.Start());

    ASSERT_TRUE(WaitForResults(3));
    // The jobs are done, but their slots stay taken until the results are handled.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_sink.Count(MessageId::ImageDone), 3u);
    EXPECT_EQ(m_view.Ids(Kind::Running), (std::vector<std::int32_t>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(Running(), (std::vector<std::int32_t>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(Waiting(), (std::vector<std::int32_t>{ids[3], ids[4]}));

    const std::vector<ImageResult> first = Results();
    m_completion->OnImageDone(first[0]);
    ASSERT_TRUE(WaitForResults(4));
    EXPECT_EQ(m_view.Ids(Kind::Running).size(), 4u);
    EXPECT_EQ(m_view.Ids(Kind::Running).back(), ids[3]);
    EXPECT_EQ(Waiting(), (std::vector<std::int32_t>{ids[4]}));

    m_completion->OnImageDone(first[1]);
    ASSERT_TRUE(WaitForResults(5));
    EXPECT_EQ(m_view.Ids(Kind::Running).back(), ids[4]);
    for (const ImageResult& result : Results()) {
        if (result.taskId != first[0].taskId && result.taskId != first[1].taskId) {
            m_completion->OnImageDone(result);
        }
    }
    EXPECT_EQ(m_view.Ids(Kind::Finished).size(), 5u);
    EXPECT_TRUE(Running().empty());
    EXPECT_TRUE(Waiting().empty());
}

TEST_F(ImageDispatcherTest, FailingJobsDoNotBlockTheQueue) {
    ImageDispatcher& dispatcher = Automatic();
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 3; ++i) {
        ids.push_back(m_tasks.Add({"gone.png", {}, m_dir / "src" / "gone.png", 100, {}}));
    }
    ids.push_back(AddImage("fine.png"));
    for (const std::int32_t id : ids) {
        EXPECT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    }
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return m_view.Last(ids[3]).has_value() && m_view.Last(ids[3])->kind == Kind::Finished;
        },
        kTimeout));
    for (int i = 0; i < 3; ++i) {
        const auto last = m_view.Last(ids[i]);
        ASSERT_TRUE(last.has_value());
        EXPECT_EQ(last->kind, Kind::Failed);
        EXPECT_NE(last->reason.find((m_dir / "src" / "gone.png").string()), std::string::npos);
    }
    EXPECT_TRUE(test::WaitUntil([&] { return Running().empty(); }, kTimeout));
}

TEST_F(ImageDispatcherTest, NeverQueuedAgainWhileRunning) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage("a.png");
    ASSERT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(WaitForResults(1));

    EXPECT_EQ(m_tasks.Enqueue(id), QueueStatus::Running);
    const std::int32_t ids[] = {id};
    EXPECT_EQ(m_tasks.EnqueueAll(ids), 0u);
    EXPECT_TRUE(Waiting().empty());
    EXPECT_EQ(Running(), std::vector<std::int32_t>{id});
    EXPECT_FALSE(m_tasks.Remove(id));

    m_completion->OnImageDone(Results()[0]);
    // Finished: it may run again, into a new numbered file.
    EXPECT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    ASSERT_TRUE(WaitForResults(2));
    m_completion->OnImageDone(Results()[1]);
    EXPECT_EQ(Results()[1].outputPath, m_dir / "out" / "a(2).png");
}

TEST_F(ImageDispatcherTest, QueueingAWaitingTaskChangesNothing) {
    Manual();  // not started: tasks stay waiting
    const std::int32_t a = AddImage("a.png");
    const std::int32_t b = AddImage("b.png");
    EXPECT_EQ(m_tasks.Enqueue(a), QueueStatus::Queued);
    EXPECT_EQ(m_tasks.Enqueue(b), QueueStatus::Queued);
    EXPECT_EQ(m_tasks.Enqueue(a), QueueStatus::AlreadyWaiting);
    const std::int32_t both[] = {b, a};
    EXPECT_EQ(m_tasks.EnqueueAll(both), 0u);
    EXPECT_EQ(Waiting(), (std::vector<std::int32_t>{a, b}));
    EXPECT_EQ(m_tasks.Enqueue(12345), QueueStatus::UnknownTask);
    EXPECT_FALSE(m_tasks.Remove(a));
}

TEST_F(ImageDispatcherTest, FinishedRowShowsSizeAndSaving) {
    Automatic();
    const fs::path source = test::MakeGradientImage(m_dir / "src" / "s.png", 60, 40, "PNG");
    const auto actual = static_cast<std::int64_t>(fs::file_size(source));
    const std::int32_t same = m_tasks.Add({"s.png", {}, source, actual, {}});
    const std::int32_t tiny = m_tasks.Add({"s.png", {}, source, 10, {}});
    const std::int32_t empty = m_tasks.Add({"s.png", {}, source, 0, {}});
    const std::int32_t all[] = {same, tiny, empty};
    ASSERT_EQ(m_tasks.EnqueueAll(all), 3u);
    ASSERT_TRUE(m_dispatcher->Start());
    ASSERT_TRUE(test::WaitUntil([&] { return m_view.Ids(Kind::Finished).size() == 3; }, kTimeout));

    for (const std::int32_t id : all) {
        const TaskOutcome outcome = m_view.Last(id)->finished;
        const auto outputSize = static_cast<std::int64_t>(fs::file_size(outcome.outputPath));
        EXPECT_EQ(outcome.outputSize, outputSize);
        EXPECT_EQ(outcome.sourceSize, m_tasks.Find(id)->fileSize);
        EXPECT_EQ(outcome.saving, ComputeSaving(outcome.sourceSize, outputSize));
    }
    // A 10-byte "source" grew: a negative figure.
    const TaskOutcome grown = m_view.Last(tiny)->finished;
    EXPECT_EQ(grown.state, OutcomeState::NotSmaller);
    ASSERT_TRUE(grown.saving.has_value());
    EXPECT_LT(*grown.saving, 0.0f);
    // A source of 0 bytes gives no figure at all.
    EXPECT_EQ(m_view.Last(empty)->finished.state, OutcomeState::EmptySource);
    EXPECT_FALSE(m_view.Last(empty)->finished.saving.has_value());
}

TEST_F(ImageDispatcherTest, VanishedOutputIsShownAsFailure) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage("a.png");
    ASSERT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(WaitForResults(1));
    const ImageResult result = Results()[0];
    ASSERT_TRUE(result.ok);
    fs::remove(result.outputPath);
    m_completion->OnImageDone(result);
    const auto last = m_view.Last(id);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->kind, Kind::Failed);
    EXPECT_NE(last->reason.find("missing"), std::string::npos) << last->reason;
    EXPECT_TRUE(Running().empty());
}

TEST_F(ImageDispatcherTest, ResultWithoutARunningJobIsDropped) {
    Manual();
    const std::int32_t id = AddImage("a.png");
    ASSERT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    const std::size_t before = m_view.events().size();
    ImageResult stray;
    stray.taskId = id;
    stray.ok = true;
    stray.outputPath = m_dir / "src" / "a.png";
    m_completion->OnImageDone(stray);
    EXPECT_EQ(m_view.events().size(), before);
    EXPECT_EQ(Waiting(), std::vector<std::int32_t>{id});
}

TEST_F(ImageDispatcherTest, SettingsAreTakenAtDispatchNotAtQueueing) {
    ImageDispatcher& dispatcher = Automatic();
    const std::int32_t id = AddImage("a.png");  // 40 x 30
    ASSERT_EQ(m_tasks.Enqueue(id), QueueStatus::Queued);
    ImageOptions custom;
    custom.customSize = PixelSize{20, 20};
    m_options.Set(custom);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view.Ids(Kind::Finished).empty(); }, kTimeout));
    const auto frames = test::ReadFrames(m_view.Last(id)->finished.outputPath);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].columns(), 20u);
    EXPECT_EQ(frames[0].rows(), 15u);
}

TEST_F(ImageDispatcherTest, StopWaitsForRunningJobsAndEndsCleanly) {
    // Results are not handed back, so no slot frees up: three jobs run, the rest wait.
    ImageDispatcher& dispatcher = Manual();
    const fs::path first =
        test::MakeAnimation(m_dir / "src" / "g0.gif", 64, 48, std::vector<std::size_t>(12, 5));
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 6; ++i) {
        const fs::path gif = m_dir / "src" / ("g" + std::to_string(i) + ".gif");
        if (i > 0) fs::copy_file(first, gif);
        ids.push_back(m_tasks.Add({gif.filename().string(), {}, gif, 1000, {}}));
    }
    ImageOptions scaled;
    scaled.scaleStep = 3;
    m_options.Set(scaled);
    ASSERT_EQ(m_tasks.EnqueueAll(ids), ids.size());
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view.Ids(Kind::Running).empty(); }, kTimeout));
    dispatcher.Stop();
    dispatcher.Stop();  // twice is fine
    EXPECT_FALSE(dispatcher.Start());
    EXPECT_TRUE(Running().empty());
    EXPECT_LE(m_view.Ids(Kind::Running).size(), ImageTaskList::kMaxRunningJobs);
    // Whatever was written is a whole animation; stopped jobs left nothing.
    for (const auto& entry : fs::directory_iterator(m_dir / "out")) {
        EXPECT_EQ(test::ReadFrames(entry.path()).size(), 12u) << entry.path();
    }
    EXPECT_TRUE(test::FilesStartingWith(m_dir / "data" / "Brisklo" / "Temp", "image-tmp-").empty());
}

TEST_F(ImageDispatcherTest, IdsComeFromTheSharedCounter) {
    const std::int32_t video = m_ids.Next();  // a video added first
    const std::int32_t image = m_tasks.Add({"a.png", {}, "/x/a.png", 1, {}});
    EXPECT_EQ(image, video + 1);
    EXPECT_EQ(m_ids.Next(), image + 1);
    EXPECT_TRUE(m_tasks.Remove(image));
    EXPECT_FALSE(m_tasks.Find(image).has_value());
}

}  // namespace
}  // namespace brisklo
