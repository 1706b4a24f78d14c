// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_shadow.h"

#include <QEvent>
#include <QRegion>
#include <QResizeEvent>
#include <QWidget>

#include "ui/shadow_surface.h"

namespace brisklo::ui {

namespace {
constexpr int kLimit = 20;
// How long the parent's geometry must stay still before a move or resize
// counts as finished.
constexpr int kSettleMs = 150;

bool InRange(int value) { return value >= -kLimit && value <= kLimit; }
}  // namespace

CWndShadow::CWndShadow(TranslucencyCheck canShowTranslucentWindows)
    : m_canShowTranslucentWindows(std::move(canShowTranslucentWindows)) {
    m_settled.setSingleShot(true);
    m_settled.setInterval(kSettleMs);
    connect(&m_settled, &QTimer::timeout, this, [this] {
        if (m_status & ShadowVisible) Redraw();
    });
}

CWndShadow::~CWndShadow() {
    if (m_parent) m_parent->removeEventFilter(this);
    // Without anyone to follow the parent, the shadow window would stay behind,
    // frozen; it goes with its follower.
    if (m_surface) {
        m_surface->hide();
        m_surface->deleteLater();
    }
}

void CWndShadow::AttachTo(QWidget* parent) {
    if (!parent || m_parent || !m_canShowTranslucentWindows || !m_canShowTranslucentWindows()) {
        return;
    }
    m_parent = parent;
    m_surface = new ShadowSurface(parent);  // owned by the parent
    if (!parent->isVisible()) {
        m_status = ShadowEnabled;
    } else if (ParentMinimisedOrMaximised()) {
        m_status = ShadowEnabled | ParentVisible;
    } else {
        m_status = ShadowEnabled | ParentVisible;
        ShowShadow();
        Redraw();
    }
    parent->installEventFilter(this);
}

bool CWndShadow::SetShadowSize(int size) {
    if (!InRange(size)) return false;
    m_size = static_cast<std::int8_t>(size);
    if (m_status & ShadowVisible) Redraw();
    return true;
}

bool CWndShadow::SetShadowOffset(int x, int y) {
    if (!InRange(x) || !InRange(y)) return false;
    m_offsetX = static_cast<std::int8_t>(x);
    m_offsetY = static_cast<std::int8_t>(y);
    if (m_status & ShadowVisible) Redraw();
    return true;
}

bool CWndShadow::SetShadowColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    m_color =
        ShadowColor{static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
                    static_cast<std::uint8_t>(rgb.blue())};
    if (m_status & ShadowVisible) Redraw();
    return true;
}

QWidget* CWndShadow::shadowWindow() const { return m_surface.data(); }

QImage CWndShadow::image() const { return m_surface ? m_surface->image() : QImage(); }

ShadowStyle CWndShadow::style() const {
    ShadowStyle style;
    style.size = m_size;
    style.sharpness = m_sharpness;
    style.darkness = m_darkness;
    style.offsetX = m_offsetX;
    style.offsetY = m_offsetY;
    style.color = m_color;
    return style;
}

bool CWndShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_parent || !m_surface) return false;
    switch (event->type()) {
        case QEvent::Move:
            OnParentMoved();
            m_settled.start();
            break;
        case QEvent::Resize:
            OnParentSized(static_cast<QResizeEvent*>(event)->size());
            m_settled.start();
            break;
        case QEvent::WindowStateChange:
            // Minimising, maximising and restoring, which need not resize.
            OnParentSized(m_parent->size());
            break;
        case QEvent::Paint:
            if (m_redrawPending) {
                m_redrawPending = false;
                Redraw();
            }
            break;
        case QEvent::Show:
            OnParentShown();
            break;
        case QEvent::Hide:
            OnParentHidden();
            break;
        default:
            break;
    }
    return false;  // the parent handles every event as usual
}

void CWndShadow::OnParentMoved() {
    if (m_status & ShadowVisible) m_surface->move(ShadowOrigin());
}

void CWndShadow::OnParentSized(QSize size) {
    if (!(m_status & ShadowEnabled)) return;
    if (ParentMinimisedOrMaximised()) {
        HideShadow();
    } else if (m_status & ParentVisible) {
        // While the parent grows, its next paint redraws the shadow once
        // instead of every size step doing it; shrinking redraws at once.
        if (size.width() > m_lastParentSize.width() || size.height() > m_lastParentSize.height()) {
            m_redrawPending = true;
        } else {
            Redraw();
        }
        if (!(m_status & ShadowVisible)) ShowShadow();
    }
    m_lastParentSize = size;
}

void CWndShadow::OnParentShown() {
    if (!(m_status & ShadowEnabled) || (m_status & ParentVisible)) return;
    m_status |= ParentVisible;
    // A window shown minimised or maximised gets its shadow when restored.
    if (ParentMinimisedOrMaximised()) return;
    m_redrawPending = true;
    ShowShadow();
}

void CWndShadow::OnParentHidden() {
    if (!(m_status & ShadowEnabled)) return;
    HideShadow();
    m_status &= ~ParentVisible;
}

void CWndShadow::ShowShadow() {
    m_surface->show();
    m_status |= ShadowVisible;
}

void CWndShadow::HideShadow() {
    m_surface->hide();
    m_status &= ~ShadowVisible;
}

bool CWndShadow::ParentMinimisedOrMaximised() const {
    // Full screen counts as maximised: the shadow would only lie off the screen.
    return m_parent->windowState() &
           (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
}

QPoint CWndShadow::ShadowOrigin() const {
    return m_parent->frameGeometry().topLeft() + QPoint(m_offsetX - m_size, m_offsetY - m_size);
}

void CWndShadow::Redraw() {
    if (!m_parent || !m_surface) return;
    const QRect frame = m_parent->frameGeometry();
    // A window without a mask is its whole rectangle.
    const QRegion mask = m_parent->mask();
    const QPoint inset = m_parent->geometry().topLeft() - frame.topLeft();
    const auto contains = [&](int x, int y) {
        return mask.isEmpty() || mask.contains(QPoint(x, y) - inset);
    };
    const std::vector<Span> shape = ShapeSpans(frame.width(), frame.height(), contains);
    m_surface->ShowBitmap(RenderShadow(shape, frame.width(), frame.height(), style()),
                          ShadowOrigin());
}

}  // namespace brisklo::ui
