// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/round_corner.h"

#include <QEvent>
#include <QObject>
#include <algorithm>
#include <cmath>

namespace brisklo::ui {

namespace {

// Lives as a child of the window it clips.
class RoundCornerClip : public QObject {
  public:
    RoundCornerClip(QWidget* window, int radius) : QObject(window), m_radius(radius) {
        window->installEventFilter(this);
        window->setMask(RoundedRegion(window->size(), m_radius));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* window = static_cast<QWidget*>(watched);
            window->setMask(RoundedRegion(window->size(), m_radius));
        }
        return false;
    }

  private:
    int m_radius;
};

}  // namespace

QRegion RoundedRegion(QSize size, int radius) {
    const int width = size.width();
    const int height = size.height();
    radius = std::min({radius, width / 2, height / 2});
    if (radius <= 0) return QRegion(0, 0, width, height);
    QRegion region(0, radius, width, height - 2 * radius);
    for (int i = 0; i < radius; ++i) {
        // How far in the quarter circle is at the middle of row i of the corner.
        const double dy = radius - i - 0.5;
        const auto inset =
            static_cast<int>(std::lround(radius - std::sqrt(radius * radius - dy * dy)));
        region += QRect(inset, i, width - 2 * inset, 1);
        region += QRect(inset, height - 1 - i, width - 2 * inset, 1);
    }
    return region;
}

void SetRoundCorner(QWidget* window, int radius) {
    new RoundCornerClip(window, radius);  // owned by window
}

}  // namespace brisklo::ui
