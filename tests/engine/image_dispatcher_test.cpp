#include "image/image_dispatcher.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "core/file_utils.h"
#include "core/saving.h"
#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

constexpr auto kTimeout = 20s;

// Records what the dispatcher shows on the rows.
class RecordingRowView : public ImageRowView {
  public:
    enum class Kind { Waiting, Running, Finished, Failed };
    struct Event {
        Kind kind;
        std::int32_t id;
        ImageRowFinished finished;
        ImageRowFailed failed;
    };

    void ShowWaiting(std::int32_t id) override { Add({Kind::Waiting, id, {}, {}}); }
    void ShowRunning(std::int32_t id, const ImageRowRunning& row) override {
        EXPECT_EQ(row.progressText, kImageRunningText);
        EXPECT_EQ(row.buttonText, kImageRunningButtonText);
        Add({Kind::Running, id, {}, {}});
    }
    void ShowFinished(std::int32_t id, const ImageRowFinished& row) override {
        Add({Kind::Finished, id, row, {}});
    }
    void ShowFailed(std::int32_t id, const ImageRowFailed& row) override {
        Add({Kind::Failed, id, {}, row});
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

class ImageDispatcherTest : public ::testing::Test {
  protected:
    ImageDispatcherTest() {
        fs::create_directories(m_dir / "src");
        fs::create_directories(m_dir / "out");
        fs::create_directories(m_dir / "tmp");
        m_settings.outputDir = m_dir / "out";
        m_settings.tempDir = m_dir / "tmp";
        // These tests look at what the encoder made, even when it is larger than
        // its source; keeping the original instead is tested on its own.
        m_settings.keepOriginalIfLarger = false;
    }

    // A dispatcher whose results the test hands over itself (RecordingSink).
    ImageDispatcher& Manual() {
        m_dispatcher = std::make_unique<ImageDispatcher>(m_ids, m_sink, m_view, Provider());
        return *m_dispatcher;
    }

    // A dispatcher whose results a UI loop handles as they come.
    ImageDispatcher& Automatic() {
        m_dispatcher = std::make_unique<ImageDispatcher>(m_ids, m_loop, m_view, Provider());
        m_loop.SetHandler([this](MessageId id, const std::any& payload) {
            m_dispatcher->HandleMessage(id, payload);
        });
        return *m_dispatcher;
    }

    ImageSettingsProvider Provider() {
        return [this]() -> Result<ImageJobSettings> {
            std::lock_guard lock(m_settingsMutex);
            if (!m_settingsError.empty()) return Error{m_settingsError};
            return m_settings;
        };
    }

    ~ImageDispatcherTest() override {
        if (m_dispatcher) m_dispatcher->Stop();
        m_loop.SetHandler({});
        m_dispatcher.reset();
    }

    // Adds a small PNG as a task whose recorded size is the file's.
    std::int32_t AddImage(ImageDispatcher& dispatcher, const std::string& name) {
        const fs::path path = test::MakeGradientImage(m_dir / "src" / name, 40, 30, "PNG");
        return dispatcher.AddTask({name, {}, path, static_cast<std::int64_t>(fs::file_size(path))});
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

    TempDir m_dir;
    TaskIdCounter m_ids;
    test::RecordingSink m_sink;
    UiLoop m_loop;
    RecordingRowView m_view;
    std::mutex m_settingsMutex;
    ImageJobSettings m_settings;
    std::string m_settingsError;
    std::unique_ptr<ImageDispatcher> m_dispatcher;
};

using Kind = RecordingRowView::Kind;
const CustomSizeFields kNoCustomSize{};

TEST_F(ImageDispatcherTest, ThreeRunAtOnceAndTheFourthWaitsForAHandledResult) {
    ImageDispatcher& dispatcher = Manual();
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 5; ++i)
        ids.push_back(AddImage(dispatcher, "p" + std::to_string(i) + ".png"));
    EXPECT_EQ(dispatcher.QueueAll(ids, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());

    ASSERT_TRUE(WaitForResults(3));
    // The jobs are done, but their slots stay taken until the results are handled.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_sink.Count(MessageId::ImageDone), 3u);
    EXPECT_EQ(m_view.Ids(Kind::Running), (std::vector<std::int32_t>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(dispatcher.RunningIds(), (std::vector<std::int32_t>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(dispatcher.WaitingIds(), (std::vector<std::int32_t>{ids[3], ids[4]}));

    const std::vector<ImageResult> first = Results();
    dispatcher.OnImageDone(first[0]);
    ASSERT_TRUE(WaitForResults(4));
    EXPECT_EQ(m_view.Ids(Kind::Running).size(), 4u);
    EXPECT_EQ(m_view.Ids(Kind::Running).back(), ids[3]);
    EXPECT_EQ(dispatcher.WaitingIds(), (std::vector<std::int32_t>{ids[4]}));

    dispatcher.OnImageDone(first[1]);
    ASSERT_TRUE(WaitForResults(5));
    EXPECT_EQ(m_view.Ids(Kind::Running).back(), ids[4]);
    for (const ImageResult& result : Results()) {
        if (result.taskId != first[0].taskId && result.taskId != first[1].taskId) {
            dispatcher.OnImageDone(result);
        }
    }
    EXPECT_EQ(m_view.Ids(Kind::Finished).size(), 5u);
    EXPECT_TRUE(dispatcher.RunningIds().empty());
    EXPECT_TRUE(dispatcher.WaitingIds().empty());
}

TEST_F(ImageDispatcherTest, FailingJobsDoNotBlockTheQueue) {
    ImageDispatcher& dispatcher = Automatic();
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 3; ++i) {
        ids.push_back(dispatcher.AddTask({"gone.png", {}, m_dir / "src" / "gone.png", 100}));
    }
    ids.push_back(AddImage(dispatcher, "fine.png"));
    for (const std::int32_t id : ids) {
        EXPECT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
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
        EXPECT_EQ(last->failed.progressText, kImageFailedText);
        EXPECT_EQ(last->failed.buttonText, kImageFailedButtonText);
        EXPECT_NE(last->failed.reason.find((m_dir / "src" / "gone.png").string()),
                  std::string::npos);
    }
    EXPECT_TRUE(test::WaitUntil([&] { return dispatcher.RunningIds().empty(); }, kTimeout));
}

TEST_F(ImageDispatcherTest, NeverQueuedAgainWhileRunning) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage(dispatcher, "a.png");
    ASSERT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(WaitForResults(1));

    EXPECT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Running);
    const std::int32_t ids[] = {id};
    EXPECT_EQ(dispatcher.QueueAll(ids, kNoCustomSize).status, QueueStatus::AlreadyWaiting);
    EXPECT_TRUE(dispatcher.WaitingIds().empty());
    EXPECT_EQ(dispatcher.RunningIds(), std::vector<std::int32_t>{id});
    EXPECT_FALSE(dispatcher.RemoveTask(id));

    dispatcher.OnImageDone(Results()[0]);
    // Finished: it may run again, into a new numbered file.
    EXPECT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(WaitForResults(2));
    dispatcher.OnImageDone(Results()[1]);
    EXPECT_EQ(Results()[1].outputPath, m_dir / "out" / "a(2).png");
}

TEST_F(ImageDispatcherTest, QueueingAWaitingTaskChangesNothing) {
    ImageDispatcher& dispatcher = Manual();  // not started: tasks stay waiting
    const std::int32_t a = AddImage(dispatcher, "a.png");
    const std::int32_t b = AddImage(dispatcher, "b.png");
    EXPECT_EQ(dispatcher.QueueTask(a, kNoCustomSize).status, QueueStatus::Queued);
    EXPECT_EQ(dispatcher.QueueTask(b, kNoCustomSize).status, QueueStatus::Queued);
    EXPECT_EQ(dispatcher.QueueTask(a, kNoCustomSize).status, QueueStatus::AlreadyWaiting);
    const std::int32_t both[] = {b, a};
    EXPECT_EQ(dispatcher.QueueAll(both, kNoCustomSize).status, QueueStatus::AlreadyWaiting);
    EXPECT_EQ(dispatcher.WaitingIds(), (std::vector<std::int32_t>{a, b}));
    EXPECT_EQ(dispatcher.QueueTask(12345, kNoCustomSize).status, QueueStatus::UnknownTask);
    EXPECT_FALSE(dispatcher.RemoveTask(a));
}

TEST_F(ImageDispatcherTest, SizeFieldsAreCheckedBeforeAnythingChanges) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage(dispatcher, "a.png");
    QueueOutcome outcome = dispatcher.QueueTask(id, {true, "12a", "30"});
    EXPECT_EQ(outcome.status, QueueStatus::Refused);
    EXPECT_EQ(outcome.notice, kWidthNotNumberNotice);
    outcome = dispatcher.QueueTask(id, {true, "", "30"});
    EXPECT_EQ(outcome.notice, kEnterWidthNotice);
    const std::int32_t ids[] = {id};
    outcome = dispatcher.QueueAll(ids, {true, "12", "x"});
    EXPECT_EQ(outcome.status, QueueStatus::Refused);
    EXPECT_EQ(outcome.notice, kHeightNotNumberNotice);
    EXPECT_TRUE(m_view.events().empty());  // the row was not touched
    EXPECT_TRUE(dispatcher.WaitingIds().empty());
    // The custom size option off: the fields do not matter.
    EXPECT_EQ(dispatcher.QueueTask(id, {false, "12a", ""}).status, QueueStatus::Queued);
    EXPECT_EQ(m_view.Ids(Kind::Waiting), std::vector<std::int32_t>{id});
}

TEST_F(ImageDispatcherTest, CompressAllWithoutImages) {
    ImageDispatcher& dispatcher = Manual();
    const QueueOutcome outcome = dispatcher.QueueAll({}, kNoCustomSize);
    EXPECT_EQ(outcome.status, QueueStatus::Refused);
    EXPECT_EQ(outcome.notice, kNoImagesNotice);
}

TEST_F(ImageDispatcherTest, FinishedRowShowsSizeAndSaving) {
    ImageDispatcher& dispatcher = Automatic();
    const fs::path source = test::MakeGradientImage(m_dir / "src" / "s.png", 60, 40, "PNG");
    const auto actual = static_cast<std::int64_t>(fs::file_size(source));
    const std::int32_t same = dispatcher.AddTask({"s.png", {}, source, actual});
    const std::int32_t tiny = dispatcher.AddTask({"s.png", {}, source, 10});
    const std::int32_t empty = dispatcher.AddTask({"s.png", {}, source, 0});
    const std::int32_t all[] = {same, tiny, empty};
    ASSERT_EQ(dispatcher.QueueAll(all, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return m_view.Ids(Kind::Finished).size() == 3; }, kTimeout));

    for (const std::int32_t id : all) {
        const ImageRowFinished row = m_view.Last(id)->finished;
        const auto outputSize = static_cast<std::int64_t>(fs::file_size(row.outputPath));
        EXPECT_EQ(row.progressText, kImageDoneText);
        EXPECT_EQ(row.buttonText, kImageDoneButtonText);
        EXPECT_EQ(row.outputSize, outputSize);
        EXPECT_EQ(row.sizeText, FormatFileSize(outputSize));
        EXPECT_EQ(row.sourceSize, dispatcher.FindTask(id)->fileSize);
        const auto percent = ComputeSaving(row.sourceSize, outputSize);
        ASSERT_EQ(row.savingText.has_value(), percent.has_value());
        if (percent) {
            EXPECT_EQ(*row.savingText, SavingText(*percent));
            EXPECT_EQ(row.savingColor, SavingColor(*percent));
        }
    }
    // A 10-byte "source" grew: a negative figure, in red.
    const ImageRowFinished grown = m_view.Last(tiny)->finished;
    EXPECT_EQ(grown.savingColor, kGrowthColor);
    ASSERT_TRUE(grown.savingText.has_value());
    EXPECT_EQ(grown.savingText->front(), '-');
    // A source of 0 bytes gives no figure at all.
    EXPECT_FALSE(m_view.Last(empty)->finished.savingText.has_value());
}

TEST_F(ImageDispatcherTest, VanishedOutputIsShownAsFailure) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage(dispatcher, "a.png");
    ASSERT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(WaitForResults(1));
    const ImageResult result = Results()[0];
    ASSERT_TRUE(result.ok);
    fs::remove(result.outputPath);
    dispatcher.OnImageDone(result);
    const auto last = m_view.Last(id);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->kind, Kind::Failed);
    EXPECT_NE(last->failed.reason.find("missing"), std::string::npos) << last->failed.reason;
    EXPECT_TRUE(dispatcher.RunningIds().empty());
}

TEST_F(ImageDispatcherTest, ResultWithoutARunningJobIsDropped) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t id = AddImage(dispatcher, "a.png");
    ASSERT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    const std::size_t before = m_view.events().size();
    ImageResult stray;
    stray.taskId = id;
    stray.ok = true;
    stray.outputPath = m_dir / "src" / "a.png";
    EXPECT_TRUE(dispatcher.HandleMessage(MessageId::ImageDone, stray));
    EXPECT_FALSE(dispatcher.HandleMessage(MessageId::CompressImageAgain, id));
    EXPECT_EQ(m_view.events().size(), before);
    EXPECT_EQ(dispatcher.WaitingIds(), std::vector<std::int32_t>{id});
}

TEST_F(ImageDispatcherTest, SettingsErrorFailsTheTaskAndFreesItsSlot) {
    ImageDispatcher& dispatcher = Automatic();
    m_settingsError = "the output folder /nowhere cannot be made";
    const std::int32_t id = AddImage(dispatcher, "a.png");
    ASSERT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view.Ids(Kind::Failed).empty(); }, kTimeout));
    const auto failed = m_view.Last(id)->failed;
    EXPECT_NE(failed.reason.find("a.png: the output folder /nowhere cannot be made"),
              std::string::npos)
        << failed.reason;
    EXPECT_TRUE(test::WaitUntil([&] { return dispatcher.RunningIds().empty(); }, kTimeout));
}

TEST_F(ImageDispatcherTest, SettingsAreTakenAtDispatchNotAtQueueing) {
    ImageDispatcher& dispatcher = Automatic();
    const std::int32_t id = AddImage(dispatcher, "a.png");  // 40 x 30
    ASSERT_EQ(dispatcher.QueueTask(id, kNoCustomSize).status, QueueStatus::Queued);
    {
        std::lock_guard lock(m_settingsMutex);
        m_settings.defineSize = 1;
        m_settings.width = 20;
        m_settings.height = 20;
    }
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view.Ids(Kind::Finished).empty(); }, kTimeout));
    const auto frames = test::ReadFrames(m_view.Last(id)->finished.outputPath);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].columns(), 20u);
    EXPECT_EQ(frames[0].rows(), 15u);
}

TEST_F(ImageDispatcherTest, StopWaitsForRunningJobsAndEndsCleanly) {
    ImageDispatcher& dispatcher = Automatic();
    const fs::path first =
        test::MakeAnimation(m_dir / "src" / "g0.gif", 64, 48, std::vector<std::size_t>(12, 5));
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 6; ++i) {
        const fs::path gif = m_dir / "src" / ("g" + std::to_string(i) + ".gif");
        if (i > 0) fs::copy_file(first, gif);
        ids.push_back(dispatcher.AddTask({gif.filename().string(), {}, gif, 1000}));
    }
    {
        std::lock_guard lock(m_settingsMutex);
        m_settings.ratioIndex = 3;
    }
    ASSERT_EQ(dispatcher.QueueAll(ids, kNoCustomSize).status, QueueStatus::Queued);
    ASSERT_TRUE(dispatcher.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return !m_view.Ids(Kind::Running).empty(); }, kTimeout));
    dispatcher.Stop();
    dispatcher.Stop();  // twice is fine
    EXPECT_FALSE(dispatcher.Start());
    EXPECT_TRUE(dispatcher.RunningIds().empty());
    EXPECT_LE(m_view.Ids(Kind::Running).size(), ImageDispatcher::kMaxRunningJobs);
    // Whatever was written is a whole animation; stopped jobs left nothing.
    for (const auto& entry : fs::directory_iterator(m_dir / "out")) {
        EXPECT_EQ(test::ReadFrames(entry.path()).size(), 12u) << entry.path();
    }
    EXPECT_TRUE(test::FilesStartingWith(m_dir / "tmp", "image-tmp-").empty());
}

TEST_F(ImageDispatcherTest, IdsComeFromTheSharedCounter) {
    ImageDispatcher& dispatcher = Manual();
    const std::int32_t video = m_ids.Next();  // a video added first
    const std::int32_t image = dispatcher.AddTask({"a.png", {}, "/x/a.png", 1});
    EXPECT_EQ(image, video + 1);
    EXPECT_EQ(m_ids.Next(), image + 1);
    EXPECT_TRUE(dispatcher.RemoveTask(image));
    EXPECT_FALSE(dispatcher.FindTask(image).has_value());
}

}  // namespace
}  // namespace brisklo
