// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/shadow_bitmap.h"

namespace brisklo::ui {

// The window a drop shadow is shown in: frameless, see-through where the
// shadow is, never taking focus or mouse input, kept out of the taskbar, and a
// tool window of the window it shadows (so the window manager keeps it with
// that window and the owner deletes it).
class ShadowSurface : public QWidget {
  public:
    explicit ShadowSurface(QWidget* owner);

    // Places the surface at topLeft (screen coordinates) with the bitmap's size
    // and shows the bitmap. An empty bitmap shows nothing.
    void ShowBitmap(const ShadowBitmap& bitmap, QPoint topLeft);
    const QImage& image() const { return m_image; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_image;
};

}  // namespace brisklo::ui
