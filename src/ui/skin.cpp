#include "ui/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QUiLoader>

namespace brisklo::ui {

QString SkinFolder() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        exeDir.filePath(QStringLiteral("skin")),
        exeDir.filePath(QStringLiteral("../share/brisklo/skin")),
        QStringLiteral(BRISKLO_SOURCE_SKIN_DIR),
    };
    for (const QString& candidate : candidates) {
        if (QFile::exists(candidate + QStringLiteral("/res.xml")))
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(candidates.front());
}

QString SkinPath(const QString& fileName) {
    if (QDir::isAbsolutePath(fileName)) return fileName;
    return SkinFolder() + QLatin1Char('/') + fileName;
}

QWidget* LoadLayout(const QString& fileName, QWidget* parent) {
    QFile file(SkinPath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        throw SkinError("cannot open the layout " + file.fileName().toStdString() + ": " +
                        file.errorString().toStdString());
    }
    QUiLoader loader;
    QWidget* widget = loader.load(&file, parent);
    if (!widget) {
        throw SkinError("cannot build the layout " + file.fileName().toStdString() + ": " +
                        loader.errorString().toStdString());
    }
    return widget;
}

void ApplyStyleSheet(QApplication& app) {
    QFile file(SkinPath(QStringLiteral("style.qss")));
    if (file.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(file.readAll()));
}

}  // namespace brisklo::ui
