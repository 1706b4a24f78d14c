#pragma once

#include <QString>
#include <QWidget>
#include <stdexcept>

class QApplication;

namespace brisklo::ui {

// A layout or control the program needs is missing from the skin.
class SkinError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The skin folder: "skin" beside the executable, else share/brisklo/skin next to
// its bin folder, else the source tree's (for builds run in place).
QString SkinFolder();
// A file of the skin; an absolute path is taken as it is.
QString SkinPath(const QString& fileName);

// Builds the widgets of a Qt Designer layout kept in the skin folder; the parent
// owns the result. Throws SkinError naming the file when it cannot be loaded.
QWidget* LoadLayout(const QString& fileName, QWidget* parent);

// Applies "style.qss" from the skin folder to the whole application.
void ApplyStyleSheet(QApplication& app);

}  // namespace brisklo::ui
