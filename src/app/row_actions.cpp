// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_actions.h"

#include <QAction>
#include <QUrl>

#include "app/action_texts.h"
#include "app/file_manager.h"
#include "app/image_list_view.h"
#include "app/row_menus.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/log.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/message_boxes.h"
#include "dialogs/param_dialog.h"
#include "dialogs/settings_dialog.h"
#include "net/service_address.h"
#include "ui/controls.h"

namespace brisklo::app {
namespace fs = std::filesystem;

namespace {

constexpr MediaKind kBothKinds[] = {MediaKind::Video, MediaKind::Image};

}  // namespace

RowActions::RowActions(ui::WindowBase& window, ConfigStore& config, BatchSession& session,
                       VideoListView& videos, ImageListView& images,
                       dialogs::DialogEnvironment& environment)
    : m_window(window),
      m_config(config),
      m_session(session),
      m_videos(videos),
      m_images(images),
      m_environment(environment) {}

TaskListView& RowActions::ViewOf(MediaKind kind) const {
    if (kind == MediaKind::Image) return m_images;
    return m_videos;
}

void RowActions::CheckAll(MediaKind kind, bool checked) { ViewOf(kind).SetAllChecked(checked); }

void RowActions::OpenRowMenu(QWidget* menuButton, MediaKind kind) {
    RowMenuRequest request;
    request.taskId = ui::Tag(menuButton);
    request.videoRow = kind != MediaKind::Image;
    const TaskState state = m_session.Status(request.taskId).state;
    request.stoppable = state == TaskState::Running || state == TaskState::Waiting;
    request.waiting = state == TaskState::Waiting;
    request.finished = state == TaskState::Done || state == TaskState::KeptOriginal;
    // Under the button, opening to the left of its right edge.
    request.screenPoint = menuButton->mapToGlobal(menuButton->rect().bottomRight());
    try {
        app::OpenRowMenu(m_window, request);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

void RowActions::OpenParameters(std::int32_t taskId) {
    if (!m_session.videos().Find(taskId)) return;
    const TaskParam param =
        m_session.videos().FindParameters(taskId).value_or(dialogs::ParamDialog::DefaultRecord());
    dialogs::ParamDialog dialog(&m_window, taskId, param);
    (void)dialog.createAndRunModal();
}

void RowActions::OpenFolder(const fs::path& folder) {
    if (folder.empty()) return;
    const auto& open = m_environment.openUrl;
    if (!open || !open(QUrl::fromLocalFile(QString::fromStdString(folder.string())))) {
        CannotOpenFolder(folder);
    }
}

void RowActions::CannotOpenFolder(const fs::path& folder) {
    LogLine("cannot open the folder %s: nothing opens folders here\n", folder.c_str());
    Tell(dialogs::NoFolderOpenerNotice(QString::fromStdString(folder.string())));
}

void RowActions::Tell(const QString& text) {
    if (m_environment.boxes.tell) m_environment.boxes.tell(&m_window, text);
}

fs::path RowActions::SettingsOutputFolder(MediaKind kind) const {
    // For images, a non-zero output-dir-type opens the stored text as it is, even
    // empty (then nothing opens).
    if (kind == MediaKind::Image && m_config.Get(Setting::OutputDirType) != 0) {
        return m_config.GetText(Setting::OutputDir);
    }
    return m_config.GetOutputFolder();
}

void RowActions::OpenOutputFolder(std::int32_t taskId, MediaKind kind) {
    const auto outcome = m_session.Status(taskId).outcome;
    OpenFolder(outcome ? outcome->outputPath.parent_path() : SettingsOutputFolder(kind));
}

void RowActions::ShowOutputFile(std::int32_t taskId) {
    const auto outcome = m_session.Status(taskId).outcome;
    if (!outcome) return;
    const fs::path folder = outcome->outputPath.parent_path();
    // The file manager answers after this returns; the window's end cancels the wait.
    ShowFileInFileManager(&m_window, outcome->outputPath, m_environment.openUrl,
                          [this, folder] { CannotOpenFolder(folder); });
}

void RowActions::Stop(std::int32_t taskId) { m_session.StopOrCancel(taskId); }

void RowActions::Delete(std::int32_t taskId) {
    if (const auto kind = m_session.KindOf(taskId)) DeleteTasks(*kind, {taskId});
}

void RowActions::DeleteTasks(MediaKind kind, const std::vector<std::int32_t>& ids) {
    std::vector<std::int32_t> removed;
    bool refused = false;
    for (const std::int32_t id : ids) {
        switch (m_session.Remove(id)) {
            case RemoveStatus::Removed:
                removed.push_back(id);
                break;
            case RemoveStatus::Running:
                refused = true;
                break;
            case RemoveStatus::UnknownTask:
                break;
        }
    }
    ViewOf(kind).RemoveRows(removed);
    // Running rows among others stay without a word; alone, they say why.
    if (refused && removed.empty()) Notice(action_text::DeleteRefusedNotice());
}

void RowActions::DeleteSelected(MediaKind kind) {
    const auto selected = ViewOf(kind).SelectedIds();
    if (!selected.empty()) DeleteTasks(kind, selected);
}

void RowActions::OpenHelp() {
    const QUrl page(QString::fromStdString(
        ServiceUrl(m_config.GetText(Setting::ServiceUrl), kMainHelpPagePath)));
    const auto& open = m_environment.openUrl;
    if (!open || !open(page)) {
        LogLine("cannot open the help page %s: nothing opens web pages here\n",
                page.toString().toUtf8().constData());
        Tell(dialogs::NoPageOpenerNotice(page.toString()));
    }
}

void RowActions::OpenSettings() {
    dialogs::SettingsDialog dialog(&m_window, m_config, m_environment, m_chooseFolder);
    if (dialog.createAndRunModal() && m_afterSettings) m_afterSettings();
}

void RowActions::InstallListActions() {
    for (const MediaKind kind : kBothKinds) {
        const bool video = kind == MediaKind::Video;
        TaskRowsView& list = ViewOf(kind).view();
        const auto addAction = [&list](const QString& text, const QString& name, auto action) {
            auto* item = new QAction(text, &list);  // owned by the list
            item->setObjectName(name);
            QObject::connect(item, &QAction::triggered, &list, action);
            list.addAction(item);
        };
        addAction(action_text::ClearFinished(),
                  video ? QStringLiteral("clear-finished") : QStringLiteral("clear-image-finished"),
                  [this, kind] { ClearFinished(kind); });
        addAction(action_text::ClearList(),
                  video ? QStringLiteral("clear-list") : QStringLiteral("clear-image-list"),
                  [this, kind] { ClearList(kind); });
        list.setContextMenuPolicy(Qt::ActionsContextMenu);
        QObject::connect(&list, &TaskRowsView::deleteRequested, &list,
                         [this, kind] { DeleteSelected(kind); });
    }
}

void RowActions::ClearFinished(MediaKind kind) {
    TaskListView& view = ViewOf(kind);
    std::vector<std::int32_t> finished;
    for (int i = 0; i < view.RowCount(); ++i) {
        const TaskState state = view.Find(view.IdAt(i))->state;
        if (state == TaskState::Done || state == TaskState::KeptOriginal) {
            finished.push_back(view.IdAt(i));
        }
    }
    DeleteTasks(kind, finished);
}

void RowActions::ClearList(MediaKind kind) {
    TaskListView& view = ViewOf(kind);
    std::vector<std::int32_t> all;
    for (int i = 0; i < view.RowCount(); ++i) {
        if (view.Find(view.IdAt(i))->state != TaskState::Running) all.push_back(view.IdAt(i));
    }
    DeleteTasks(kind, all);
}

void RowActions::Notice(const QString& text) {
    try {
        dialogs::ShowPromptBox(&m_window, text);
    } catch (const ui::SkinError& error) {
        LogLine("%s\n", error.what());
    }
}

}  // namespace brisklo::app
