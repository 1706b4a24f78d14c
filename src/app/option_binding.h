// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include "app/desktop_options.h"
#include "ui/notification.h"

namespace brisklo {
class ConfigStore;
class SettingsSource;

namespace app {

// Binds the main window's option controls to the settings: each is loaded at
// start and written the moment the user changes it. It also switches the pages
// from the tab buttons and keeps the slider's percentage label, and hands every
// change to the options the workers read.
class OptionBinding {
  public:
    // window: the main window, its controls built.
    OptionBinding(QWidget* window, ConfigStore& config, DesktopOptions& options);

    // Shows the stored options. A stored value outside its group's range leaves
    // the group with nothing selected.
    void Load();
    // True when the notification was about an option control or a tab button.
    bool Handle(const ui::Notification& notification);
    // Copies what the controls show to the options the workers read (UI thread).
    void KeepShown();

    // The slider's percentage: (value - minimum) / (maximum - minimum) x 100,
    // truncated; 0 for a slider without a range.
    static int SliderPercent(int value, int minimum, int maximum);

  private:
    QWidget* Control(const char* name) const;
    void Write(int setting, int value);
    void ShowSliderPercent();
    // Shows the custom size or the percentage the size choice's row needs.
    void ShowTargetValue(const SettingsSource& settings);
    bool HandleSelect(const ui::Notification& notification);
    bool HandleItem(const ui::Notification& notification);

    QWidget* m_window;
    ConfigStore& m_config;
    DesktopOptions& m_options;
    bool m_loading = false;
};

}  // namespace app
}  // namespace brisklo
