// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/notice_boxes.h"

#include "dialogs/message_boxes.h"

namespace brisklo::dialogs {

NoticeBoxes DefaultNoticeBoxes() { return NoticeBoxes{&ShowMessageBox, &ShowPromptBox}; }

}  // namespace brisklo::dialogs
