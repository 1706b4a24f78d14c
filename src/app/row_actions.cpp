// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_actions.h"

#include <QAction>
#include <QApplication>
#include <QShortcut>
#include <QUrl>

#include "app/action_texts.h"
#include "app/image_list_view.h"
#include "app/row_menus.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/log.h"
#include "dialogs/dialog_environment.h"
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

void RowActions::CheckAll(MediaKind kind, bool checked) {
    const TaskListView& view = ViewOf(kind);
    for (int i = 0; i < view.RowCount(); ++i) {
        if (const TaskRow* row = view.Find(ui::Tag(view.RowAt(i)))) {
            ui::SetChecked(row->checkBox, checked);
        }
    }
}

void RowActions::OpenRowMenu(QWidget* menuButton, MediaKind kind) {
    RowMenuRequest request;
    request.taskId = ui::Tag(menuButton);
    request.videoRow = kind != MediaKind::Image;
    const TaskState state = m_session.Status(request.taskId).state;
    request.stoppable = state == TaskState::Running || state == TaskState::Waiting;
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
    const auto& open = m_environment.openUrl;
    if (folder.empty() || !open) return;
    if (!open(QUrl::fromLocalFile(QString::fromStdString(folder.string())))) {
        LogLine("cannot open the folder %s\n", folder.c_str());
    }
}

void RowActions::OpenOutputFolder(MediaKind kind) {
    // For images, a non-zero output-dir-type opens the stored text as it is, even
    // empty (then nothing opens).
    if (kind == MediaKind::Image && m_config.Get(Setting::OutputDirType) != 0) {
        OpenFolder(m_config.GetText(Setting::OutputDir));
    } else {
        OpenFolder(m_config.GetOutputFolder());
    }
}

void RowActions::Stop(std::int32_t taskId) { m_session.StopOrCancel(taskId); }

void RowActions::Delete(std::int32_t taskId) {
    const auto kind = m_session.KindOf(taskId);
    if (!kind) return;
    switch (m_session.Remove(taskId)) {
        case RemoveStatus::Removed:
            ViewOf(*kind).RemoveRow(taskId);
            break;
        case RemoveStatus::Running:
            Notice(action_text::DeleteRefusedNotice());
            break;
        case RemoveStatus::UnknownTask:
            break;
    }
}

void RowActions::OpenHelp() {
    const auto& open = m_environment.openUrl;
    if (!open) return;
    open(QUrl(QString::fromStdString(
        ServiceUrl(m_config.GetText(Setting::ServiceUrl), kMainHelpPagePath))));
}

void RowActions::OpenSettings() {
    dialogs::SettingsDialog dialog(&m_window, m_config, m_environment, m_chooseFolder);
    if (dialog.createAndRunModal() && m_afterSettings) m_afterSettings();
}

void RowActions::InstallListActions() {
    for (const MediaKind kind : kBothKinds) {
        const bool video = kind == MediaKind::Video;
        QWidget* list =
            m_window.control(video ? QStringLiteral("videoList") : QStringLiteral("image-list"));
        auto* clear = new QAction(action_text::ClearFinished(), list);  // owned by the list
        clear->setObjectName(video ? QStringLiteral("clear-finished")
                                   : QStringLiteral("clear-image-finished"));
        QObject::connect(clear, &QAction::triggered, list, [this, kind] { ClearFinished(kind); });
        list->addAction(clear);
        list->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    auto* remove = new QShortcut(QKeySequence::Delete, &m_window);  // owned by the window
    QObject::connect(remove, &QShortcut::activated, &m_window, [this] { DeleteFocusedFinished(); });
}

bool RowActions::Finished(std::int32_t taskId) const {
    const TaskState state = m_session.Status(taskId).state;
    return state == TaskState::Done || state == TaskState::KeptOriginal;
}

void RowActions::ClearFinished(MediaKind kind) {
    TaskListView& view = ViewOf(kind);
    std::vector<std::int32_t> finished;
    for (int i = 0; i < view.RowCount(); ++i) {
        const std::int32_t id = ui::Tag(view.RowAt(i));
        if (Finished(id)) finished.push_back(id);
    }
    for (const std::int32_t id : finished) {
        if (m_session.Remove(id) == RemoveStatus::Removed) view.RemoveRow(id);
    }
}

std::optional<std::int32_t> RowActions::FocusedFinished(MediaKind kind) const {
    const TaskListView& view = ViewOf(kind);
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; focus && i < view.RowCount(); ++i) {
        QWidget* row = view.RowAt(i);
        if ((row == focus || row->isAncestorOf(focus)) && Finished(ui::Tag(row))) {
            return ui::Tag(row);
        }
    }
    return std::nullopt;
}

void RowActions::DeleteFocusedFinished() {
    for (const MediaKind kind : kBothKinds) {
        if (const auto id = FocusedFinished(kind)) {
            Delete(*id);
            return;
        }
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
