// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output_finish.h"

#include <algorithm>
#include <system_error>

namespace brisklo {
namespace fs = std::filesystem;

namespace {

Result<FinishedOutput> Place(PendingOutput& file, const fs::path& source, std::string_view base,
                             std::string_view extension, bool keptOriginal) {
    auto size = file.Size();
    if (!size) return size.error();
    file.TakeModificationTime(source);
    auto path = file.Commit(base, extension);
    if (!path) return path.error();
    return FinishedOutput{std::move(path).value(), size.value(), keptOriginal};
}

}  // namespace

bool SavesTooLittle(std::uint64_t sourceSize, std::uint64_t outputSize, int minSavingPercent) {
    if (sourceSize == 0) return false;
    const auto share = static_cast<unsigned>(std::clamp(minSavingPercent, 0, 99));
    // Not smaller at all, or a saving below the share: output > source x (100 -
    // share) / 100, in integers, so a saving of exactly the share is enough. Files
    // stay far below 2^64 / 100 bytes (184 PB).
    return outputSize >= sourceSize || outputSize * 100 > sourceSize * (100 - share);
}

Result<FinishedOutput> FinishOutput(PendingOutput& output, const OutputPlan& plan) {
    std::error_code error;
    const auto sourceSize = fs::file_size(plan.source, error);
    if (error)
        return Error{"cannot read the source " + plan.source.string() + ": " + error.message()};
    auto outputSize = output.Size();
    if (!outputSize) return outputSize.error();

    if (!plan.keepOriginalIfLarger ||
        !SavesTooLittle(sourceSize, outputSize.value(), plan.minSavingPercent)) {
        return Place(output, plan.source, plan.baseName, plan.extension, false);
    }
    // Compression did not pay: the source itself is the result.
    auto copy = PendingOutput::Create(output.folder());
    if (!copy) return copy.error();
    { PendingOutput discarded = std::move(output); }
    if (auto copied = copy.value().CopyFrom(plan.source); !copied) return copied.error();
    const std::string name = plan.source.filename().string();
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot != 0;
    return Place(copy.value(), plan.source, hasExtension ? name.substr(0, dot) : name,
                 hasExtension ? name.substr(dot + 1) : "", true);
}

}  // namespace brisklo
