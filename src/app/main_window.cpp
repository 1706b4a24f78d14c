#include "app/main_window.h"

#include <system_error>
#include <utility>

#include "app/action_texts.h"
#include "app/close_policy.h"
#include "app/desktop_options.h"
#include "app/duration_probe.h"
#include "app/file_adding.h"
#include "app/file_drop.h"
#include "app/image_list_view.h"
#include "app/option_binding.h"
#include "app/output_folder_bar.h"
#include "app/parameter_messages.h"
#include "app/row_actions.h"
#include "app/row_texts.h"
#include "app/shortcuts.h"
#include "app/tray_icon.h"
#include "app/video_list_view.h"
#include "app/window_texts.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/log.h"
#include "core/pending_output.h"
#include "dialogs/feedback_dialog.h"
#include "dialogs/message_boxes.h"
#include "dialogs/upgrade_check_runner.h"
#include "image/image_completion.h"
#include "image/image_dispatcher.h"
#include "ui/controls.h"
#include "video/video_completion.h"
#include "video/video_worker.h"

namespace brisklo::app {
namespace fs = std::filesystem;

MainWindow::MainWindow(ConfigStore& config, fs::path encoder, QWidget* owner)
    : ui::WindowBase(owner), m_config(config), m_encoder(std::move(encoder)) {
    setWindowFlags(Qt::Window);
}

MainWindow::~MainWindow() { StopWorkers(); }

void MainWindow::initWindow() {
    setWindowTitle(window_text::Title());
    m_options = std::make_unique<DesktopOptions>(m_config);
    m_binding = std::make_unique<OptionBinding>(this, m_config, *m_options);
    m_binding->Load();
    m_adding = std::make_unique<FileAdding>(*this);
    new FileDrop(this, [this](const auto& paths) { m_adding->AddPaths(paths, shownKind()); });
    AddShortcuts(this);
    m_durations = std::make_unique<DurationProbe>(this, [this](std::int32_t id, double seconds) {
        if (const TaskRow* row = m_videoView->Find(id))
            ui::SetText(row->duration, FormatDuration(seconds));
    });
    // Hidden outputs that a run ended by a crash or a kill left behind.
    if (const int removed = RemoveLeftoverOutputs(m_config.OutputFolderPath()); removed > 0) {
        LogLine("removed %d unfinished output(s) of an earlier run\n", removed);
    }
    m_videoView = std::make_unique<VideoListView>(this, control(QStringLiteral("videoList")));
    m_videoView->SetTally(&m_tally);
    for (const char* option : {"video-compress-check", "video-compress-slider",
                               "video-compress-balanced-check", "all-compress", "videoEmpty"}) {
        control(QString::fromLatin1(option));
    }
    m_videoCompletion = std::make_unique<VideoCompletion>(m_videoModel, *m_videoView);
    m_videoWorker = std::make_unique<VideoWorker>(m_videoModel, *m_options, m_config, *m_videoView,
                                                  *postBox(), m_encoder);
    m_videoWorker->Start();

    m_imageView = std::make_unique<ImageListView>(this, control(QStringLiteral("image-list")));
    m_imageView->SetTally(&m_tally);
    for (const char* option : {"image-define-param", "all-image-compress", "imageEmpty"}) {
        control(QString::fromLatin1(option));
    }
    m_images = std::make_unique<ImageDispatcher>(m_imageTasks, *m_options, m_config, *m_imageView,
                                                 *postBox());
    m_imageCompletion = std::make_unique<ImageCompletion>(m_imageTasks, *m_images, *m_imageView);
    if (!m_images->Start()) LogLine("cannot start the image dispatcher\n");
    m_rowActions = std::make_unique<RowActions>(*this, m_config);
    m_rowActions->InstallListActions();
    // The strip is a child of this window, which deletes it.
    m_rowActions->SetOutputFolderBar(new OutputFolderBar(*this, m_config, *m_rowActions));
    m_tray = std::make_unique<TrayIcon>(*this);
}

CustomSizeFields MainWindow::ReadSizeFields() const {
    CustomSizeFields fields;
    fields.enabled = ui::IsChecked(control(QStringLiteral("image-define-param")));
    fields.width = ui::Text(control(QStringLiteral("image-width"))).toStdString();
    fields.height = ui::Text(control(QStringLiteral("image-height"))).toStdString();
    return fields;
}

void MainWindow::ShowNotice(const QString& text) {
    try {
        dialogs::ShowPromptBox(this, text);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

std::int32_t MainWindow::AddImage(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error) return -1;
    ImageTask task{file.filename().string(), "", fs::absolute(file, error),
                   static_cast<std::int64_t>(size)};
    const std::int32_t id = m_imageTasks.Add(task);
    QWidget* row = m_imageView->AddRow(id, task).row;
    wireNotifications(row);
    NameForAccessibility(row);
    control(QStringLiteral("imageEmpty"))->hide();
    return id;
}

bool MainWindow::RefusedForSize() {
    const auto problem = CheckCustomSize(ReadSizeFields());
    if (problem) ShowNotice(SizeProblemNotice(*problem));
    return problem.has_value();
}

void MainWindow::CompressImage(std::int32_t taskId) {
    if (RefusedForSize()) return;
    // The row shows the wait before the id is queued: once queued, the dispatcher
    // may show it running at any moment.
    if (m_imageTasks.queue().IsQueued(taskId) || !m_imageTasks.Contains(taskId)) return;
    m_imageView->ShowWaiting(taskId);
    (void)m_imageTasks.Enqueue(taskId);
}

void MainWindow::CompressAllImages() {
    if (RefusedForSize()) return;
    if (m_imageTasks.Empty()) {
        ShowNotice(NoImagesNotice());
        return;
    }
    std::vector<std::int32_t> ids;
    for (const std::int32_t id : m_imageView->CheckedIds()) {
        if (m_imageTasks.queue().IsQueued(id)) continue;
        m_imageView->ShowWaiting(id);
        ids.push_back(id);
    }
    m_imageTasks.EnqueueAll(ids);
}

std::int32_t MainWindow::AddVideo(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error) return -1;
    VideoTask task{file.filename().string(), "", fs::absolute(file, error).string(),
                   static_cast<std::int64_t>(size)};
    const std::int32_t id = m_videoModel.Add(task);
    const TaskRow& row = m_videoView->AddRow(id, task, 0);
    // Probed on its own thread, so adding many files keeps the window responsive.
    ui::SetText(row.duration, QString());
    m_durations->Ask(id, task.fullPath);
    wireNotifications(row.row);
    NameForAccessibility(row.row);
    // The large "add files" hint gives way to the list once it has rows.
    control(QStringLiteral("videoEmpty"))->hide();
    return id;
}

void MainWindow::CompressVideo(std::int32_t taskId) {
    if (m_videoModel.queue().IsQueued(taskId)) return;
    m_videoView->ShowWaiting(taskId);
    (void)m_videoModel.Enqueue(taskId);
}

void MainWindow::CompressAllVideos() {
    if (m_videoView->RowCount() == 0) {
        ShowNotice(action_text::NoVideosNotice());
        return;
    }
    std::vector<std::int32_t> ids;
    for (const std::int32_t id : m_videoView->CheckedIds()) {
        if (m_videoModel.queue().IsQueued(id)) continue;
        m_videoView->ShowWaiting(id);
        ids.push_back(id);
    }
    m_videoModel.EnqueueAll(ids);
}

bool MainWindow::StopVideo(std::int32_t taskId) {
    return m_videoWorker && m_videoWorker->StopTask(taskId);
}

bool MainWindow::StopImage(std::int32_t taskId) { return m_images && m_images->StopTask(taskId); }

void MainWindow::StartUpgradeCheck(bool quiet) {
    if (!m_upgradeCheck) m_upgradeCheck = std::make_unique<dialogs::UpgradeCheckRunner>(this);
    m_upgradeCheck->Start(m_config.GetText(Setting::ServiceUrl), quiet, m_dialogEnvironment);
}

bool MainWindow::upgradeCheckBusy() const { return m_upgradeCheck && m_upgradeCheck->busy(); }

void MainWindow::OpenFeedback() {
    dialogs::FeedbackDialog dialog(this, m_config.GetText(Setting::ServiceUrl),
                                   m_dialogEnvironment);
    try {
        dialog.create();
    } catch (const ui::SkinError& error) {
        LogLine("cannot show the feedback dialog: %s\n", error.what());
        return;
    }
    dialog.runModal();
}

MediaKind MainWindow::shownKind() const {
    return ui::CurrentIndex(control(QStringLiteral("main-tab"))) == 1 ? MediaKind::Image
                                                                      : MediaKind::Video;
}

void MainWindow::notify(const ui::Notification& n) {
    if (m_binding && m_binding->Handle(n)) return;
    if (m_rowActions && m_rowActions->Notify(n)) return;
    if (n.type != ui::kClick || !n.sender) return;
    if (m_adding->HandleClick(n.senderName)) return;
    if (n.senderName == QStringLiteral("compressBtn")) {
        CompressVideo(ui::Tag(n.sender));
    } else if (n.senderName == QStringLiteral("all-compress")) {
        CompressAllVideos();
    } else if (n.senderName == QStringLiteral("imageCompressBtn")) {
        CompressImage(ui::Tag(n.sender));
    } else if (n.senderName == QStringLiteral("all-image-compress")) {
        CompressAllImages();
    } else if (n.senderName == QStringLiteral("feedback")) {
        OpenFeedback();
    }
}

int MainWindow::handleCustomMessage(int number, const std::any& payload, bool& handled) {
    if (DispatchParameterMessage(static_cast<MessageId>(number), payload, m_videoModel,
                                 *m_videoView)) {
        return 1;
    }
    if (number == static_cast<int>(MessageId::MenuUpgrade)) {
        StartUpgradeCheck(/*quiet=*/false);
        return 0;
    }
    if (number == static_cast<int>(MessageId::MenuQuit)) {
        m_quitFromMenu = true;
        reject();
        return 0;
    }
    if (m_rowActions && m_rowActions->Handle(static_cast<MessageId>(number), payload)) return 0;
    if (number == static_cast<int>(MessageId::CompressImageAgain)) {
        if (const auto* id = std::any_cast<std::int32_t>(&payload)) CompressImage(*id);
        return 0;
    }
    if ((m_imageCompletion &&
         m_imageCompletion->Dispatch(static_cast<MessageId>(number), payload)) ||
        (m_videoCompletion &&
         m_videoCompletion->Dispatch(static_cast<MessageId>(number), payload))) {
        ReportBatchEnd();
        // Handled here; the framework's default handling still sees it.
        handled = false;
        return 0;
    }
    return ui::WindowBase::handleCustomMessage(number, payload, handled);
}

void MainWindow::ReportBatchEnd() {
    if (m_tally.Empty()) return;
    const bool idle =
        m_videoModel.queue().WaitingIds().empty() && m_videoModel.queue().RunningIds().empty() &&
        m_imageTasks.queue().WaitingIds().empty() && m_imageTasks.queue().RunningIds().empty();
    if (!idle) return;
    const BatchSummary summary = m_tally.Take();
    // Someone looking at the window sees the rows; a notice is for someone who is not.
    if (!isActiveWindow() && m_tray)
        m_tray->ShowNotice(BatchEndedTitle(), BatchSummaryText(summary));
}

void MainWindow::onFinalMessage() {
    StopWorkers();
    m_tray.reset();
}

bool MainWindow::onClose() {
    CloseRequest request;
    request.fromQuitItem = std::exchange(m_quitFromMenu, false);
    request.windowCloseSetting = m_config.Get(Setting::WindowClose);
    request.videoRunning = !m_videoModel.queue().RunningIds().empty();
    const CloseAnswer answer = DecideClose(request, [this] {
        try {
            return dialogs::ShowMessageBox(this, action_text::QuitWhileEncoding()) != 0;
        } catch (const ui::SkinError& error) {
            // Without the question the user could never leave: quitting stops
            // the encode cleanly.
            LogLine("%s\n", error.what());
            return true;
        }
    });
    if (answer == CloseAnswer::Minimise) showMinimized();
    return answer == CloseAnswer::Close;
}

void MainWindow::StopWorkers() {
    if (m_durations) m_durations->Stop();
    if (m_videoWorker) m_videoWorker->Stop();
    if (m_images) m_images->Stop();
}

}  // namespace brisklo::app
