#include "dialogs/notice_boxes.h"

#include <QMessageBox>

namespace brisklo::dialogs {
namespace {

const QString kBoxTitle = QStringLiteral("Brisklo");

int AskWithMessageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, kBoxTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                    owner);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 1 : 0;
}

void TellWithMessageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Information, kBoxTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

NoticeBoxes DefaultNoticeBoxes() { return NoticeBoxes{&AskWithMessageBox, &TellWithMessageBox}; }

}  // namespace brisklo::dialogs
