// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/target_encode.h"

#include <system_error>

#include "core/log.h"
#include "video/media_probe.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

// The frame the output will have: the size asked for, else the source's.
PixelSize OutputFrame(const VideoOptions& options, const std::optional<PixelSize>& source) {
    if (!options.size.KeepsSource()) return options.size;
    return source.value_or(PixelSize{});
}

}  // namespace

Result<std::unique_ptr<TargetEncode>> TargetEncode::Plan(const VideoTask& task,
                                                         const VideoOptions& options,
                                                         const fs::path& tempFolder,
                                                         std::int32_t taskId) {
    const std::string cannot = task.fileName + " cannot be fitted into a size: ";
    const auto facts = ProbeMediaFacts(task.fullPath);
    if (!facts) return Error{cannot + "its streams cannot be read"};
    TargetInputs inputs;
    inputs.targetBytes = TargetBytes(*options.target, task.fileSize);
    inputs.durationSeconds = facts->durationSeconds;
    inputs.audioBitrate = facts->hasAudio ? options.bitrate : 0;
    inputs.audioSampleRate = options.sampleRate;
    inputs.framesPerSecond = facts->framesPerSecond;
    inputs.frame = OutputFrame(options, facts->frame);
    auto plan = PlanTarget(inputs);
    if (!plan) {
        return Error{task.fileName + " cannot be fitted into " + SizeUpText(inputs.targetBytes) +
                     ": " + plan.error().message};
    }
    const fs::path passLog = tempFolder / ("pass-" + std::to_string(taskId));
    LogLine("target %lld bytes: video %lld bit/s (floor %lld)\n",
            static_cast<long long>(inputs.targetBytes),
            static_cast<long long>(plan.value().videoBitrate),
            static_cast<long long>(plan.value().floorBitrate));
    return std::unique_ptr<TargetEncode>(
        new TargetEncode(task.fileName, inputs, plan.value(), passLog));
}

TargetEncode::TargetEncode(std::string fileName, TargetInputs inputs, TargetPlan plan,
                           fs::path passLog)
    : m_fileName(std::move(fileName)),
      m_inputs(inputs),
      m_plan(plan),
      m_passLog(std::move(passLog)),
      m_rate(plan.videoBitrate) {}

TargetEncode::~TargetEncode() {
    // x264 writes PREFIX-0.log and, with its macroblock tree, PREFIX-0.log.mbtree
    // (and .temp files while it writes them).
    std::error_code error;
    const std::string prefix = m_passLog.filename().string() + "-";
    for (const auto& entry : fs::directory_iterator(m_passLog.parent_path(), error)) {
        if (entry.path().filename().string().starts_with(prefix)) fs::remove(entry.path(), error);
    }
}

SizeVerdict TargetEncode::Check(std::uintmax_t outputSize,
                                const std::vector<std::string>& finalPass) {
    const auto produced = static_cast<std::int64_t>(outputSize);
    ++m_attempts;
    LogLine("target %lld bytes, attempt %d at %lld bit/s: %lld bytes\n",
            static_cast<long long>(m_inputs.targetBytes), m_attempts,
            static_cast<long long>(m_rate), static_cast<long long>(produced));
    if (produced <= m_inputs.targetBytes) return {};
    const std::string over = m_fileName + " cannot be fitted into " +
                             SizeUpText(m_inputs.targetBytes) + ": it came out at " +
                             SizeUpText(produced);
    if (m_attempts >= 2) {
        return {SizeVerdict::Kind::Fail,
                {},
                over + " even at a corrected rate; the smallest size that would work is about " +
                    SizeUpText(produced)};
    }
    const std::int64_t corrected = CorrectedBitrate(m_plan, m_inputs, m_rate, produced);
    if (corrected < m_plan.floorBitrate) {
        return {SizeVerdict::Kind::Fail,
                {},
                over + ", and a lower rate would make the picture useless; the smallest size " +
                    "that would work is about " + SizeUpText(produced)};
    }
    m_rate = corrected;
    return {SizeVerdict::Kind::Again, WithVideoBitrate(finalPass, corrected), {}};
}

}  // namespace brisklo
