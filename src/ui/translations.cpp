// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translations.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace brisklo::ui {
namespace {

const QString kEnglish = QStringLiteral("en");

QString Primary(const QString& language) {
    return language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

QStringList TranslationFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir + QStringLiteral("/translations"),
            QDir::cleanPath(programDir + QStringLiteral("/../share/brisklo/translations"))};
}

QString ProgramFile(const QString& language) {
    return QStringLiteral("brisklo_") + language + QStringLiteral(".qm");
}

bool Install(QCoreApplication& app, std::unique_ptr<QTranslator> translator) {
    // The application owns it from here and keeps it for the life of the program.
    translator->setParent(&app);
    return QCoreApplication::installTranslator(translator.release());
}

}  // namespace

QString TranslationLanguage(const QStringList& uiLanguages, const QStringList& shipped) {
    for (const QString& language : uiLanguages) {
        const QString primary = Primary(language);
        if (primary == QStringLiteral("zh")) return {};
        if (!primary.isEmpty() && shipped.contains(primary)) return primary;
    }
    // No language of the list is spoken: English is understood most widely.
    return kEnglish;
}

QStringList ShippedTranslations() {
    QStringList languages;
    for (const QString& folder : TranslationFolders()) {
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("brisklo_*.qm")}, QDir::Files);
        for (const QString& file : files) {
            const QString language = file.mid(8, file.size() - 8 - 3);
            if (!language.isEmpty() && !languages.contains(language)) languages << language;
        }
    }
    return languages;
}

QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages) {
    const QString language = TranslationLanguage(uiLanguages, ShippedTranslations());
    if (language.isEmpty()) {
        // Chinese: the program's texts are the source; Qt's own come in the variant
        // asked for (simplified or traditional).
        for (const QString& wanted : uiLanguages) {
            if (Primary(wanted) == QStringLiteral("zh")) {
                InstallQtTranslation(app, wanted);
                break;
            }
        }
        return {};
    }
    for (const QString& folder : TranslationFolders()) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + ProgramFile(language));
        if (!QFileInfo(path).isFile()) continue;
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(path)) continue;
        Install(app, std::move(translator));
        // English is Qt's own source language: nothing more to load for it.
        if (language != kEnglish) InstallQtTranslation(app, language);
        return language;
    }
    return {};
}

bool InstallQtTranslation(QCoreApplication& app, const QString& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return Install(app, std::move(translator));
}

}  // namespace brisklo::ui
