// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/settings_dialog.h"

#include <QUrl>
#include <map>
#include <string>

#include "core/config_store.h"
#include "core/log.h"
#include "core/option_tables.h"
#include "dialogs/dialog_texts.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {

// The second page's check boxes that are each one on/off setting.
const std::map<QString, Setting>& SwitchSettings() {
    static const std::map<QString, Setting> switches{
        {QStringLiteral("keep-original-if-larger"), Setting::KeepOriginalIfLarger},
        {QStringLiteral("include-subfolders"), Setting::IncludeSubfolders},
    };
    return switches;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* owner, ConfigStore& config, DialogEnvironment environment,
                               FolderChooser chooseFolder)
    : ui::WindowBase(owner),
      m_config(config),
      m_environment(std::move(environment)),
      m_chooseFolder(std::move(chooseFolder)) {}

void SettingsDialog::initWindow() {
    // Setting the controls below must not write what was just read.
    m_initialising = true;
    for (const char* name :
         {"settings", "basic-seting", "other-seting", "output-dir", "choose-dir", "open-dir",
          "window-close-exit", "window-close-tray", "min-saving", "keep-photo-info",
          "keep-photo-location", "keep-original-if-larger", "include-subfolders"}) {
        control(QString::fromLatin1(name));
    }
    ui::SetCurrentIndex(control(QStringLiteral("audio-channel")),
                        m_config.GetValid(Setting::AudioChannelIndex));
    ui::SetCurrentIndex(control(QStringLiteral("audio-sample-rate")),
                        m_config.GetValid(Setting::AudioSampleRateIndex));
    ui::SetCurrentIndex(control(QStringLiteral("audio-bitrate")),
                        m_config.GetValid(Setting::AudioBitrateIndex));
    const bool minimise = m_config.Get(Setting::WindowClose) != 0;
    ui::SetChecked(control(minimise ? QStringLiteral("window-close-tray")
                                    : QStringLiteral("window-close-exit")),
                   true);
    ShowSavingAndPhotoSettings();
    for (const auto& [name, setting] : SwitchSettings()) {
        ui::SetChecked(control(name), m_config.GetValid(setting) != 0);
    }
    ui::SetCurrentIndex(control(QStringLiteral("settings")), 0);
    ui::SetText(control(QStringLiteral("output-dir")),
                QString::fromStdString(m_config.GetOutputFolder().string()));
    m_initialising = false;
}

void SettingsDialog::WriteInt(Setting setting, int value) {
    // A failed write is only logged: the dialog has nothing better to offer.
    if (!m_config.Set(setting, value)) {
        LogLine("cannot store %s\n", std::string(Describe(setting).key).c_str());
    }
}

template <class Table>
void SettingsDialog::WriteRow(Setting index, Setting value, const Table& table, int row) {
    if (row < 0 || row >= static_cast<int>(table.size())) return;
    WriteInt(index, row);
    WriteInt(value, table[static_cast<std::size_t>(row)]);
}

void SettingsDialog::ShowSavingAndPhotoSettings() {
    ui::SetValue(control(QStringLiteral("min-saving")),
                 m_config.GetValid(Setting::MinSavingPercent));
    const bool keepInfo = m_config.GetValid(Setting::KeepPhotoInfo) != 0;
    ui::SetChecked(control(QStringLiteral("keep-photo-info")), keepInfo);
    ui::SetChecked(control(QStringLiteral("keep-photo-location")),
                   m_config.GetValid(Setting::KeepPhotoLocation) != 0);
    // The position goes with the rest of the photo's information or not at all.
    control(QStringLiteral("keep-photo-location"))->setEnabled(keepInfo);
}

void SettingsDialog::notify(const ui::Notification& n) {
    if (!m_initialising && n.sender) {
        const QString& name = n.senderName;
        if (n.type == ui::kClick && name == QStringLiteral("choose-dir")) {
            if (const auto folder =
                    ChangeOutputFolder(this, m_config, m_chooseFolder, m_environment.boxes)) {
                ui::SetText(control(QStringLiteral("output-dir")),
                            QString::fromStdString(folder->string()));
            }
        } else if (n.type == ui::kClick && name == QStringLiteral("open-dir")) {
            const QString folder = ui::Text(control(QStringLiteral("output-dir")));
            const bool opened =
                m_environment.openUrl && m_environment.openUrl(QUrl::fromLocalFile(folder));
            if (!folder.isEmpty() && !opened && m_environment.boxes.tell) {
                m_environment.boxes.tell(this, NoFolderOpenerNotice(folder));
            }
        } else if (n.type == ui::kItemSelect && name == QStringLiteral("audio-channel")) {
            WriteRow(Setting::AudioChannelIndex, Setting::AudioChannel, kAudioChannels, n.value);
        } else if (n.type == ui::kItemSelect && name == QStringLiteral("audio-sample-rate")) {
            WriteRow(Setting::AudioSampleRateIndex, Setting::AudioSampleRate, kSampleRates,
                     n.value);
        } else if (n.type == ui::kItemSelect && name == QStringLiteral("audio-bitrate")) {
            WriteRow(Setting::AudioBitrateIndex, Setting::AudioBitrate, kAudioBitrates, n.value);
        } else if (n.type == ui::kValueChanged && name == QStringLiteral("min-saving")) {
            WriteInt(Setting::MinSavingPercent, n.value);
        } else if (n.type == ui::kSelectChanged && name == QStringLiteral("keep-photo-info")) {
            WriteInt(Setting::KeepPhotoInfo, n.value != 0 ? 1 : 0);
            control(QStringLiteral("keep-photo-location"))->setEnabled(n.value != 0);
        } else if (n.type == ui::kSelectChanged && name == QStringLiteral("keep-photo-location")) {
            WriteInt(Setting::KeepPhotoLocation, n.value != 0 ? 1 : 0);
        } else if (const auto it = SwitchSettings().find(name);
                   n.type == ui::kSelectChanged && it != SwitchSettings().end()) {
            WriteInt(it->second, n.value != 0 ? 1 : 0);
        } else if (n.type == ui::kSelectChanged && n.value != 0) {
            // Option buttons report both the one switched on and the one switched
            // off; only the new choice counts.
            if (name == QStringLiteral("basic-seting")) {
                ShowSavingAndPhotoSettings();
                ui::SetCurrentIndex(control(QStringLiteral("settings")), 0);
            } else if (name == QStringLiteral("other-seting")) {
                ui::SetCurrentIndex(control(QStringLiteral("settings")), 1);
            } else if (name == QStringLiteral("window-close-exit")) {
                WriteInt(Setting::WindowClose, 0);
            } else if (name == QStringLiteral("window-close-tray")) {
                WriteInt(Setting::WindowClose, 1);
            }
        }
    }
    ui::WindowBase::notify(n);
}

}  // namespace brisklo::dialogs
