#include "app/image_list_view.h"


#include "app/task_row.h"
#include "core/saving.h"
#include "image/image_task.h"
#include "ui/controls.h"
#include "ui/ui_call.h"

namespace brisklo::app {
namespace {

const QString kRowTemplate = QStringLiteral("ImageListContainerElement.xml");
// The failure text is drawn in the same red as a larger output.
constexpr std::uint32_t kFailureColor = kGrowthColor;
const QString kKeptOriginalText = QStringLiteral("已是最优，保留原文件");

QWidget* Sub(QWidget* row, const char* name) {
    return ui::FindSubControl(row, QString::fromLatin1(name));
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

ImageListView::ImageListView(QWidget* window, QWidget* list)
    : m_window(window), m_rows(list, kRowTemplate) {}

QWidget* ImageListView::AddRow(std::int32_t taskId, const ImageTask& task) {
    QWidget* row = m_rows.add(ui::RowName(taskId));
    FillTaskRow(row, taskId, {"imagecheckBox", "imageCompressBtn", "imageMenuBtn"}, task.fileName,
                task.fullPath.string(), task.fileSize);
    return row;
}

QWidget* ImageListView::Row(std::int32_t taskId) const { return m_rows.find(ui::RowName(taskId)); }

void ImageListView::ShowWaiting(std::int32_t taskId) {
    QWidget* row = Row(taskId);
    if (!row) return;
    ui::SetMouseEnabled(Sub(row, "imageCompressBtn"), false);
    for (const char* emptied : {"progress-label", "s1Label", "y1Label"}) {
        ui::SetText(Sub(row, emptied), QString());
    }
}

void ImageListView::ShowRunning(std::int32_t taskId, const ImageRowRunning& state) {
    if (!m_window) return;
    ui::RunOnUiThread(m_window, [this, taskId, state] {
        QWidget* row = Row(taskId);
        if (!row) return;
        QWidget* label = Sub(row, "progress-label");
        label->setStyleSheet(QString());
        label->show();
        ui::SetText(label, Text(state.progressText));
        QWidget* button = Sub(row, "imageCompressBtn");
        ui::SetMouseEnabled(button, false);
        ui::SetText(button, Text(state.buttonText));
    });
}

void ImageListView::ShowFinished(std::int32_t taskId, const ImageRowFinished& state) {
    QWidget* row = Row(taskId);
    if (!row) return;
    QWidget* label = Sub(row, "progress-label");
    label->setStyleSheet(QString());
    label->setToolTip(QString());
    label->show();
    ui::SetText(label, state.keptOriginal ? kKeptOriginalText : Text(state.progressText));
    ui::SetText(Sub(row, "imageCompressBtn"), Text(state.buttonText));
    ui::SetText(Sub(row, "s1Label"), Text(state.sizeText));
    Sub(row, "s1Label")->setToolTip(QString::fromStdString(state.outputPath.string()));
    QWidget* saving = Sub(row, "y1Label");
    ui::SetTextColor(saving, state.savingColor);
    ui::SetText(saving, Text(state.savingText.value_or("")));
}

void ImageListView::ShowFailed(std::int32_t taskId, const ImageRowFailed& state) {
    QWidget* row = Row(taskId);
    if (!row) return;
    QWidget* label = Sub(row, "progress-label");
    label->show();
    ui::SetTextColor(label, kFailureColor);
    ui::SetText(label, Text(state.progressText));
    label->setToolTip(Text(state.reason));
    QWidget* button = Sub(row, "imageCompressBtn");
    ui::SetText(button, Text(state.buttonText));
    ui::SetMouseEnabled(button, true);
}

}  // namespace brisklo::app
