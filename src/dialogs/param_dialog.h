// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/video_task.h"
#include "ui/window_base.h"

namespace brisklo::dialogs {

// The parameter dialog ("参数设置") of one video task: preset, container,
// resolution and audio. "保存" posts the record (ParametersSaved, a TaskParam)
// to the owner and closes; "恢复默认" puts the controls back to the defaults and
// posts ParametersRemoved with the task id, so the task follows the settings
// again. Closing it another way posts nothing.
class ParamDialog : public ui::WindowBase {
    Q_OBJECT
  public:
    ParamDialog(ui::WindowBase* owner, std::int32_t taskId, TaskParam param);

    // The record a task without parameters of its own opens with: all zero but
    // the default sample-rate and bit-rate rows.
    static TaskParam DefaultRecord();

  protected:
    QString skinFile() const override { return QStringLiteral("Param.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;

  private:
    void Save();
    void RestoreDefaults();
    void ShowRecord(const TaskParam& param);
    void ShowTarget(const TaskParam& param);
    void ReadTarget();
    // Shows the value box with the unit the size choice's row needs.
    void ShowTargetUnit(int row);

    ui::WindowBase* const m_owner;
    const std::int32_t m_taskId;
    TaskParam m_param;
};

}  // namespace brisklo::dialogs
