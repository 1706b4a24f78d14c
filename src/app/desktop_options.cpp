#include "app/desktop_options.h"

#include "core/settings_source.h"
#include "ui/controls.h"
#include "ui/ui_call.h"

namespace brisklo::app {
namespace {

// The quality controls of the video options: the custom quality and the preset.
struct QualityControls {
    std::optional<std::int32_t> customQuality;
    bool balanced = false;
};

}  // namespace

VideoOptions DesktopOptions::CurrentVideoOptions() {
    VideoOptions options = VideoOptionsFromSettings(m_settings);
    if (!m_window) return options;
    const auto controls = ui::CallOnUiThread<QualityControls>(
        m_window,
        [this] {
            QualityControls read;
            if (ui::IsChecked(ui::FindSubControl(m_window, QStringLiteral("video-compress-check")))) {
                read.customQuality =
                    ui::Value(ui::FindSubControl(m_window, QStringLiteral("video-compress-slider")));
            }
            read.balanced = ui::IsChecked(
                ui::FindSubControl(m_window, QStringLiteral("video-compress-balanced-check")));
            return read;
        },
        &m_closing);
    if (controls) {
        options.customQuality = controls->customQuality;
        options.balanced = controls->balanced;
    }
    return options;
}

ImageOptions DesktopOptions::CurrentImageOptions() {
    CustomSizeFields fields;
    {
        std::lock_guard lock(m_sizeMutex);
        fields = m_sizeFields;
    }
    return ImageOptionsFromSettings(m_settings, SizeFieldValue(fields.width),
                                    SizeFieldValue(fields.height));
}

void DesktopOptions::KeepSizeFields(const CustomSizeFields& fields) {
    std::lock_guard lock(m_sizeMutex);
    m_sizeFields = fields;
}

}  // namespace brisklo::app
