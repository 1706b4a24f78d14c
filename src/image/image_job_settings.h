// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>

#include "core/media_options.h"

namespace brisklo {

class SettingsSource;

// Longest an image job may run. The largest images within the pixel limits take
// well under a minute on a slow machine; far beyond that, something is wrong.
inline constexpr std::chrono::seconds kImageJobTimeLimit{180};

// What one image job needs: the user's options at the moment the task was
// dispatched, where the output goes and the program's temporary folder. The job
// never reads settings itself.
struct ImageJobSettings {
    ImageOptions options;
    std::filesystem::path outputDir;
    std::filesystem::path tempDir;
    // Longest one job may take; a stop request or this ends it at once.
    std::chrono::seconds timeLimit = kImageJobTimeLimit;
    bool keepOriginalIfLarger = true;  // keep-original-if-larger: never a bigger file
    int minSavingPercent = 0;          // min-saving-percent: keep the source below this saving
};

// The options with the output folder the settings name (created if missing) and
// the program's temporary folder.
ImageJobSettings ImageJobSettingsFor(const ImageOptions& options, const SettingsSource& settings);

}  // namespace brisklo
