#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brisklo {

// Row texts of the image list.
inline constexpr std::string_view kImageRunningText = "正在压缩";      // "progress-label"
inline constexpr std::string_view kImageRunningButtonText = "压缩中";  // "imageCompressBtn"
inline constexpr std::string_view kImageDoneText = "完成";
inline constexpr std::string_view kImageDoneButtonText = "压缩完成";
inline constexpr std::string_view kImageFailedText = "压缩失败";
inline constexpr std::string_view kImageFailedButtonText = "压 缩";

// The running state: "progress-label" shown with progressText, "imageCompressBtn"
// ignoring the mouse (keeping its look) with buttonText.
struct ImageRowRunning {
    std::string progressText{kImageRunningText};
    std::string buttonText{kImageRunningButtonText};
};

// The finished state: progressText in "progress-label", buttonText on
// "imageCompressBtn" (still ignoring the mouse), sizeText in "s1Label", savingText
// in "y1Label" drawn in savingColor (0xAARRGGBB). savingText is absent when the
// source size was 0: "y1Label" then stays empty.
struct ImageRowFinished {
    std::string progressText{kImageDoneText};
    std::string buttonText{kImageDoneButtonText};
    std::string sizeText;
    std::optional<std::string> savingText;
    std::uint32_t savingColor = 0;
    std::int64_t sourceSize = 0;
    std::int64_t outputSize = 0;
    std::filesystem::path outputPath;
    // The output did not pay: outputPath is a copy of the source (saving 0 %).
    bool keptOriginal = false;
};

// The failed state: progressText in "progress-label" (drawn in the failure red),
// "imageCompressBtn" with buttonText and reacting to the mouse again so the user can
// retry; reason (naming the file) as the row's tooltip or the command line's error.
struct ImageRowFailed {
    std::string progressText{kImageFailedText};
    std::string buttonText{kImageFailedButtonText};
    std::string reason;
};

// What the image engine shows on the rows of the image list; the desktop program
// and the command line implement it. Rows are found by task id ("item-%d"); a call
// for a row that no longer exists is ignored.
//
// ShowRunning is called on the dispatcher thread, the others on the thread that
// queues tasks and handles results (the UI thread). Implementations hand the change
// to their UI thread and return without waiting for it: the dispatcher must never
// wait on the UI thread, which may be the one stopping it.
class ImageRowView {
  public:
    virtual ~ImageRowView() = default;

    // Queued: "imageCompressBtn" ignores the mouse; the texts of "progress-label",
    // "s1Label" and "y1Label" are emptied.
    virtual void ShowWaiting(std::int32_t taskId) = 0;
    virtual void ShowRunning(std::int32_t taskId, const ImageRowRunning& row) = 0;
    virtual void ShowFinished(std::int32_t taskId, const ImageRowFinished& row) = 0;
    virtual void ShowFailed(std::int32_t taskId, const ImageRowFailed& row) = 0;
};

}  // namespace brisklo
