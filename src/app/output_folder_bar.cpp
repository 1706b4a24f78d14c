// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/output_folder_bar.h"

#include <QAbstractButton>
#include <QLayout>

#include "app/row_actions.h"
#include "core/config_store.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/output_folder_choice.h"
#include "ui/controls.h"
#include "ui/skin.h"
#include "ui/window_base.h"

namespace brisklo::app {

OutputFolderBar::OutputFolderBar(ui::WindowBase& window, ConfigStore& config, RowActions& actions)
    : QObject(&window), m_window(window), m_config(config), m_actions(actions) {
    QWidget* root = window.control(QStringLiteral("mainRoot"));
    QWidget* bar = ui::LoadLayout(QStringLiteral("OutputFolderBar.xml"), root);
    const auto need = [bar](const char* name) {
        QWidget* found = ui::FindSubControl(bar, QString::fromLatin1(name));
        if (!found) {
            throw ui::SkinError(
                std::string("the layout OutputFolderBar.xml has no control named \"") + name +
                "\"");
        }
        return found;
    };
    m_path = need("output-folder-path");
    auto* change = qobject_cast<QAbstractButton*>(need("output-folder-change"));
    auto* open = qobject_cast<QAbstractButton*>(need("output-folder-open"));
    if (root->layout()) root->layout()->addWidget(bar);
    if (change) {
        connect(change, &QAbstractButton::clicked, this, [this] {
            dialogs::ChangeOutputFolder(&m_window, m_config, m_actions.folderChooser(),
                                        m_actions.environment().boxes);
            Refresh();
        });
    }
    if (open)
        connect(open, &QAbstractButton::clicked, this,
                [this] { m_actions.OpenOutputFolder(MediaKind::Video); });
    Refresh();
}

void OutputFolderBar::Refresh() {
    const QString folder = QString::fromStdString(m_config.GetOutputFolder().string());
    ui::SetText(m_path, folder);
    m_path->setToolTip(folder);
}

}  // namespace brisklo::app
