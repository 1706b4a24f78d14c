// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/output_folder_choice.h"
#include "ui/window_base.h"

namespace brisklo {
class ConfigStore;
}

namespace brisklo::dialogs {

// The settings dialog ("系统设置"): output folder, audio defaults and what the main
// window's close button does. Every change is written to the settings at once;
// there is no save or cancel step, and reopening shows what the settings hold.
class SettingsDialog : public ui::WindowBase {
    Q_OBJECT
  public:
    SettingsDialog(QWidget* owner, ConfigStore& config, DialogEnvironment environment,
                   FolderChooser chooseFolder);

  protected:
    QString skinFile() const override { return QStringLiteral("Seting.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;

  private:
    // The minimum saving and the photo switches as the settings hold them.
    void ShowSavingAndPhotoSettings();
    void WriteInt(Setting setting, int value);
    // Index and value of a table row, written as a pair; rows outside the table write nothing.
    template <class Table>
    void WriteRow(Setting index, Setting value, const Table& table, int row);

    ConfigStore& m_config;
    const DialogEnvironment m_environment;
    const FolderChooser m_chooseFolder;
    bool m_initialising = false;
};

}  // namespace brisklo::dialogs
