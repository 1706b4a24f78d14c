// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace brisklo {
class ConfigStore;
namespace ui {
class WindowBase;
}
}  // namespace brisklo

namespace brisklo::app {

class RowActions;

// The strip at the bottom of the main window that shows where compressed files
// go, with buttons to change the folder (the same write test and setting as the
// settings dialog) and to open it.
class OutputFolderBar : public QObject {
    Q_OBJECT
  public:
    // Adds the strip ("OutputFolderBar.xml") under the main window's pages.
    OutputFolderBar(ui::WindowBase& window, ConfigStore& config, RowActions& actions);

    // Shows the output folder as the settings give it now.
    void Refresh();

  private:
    ui::WindowBase& m_window;
    ConfigStore& m_config;
    RowActions& m_actions;
    QWidget* m_path = nullptr;
};

}  // namespace brisklo::app
