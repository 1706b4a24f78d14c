// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace brisklo::app {

// What becomes of a request to close the main window.
enum class CloseAnswer { Close, Minimise, Keep };

struct CloseRequest {
    bool fromQuitItem = false;   // the tray menu's quit (or its shortcut): skips the setting
    int windowCloseSetting = 0;  // "window-close": non-zero minimises instead
    bool videoRunning = false;   // only a running encode is worth a question
};

// Decides a close request; confirmQuit asks the user whether to stop the running
// encode and is called only when the answer depends on it.
CloseAnswer DecideClose(const CloseRequest& request, const std::function<bool()>& confirmQuit);

}  // namespace brisklo::app
