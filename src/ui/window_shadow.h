// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "ui/shadow_bitmap.h"
#include "ui/translucency.h"

namespace brisklo::ui {

class ShadowSurface;

// A soft drop shadow along the edges of a frameless window (its parent). The
// shadow is a separate see-through, click-through window a little larger than
// the parent, drawn from the parent's shape (its mask, or its rectangle when it
// has none) and clear where the parent covers it. It follows the parent: moves,
// resizes, hides and shows with it, and steps aside while the parent is
// minimised or maximised.
//
// Where the desktop cannot show translucent windows, attaching does nothing:
// the window simply has no shadow rather than a black frame.
class CWndShadow : public QObject {
    Q_OBJECT
  public:
    using TranslucencyCheck = std::function<bool()>;

    explicit CWndShadow(
        TranslucencyCheck canShowTranslucentWindows = DesktopShowsTranslucentWindows);
    ~CWndShadow() override;
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Creates the shadow window for parent and starts following it. Once only;
    // nothing happens without translucency or without a parent.
    void AttachTo(QWidget* parent);

    // How far the shadow reaches beyond the parent on every side, -20..20.
    // False and no change outside that range; redraws when the shadow shows.
    bool SetShadowSize(int size);
    // The shift of the shadow against the parent, each -20..20. False and no
    // change when either value is out of range; redraws when the shadow shows.
    bool SetShadowOffset(int x, int y);
    // The shadow's colour (its alpha is ignored); redraws when the shadow shows.
    bool SetShadowColor(const QColor& color);

    bool isAttached() const { return !m_surface.isNull(); }
    // The shadow window, or null when not attached (or gone with its parent).
    QWidget* shadowWindow() const;
    // What the shadow window shows: premultiplied ARGB.
    QImage image() const;
    ShadowStyle style() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum Status : std::uint8_t { ShadowEnabled = 1, ShadowVisible = 2, ParentVisible = 4 };

    void Redraw();
    void ShowShadow();
    void HideShadow();
    void OnParentMoved();
    void OnParentSized(QSize size);
    void OnParentShown();
    void OnParentHidden();
    bool ParentMinimisedOrMaximised() const;
    QPoint ShadowOrigin() const;

    TranslucencyCheck m_canShowTranslucentWindows;
    QPointer<QWidget> m_parent;
    QPointer<ShadowSurface> m_surface;  // owned by the parent, like its other windows
    std::uint8_t m_status = 0;
    std::uint8_t m_darkness = 150;
    std::uint8_t m_sharpness = 5;
    std::int8_t m_size = 0;
    std::int8_t m_offsetX = 5;
    std::int8_t m_offsetY = 5;
    QSize m_lastParentSize{0, 0};
    bool m_redrawPending = false;
    ShadowColor m_color;  // black
    // A move or resize by the user has no end event here; a pause in the
    // parent's geometry changes stands in for it.
    QTimer m_settled;
};

}  // namespace brisklo::ui
