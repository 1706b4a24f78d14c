#include "app/task_row.h"

#include <QLabel>

#include "core/file_utils.h"
#include "ui/controls.h"

namespace brisklo::app {
namespace {
constexpr int kNameWidth = 320;
}

void FillTaskRow(QWidget* row, std::int32_t taskId, const TaskRowNames& names,
                 const std::string& fileName, const std::string& fullPath, std::int64_t fileSize) {
    ui::SetTag(row, taskId);
    for (const char* tagged : {names.compressButton, names.menuButton, names.checkBox}) {
        ui::SetTag(ui::FindSubControl(row, QString::fromLatin1(tagged)), taskId);
    }
    auto* name = qobject_cast<QLabel*>(ui::FindSubControl(row, QStringLiteral("fileNameLabel")));
    name->setText(name->fontMetrics().elidedText(QString::fromStdString(fileName), Qt::ElideMiddle,
                                                 kNameWidth));
    name->setToolTip(QString::fromStdString(fullPath));
    ui::SetText(ui::FindSubControl(row, QStringLiteral("fileSizeLabel")),
                QString::fromStdString(FormatFileSize(fileSize)));
    ui::SetChecked(ui::FindSubControl(row, QString::fromLatin1(names.checkBox)), true);
}

}  // namespace brisklo::app
