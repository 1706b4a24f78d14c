#include "app/row_actions.h"

#include <QAction>
#include <QApplication>
#include <QShortcut>
#include <QUrl>

#include "app/action_texts.h"
#include "app/finished_rows.h"
#include "app/image_list_view.h"
#include "app/main_window.h"
#include "app/output_folder_bar.h"
#include "app/row_menus.h"
#include "app/tray_icon.h"
#include "app/video_list_view.h"
#include "core/config_store.h"
#include "core/log.h"
#include "dialogs/message_boxes.h"
#include "dialogs/param_dialog.h"
#include "dialogs/settings_dialog.h"
#include "net/service_address.h"
#include "ui/controls.h"

namespace brisklo::app {
namespace fs = std::filesystem;

namespace {

std::optional<std::int32_t> TaskIdOf(const std::any& payload) {
    if (const auto* id = std::any_cast<std::int32_t>(&payload)) return *id;
    return std::nullopt;
}

}  // namespace

RowActions::RowActions(MainWindow& window, ConfigStore& config)
    : m_window(window), m_config(config) {}

bool RowActions::Notify(const ui::Notification& n) {
    if (!n.sender) return false;
    const QString& name = n.senderName;
    if (n.type == ui::kSelectChanged) {
        if (name == QStringLiteral("videoCheckBoxAll")) {
            CheckAll(/*video=*/true, n.value != 0);
        } else if (name == QStringLiteral("imageCheckBoxAll")) {
            CheckAll(/*video=*/false, n.value != 0);
        } else {
            return false;
        }
        return true;
    }
    if (n.type != ui::kClick) return false;
    if (name == QStringLiteral("videoMenuBtn")) {
        OpenRowMenu(n.sender, /*video=*/true);
    } else if (name == QStringLiteral("imageMenuBtn")) {
        OpenRowMenu(n.sender, /*video=*/false);
    } else if (name == QStringLiteral("help")) {
        OpenHelp();
    } else if (name == QStringLiteral("seting")) {
        OpenSettings();
    } else {
        return false;
    }
    return true;
}

bool RowActions::Handle(MessageId message, const std::any& payload) {
    const auto id = TaskIdOf(payload);
    switch (message) {
        case MessageId::TaskParameters:
            if (id) OpenParameters(*id);
            return true;
        case MessageId::OpenVideoFolder:
            OpenVideoFolder();
            return true;
        case MessageId::CompressAgain:
            if (id) CompressVideoAgain(*id);
            return true;
        case MessageId::DeleteVideo:
            if (id) DeleteVideo(*id);
            return true;
        case MessageId::StopVideo:
            if (id) m_window.StopVideo(*id);
            return true;
        case MessageId::StopImage:
            if (id) m_window.StopImage(*id);
            return true;
        case MessageId::OpenImageFolder:
            OpenImageFolder();
            return true;
        case MessageId::DeleteImage:
            if (id) DeleteImage(*id);
            return true;
        case MessageId::MenuHome:
            RestoreWindow(m_window);
            return true;
        case MessageId::MenuHelp:
            OpenHelp();
            return true;
        case MessageId::MenuSettings:
            RestoreWindow(m_window);
            OpenSettings();
            return true;
        case MessageId::MenuFeedback:
            RestoreWindow(m_window);
            m_window.OpenFeedback();
            return true;
        default:
            return false;
    }
}

void RowActions::CheckAll(bool video, bool checked) {
    TaskListView& view = video ? static_cast<TaskListView&>(m_window.videoView())
                               : static_cast<TaskListView&>(m_window.imageView());
    const QString box = video ? QStringLiteral("videocheckBox") : QStringLiteral("imagecheckBox");
    for (int i = 0; i < view.RowCount(); ++i) {
        ui::SetChecked(ui::FindSubControl(view.RowAt(i), box), checked);
    }
}

void RowActions::OpenRowMenu(QWidget* menuButton, bool video) {
    RowMenuRequest request;
    request.taskId = ui::Tag(menuButton);
    request.videoRow = video;
    request.running = video ? m_window.videoModel().queue().IsRunning(request.taskId)
                            : m_window.imageTasks().queue().IsRunning(request.taskId);
    // Under the button, opening to the left of its right edge.
    request.screenPoint = menuButton->mapToGlobal(menuButton->rect().bottomRight());
    try {
        app::OpenRowMenu(m_window, request);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

void RowActions::OpenParameters(std::int32_t taskId) {
    if (!m_window.videoModel().Find(taskId)) return;
    const TaskParam param = m_window.videoModel().FindParameters(taskId).value_or(
        dialogs::ParamDialog::DefaultRecord());
    dialogs::ParamDialog dialog(&m_window, taskId, param);
    try {
        dialog.create();
    } catch (const ui::SkinError& error) {
        LogLine("cannot show the parameter dialog: %s\n", error.what());
        return;
    }
    dialog.runModal();
}

void RowActions::OpenFolder(const fs::path& folder) {
    const auto& open = m_window.dialogEnvironment().openUrl;
    if (folder.empty() || !open) return;
    if (!open(QUrl::fromLocalFile(QString::fromStdString(folder.string())))) {
        LogLine("cannot open the folder %s\n", folder.c_str());
    }
}

void RowActions::OpenVideoFolder() { OpenFolder(m_config.GetOutputFolder()); }

void RowActions::OpenImageFolder() {
    // A non-zero output-dir-type opens the stored text as it is, even empty
    // (then nothing opens).
    if (m_config.Get(Setting::OutputDirType) != 0) {
        OpenFolder(m_config.GetText(Setting::OutputDir));
    } else {
        OpenFolder(m_config.GetOutputFolder());
    }
}

void RowActions::CompressVideoAgain(std::int32_t taskId) {
    if (m_window.videoModel().queue().IsQueued(taskId)) return;
    if (const TaskRow* row = m_window.videoView().Find(taskId)) {
        ui::SetText(row->sizeLabel, {});
        ui::SetText(row->savingLabel, {});
        ui::SetValue(row->progressSlider, 0);
    }
    m_window.CompressVideo(taskId);
}

void RowActions::DeleteVideo(std::int32_t taskId) {
    if (m_window.videoModel().queue().IsQueued(taskId)) {
        Notice(action_text::DeleteRefusedNotice());
        return;
    }
    if (!m_window.videoModel().Delete(taskId)) return;
    m_window.videoView().RemoveRow(taskId);
}

void RowActions::DeleteImage(std::int32_t taskId) {
    if (m_window.imageTasks().queue().IsQueued(taskId)) {
        Notice(action_text::DeleteRefusedNotice());
        return;
    }
    if (!m_window.imageTasks().Remove(taskId)) return;
    m_window.imageView().RemoveRow(taskId);
}

void RowActions::OpenHelp() {
    const auto& open = m_window.dialogEnvironment().openUrl;
    if (!open) return;
    open(QUrl(QString::fromStdString(
        ServiceUrl(m_config.GetText(Setting::ServiceUrl), kMainHelpPagePath))));
}

void RowActions::SetOutputFolderBar(OutputFolderBar* bar) { m_outputBar = bar; }

void RowActions::OpenSettings() {
    dialogs::SettingsDialog dialog(&m_window, m_config, m_window.dialogEnvironment(),
                                   m_chooseFolder);
    try {
        dialog.create();
    } catch (const ui::SkinError& error) {
        LogLine("cannot show the settings dialog: %s\n", error.what());
        return;
    }
    dialog.runModal();
    if (m_outputBar) m_outputBar->Refresh();
}

void RowActions::InstallListActions() {
    for (const bool video : {true, false}) {
        QWidget* list =
            m_window.control(video ? QStringLiteral("videoList") : QStringLiteral("image-list"));
        auto* clear = new QAction(action_text::ClearFinished(), list);  // owned by the list
        clear->setObjectName(video ? QStringLiteral("clear-finished")
                                   : QStringLiteral("clear-image-finished"));
        QObject::connect(clear, &QAction::triggered, list, [this, video] { ClearFinished(video); });
        list->addAction(clear);
        list->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    auto* remove = new QShortcut(QKeySequence::Delete, &m_window);  // owned by the window
    QObject::connect(remove, &QShortcut::activated, &m_window, [this] { DeleteFocusedFinished(); });
}

void RowActions::ClearFinished(bool video) {
    TaskListView& view = video ? static_cast<TaskListView&>(m_window.videoView())
                               : static_cast<TaskListView&>(m_window.imageView());
    std::vector<std::int32_t> finished;
    for (int i = 0; i < view.RowCount(); ++i) {
        QWidget* row = view.RowAt(i);
        if (IsFinished(row)) finished.push_back(ui::Tag(row));
    }
    for (const std::int32_t id : finished) {
        if (video) {
            if (m_window.videoModel().Delete(id)) view.RemoveRow(id);
        } else if (m_window.imageTasks().Remove(id)) {
            view.RemoveRow(id);
        }
    }
}

std::optional<std::int32_t> RowActions::FocusedFinished(bool video) const {
    const TaskListView& view = video ? static_cast<TaskListView&>(m_window.videoView())
                                     : static_cast<TaskListView&>(m_window.imageView());
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; focus && i < view.RowCount(); ++i) {
        QWidget* row = view.RowAt(i);
        if ((row == focus || row->isAncestorOf(focus)) && IsFinished(row)) return ui::Tag(row);
    }
    return std::nullopt;
}

void RowActions::DeleteFocusedFinished() {
    if (const auto id = FocusedFinished(true)) {
        DeleteVideo(*id);
    } else if (const auto image = FocusedFinished(false)) {
        DeleteImage(*image);
    }
}

void RowActions::Notice(const QString& text) {
    try {
        dialogs::ShowPromptBox(&m_window, text);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

}  // namespace brisklo::app
