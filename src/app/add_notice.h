// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <vector>

#include "app/add_report.h"

namespace brisklo {
class ConfigStore;

namespace ui {
class WindowBase;
}

namespace app {

class FileAdding;

// The strip under the pages that says what an add did ("add-notice"). When it
// left sub-folders out, its check box "包含子文件夹" adds them after all and
// keeps the setting for the adds to come. It goes by itself after a while
// unless it offers the sub-folders.
class AddNotice : public QObject {
    Q_OBJECT
  public:
    AddNotice(ui::WindowBase& window, ConfigStore& config, FileAdding& adding);

    void Show(const AddReport& report);

  private:
    void IncludeSubfolders(bool include);

    ui::WindowBase& m_window;
    ConfigStore& m_config;
    FileAdding& m_adding;
    std::vector<SkippedFolder> m_skipped;
    QTimer m_hide;
};

}  // namespace app
}  // namespace brisklo
