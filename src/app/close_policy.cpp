// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/close_policy.h"

namespace brisklo::app {

CloseAnswer DecideClose(const CloseRequest& request, const std::function<bool()>& confirmQuit) {
    if (!request.fromQuitItem && request.windowCloseSetting != 0) return CloseAnswer::Minimise;
    if (!request.videoRunning) return CloseAnswer::Close;
    return confirmQuit() ? CloseAnswer::Close : CloseAnswer::Keep;
}

}  // namespace brisklo::app
