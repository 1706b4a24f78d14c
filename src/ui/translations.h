// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace brisklo::ui {

// The language whose translation the program loads for the user's preferred
// languages (QLocale::uiLanguages order): none for Chinese, the source language,
// else the first language ("en", "de", ...) of the list.
QString TranslationLanguage(const QStringList& uiLanguages);

// Loads "brisklo_<language>.qm" for the preferred languages from the program's
// "translations" folder, else from ../share/brisklo/translations beside it, and
// installs it on app; returns the language installed, empty when the program
// stays in Chinese (the user's language, or no translation for it).
QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages);

}  // namespace brisklo::ui
