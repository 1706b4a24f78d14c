// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <stdexcept>

#include "core/result.h"

class QApplication;

namespace brisklo::ui {

// A layout or control the program needs is missing from the skin.
class SkinError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The folders where the skin of an executable in exeDir may be, in the order they
// are tried: "skin" beside it (a build folder or a portable copy), then
// <prefix>/share/brisklo/skin for an executable in <prefix>/bin, so an installed
// tree works wherever it was put (a DESTDIR, /usr, /opt/...).
QStringList SkinCandidates(const QString& exeDir);

// The first of SkinCandidates(exeDir) that holds the skin index "res.xml", or an
// error that names every folder tried.
Result<QString> FindSkinFolder(const QString& exeDir);

// FindSkinFolder for the running executable; throws SkinError when there is none.
QString SkinFolder();
// A file of the skin; an absolute path is taken as it is.
QString SkinPath(const QString& fileName);

// Builds the widgets of a Qt Designer layout kept in the skin folder; the parent
// owns the result. Throws SkinError naming the file when it cannot be loaded.
// UI thread only.
QWidget* LoadLayout(const QString& fileName, QWidget* parent);

// Applies "style.qss" from the skin folder to the whole application.
void ApplyStyleSheet(QApplication& app);

}  // namespace brisklo::ui
