// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QTimer>
#include <system_error>
#include <utility>

#include "app/action_texts.h"
#include "app/add_notice.h"
#include "app/batch_bar.h"
#include "app/batch_summary.h"
#include "app/close_policy.h"
#include "app/desktop_notice.h"
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
#include "app/tab_order.h"
#include "app/tray_icon.h"
#include "app/video_list_view.h"
#include "app/window_texts.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/log.h"
#include "dialogs/message_boxes.h"
#if BRISKLO_ONLINE
#include "dialogs/feedback_dialog.h"
#include "dialogs/upgrade_check_runner.h"
#endif
#include "image/image_size_check.h"
#include "ui/controls.h"

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
    m_adding = std::make_unique<FileAdding>(
        *this,
        [this](MediaKind kind, const fs::path& file, const fs::path& subfolder) {
            return AddTask(kind, file, subfolder).first;
        },
        [this] { return m_config.Get(Setting::IncludeSubfolders) != 0; });
    new FileDrop(this, [this](const auto& paths) { m_adding->AddPaths(paths); });
    AddShortcuts(this);
    m_durations = std::make_unique<DurationProbe>(
        this, [this](std::int32_t id, double seconds) { m_videoView->SetDuration(id, seconds); });
    for (const char* name :
         {"video-compress-check", "video-compress-slider", "video-compress-balanced-check",
          "all-compress", "videoEmpty", "image-define-param", "all-image-compress", "imageEmpty"}) {
        control(QString::fromLatin1(name));
    }
    m_videoView = std::make_unique<VideoListView>(control(QStringLiteral("videoList")));
    m_imageView = std::make_unique<ImageListView>(control(QStringLiteral("image-list")));
    m_session = std::make_unique<BatchSession>(BatchFrontEnd{
        *m_options, *m_options, m_config, *postBox(), *m_videoView, *m_imageView, m_encoder});
    if (!m_session->Start()) LogLine("cannot start the image dispatcher\n");
    m_batchBar = new BatchBar(*this, *m_session);             // a child of this window
    m_addNotice = new AddNotice(*this, m_config, *m_adding);  // a child of this window
    m_adding->SetOnReport([this](const AddReport& report) { m_addNotice->Show(report); });
    WireLists();
    m_rowActions = std::make_unique<RowActions>(*this, m_config, *m_session, *m_videoView,
                                                *m_imageView, m_dialogEnvironment);
    m_rowActions->InstallListActions();
    // The strip is a child of this window, which deletes it.
    auto* outputBar = new OutputFolderBar(*this, m_config, *m_rowActions);
    m_rowActions->SetAfterSettings([outputBar] { outputBar->Refresh(); });
    m_tray = std::make_unique<TrayIcon>(*this);
    m_desktopNotice = new DesktopNotice(this);  // a child of this window
    connect(m_desktopNotice, &DesktopNotice::clicked, this, [this] { RestoreWindow(*this); });
    RouteMessages();
    RouteClicks();
#if !BRISKLO_ONLINE
    // Built without feedback: no button for it (the tray menu leaves out its
    // item and the update check's, see OpenTrayMenu).
    control(QStringLiteral("feedback"))->hide();
#endif
    ApplyMainTabOrder(*this);
}

void MainWindow::WireLists() {
    m_tabTexts = {ui::Text(control(QStringLiteral("compress-video"))),
                  ui::Text(control(QStringLiteral("compress-image")))};
    for (TaskListView* view : {static_cast<TaskListView*>(m_videoView.get()),
                               static_cast<TaskListView*>(m_imageView.get())}) {
        view->view().SetRowBuilt([this](QWidget* row) {
            wireNotifications(row);
            // A new row's controls join the keyboard order in the list's place.
            ApplyMainTabOrder(*this);
        });
        view->SetQueuePlace([this](std::int32_t id) { return m_session->Status(id).queuePlace; });
        view->SetOnStateChange([this] { m_batchBar->RefreshSoon(); });
        for (const auto signal :
             {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            connect(&view->model(), signal, this, &MainWindow::UpdateListsSoon);
        }
        connect(&view->model(), &QAbstractItemModel::modelReset, this,
                &MainWindow::UpdateListsSoon);
    }
    UpdateLists();
}

void MainWindow::RouteMessages() {
    RowActions& rows = *m_rowActions;
    const auto stop = [&rows](std::int32_t id) { rows.Stop(id); };
    const auto remove = [&rows](std::int32_t id) { rows.Delete(id); };
    const auto compress = [this](std::int32_t id) { Compress(id); };
    m_messages.On<MessageId::TaskParameters>([&rows](std::int32_t id) { rows.OpenParameters(id); })
        .On<MessageId::OpenVideoFolder>(
            [&rows](std::int32_t id) { rows.OpenOutputFolder(id, MediaKind::Video); })
        .On<MessageId::OpenImageFolder>(
            [&rows](std::int32_t id) { rows.OpenOutputFolder(id, MediaKind::Image); })
        .On<MessageId::ShowOutputFile>([&rows](std::int32_t id) { rows.ShowOutputFile(id); })
        .On<MessageId::CompressAgain>(compress)
        .On<MessageId::CompressImageAgain>(compress)
        .On<MessageId::DeleteVideo>(remove)
        .On<MessageId::DeleteImage>(remove)
        .On<MessageId::StopVideo>(stop)
        .On<MessageId::StopImage>(stop)
        .On<MessageId::ParametersSaved>([this](const TaskParam& param) {
            SaveTaskParameters(param, m_session->videos(), *m_videoView);
        })
        .On<MessageId::ParametersRemoved>([this](std::int32_t id) {
            RemoveTaskParameters(id, m_session->videos(), *m_videoView);
        })
        .On<MessageId::MenuQuit>([this] {
            m_quitFromMenu = true;
            reject();
        })
        .On<MessageId::MenuHome>([this] { RestoreWindow(*this); })
        .On<MessageId::MenuHelp>([&rows] { rows.OpenHelp(); })
        .On<MessageId::MenuSettings>([this, &rows] {
            RestoreWindow(*this);
            rows.OpenSettings();
        })
        .On<MessageId::MenuFeedback>([this] {
            RestoreWindow(*this);
            OpenFeedback();
        })
        .On<MessageId::MenuUpgrade>([this] { StartUpgradeCheck(/*quiet=*/false); });
}

void MainWindow::RouteClicks() {
    RowActions& rows = *m_rowActions;
    const auto rowButton = [this](QWidget* sender) { RowButton(ui::Tag(sender)); };
    const auto pause = [this](QWidget*) { m_batchBar->TogglePause(); };
    m_clicks = {
        {QStringLiteral("compressBtn"), rowButton},
        {QStringLiteral("imageCompressBtn"), rowButton},
        {QStringLiteral("all-compress"),
         [this](QWidget*) {
             if (!m_batchBar->StopIfRunning()) CompressAll(MediaKind::Video);
         }},
        {QStringLiteral("all-image-compress"),
         [this](QWidget*) {
             if (!m_batchBar->StopIfRunning()) CompressAll(MediaKind::Image);
         }},
        {QStringLiteral("video-pause"), pause},
        {QStringLiteral("image-pause"), pause},
        {QStringLiteral("video-clear-finished"),
         [&rows](QWidget*) { rows.ClearFinished(MediaKind::Video); }},
        {QStringLiteral("image-clear-finished"),
         [&rows](QWidget*) { rows.ClearFinished(MediaKind::Image); }},
        {QStringLiteral("video-clear-list"),
         [&rows](QWidget*) { rows.ClearList(MediaKind::Video); }},
        {QStringLiteral("image-clear-list"),
         [&rows](QWidget*) { rows.ClearList(MediaKind::Image); }},
        {QStringLiteral("videoMenuBtn"),
         [&rows](QWidget* sender) { rows.OpenRowMenu(sender, MediaKind::Video); }},
        {QStringLiteral("imageMenuBtn"),
         [&rows](QWidget* sender) { rows.OpenRowMenu(sender, MediaKind::Image); }},
        {QStringLiteral("help"), [&rows](QWidget*) { rows.OpenHelp(); }},
        {QStringLiteral("seting"), [&rows](QWidget*) { rows.OpenSettings(); }},
        {QStringLiteral("feedback"), [this](QWidget*) { OpenFeedback(); }},
    };
}

void MainWindow::ShowNotice(const QString& text) {
    try {
        dialogs::ShowPromptBox(this, text);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

std::int32_t MainWindow::Add(MediaKind kind, const fs::path& file) {
    const auto [outcome, id] = AddTask(kind, file, {});
    return outcome == AddOutcome::Added ? id : -1;
}

std::pair<AddOutcome, std::int32_t> MainWindow::AddTask(MediaKind kind, const fs::path& file,
                                                        const fs::path& subfolder) {
    if (const auto listed = m_session->FindTask(file)) return {AddOutcome::AlreadyListed, *listed};
    const auto added = m_session->Add(kind, file, subfolder);
    if (!added) return {AddOutcome::Unreadable, -1};
    const std::int32_t id = added.value();
    if (kind == MediaKind::Image) {
        m_imageView->AddRow(id, *m_session->images().Find(id));
    } else {
        const VideoTask task = *m_session->videos().Find(id);
        m_videoView->AddRow(id, task);
        // Probed on its own thread, so adding many files keeps the window responsive.
        m_durations->Ask(id, task.fullPath);
    }
    return {AddOutcome::Added, id};
}

void MainWindow::UpdateListsSoon() {
    if (std::exchange(m_listsChanged, true)) return;
    QTimer::singleShot(0, this, [this] {
        if (m_listsChanged) UpdateLists();
    });
}

void MainWindow::UpdateLists() {
    m_listsChanged = false;
    struct Page {
        const TaskListView& view;
        const char* tab;
        const char* empty;
        const char* list;
        const QString& tabText;
    };
    for (const Page& page :
         {Page{*m_videoView, "compress-video", "videoEmpty", "videoList", m_tabTexts[0]},
          Page{*m_imageView, "compress-image", "imageEmpty", "image-list", m_tabTexts[1]}}) {
        const int count = page.view.RowCount();
        ui::SetText(
            control(QString::fromLatin1(page.tab)),
            count > 0 ? QStringLiteral("%1 (%2)").arg(page.tabText).arg(count) : page.tabText);
        // The large "add files" hint stands in for an empty list.
        control(QString::fromLatin1(page.empty))->setVisible(count == 0);
        control(QString::fromLatin1(page.list))->setVisible(count > 0);
    }
}

void MainWindow::RowButton(std::int32_t taskId) {
    switch (m_session->Status(taskId).state) {
        case TaskState::Waiting:
            (void)m_session->CancelWaiting(taskId);
            break;
        case TaskState::Running:
            break;
        case TaskState::Done:
        case TaskState::KeptOriginal:
            m_rowActions->ShowOutputFile(taskId);
            break;
        case TaskState::Idle:
        case TaskState::Failed:
        case TaskState::Stopped:
        case TaskState::Cancelled:
            Compress(taskId);
            break;
    }
}

bool MainWindow::RefusedForSize() {
    CustomSizeFields fields;
    fields.enabled = ui::IsChecked(control(QStringLiteral("image-define-param")));
    fields.width = ui::Text(control(QStringLiteral("image-width"))).toStdString();
    fields.height = ui::Text(control(QStringLiteral("image-height"))).toStdString();
    const auto problem = CheckCustomSize(fields);
    if (problem) ShowNotice(SizeProblemNotice(*problem));
    return problem.has_value();
}

void MainWindow::Compress(std::int32_t taskId) {
    if (m_session->KindOf(taskId) == MediaKind::Image && RefusedForSize()) return;
    (void)m_session->Enqueue(taskId);
}

void MainWindow::CompressAll(MediaKind kind) {
    const bool images = kind == MediaKind::Image;
    if (images && RefusedForSize()) return;
    TaskListView& view = images ? static_cast<TaskListView&>(*m_imageView) : *m_videoView;
    if (view.RowCount() == 0) {
        ShowNotice(images ? NoImagesNotice() : action_text::NoVideosNotice());
        return;
    }
    m_session->EnqueueAll(view.CheckedIds());
    m_batchBar->Refresh();
}

#if BRISKLO_ONLINE
void MainWindow::StartUpgradeCheck(bool quiet) {
    if (!m_upgradeCheck) m_upgradeCheck = std::make_unique<dialogs::UpgradeCheckRunner>(this);
    m_upgradeCheck->Start(m_config.GetText(Setting::ServiceUrl), quiet, m_dialogEnvironment);
}

bool MainWindow::upgradeCheckBusy() const { return m_upgradeCheck && m_upgradeCheck->busy(); }

void MainWindow::OpenFeedback() {
    dialogs::FeedbackDialog dialog(this, m_config.GetText(Setting::ServiceUrl),
                                   m_dialogEnvironment);
    (void)dialog.createAndRunModal();
}
#else
void MainWindow::StartUpgradeCheck(bool) {}

bool MainWindow::upgradeCheckBusy() const { return false; }

void MainWindow::OpenFeedback() {}
#endif

MediaKind MainWindow::shownKind() const {
    return ui::CurrentIndex(control(QStringLiteral("main-tab"))) == 1 ? MediaKind::Image
                                                                      : MediaKind::Video;
}

void MainWindow::notify(const ui::Notification& n) {
    if (m_binding && m_binding->Handle(n)) return;
    if (!n.sender) return;
    if (n.type == ui::kSelectChanged) {
        if (n.senderName == QStringLiteral("videoCheckBoxAll")) {
            m_rowActions->CheckAll(MediaKind::Video, n.value != 0);
        } else if (n.senderName == QStringLiteral("imageCheckBoxAll")) {
            m_rowActions->CheckAll(MediaKind::Image, n.value != 0);
        }
        return;
    }
    if (n.type != ui::kClick) return;
    if (m_adding->HandleClick(n.senderName)) return;
    if (const auto click = m_clicks.find(n.senderName); click != m_clicks.end()) {
        click->second(n.sender);
    }
}

int MainWindow::handleCustomMessage(int number, const std::any& payload, bool& handled) {
    const auto id = static_cast<MessageId>(number);
    if (m_session && m_session->Dispatch(id, payload)) {
        m_batchBar->RefreshSoon();
        ReportBatchEnd();
        // Handled here; the framework's default handling still sees it.
        handled = false;
        return 0;
    }
    if (m_messages.Dispatch(id, payload)) return 0;
    return ui::WindowBase::handleCustomMessage(number, payload, handled);
}

void MainWindow::ReportBatchEnd() {
    const auto ended = m_session->TakeEndedBatch();
    // Someone looking at the window sees the rows; a notice is for someone who is not.
    if (!ended || isActiveWindow()) return;
    // The tray's balloon where there is a tray, else the desktop's notification service.
    if (m_tray && m_tray->visible()) {
        m_tray->ShowNotice(BatchEndedTitle(), BatchSummaryText(*ended));
    } else {
        m_desktopNotice->Show(BatchEndedTitle(), BatchSummaryText(*ended));
    }
}

void MainWindow::onFinalMessage() {
    StopWorkers();
    m_tray.reset();
}

bool MainWindow::onClose() {
    CloseRequest request;
    request.fromQuitItem = std::exchange(m_quitFromMenu, false);
    request.windowCloseSetting = m_config.Get(Setting::WindowClose);
    request.videoRunning = m_session && !m_session->videos().queue().RunningIds().empty();
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
    if (m_session) m_session->Shutdown();
}

}  // namespace brisklo::app
