#include "app/video_list_view.h"


#include "app/task_row.h"
#include "core/video_task.h"
#include "ui/controls.h"
#include "ui/ui_call.h"

namespace brisklo::app {
namespace {

const QString kRowTemplate = QStringLiteral("VideoListContainerElement.xml");
const QString kRunningText = QStringLiteral("压缩中");
const QString kDoneText = QStringLiteral("压缩完成");
const QString kCompressText = QStringLiteral("压 缩");
const QString kKeptOriginalText = QStringLiteral("已是最优，保留原文件");

QWidget* Sub(QWidget* row, const char* name) {
    return ui::FindSubControl(row, QString::fromLatin1(name));
}

}  // namespace

QString FormatDuration(double seconds) {
    const int total = seconds > 0 ? static_cast<int>(seconds) : 0;
    return QString::asprintf("%02d:%02d:%02d", total / 3600, total / 60 % 60, total % 60);
}

VideoListView::VideoListView(QWidget* window, QWidget* list)
    : m_window(window), m_rows(list, kRowTemplate) {}

QWidget* VideoListView::AddRow(std::int32_t taskId, const VideoTask& task, double durationSeconds) {
    QWidget* row = m_rows.add(ui::RowName(taskId));
    FillTaskRow(row, taskId, {"videocheckBox", "compressBtn", "videoMenuBtn"}, task.fileName,
                task.fullPath, task.fileSize);
    ui::SetText(Sub(row, "durationLabel"), FormatDuration(durationSeconds));
    return row;
}

QWidget* VideoListView::Row(std::int32_t taskId) const { return m_rows.find(ui::RowName(taskId)); }

void VideoListView::RemoveRow(std::int32_t taskId) { m_rows.remove(Row(taskId)); }

void VideoListView::ShowWaiting(std::int32_t taskId) {
    if (QWidget* row = Row(taskId)) ui::SetMouseEnabled(Sub(row, "compressBtn"), false);
}

void VideoListView::ShowParameterFlag(std::int32_t taskId, bool visible) {
    if (QWidget* row = Row(taskId)) Sub(row, "paramFlag")->setVisible(visible);
}

void VideoListView::ShowRunning(std::int32_t taskId) {
    if (!m_window) return;
    ui::RunOnUiThread(m_window, [this, taskId] {
        QWidget* row = Row(taskId);
        if (!row) return;
        if (Sub(row, "progress-container")->isHidden()) {
            Sub(row, "progress-container")->show();
            Sub(row, "progress-label")->show();
            Sub(row, "errorLabel")->hide();
        }
        if (Sub(row, "progress-slider")->isHidden()) Sub(row, "progress-slider")->show();
        QWidget* button = Sub(row, "compressBtn");
        ui::SetMouseEnabled(button, false);
        ui::SetText(button, kRunningText);
    });
}

VideoOptionValues VideoListView::ReadOptions() {
    if (!m_window) return {};
    auto values = ui::CallOnUiThread<VideoOptionValues>(
        m_window,
        [this] {
            VideoOptionValues v;
            v.customQuality =
                ui::IsChecked(ui::FindSubControl(m_window, QStringLiteral("video-compress-check")));
            v.qualitySlider =
                ui::Value(ui::FindSubControl(m_window, QStringLiteral("video-compress-slider")));
            v.balanced = ui::IsChecked(
                ui::FindSubControl(m_window, QStringLiteral("video-compress-balanced-check")));
            return v;
        },
        &m_closing);
    return values.value_or(VideoOptionValues{});
}

void VideoListView::ShowProgress(std::int32_t taskId, std::optional<int> percent, float) {
    QWidget* row = Row(taskId);
    if (!row) return;
    if (!percent) {
        // The duration is unknown: no percentage rather than a wrong one.
        ui::SetText(Sub(row, "progress-label"), QString());
        return;
    }
    ui::SetValue(Sub(row, "progress-slider"), *percent);
    ui::SetText(Sub(row, "progress-label"), QStringLiteral("%1%").arg(*percent));
}

void VideoListView::ShowFinished(std::int32_t taskId, const VideoResult& result) {
    QWidget* row = Row(taskId);
    if (!row) return;
    ui::SetValue(Sub(row, "progress-slider"), 100);
    ui::SetText(Sub(row, "compressBtn"), kDoneText);
    // A kept original shows so instead of the percentage; its size and saving
    // (the original's, 0 %) follow as for any result.
    ui::SetText(Sub(row, "progress-label"),
                result.keptOriginal ? kKeptOriginalText : QStringLiteral("100%"));
    ui::SetText(Sub(row, "s1Label"), QString::fromStdString(result.sizeText));
    Sub(row, "s1Label")->setToolTip(QString::fromStdString(result.outputPath));
    QWidget* saving = Sub(row, "y1Label");
    ui::SetTextColor(saving, result.savingColor);
    ui::SetText(saving, QString::fromStdString(result.savingText));
}

void VideoListView::ShowFailed(std::int32_t taskId, const std::string& reason) {
    QWidget* row = Row(taskId);
    if (!row) return;
    Sub(row, "progress-container")->hide();
    Sub(row, "progress-label")->hide();
    QWidget* error = Sub(row, "errorLabel");
    error->setToolTip(QString::fromStdString(reason));
    error->show();
    QWidget* button = Sub(row, "compressBtn");
    ui::SetText(button, kCompressText);
    ui::SetMouseEnabled(button, true);
}

}  // namespace brisklo::app
