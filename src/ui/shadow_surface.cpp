// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shadow_surface.h"

#include <QPainter>
#include <cstring>

namespace brisklo::ui {

ShadowSurface::ShadowSurface(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                         Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("windowShadow"));
}

void ShadowSurface::ShowBitmap(const ShadowBitmap& bitmap, QPoint topLeft) {
    if (bitmap.empty()) {
        m_image = QImage();
        update();
        return;
    }
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32_Premultiplied);
    const auto rowBytes = static_cast<std::size_t>(bitmap.width) * sizeof(std::uint32_t);
    for (int y = 0; y < bitmap.height; ++y) {
        std::memcpy(image.scanLine(y), &bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width],
                    rowBytes);
    }
    m_image = std::move(image);
    setGeometry(QRect(topLeft, m_image.size()));
    update();
}

void ShadowSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The pixels replace what is there: alpha included, nothing blended.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    if (!m_image.isNull()) painter.drawImage(0, 0, m_image);
}

}  // namespace brisklo::ui
