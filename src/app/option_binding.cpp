// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/option_binding.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <array>

#include "core/config_store.h"
#include "core/log.h"
#include "core/option_tables.h"
#include "core/settings_source.h"
#include "ui/controls.h"
#include "ui/skin.h"

namespace brisklo::app {
namespace {

// One group of option buttons and the setting that holds which is selected: the
// n-th name stores the value n.
struct OptionGroup {
    Setting setting;
    std::array<const char*, 4> names;  // null after the last
};

constexpr std::array<OptionGroup, 4> kGroups = {{
    {Setting::CompressType,
     {"compress-type-general", "compress-type-deep", "compress-type-limit", nullptr}},
    {Setting::VideoType, {"radio-mp4", "radio-flv", "radio-mov", "radio-mkv"}},
    {Setting::ImageCompressType,
     {"image-compress-type-general", "image-compress-type-deep", "image-compress-type-limit",
      nullptr}},
    {Setting::ImageType, {"image-format-original", "image-format-jpg", nullptr, nullptr}},
}};

struct CheckOption {
    Setting setting;
    const char* name;
};
constexpr std::array<CheckOption, 4> kChecks = {{
    {Setting::ImageDefineParam, "image-define-param"},
    {Setting::GifDefineParam, "gif-define-param"},
    {Setting::VideoTargetOn, "video-target-check"},
    {Setting::ImageTargetOn, "image-target-check"},
}};

// Rows of "video-target-size" after the presets: the custom size, the share.
constexpr int kCustomTargetRow = 5;
constexpr int kPercentTargetRow = 6;

// Pairs of check boxes of which at most one is on: a size to fit under or the
// custom quality; the balanced or the quality-first preset.
constexpr std::array<std::array<const char*, 2>, 2> kExclusiveChecks = {{
    {"video-target-check", "video-compress-check"},
    {"video-compress-balanced-check", "video-compress-quality-check"},
}};

// Combos: the setting of the selected index and the last index it stores.
struct ComboOption {
    Setting setting;
    const char* name;
    int lastIndex;
};
constexpr std::array<ComboOption, 4> kCombos = {{
    {Setting::VideoTargetIndex, "video-target-size", kPercentTargetRow},
    {Setting::VideoRatioIndex, "video-ratio", static_cast<int>(kResolutions.size()) - 1},
    {Setting::ImageRatioIndex, "image-ratio", 5},
    {Setting::GifDropFrameIndex, "gif-drop-frame", 4},
}};

int GroupSize(const OptionGroup& group) {
    int size = 0;
    while (size < static_cast<int>(group.names.size()) && group.names[size]) ++size;
    return size;
}

// Selects the value-th button of the group, or none when value is out of range.
void SelectInGroup(QWidget* window, const OptionGroup& group, int value) {
    for (int i = 0; i < GroupSize(group); ++i) {
        auto* button = ui::FindSubControl(window, QString::fromLatin1(group.names[i]));
        auto* option = qobject_cast<QAbstractButton*>(button);
        if (!option) continue;
        // Exclusive buttons refuse to be unchecked one by one.
        const bool exclusive = option->autoExclusive();
        option->setAutoExclusive(false);
        option->setChecked(i == value);
        option->setAutoExclusive(exclusive);
    }
}

std::optional<int> SelectedInGroup(QWidget* window, const OptionGroup& group) {
    for (int i = 0; i < GroupSize(group); ++i) {
        if (ui::IsChecked(ui::FindSubControl(window, QString::fromLatin1(group.names[i]))))
            return i;
    }
    return std::nullopt;
}

}  // namespace

OptionBinding::OptionBinding(QWidget* window, ConfigStore& config, DesktopOptions& options)
    : m_window(window), m_config(config), m_options(options) {
    // Fail at start, naming the control, rather than on the first click.
    for (const OptionGroup& group : kGroups) {
        for (int i = 0; i < GroupSize(group); ++i) Control(group.names[i]);
    }
    for (const CheckOption& check : kChecks) Control(check.name);
    for (const ComboOption& combo : kCombos) Control(combo.name);
    for (const char* name :
         {"compress-video", "compress-image", "main-tab", "video-compress-check",
          "video-compress-slider", "video-compress-label", "video-compress-balanced-check",
          "video-compress-quality-check", "video-target-value", "image-target-kb", "image-width",
          "image-height"}) {
        Control(name);
    }
    for (const char* field : {"image-width", "image-height"}) {
        QObject::connect(qobject_cast<QLineEdit*>(Control(field)), &QLineEdit::textChanged,
                         m_window, [this] { KeepShown(); });
    }
}

QWidget* OptionBinding::Control(const char* name) const {
    QWidget* control = ui::FindSubControl(m_window, QString::fromLatin1(name));
    if (!control) {
        throw ui::SkinError("the layout MainWindow.xml has no control named \"" +
                            std::string(name) + "\"");
    }
    return control;
}

void OptionBinding::Load() {
    // One read of the file for every option.
    const auto settings = m_config.Snapshot();
    m_loading = true;
    for (const OptionGroup& group : kGroups) {
        SelectInGroup(m_window, group, settings->Get(group.setting));
    }
    for (const CheckOption& check : kChecks) {
        ui::SetChecked(Control(check.name), settings->Get(check.setting) != 0);
    }
    for (const ComboOption& combo : kCombos) {
        // An index outside the items selects none.
        ui::SetCurrentIndex(Control(combo.name), settings->Get(combo.setting));
    }
    ui::SetValue(Control("image-target-kb"), settings->GetValid(Setting::ImageTargetKb));
    ShowTargetValue(*settings);
    m_loading = false;
    ShowSliderPercent();
    KeepShown();
}

void OptionBinding::ShowTargetValue(const SettingsSource& settings) {
    // The value box says MB for the custom size, % for the share; the presets need
    // none.
    auto* box = qobject_cast<QSpinBox*>(Control("video-target-value"));
    const int row = ui::CurrentIndex(Control("video-target-size"));
    const bool loading = m_loading;
    m_loading = true;
    if (row == kPercentTargetRow) {
        box->setRange(1, 99);
        box->setSuffix(QStringLiteral(" %"));
        box->setValue(settings.GetValid(Setting::VideoTargetPercent));
    } else {
        box->setRange(1, 1000000);
        box->setSuffix(QStringLiteral(" MB"));
        box->setValue(settings.GetValid(Setting::VideoTargetCustomMb));
    }
    box->setVisible(row == kCustomTargetRow || row == kPercentTargetRow);
    m_loading = loading;
}

bool OptionBinding::Handle(const ui::Notification& n) {
    bool handled = false;
    if (n.type == ui::kSelectChanged) {
        handled = HandleSelect(n);
    } else if (n.type == ui::kItemSelect) {
        handled = HandleItem(n);
    } else if (n.type == ui::kValueChanged &&
               n.senderName == QLatin1String("video-compress-slider")) {
        ShowSliderPercent();
        handled = true;
    } else if (n.type == ui::kValueChanged && n.senderName == QLatin1String("image-target-kb")) {
        Write(static_cast<int>(Setting::ImageTargetKb), n.value);
        handled = true;
    } else if (n.type == ui::kValueChanged && n.senderName == QLatin1String("video-target-value")) {
        const bool percent = ui::CurrentIndex(Control("video-target-size")) == kPercentTargetRow;
        Write(
            static_cast<int>(percent ? Setting::VideoTargetPercent : Setting::VideoTargetCustomMb),
            n.value);
        handled = true;
    }
    if (handled) KeepShown();
    return handled;
}

bool OptionBinding::HandleSelect(const ui::Notification& n) {
    if (n.senderName == QLatin1String("compress-video") ||
        n.senderName == QLatin1String("compress-image")) {
        if (n.value) {
            const int page = n.senderName == QLatin1String("compress-video") ? 0 : 1;
            ui::SetCurrentIndex(Control("main-tab"), page);
        }
        return true;
    }
    for (const OptionGroup& group : kGroups) {
        for (int i = 0; i < GroupSize(group); ++i) {
            // Only the option that becomes selected writes: the group's value.
            if (n.senderName != QLatin1String(group.names[i])) continue;
            if (n.value) Write(static_cast<int>(group.setting), i);
            return true;
        }
    }
    if (n.value) {
        for (const auto& pair : kExclusiveChecks) {
            for (int i = 0; i < 2; ++i) {
                if (n.senderName == QLatin1String(pair[i]))
                    ui::SetChecked(Control(pair[1 - i]), false);
            }
        }
    }
    for (const CheckOption& check : kChecks) {
        if (n.senderName != QLatin1String(check.name)) continue;
        Write(static_cast<int>(check.setting), n.value ? 1 : 0);
        return true;
    }
    // The quality check boxes are not stored, but the workers read them.
    return n.senderName == QLatin1String("video-compress-check") ||
           n.senderName == QLatin1String("video-compress-balanced-check") ||
           n.senderName == QLatin1String("video-compress-quality-check");
}

bool OptionBinding::HandleItem(const ui::Notification& n) {
    for (const ComboOption& combo : kCombos) {
        if (n.senderName != QLatin1String(combo.name)) continue;
        const int index = n.value;
        if (index < 0 || index > combo.lastIndex) return true;
        Write(static_cast<int>(combo.setting), index);
        if (combo.setting == Setting::VideoRatioIndex) {
            // Row 0 writes 0 x 0: keep the source size.
            Write(static_cast<int>(Setting::VideoRatioWidth), kResolutions[index].width);
            Write(static_cast<int>(Setting::VideoRatioHeight), kResolutions[index].height);
        }
        if (combo.setting == Setting::VideoTargetIndex) ShowTargetValue(*m_config.Snapshot());
        return true;
    }
    return false;
}

void OptionBinding::Write(int setting, int value) {
    if (m_loading) return;
    const auto key = static_cast<Setting>(setting);
    if (!m_config.Set(key, value)) {
        LogLine("cannot write %.*s to %s\n", static_cast<int>(Describe(key).key.size()),
                Describe(key).key.data(), m_config.path().string().c_str());
    }
}

int OptionBinding::SliderPercent(int value, int minimum, int maximum) {
    if (maximum <= minimum) return 0;
    const float share = static_cast<float>(value - minimum) / static_cast<float>(maximum - minimum);
    return static_cast<int>(share * 100.0f);
}

void OptionBinding::ShowSliderPercent() {
    QWidget* slider = Control("video-compress-slider");
    const int percent =
        SliderPercent(ui::Value(slider), ui::MinValue(slider), ui::MaxValue(slider));
    ui::SetText(Control("video-compress-label"), QString::asprintf("%d%%", percent));
}

void OptionBinding::KeepShown() {
    ShownOptions shown;
    shown.videoLevel = SelectedInGroup(m_window, kGroups[0]);
    shown.videoContainer = SelectedInGroup(m_window, kGroups[1]);
    shown.videoRatioIndex = ui::CurrentIndex(Control("video-ratio"));
    if (ui::IsChecked(Control("video-compress-check"))) {
        shown.customQuality = ui::Value(Control("video-compress-slider"));
    }
    shown.balanced = ui::IsChecked(Control("video-compress-balanced-check"));
    shown.qualityFirst = ui::IsChecked(Control("video-compress-quality-check"));
    shown.videoTargetOn = ui::IsChecked(Control("video-target-check"));
    shown.videoTargetIndex = ui::CurrentIndex(Control("video-target-size"));
    shown.videoTargetValue = ui::Value(Control("video-target-value"));
    shown.imageTargetOn = ui::IsChecked(Control("image-target-check"));
    shown.imageTargetKb = ui::Value(Control("image-target-kb"));
    shown.imageLevel = SelectedInGroup(m_window, kGroups[2]);
    shown.imageOutput = SelectedInGroup(m_window, kGroups[3]);
    shown.imageRatioIndex = ui::CurrentIndex(Control("image-ratio"));
    shown.gifDropOn = ui::IsChecked(Control("gif-define-param"));
    shown.gifDropIndex = ui::CurrentIndex(Control("gif-drop-frame"));
    shown.sizeFields.enabled = ui::IsChecked(Control("image-define-param"));
    shown.sizeFields.width = ui::Text(Control("image-width")).toStdString();
    shown.sizeFields.height = ui::Text(Control("image-height")).toStdString();
    m_options.Keep(shown);
}

}  // namespace brisklo::app
