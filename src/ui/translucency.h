// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisklo::ui {

// Whether the desktop can show windows with per-pixel alpha. On X11 that needs
// a running compositing manager (without one, transparent pixels come out
// black); Wayland always composites; the offscreen platform used by the tests
// keeps alpha in its buffers.
bool DesktopShowsTranslucentWindows();

}  // namespace brisklo::ui
