// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>

namespace brisklo::app {
namespace fs = std::filesystem;

namespace {

constexpr int kAnswerMilliseconds = 3000;

QUrl FileUrl(const fs::path& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

}  // namespace

void ShowFileInFileManager(QObject* context, const fs::path& file,
                           std::function<bool(const QUrl&)> openFolder,
                           std::function<void()> failed) {
    auto fallBack = [folder = file.parent_path(), openFolder = std::move(openFolder),
                     failed = std::move(failed)] {
        if (!(openFolder && openFolder(FileUrl(folder))) && failed) failed();
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fallBack();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{FileUrl(file).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerMilliseconds), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [fallBack = std::move(fallBack)](QDBusPendingCallWatcher* done) {
                         if (done->isError()) fallBack();
                         done->deleteLater();
                     });
}

}  // namespace brisklo::app
