// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translations.h"

#include <QDir>
#include <QFileInfo>
#include <QTranslator>
#include <memory>

namespace brisklo::ui {

QString TranslationLanguage(const QStringList& uiLanguages) {
    for (const QString& language : uiLanguages) {
        const QString primary =
            language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (primary.isEmpty() || primary == QStringLiteral("c")) continue;
        if (primary == QStringLiteral("zh")) return {};
        return primary;
    }
    return {};
}

QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages) {
    const QString language = TranslationLanguage(uiLanguages);
    if (language.isEmpty()) return {};
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString file = QStringLiteral("brisklo_") + language + QStringLiteral(".qm");
    for (const QString& folder : {programDir + QStringLiteral("/translations"),
                                  programDir + QStringLiteral("/../share/brisklo/translations")}) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + file);
        if (!QFileInfo(path).isFile()) continue;
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(path)) continue;
        // The application owns it from here and keeps it for the life of the program.
        translator->setParent(&app);
        QCoreApplication::installTranslator(translator.release());
        return language;
    }
    return {};
}

}  // namespace brisklo::ui
