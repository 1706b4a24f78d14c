#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "core/media_options.h"
#include "image/image_size_check.h"

namespace brisklo {
class SettingsSource;

namespace app {

// Answers the workers' "which options now?" for the main window: the stored
// options with what its option controls show. The video worker's read is carried
// to the UI thread; the image dispatcher's is answered from a copy of the size
// fields the window keeps current, so neither waits on a stopping window.
class DesktopOptions : public VideoOptionsProvider, public ImageOptionsProvider {
  public:
    // window: the main window with the option controls.
    DesktopOptions(QWidget* window, const SettingsSource& settings)
        : m_window(window), m_settings(settings) {}

    VideoOptions CurrentVideoOptions() override;
    ImageOptions CurrentImageOptions() override;

    // The custom size fields as the user left them (UI thread).
    void KeepSizeFields(const CustomSizeFields& fields);
    // After this, reads give up instead of waiting for the UI thread.
    void Close() { m_closing = true; }

  private:
    QPointer<QWidget> m_window;
    const SettingsSource& m_settings;
    std::atomic<bool> m_closing{false};
    std::mutex m_sizeMutex;
    CustomSizeFields m_sizeFields;
};

}  // namespace app
}  // namespace brisklo
