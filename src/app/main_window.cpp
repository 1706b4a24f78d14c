#include "app/main_window.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <system_error>

#include "app/image_list_view.h"
#include "app/video_list_view.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/log.h"
#include "core/pending_output.h"
#include "dialogs/feedback_dialog.h"
#include "dialogs/message_boxes.h"
#include "dialogs/upgrade_check_runner.h"
#include "image/image_dispatcher.h"
#include "ui/controls.h"
#include "video/media_probe.h"
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
    // Hidden outputs that a run ended by a crash or a kill left behind.
    if (const int removed = RemoveLeftoverOutputs(m_config.OutputFolderPath()); removed > 0) {
        LogLine("removed %d unfinished output(s) of an earlier run\n", removed);
    }
    m_videoView = std::make_unique<VideoListView>(this, control(QStringLiteral("videoList")));
    for (const char* option : {"video-compress-check", "video-compress-slider",
                               "video-compress-balanced-check", "all-compress", "videoEmpty"}) {
        control(QString::fromLatin1(option));
    }
    m_videoCompletion = std::make_unique<VideoCompletion>(m_videoModel, *m_videoView);
    m_videoWorker =
        std::make_unique<VideoWorker>(m_videoModel, m_config, *m_videoView, *postBox(), m_encoder);
    m_videoWorker->Start();

    m_imageView = std::make_unique<ImageListView>(this, control(QStringLiteral("image-list")));
    for (const char* option : {"image-define-param", "all-image-compress", "imageEmpty"}) {
        control(QString::fromLatin1(option));
    }
    // The dispatcher reads the size fields on its own thread: it gets a copy kept
    // current here, never the widgets.
    auto keepSnapshot = [this] {
        const CustomSizeFields fields = ReadSizeFields();
        std::lock_guard lock(m_sizeMutex);
        m_sizeSnapshot = fields;
    };
    for (const char* field : {"image-width", "image-height"}) {
        connect(control<QLineEdit>(QString::fromLatin1(field)), &QLineEdit::textChanged, this,
                keepSnapshot);
    }
    connect(control<QAbstractButton>(QStringLiteral("image-define-param")),
            &QAbstractButton::toggled, this, keepSnapshot);
    keepSnapshot();
    m_images = std::make_unique<ImageDispatcher>(
        m_ids, *postBox(), *m_imageView, [this]() -> Result<ImageJobSettings> {
            CustomSizeFields size;
            {
                std::lock_guard lock(m_sizeMutex);
                size = m_sizeSnapshot;
            }
            return ImageJobSettingsFrom(m_config, SizeFieldValue(size.width),
                                        SizeFieldValue(size.height));
        });
    if (!m_images->Start()) LogLine("cannot start the image dispatcher\n");
}

CustomSizeFields MainWindow::ReadSizeFields() const {
    CustomSizeFields fields;
    fields.enabled = ui::IsChecked(control(QStringLiteral("image-define-param")));
    fields.width = ui::Text(control(QStringLiteral("image-width"))).toStdString();
    fields.height = ui::Text(control(QStringLiteral("image-height"))).toStdString();
    return fields;
}

void MainWindow::ShowNotice(const std::string& text) {
    try {
        dialogs::ShowPromptBox(this, QString::fromStdString(text));
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
    const std::int32_t id = m_images->AddTask(task);
    wireNotifications(m_imageView->AddRow(id, task));
    control(QStringLiteral("imageEmpty"))->hide();
    return id;
}

void MainWindow::CompressImage(std::int32_t taskId) {
    const QueueOutcome outcome = m_images->QueueTask(taskId, ReadSizeFields());
    if (outcome.status == QueueStatus::Refused) ShowNotice(outcome.notice);
}

void MainWindow::CompressAllImages() {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < m_imageView->RowCount(); ++i) {
        QWidget* row = m_imageView->RowAt(i);
        if (ui::IsChecked(ui::FindSubControl(row, QStringLiteral("imagecheckBox")))) {
            ids.push_back(ui::Tag(row));
        }
    }
    const QueueOutcome outcome = m_images->QueueAll(ids, ReadSizeFields());
    if (outcome.status == QueueStatus::Refused) ShowNotice(outcome.notice);
}

std::int32_t MainWindow::AddVideo(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error) return -1;
    VideoTask task{file.filename().string(), "", fs::absolute(file, error).string(),
                   static_cast<std::int64_t>(size)};
    const double duration = GetMediaDuration(file);
    const std::int32_t id = m_videoModel.Add(task);
    QWidget* row = m_videoView->AddRow(id, task, duration);
    wireNotifications(row);
    // The large "add files" hint gives way to the list once it has rows.
    control(QStringLiteral("videoEmpty"))->hide();
    return id;
}

void MainWindow::CompressVideo(std::int32_t taskId) {
    m_videoView->ShowWaiting(taskId);
    m_videoModel.Enqueue(taskId, /*onlyIfNew=*/false);
}

void MainWindow::CompressAllVideos() {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < m_videoView->RowCount(); ++i) {
        QWidget* row = m_videoView->RowAt(i);
        const std::int32_t id = ui::Tag(row);
        if (!ui::IsChecked(ui::FindSubControl(row, QStringLiteral("videocheckBox")))) continue;
        if (m_videoModel.IsBusy(id)) continue;
        m_videoView->ShowWaiting(id);
        ids.push_back(id);
    }
    m_videoModel.EnqueueAll(ids);
}

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

void MainWindow::notify(const ui::Notification& n) {
    if (n.type != ui::kClick || !n.sender) return;
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
    if (number == static_cast<int>(MessageId::MenuUpgrade)) {
        StartUpgradeCheck(/*quiet=*/false);
        return 0;
    }
    if (number == static_cast<int>(MessageId::CompressImageAgain)) {
        if (const auto* id = std::any_cast<std::int32_t>(&payload)) CompressImage(*id);
        return 0;
    }
    if (m_images && m_images->HandleMessage(static_cast<MessageId>(number), payload)) {
        handled = false;
        return 0;
    }
    if (m_videoCompletion && m_videoCompletion->Dispatch(static_cast<MessageId>(number), payload)) {
        // Handled here; the framework's default handling still sees it.
        handled = false;
        return 0;
    }
    return ui::WindowBase::handleCustomMessage(number, payload, handled);
}

void MainWindow::onFinalMessage() { StopWorkers(); }

void MainWindow::StopWorkers() {
    if (m_videoView) m_videoView->Close();
    if (m_videoWorker) m_videoWorker->Stop();
    if (m_images) m_images->Stop();
}

}  // namespace brisklo::app
