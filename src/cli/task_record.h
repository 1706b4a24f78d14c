#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/media_kinds.h"

namespace brisklo::cli {

// One task of the run and how it ended.
struct TaskRecord {
    std::string source;
    MediaKind kind = MediaKind::Video;
    std::int64_t sourceSize = 0;
    bool done = false;
    bool ok = false;
    std::string output;
    std::int64_t outputSize = 0;
    std::optional<float> saving;
    bool keptOriginal = false;  // the output did not pay: output is a copy of the source
    std::string sizeText;       // the row's size text of the output
    std::string savingText;     // "75.00%", empty without a saving
    std::string error;
    std::string warning;  // a success that may be incomplete says why
};

}  // namespace brisklo::cli
