// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <vector>

namespace brisklo::app {

// Lets files and folders from the file manager be dropped anywhere on a window:
// local files only; the paths go to the receiver in the order they were dragged.
class FileDrop : public QObject {
  public:
    using Receiver = std::function<void(const std::vector<std::filesystem::path>&)>;
    FileDrop(QWidget* window, Receiver receiver);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Receiver m_receiver;
};

}  // namespace brisklo::app
