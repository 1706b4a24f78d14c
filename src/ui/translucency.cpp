// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translucency.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace brisklo::ui {

namespace {

template <class T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// A compositing manager announces itself by owning the selection
// _NET_WM_CM_S<screen> of the screen it composites.
bool X11CompositorRunning() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* connection = x11->connection();

    // The screen Qt opened: the one $DISPLAY names.
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
    const std::unique_ptr<char, decltype(&std::free)> hostName(host, &std::free);

    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()),
                            name.constData()),
            nullptr),
        &std::free);
    if (!atom) return false;
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_NONE;
}

}  // namespace

bool DesktopShowsTranslucentWindows() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen")) return true;
    if (platform.startsWith(QLatin1String("wayland"))) return true;
    if (platform == QLatin1String("xcb")) return X11CompositorRunning();
    // Framebuffer and other minimal platforms have nothing to blend with.
    return false;
}

}  // namespace brisklo::ui
