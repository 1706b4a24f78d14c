// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace brisklo::ui {

// The language the program speaks for the user's preferred languages
// (QLocale::uiLanguages order, which follows LANGUAGE): the whole list is walked,
// and the first that is Chinese (any variant: the source texts, returned as an
// empty text) or has one of the shipped translations wins. When none does, English.
QString TranslationLanguage(const QStringList& uiLanguages, const QStringList& shipped);

// The languages whose "brisklo_<language>.qm" the program finds in its
// "translations" folder, or in ../share/brisklo/translations beside it.
QStringList ShippedTranslations();

// Installs on app the program's translation for the preferred languages, and Qt's
// own ("qtbase_<language>.qm" from Qt's translations folder) for the same language,
// so the file choosers and standard buttons speak it too. Returns the language
// installed, empty when the program stays in Chinese.
QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages);

// Installs Qt's own translation for the locale named ("zh-TW", "en"); false when Qt
// ships none for it.
bool InstallQtTranslation(QCoreApplication& app, const QString& locale);

}  // namespace brisklo::ui
