// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QPushButton>
#include <QUiLoader>

namespace brisklo::ui {

QStringList SkinCandidates(const QString& exeDir) {
    const QDir dir(exeDir);
    return {
        QDir::cleanPath(dir.filePath(QStringLiteral("skin"))),
        QDir::cleanPath(dir.filePath(QStringLiteral("../share/brisklo/skin"))),
    };
}

Result<QString> FindSkinFolder(const QString& exeDir) {
    const QStringList candidates = SkinCandidates(exeDir);
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate + QStringLiteral("/res.xml")).isFile()) return candidate;
    }
    return Error{"the skin folder was not found: none of " +
                 candidates.join(QStringLiteral(", ")).toStdString() +
                 " holds the skin index res.xml"};
}

QString SkinFolder() {
    auto found = FindSkinFolder(QCoreApplication::applicationDirPath());
    if (!found) throw SkinError(found.error().message);
    return std::move(found).value();
}

QString SkinPath(const QString& fileName) {
    if (QDir::isAbsolutePath(fileName)) return fileName;
    return SkinFolder() + QLatin1Char('/') + fileName;
}

namespace {

// A tab's label turns bold when checked (style.qss). Bold Latin letters are wider
// than regular ones, so each tab keeps room for its bold label whichever state it
// was measured in.
void ReserveBoldTabWidth(QWidget* root) {
    for (QPushButton* tab : root->findChildren<QPushButton*>()) {
        if (!tab->property("tab").toBool()) continue;
        tab->ensurePolished();
        QFont regular = tab->font();
        regular.setWeight(QFont::Normal);
        QFont bold = regular;
        bold.setWeight(QFont::DemiBold);
        const int extra = QFontMetrics(bold).horizontalAdvance(tab->text()) -
                          QFontMetrics(regular).horizontalAdvance(tab->text());
        if (extra > 0) tab->setMinimumWidth(tab->sizeHint().width() + extra);
    }
}

}  // namespace

QWidget* LoadLayout(const QString& fileName, QWidget* parent) {
    QFile file(SkinPath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        throw SkinError("cannot open the layout " + file.fileName().toStdString() + ": " +
                        file.errorString().toStdString());
    }
    // One loader for the program: making one looks for designer plugins, which
    // costs more than building a row.
    static QPointer<QUiLoader> loader;
    if (!loader) loader = new QUiLoader(QCoreApplication::instance());  // the app owns it
    QWidget* widget = loader->load(&file, parent);
    if (!widget) {
        throw SkinError("cannot build the layout " + file.fileName().toStdString() + ": " +
                        loader->errorString().toStdString());
    }
    ReserveBoldTabWidth(widget);
    return widget;
}

void ApplyStyleSheet(QApplication& app) {
    QFile file(SkinPath(QStringLiteral("style.qss")));
    if (file.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(file.readAll()));
}

}  // namespace brisklo::ui
