// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_presenter.h"

#include <QLabel>
#include <optional>

#include "app/failure_texts.h"
#include "app/row_texts.h"
#include "app/task_row.h"
#include "app/task_row_data.h"
#include "core/file_utils.h"
#include "ui/controls.h"

namespace brisklo::app {
namespace {

constexpr int kNameWidth = 320;
constexpr const char* kColorProperty = "textColor";

// The text colour of a label, or the style sheet's own with none; the label's
// style is only touched when it changes.
void SetColor(QWidget* label, std::optional<std::uint32_t> argb) {
    const QVariant now = label->property(kColorProperty);
    if (!argb) {
        if (!now.isValid()) return;
        label->setProperty(kColorProperty, QVariant());
        label->setStyleSheet(QString());
        return;
    }
    if (now.isValid() && now.toUInt() == *argb) return;
    ui::SetTextColor(label, *argb);
}

void SetVisible(QWidget* widget, bool visible) {
    if (widget && widget->isHidden() == visible) widget->setVisible(visible);
}

// What both kinds of row show alike: the task, its button and its result.
void PresentCommon(const TaskRow& row, const TaskRowData& data, std::size_t place) {
    for (QWidget* tagged : {row.row, row.compressButton, row.menuButton, row.checkBox}) {
        ui::SetTag(tagged, data.id);
    }
    row.row->setObjectName(QStringLiteral("item-%1").arg(data.id));
    row.fileName->setText(
        row.fileName->fontMetrics().elidedText(data.name, Qt::ElideMiddle, kNameWidth));
    row.fileName->setToolTip(data.fullPath);
    row.checkBox->setAccessibleName(row_text::SelectName(data.name));
    row.menuButton->setAccessibleName(row_text::MoreActionsName(data.name));
    ui::SetText(row.fileSize, QString::fromStdString(FormatFileSize(data.size)));
    ui::SetChecked(row.checkBox, data.checked);

    QString button = row_text::CompressButton();
    bool buttonLive = true;
    QString state;
    switch (data.state) {
        case TaskState::Waiting:
            button = row_text::CancelButton();
            state = row_text::Waiting(place);
            break;
        case TaskState::Running:
            button = row_text::RunningButton();
            buttonLive = false;
            break;
        case TaskState::Done:
        case TaskState::KeptOriginal:
            button = row_text::DoneButton();
            break;
        case TaskState::Stopped:
            state = row_text::Stopped();
            break;
        case TaskState::Cancelled:
            state = row_text::Cancelled();
            break;
        case TaskState::Idle:
        case TaskState::Failed:
            break;
    }
    ui::SetText(row.compressButton, button);
    if (ui::IsMouseEnabled(row.compressButton) != buttonLive) {
        ui::SetMouseEnabled(row.compressButton, buttonLive);
    }
    ui::SetText(row.stateLabel, state);
    SetVisible(row.stateLabel, !state.isEmpty());

    const TaskOutcome* outcome =
        data.outcome && (data.state == TaskState::Done || data.state == TaskState::KeptOriginal)
            ? &*data.outcome
            : nullptr;
    ui::SetText(row.sizeLabel,
                outcome ? QString::fromStdString(FormatFileSize(outcome->outputSize)) : QString());
    QString sizeTip = outcome ? QString::fromStdString(outcome->outputPath.string()) : QString();
    if (outcome && !outcome->warning.empty()) {
        // A success on part of the source says so wherever the pointer rests on the row.
        sizeTip += QStringLiteral("\n") + QString::fromStdString(outcome->warning);
    }
    row.sizeLabel->setToolTip(sizeTip);
    row.row->setToolTip(outcome ? QString::fromStdString(outcome->warning) : QString());
    ui::SetText(row.savingLabel, outcome ? SavingFigure(*outcome) : QString());
    SetColor(row.savingLabel, outcome ? std::optional(SavingFigureColor(*outcome)) : std::nullopt);
}

}  // namespace

void PresentVideoRow(const TaskRow& row, const TaskRowData& data, std::size_t place) {
    PresentCommon(row, data, place);
    ui::SetText(row.duration, data.duration);
    SetVisible(row.paramFlag, data.ownParameters);
    const bool ended = data.state == TaskState::Done || data.state == TaskState::KeptOriginal;
    const bool showsProgress = data.state == TaskState::Running || ended;
    SetVisible(row.progressContainer, showsProgress);
    SetVisible(row.progressSlider, showsProgress);
    SetVisible(row.progressLabel, showsProgress);
    int value = 0;
    QString label;
    if (ended) {
        value = 100;
        // A kept original says so instead of the percentage.
        label = data.state == TaskState::KeptOriginal ? row_text::KeptOriginal()
                                                      : QStringLiteral("100%");
    } else if (data.state == TaskState::Running && data.percent) {
        value = *data.percent;
        label = QStringLiteral("%1%").arg(*data.percent);
    }
    // An unknown length shows no percentage rather than a wrong one.
    ui::SetValue(row.progressSlider, value);
    ui::SetText(row.progressLabel, label);
    const bool failed = data.state == TaskState::Failed;
    SetVisible(row.errorLabel, failed);
    // Why, in the user's words; the engine's own detail on the tooltip's second line.
    if (failed) ui::SetText(row.errorLabel, FailureText(data.failure.code));
    row.errorLabel->setToolTip(failed ? FailureToolTip(data.failure) : QString());
}

void PresentImageRow(const TaskRow& row, const TaskRowData& data, std::size_t place) {
    PresentCommon(row, data, place);
    QString label;
    switch (data.state) {
        case TaskState::Running:
            label = row_text::ImageRunningProgress();
            break;
        case TaskState::Done:
            label = row_text::ImageDoneProgress();
            break;
        case TaskState::KeptOriginal:
            label = row_text::KeptOriginal();
            break;
        case TaskState::Failed:
            label = FailureText(data.failure.code);
            break;
        default:
            break;
    }
    const bool failed = data.state == TaskState::Failed;
    SetVisible(row.progressLabel, !label.isEmpty());
    ui::SetText(row.progressLabel, label);
    SetColor(row.progressLabel, failed ? std::optional(kFailureColor) : std::nullopt);
    row.progressLabel->setToolTip(failed ? FailureToolTip(data.failure) : QString());
}

}  // namespace brisklo::app
