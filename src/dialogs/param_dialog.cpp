// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_dialog.h"

#include <QSpinBox>
#include <algorithm>
#include <array>
#include <iterator>

#include "core/log.h"
#include "core/media_options.h"
#include "core/messages.h"
#include "core/option_tables.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {

constexpr std::array<const char*, 3> kCompressTypes = {"compress-type-general",
                                                       "compress-type-deep", "compress-type-limit"};
constexpr std::array<const char*, 2> kVideoTypes = {"radio_mp4", "radio_flv"};

// The index of the first selected option of the group, or -1.
template <std::size_t N>
int SelectedOption(const ui::WindowBase& dialog, const std::array<const char*, N>& names) {
    for (std::size_t i = 0; i < N; ++i) {
        if (ui::IsChecked(dialog.control(QString::fromLatin1(names[i]))))
            return static_cast<int>(i);
    }
    return -1;
}

template <std::size_t N>
void SelectOption(const ui::WindowBase& dialog, const std::array<const char*, N>& names,
                  int index) {
    if (index >= 0 && index < static_cast<int>(N)) {
        ui::SetChecked(dialog.control(QString::fromLatin1(names[static_cast<std::size_t>(index)])),
                       true);
    }
}

template <std::size_t N>
bool InTable(int row, const std::array<int, N>&) {
    return row >= 0 && row < static_cast<int>(N);
}

}  // namespace

ParamDialog::ParamDialog(ui::WindowBase* owner, std::int32_t taskId, TaskParam param)
    : ui::WindowBase(owner), m_owner(owner), m_taskId(taskId), m_param(param) {
    LogLine("unique_id: %d\n", taskId);
    m_param.taskId = taskId;
}

TaskParam ParamDialog::DefaultRecord() {
    TaskParam param;
    param.channel = 0;
    param.sampleRate = 0;
    param.bitrate = 0;
    param.sampleRateIndex = kDefaultSampleRateIndex;
    param.bitrateIndex = kDefaultAudioBitrateIndex;
    return param;
}

void ParamDialog::initWindow() {
    for (const char* name : {"video-ratio", "audio-channel", "audio-sample-rate", "audio-bitrate",
                             "target-size", "target-value", "save", "cancel"}) {
        control(QString::fromLatin1(name));
    }
    ShowRecord(m_param);
}

void ParamDialog::ShowRecord(const TaskParam& param) {
    SelectOption(*this, kCompressTypes, param.compressType);
    SelectOption(*this, kVideoTypes, param.videoType);
    ui::SetCurrentIndex(control(QStringLiteral("video-ratio")), param.resolutionIndex);
    ui::SetCurrentIndex(control(QStringLiteral("audio-channel")), param.channelIndex);
    ui::SetCurrentIndex(control(QStringLiteral("audio-sample-rate")), param.sampleRateIndex);
    ui::SetCurrentIndex(control(QStringLiteral("audio-bitrate")), param.bitrateIndex);
    ShowTarget(param);
}

namespace {

// Rows of "target-size": the level's quality, the presets, the custom size, the share.
constexpr int kFirstPresetRow = 1;
constexpr int kCustomRow = kFirstPresetRow + static_cast<int>(std::size(kVideoTargetPresetsMb));
constexpr int kPercentRow = kCustomRow + 1;

}  // namespace

void ParamDialog::ShowTarget(const TaskParam& param) {
    int row = 0;
    int value = 20;
    if (param.targetKind == 1) {
        row = kCustomRow;
        value = static_cast<int>(std::max<std::int64_t>(param.targetKb * kKilobyte / kMegabyte, 1));
        for (std::size_t i = 0; i < std::size(kVideoTargetPresetsMb); ++i) {
            if (param.targetKb * kKilobyte == kVideoTargetPresetsMb[i] * kMegabyte) {
                row = kFirstPresetRow + static_cast<int>(i);
            }
        }
    } else if (param.targetKind == 2) {
        row = kPercentRow;
        value = param.targetPercent;
    }
    ui::SetCurrentIndex(control(QStringLiteral("target-size")), row);
    ShowTargetUnit(row);
    ui::SetValue(control(QStringLiteral("target-value")), value);
}

void ParamDialog::ShowTargetUnit(int row) {
    auto* box = qobject_cast<QSpinBox*>(control(QStringLiteral("target-value")));
    if (!box) return;
    if (row == kPercentRow) {
        box->setRange(1, 99);
        box->setSuffix(QStringLiteral(" %"));
    } else {
        box->setRange(1, 1000000);
        box->setSuffix(QStringLiteral(" MB"));
    }
    box->setVisible(row == kCustomRow || row == kPercentRow);
}

void ParamDialog::ReadTarget() {
    const int row = ui::CurrentIndex(control(QStringLiteral("target-size")));
    const int value = ui::Value(control(QStringLiteral("target-value")));
    m_param.targetKind = 0;
    if (row >= kFirstPresetRow && row < kCustomRow) {
        m_param.targetKind = 1;
        m_param.targetKb = kVideoTargetPresetsMb[row - kFirstPresetRow] * kMegabyte / kKilobyte;
    } else if (row == kCustomRow) {
        m_param.targetKind = 1;
        m_param.targetKb = std::int64_t{value} * kMegabyte / kKilobyte;
    } else if (row == kPercentRow) {
        m_param.targetKind = 2;
        m_param.targetPercent = value;
    }
}

void ParamDialog::notify(const ui::Notification& n) {
    const QString& name = n.senderName;
    if (n.type == ui::kClick && name == QStringLiteral("save")) {
        Save();
        return;
    }
    if (n.type == ui::kClick && name == QStringLiteral("cancel")) {
        RestoreDefaults();
    } else if (n.type == ui::kItemSelect && name == QStringLiteral("target-size")) {
        ShowTargetUnit(n.value);
    } else if (n.type == ui::kSelectChanged && n.value != 0) {
        for (std::size_t i = 0; i < kCompressTypes.size(); ++i) {
            if (name == QLatin1String(kCompressTypes[i]))
                m_param.compressType = static_cast<int>(i);
        }
        for (std::size_t i = 0; i < kVideoTypes.size(); ++i) {
            if (name == QLatin1String(kVideoTypes[i])) m_param.videoType = static_cast<int>(i);
        }
    }
    ui::WindowBase::notify(n);
}

void ParamDialog::Save() {
    if (const int type = SelectedOption(*this, kCompressTypes); type >= 0)
        m_param.compressType = type;
    if (const int type = SelectedOption(*this, kVideoTypes); type >= 0) m_param.videoType = type;
    const int ratio = ui::CurrentIndex(control(QStringLiteral("video-ratio")));
    if (ratio >= 0 && ratio < static_cast<int>(kResolutions.size())) {
        m_param.resolutionIndex = ratio;
        m_param.width = kResolutions[static_cast<std::size_t>(ratio)].width;
        m_param.height = kResolutions[static_cast<std::size_t>(ratio)].height;
    }
    const int channel = ui::CurrentIndex(control(QStringLiteral("audio-channel")));
    if (InTable(channel, kAudioChannels)) {
        m_param.channelIndex = channel;
        m_param.channel = kAudioChannels[static_cast<std::size_t>(channel)];
    }
    const int rate = ui::CurrentIndex(control(QStringLiteral("audio-sample-rate")));
    if (InTable(rate, kSampleRates)) {
        m_param.sampleRateIndex = rate;
        m_param.sampleRate = kSampleRates[static_cast<std::size_t>(rate)];
    }
    const int bitrate = ui::CurrentIndex(control(QStringLiteral("audio-bitrate")));
    if (InTable(bitrate, kAudioBitrates)) {
        m_param.bitrateIndex = bitrate;
        m_param.bitrate = kAudioBitrates[static_cast<std::size_t>(bitrate)];
    }
    ReadTarget();
    LogLine("bitrate: %d\n", m_param.bitrate);
    LogLine("bitrateIndex: %d\n", m_param.bitrateIndex);
    LogLine("channel: %d\n", m_param.channel);
    LogLine("channelIndex: %d\n", m_param.channelIndex);
    LogLine("compressType: %d\n", m_param.compressType);
    LogLine("height: %d\n", m_param.height);
    LogLine("sampleRate: %d\n", m_param.sampleRate);
    LogLine("sampleRateIndex: %d\n", m_param.sampleRateIndex);
    if (m_owner) m_owner->post(static_cast<int>(MessageId::ParametersSaved), m_param);
    closeWith(1);
}

void ParamDialog::RestoreDefaults() {
    TaskParam defaults = DefaultRecord();
    ShowRecord(defaults);
    // The record keeps its values; a later save reads the restored controls.
    if (m_owner) m_owner->post(static_cast<int>(MessageId::ParametersRemoved), m_taskId);
}

}  // namespace brisklo::dialogs
