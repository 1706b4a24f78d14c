// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/media_options.h"
#include "core/result.h"
#include "core/video_task.h"
#include "video/encode_run.h"
#include "video/encoder_command.h"
#include "video/target_size.h"

namespace brisklo {

// One encode bound to a size: its plan, its pass log, and the check of what each
// attempt produced. An output over the target is encoded once more at a rate
// corrected by the measured overshoot; a second miss, or a correction that would
// go below the useful floor, fails the task with the smallest size that would
// work. So a task never ends done above its target. The pass log files go with
// the object.
class TargetEncode {
  public:
    // Probes the source and plans the rate. The error names the file and, when the
    // target is too small, the smallest size that would work.
    static Result<std::unique_ptr<TargetEncode>> Plan(const VideoTask& task,
                                                      const VideoOptions& options,
                                                      const std::filesystem::path& tempFolder,
                                                      std::int32_t taskId);
    ~TargetEncode();
    TargetEncode(const TargetEncode&) = delete;
    TargetEncode& operator=(const TargetEncode&) = delete;

    TwoPassSettings Passes() const { return {m_plan.videoBitrate, m_passLog}; }
    std::int64_t targetBytes() const { return m_inputs.targetBytes; }
    const TargetPlan& plan() const { return m_plan; }

    // Judges an attempt's output; finalPass is the arguments of the pass that made it.
    SizeVerdict Check(std::uintmax_t outputSize, const std::vector<std::string>& finalPass);

  private:
    TargetEncode(std::string fileName, TargetInputs inputs, TargetPlan plan,
                 std::filesystem::path passLog);

    std::string m_fileName;
    TargetInputs m_inputs;
    TargetPlan m_plan;
    std::filesystem::path m_passLog;
    std::int64_t m_rate = 0;  // the rate of the latest attempt
    int m_attempts = 0;
};

}  // namespace brisklo
